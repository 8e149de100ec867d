#include "allocationcounter.h"
#include "framework/abstractapplication.h"
#include "framework/abstractcomponent.h"
#include "framework/abstractservice.h"
#include "framework/baseevent.h"
#include "framework/eventobserver.h"
#include "framework/eventsubject.h"
#include "framework/staticvector.h"
#include "model/modelvalueevent.h"

#include <QtTest>

#include <atomic>
#include <string>
#include <vector>

namespace {

using namespace Component::Interfaces;
using Model::Interfaces::ModelValueEvent;
using Model::Interfaces::ModelValueID;
using Utilities::Container::StaticVector;
using Utilities::Events::BaseEvent;
using Utilities::Events::EventClass;
using Utilities::Events::EventObserver;
using Utilities::Events::EventSubject;

using AllocationGuard = AllocationCounter::Guard;

class RecordingObserver : public EventObserver
{
public:
    RecordingObserver(EventClass cls, std::uint32_t mask, std::vector<std::string>* log = nullptr,
        std::string name = {})
        : EventObserver(cls, mask), m_log(log), m_name(std::move(name))
    {
    }
    void notify(EventClass, BaseEvent& event) override
    {
        ++calls;
        if (m_log)
            m_log->push_back(m_name + std::to_string(event.type));
        if (onNotify)
            onNotify();
    }
    int calls = 0;
    std::function<void()> onNotify;

private:
    std::vector<std::string>* m_log;
    std::string m_name;
};

// Every hook call goes into a shared journal so the order can be checked.
using Journal = std::vector<std::string>;

template <typename Base, typename ID> class Journaled : public Base
{
public:
    Journaled(ID id, Journal& journal, std::string name)
        : Base(id), m_journal(journal), m_name(std::move(name))
    {
    }

protected:
    void log(const char* hook) { m_journal.push_back(m_name + hook); }
    void performStartup() override { log(".start"); }
    void performShutdown() override { log(".stop"); }

private:
    Journal& m_journal;
    std::string m_name;
};

using TestComponent = Journaled<AbstractComponent, ComponentID>;

class TestService : public Journaled<AbstractService, ServiceID>
{
public:
    using Journaled::Journaled;
    int valueEvents = 0;
    ModelValueID lastId = ModelValueID::MaxCount;

protected:
    void performRun() override { log(".run"); }
    void onValueEvent(ModelValueID id, BaseEvent&) override
    {
        ++valueEvents;
        lastId = id;
    }
};

class TestApplication : public AbstractApplication
{
public:
    explicit TestApplication(Journal& journal)
        : AbstractApplication(ServiceID::MainApplication, "R58", 0x01020304u, "rev"),
          m_journal(journal)
    {
    }

protected:
    int performInitialize() override { return 42; }
    void performStartup() override
    {
        m_journal.push_back("app.start");
        AbstractApplication::performStartup();
    }
    void performShutdown() override
    {
        m_journal.push_back("app.stop");
        AbstractApplication::performShutdown();
    }

private:
    Journal& m_journal;
};

} // namespace

class TestFramework : public QObject
{
    Q_OBJECT

private slots:
    void staticVectorKeepsOrderAndBounds();
    void observerRegistration();
    void eventFiltering_data();
    void eventFiltering();
    void changesDuringDelivery();
    void serviceNotify_data();
    void serviceNotify();
    void componentLifeCycle();
    void applicationStartupAndShutdownOrder();
    void componentAndServiceLists();
    void runOnlyRunningServices();
    void nothingAllocates();
};

void TestFramework::staticVectorKeepsOrderAndBounds()
{
    StaticVector<int, 4> v;
    QVERIFY(v.appendUnique(7));
    QVERIFY(!v.appendUnique(7));
    for (int i = 8; i <= 10; ++i)
        QVERIFY(v.append(i));
    QVERIFY(v.full());
    QVERIFY(!v.append(11));
    QVERIFY(!v.appendUnique(12));
    QVERIFY(v.remove(8));
    QVERIFY(!v.remove(42));
    QVERIFY(v.append(13));
    QCOMPARE(std::vector<int>(v.begin(), v.end()), (std::vector<int> {7, 9, 10, 13}));
}

void TestFramework::observerRegistration()
{
    EventSubject subject;
    std::vector<std::unique_ptr<RecordingObserver>> observers;
    for (int i = 0; i < 11; ++i)
        observers.push_back(std::make_unique<RecordingObserver>(EventClass::ModelValueEvents, 1u));

    subject.registerObserver(*observers[0]); // twice: listed once
    for (int i = 0; i < 11; ++i)
        subject.registerObserver(*observers[i]);
    QCOMPARE(subject.getObservers().size(), std::size_t(10));
    QVERIFY(!subject.getObservers().contains(observers[10].get()));

    subject.unregisterObserver(*observers[10]); // not registered: nothing happens
    subject.unregisterObserver(*observers[3]);
    QCOMPARE(subject.getObservers().size(), std::size_t(9));
    QCOMPARE(subject.getObservers()[3], observers[4].get()); // order kept
}

void TestFramework::eventFiltering_data()
{
    QTest::addColumn<int>("observerClass");
    QTest::addColumn<uint>("mask");
    QTest::addColumn<int>("sentClass");
    QTest::addColumn<uint>("eventType");
    QTest::addColumn<bool>("delivered");
    const int values = int(EventClass::ModelValueEvents);
    const int actions = int(EventClass::ModelActionEvents);
    QTest::newRow("same class, full mask") << values << 0xFFFFFFFFu << values << 2u << true;
    QTest::newRow("same class, common bit") << values << 0x6u << values << 2u << true;
    QTest::newRow("same class, no common bit") << values << 0x1u << values << 2u << false;
    QTest::newRow("other class") << actions << 0xFFFFFFFFu << values << 2u << false;
    QTest::newRow("type zero") << values << 0xFFFFFFFFu << values << 0u << false;
}

void TestFramework::eventFiltering()
{
    QFETCH(int, observerClass);
    QFETCH(uint, mask);
    QFETCH(int, sentClass);
    QFETCH(uint, eventType);
    QFETCH(bool, delivered);
    EventSubject subject;
    RecordingObserver observer(EventClass(observerClass), mask);
    subject.registerObserver(observer);
    BaseEvent event(eventType);
    subject.sendEvent(EventClass(sentClass), event);
    QCOMPARE(observer.calls, delivered ? 1 : 0);
}

void TestFramework::changesDuringDelivery()
{
    const auto values = EventClass::ModelValueEvents;
    EventSubject subject;
    std::vector<std::string> log;
    RecordingObserver a(values, 1u, &log, "a"), b(values, 1u, &log, "b"), c(values, 3u, &log, "c");
    for (auto* observer : {&a, &b, &c})
        subject.registerObserver(*observer);

    // b leaves during delivery: c moves into its slot and is reached on the next pass only.
    b.onNotify = [&] { subject.unregisterObserver(b); };
    BaseEvent event(1u);
    subject.sendEvent(values, event);
    subject.sendEvent(values, event);
    QCOMPARE(log, (std::vector<std::string> {"a1", "b1", "a1", "c1"}));

    // An event sent during delivery is delivered before the outer one goes on.
    log.clear();
    BaseEvent nested(2u);
    a.onNotify = [&] { subject.sendEvent(values, nested); }; // a does not take type 2
    subject.sendEvent(values, event);
    QCOMPARE(log, (std::vector<std::string> {"a1", "c2", "c1"}));
}

void TestFramework::serviceNotify_data()
{
    QTest::addColumn<int>("eventClass");
    QTest::addColumn<uint>("eventType");
    QTest::addColumn<int>("expectedCalls");
    QTest::newRow("update") << int(EventClass::ModelValueEvents) << 2u << 1;
    QTest::newRow("request") << int(EventClass::ModelValueEvents) << 1u << 0;
    QTest::newRow("update of other class") << int(EventClass::ModelActionEvents) << 2u << 0;
}

void TestFramework::serviceNotify()
{
    QFETCH(int, eventClass);
    QFETCH(uint, eventType);
    QFETCH(int, expectedCalls);
    Journal journal;
    TestService service(ServiceID::TaloLinkTerminal, journal, "s");
    const std::uint8_t bytes[] = {1, 2};
    ModelValueEvent event(ModelValueEvent::Type(eventType), ModelValueID::SerialNumber, bytes, 2);
    service.notify(EventClass(eventClass), event);
    QCOMPARE(service.valueEvents, expectedCalls);
    if (expectedCalls)
        QCOMPARE(service.lastId, ModelValueID::SerialNumber);
}

void TestFramework::componentLifeCycle()
{
    Journal journal;
    TestComponent component(ComponentID::TaloLinkUSB, journal, "c");
    component.shutdown();
    QVERIFY(journal.empty());
    QCOMPARE(component.getState(), RunState::Created);

    component.startup();
    component.startup();
    QVERIFY(component.isRunning());
    component.shutdown();
    QCOMPARE(component.getState(), RunState::Stopped);
    component.startup();
    QCOMPARE(journal, (Journal {"c.start", "c.stop", "c.start"}));
}

void TestFramework::applicationStartupAndShutdownOrder()
{
    Journal journal;
    TestApplication app(journal);
    TestComponent own(ComponentID::TaloLinkSecondary, journal, "own");
    TestComponent shared(ComponentID::TaloLinkUSB, journal, "shared");
    TestComponent single(ComponentID::SoftwareUpdate, journal, "single");
    TestService first(ServiceID::TaloLinkTerminal, journal, "first");
    TestService second(ServiceID::UpdateControl, journal, "second");
    app.addComponent(own);
    first.addComponent(shared);
    second.addComponent(shared);
    second.addComponent(single);
    app.addService(first);
    app.addService(second);

    app.startup();
    QVERIFY(app.isRunning() && first.isRunning() && second.isRunning());
    QCOMPARE(journal,
        (Journal {"own.start", "app.start", "shared.start", "first.start", "single.start",
            "second.start"}));

    journal.clear();
    app.shutdown();
    QCOMPARE(app.getState(), RunState::Stopped);
    QCOMPARE(second.getState(), RunState::Stopped);
    QCOMPARE(journal,
        (Journal {
            "app.stop", "first.stop", "shared.stop", "second.stop", "single.stop", "own.stop"}));
    QCOMPARE(app.initialize(), 42);
}

// Listed once each, found by identifier (the first wins), and bounded.
void TestFramework::componentAndServiceLists()
{
    Journal journal;
    TestApplication app(journal);
    TestApplication other(journal);
    TestService service(ServiceID::PackageUpdate, journal, "s");
    TestComponent first(ComponentID::TaloLinkUSB, journal, "c1");
    TestComponent second(ComponentID::TaloLinkUSB, journal, "c2");
    QCOMPARE(service.getComponent(ComponentID::TaloLinkUSB), nullptr);
    for (auto* component : {&first, &second, &first})
        service.addComponent(*component);
    QCOMPARE(service.getComponents().size(), std::size_t(2));
    QCOMPARE(service.getComponent(ComponentID::TaloLinkUSB), &first);
    QCOMPARE(service.getComponent(ComponentID::SoftwareUpdate), nullptr);

    app.addService(service);
    service.setParent(other);
    app.addService(service); // already listed: still reclaims the parent
    QCOMPARE(app.getServices().size(), std::size_t(1));
    QCOMPARE(service.getParent(), &app);
    QCOMPARE(app.getService(ServiceID::PackageUpdate), &service);
    QCOMPARE(app.getService(ServiceID::UpdateControl), nullptr);

    std::vector<std::unique_ptr<TestComponent>> components;
    std::vector<std::unique_ptr<TestService>> services;
    for (int i = 0; i < 30; ++i) {
        components.push_back(
            std::make_unique<TestComponent>(ComponentID::SoftwareUpdate, journal, "m"));
        service.addComponent(*components.back());
        services.push_back(std::make_unique<TestService>(ServiceID::UpdateControl, journal, "m"));
        app.addService(*services.back());
    }
    QCOMPARE(service.getComponents().size(), std::size_t(AbstractService::MaxComponents));
    QCOMPARE(app.getServices().size(), std::size_t(AbstractApplication::MaxServices));
}

void TestFramework::runOnlyRunningServices()
{
    Journal journal;
    TestApplication app(journal);
    TestService running(ServiceID::TaloLinkTerminal, journal, "running");
    TestService idle(ServiceID::UpdateControl, journal, "idle");
    app.addService(running);
    app.addService(idle);
    app.run();
    QVERIFY(journal.empty()); // the application itself is not running yet
    app.start();
    running.start();
    app.run();
    idle.start();
    idle.stop();
    app.run();
    QCOMPARE(journal, (Journal {"running.run", "running.run"}));
}

void TestFramework::nothingAllocates()
{
    Journal journal;
    journal.reserve(64);
    TestApplication app(journal);
    TestComponent shared(ComponentID::TaloLinkUSB, journal, "shared");
    TestService first(ServiceID::TaloLinkTerminal, journal, "first");
    TestService second(ServiceID::UpdateControl, journal, "second");
    RecordingObserver observer(EventClass::ModelValueEvents, 0xFFFFFFFFu);

    AllocationGuard guard;
    first.addComponent(shared);
    second.addComponent(shared);
    app.addService(first);
    app.addService(second);
    first.registerObserver(observer);
    first.registerObserver(second);
    const std::uint8_t bytes[] = {0x34, 0x12};
    ModelValueEvent event(ModelValueEvent::Update, ModelValueID::TripClass, bytes, 2);
    first.sendEvent(EventClass::ModelValueEvents, event);
    first.unregisterObserver(observer);
    const int allocations = guard.count(); // QCOMPARE itself may allocate
    QCOMPARE(allocations, 0);
    QCOMPARE(second.valueEvents, 1);
}

QTEST_GUILESS_MAIN(TestFramework)
#include "tst_framework.moc"
