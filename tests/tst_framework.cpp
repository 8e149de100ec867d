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

// Counts constructions so a test can see that a StaticVector builds all N in place once.
struct Counted
{
    static inline int constructed = 0;
    Counted() { ++constructed; }
    Counted(const Counted&) { ++constructed; }
    Counted& operator=(const Counted&) = default;
    bool operator==(const Counted&) const { return false; }
};

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
        lastType = event.type;
        if (m_log)
            m_log->push_back(m_name);
        if (onNotify)
            onNotify();
    }
    int calls = 0;
    std::uint32_t lastType = 0;
    std::function<void()> onNotify;

private:
    std::vector<std::string>* m_log;
    std::string m_name;
};

// Writes every hook call into a shared journal so the order can be checked.
using Journal = std::vector<std::string>;

class TestComponent : public AbstractComponent
{
public:
    TestComponent(ComponentID id, Journal& journal, std::string name)
        : AbstractComponent(id), m_journal(journal), m_name(std::move(name))
    {
    }

protected:
    void performStartup() override { m_journal.push_back(m_name + ".start"); }
    void performShutdown() override { m_journal.push_back(m_name + ".stop"); }

private:
    Journal& m_journal;
    std::string m_name;
};

class TestService : public AbstractService
{
public:
    TestService(ServiceID id, Journal& journal, std::string name)
        : AbstractService(id), m_journal(journal), m_name(std::move(name))
    {
    }
    int valueEvents = 0;
    ModelValueID lastId = ModelValueID::MaxCount;

protected:
    void performStartup() override { m_journal.push_back(m_name + ".start"); }
    void performShutdown() override { m_journal.push_back(m_name + ".stop"); }
    void performRun() override { m_journal.push_back(m_name + ".run"); }
    void onValueEvent(ModelValueID id, BaseEvent&) override
    {
        ++valueEvents;
        lastId = id;
    }

private:
    Journal& m_journal;
    std::string m_name;
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
    void staticVectorKeepsOrderOnRemove();
    void staticVectorIgnoresAppendWhenFullOrPresent();
    void staticVectorBuildsInPlace();
    void observerRegistration();
    void eventFiltering_data();
    void eventFiltering();
    void observerMayUnregisterDuringDelivery();
    void nestedEventsAreDeliveredFirst();
    void serviceNotify_data();
    void serviceNotify();
    void componentLookup();
    void componentLifeCycle();
    void applicationStartupAndShutdownOrder();
    void applicationServiceList();
    void runOnlyRunningServices();
    void nothingAllocates();
};

void TestFramework::staticVectorKeepsOrderOnRemove()
{
    StaticVector<int, 5> v;
    for (int i = 1; i <= 5; ++i)
        QVERIFY(v.append(i));
    QVERIFY(v.remove(2));
    QVERIFY(!v.remove(42));
    QCOMPARE(v.size(), std::size_t(4));
    const std::vector<int> expected {1, 3, 4, 5};
    QCOMPARE(std::vector<int>(v.begin(), v.end()), expected);
    QVERIFY(v.append(6));
    QCOMPARE(v[4], 6);
}

void TestFramework::staticVectorIgnoresAppendWhenFullOrPresent()
{
    StaticVector<int, 3> v;
    QVERIFY(v.appendUnique(7));
    QVERIFY(!v.appendUnique(7));
    QVERIFY(v.append(8));
    QVERIFY(v.append(9));
    QVERIFY(v.full());
    QVERIFY(!v.append(10));
    QVERIFY(!v.appendUnique(11));
    const std::vector<int> expected {7, 8, 9};
    QCOMPARE(std::vector<int>(v.begin(), v.end()), expected);
}

void TestFramework::staticVectorBuildsInPlace()
{
    Counted::constructed = 0;
    AllocationGuard guard;
    StaticVector<Counted, 8> v;
    const int afterConstruction = Counted::constructed;
    Counted c;
    for (int i = 0; i < 20; ++i)
        v.append(c);
    const int allocations = guard.count(); // QCOMPARE itself may allocate
    // The N slots exist from the start; appends assign into them and build nothing new.
    QCOMPARE(afterConstruction, 8);
    QCOMPARE(Counted::constructed, 9);
    QCOMPARE(v.size(), std::size_t(8));
    QCOMPARE(allocations, 0);
}

void TestFramework::observerRegistration()
{
    EventSubject subject;
    std::vector<std::unique_ptr<RecordingObserver>> observers;
    for (int i = 0; i < 11; ++i)
        observers.push_back(std::make_unique<RecordingObserver>(EventClass::ModelValueEvents, 1u));

    subject.registerObserver(*observers[0]);
    subject.registerObserver(*observers[0]);
    QCOMPARE(subject.getObservers().size(), std::size_t(1));

    for (int i = 1; i < 11; ++i)
        subject.registerObserver(*observers[i]);
    QCOMPARE(subject.getObservers().size(), std::size_t(10));
    QVERIFY(!subject.getObservers().contains(observers[10].get()));

    subject.unregisterObserver(*observers[10]); // not registered: nothing happens
    subject.unregisterObserver(*observers[3]);
    QCOMPARE(subject.getObservers().size(), std::size_t(9));
    QCOMPARE(subject.getObservers()[3], observers[4].get());
    QCOMPARE(subject.getObservers()[8], observers[9].get());
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

void TestFramework::observerMayUnregisterDuringDelivery()
{
    EventSubject subject;
    std::vector<std::string> log;
    RecordingObserver a(EventClass::ModelValueEvents, 1u, &log, "a");
    RecordingObserver b(EventClass::ModelValueEvents, 1u, &log, "b");
    RecordingObserver c(EventClass::ModelValueEvents, 1u, &log, "c");
    subject.registerObserver(a);
    subject.registerObserver(b);
    subject.registerObserver(c);
    b.onNotify = [&] { subject.unregisterObserver(b); };

    BaseEvent event(1u);
    subject.sendEvent(EventClass::ModelValueEvents, event);
    subject.sendEvent(EventClass::ModelValueEvents, event);
    const std::vector<std::string> expected {"a", "b", "a", "c"};
    // "c" moves into b's slot during the first pass; it is reached on the next one.
    QCOMPARE(log, expected);
}

void TestFramework::nestedEventsAreDeliveredFirst()
{
    EventSubject subject;
    std::vector<std::string> log;
    RecordingObserver outer(EventClass::ModelValueEvents, 1u, &log, "outer");
    RecordingObserver inner(EventClass::ModelValueEvents, 2u, &log, "inner");
    RecordingObserver last(EventClass::ModelValueEvents, 1u, &log, "last");
    subject.registerObserver(outer);
    subject.registerObserver(inner);
    subject.registerObserver(last);
    BaseEvent nested(2u);
    outer.onNotify = [&] { subject.sendEvent(EventClass::ModelValueEvents, nested); };

    BaseEvent event(1u);
    subject.sendEvent(EventClass::ModelValueEvents, event);
    const std::vector<std::string> expected {"outer", "inner", "last"};
    QCOMPARE(log, expected);
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

void TestFramework::componentLookup()
{
    Journal journal;
    TestService service(ServiceID::TaloLinkTerminal, journal, "s");
    TestComponent first(ComponentID::TaloLinkUSB, journal, "c1");
    TestComponent second(ComponentID::TaloLinkUSB, journal, "c2");
    QCOMPARE(service.getComponent(ComponentID::TaloLinkUSB), nullptr);
    service.addComponent(first);
    service.addComponent(second);
    service.addComponent(first);
    QCOMPARE(service.getComponents().size(), std::size_t(2));
    QCOMPARE(service.getComponent(ComponentID::TaloLinkUSB), &first);
    QCOMPARE(service.getComponent(ComponentID::SoftwareUpdate), nullptr);

    std::vector<std::unique_ptr<TestComponent>> many;
    for (int i = 0; i < 30; ++i) {
        many.push_back(std::make_unique<TestComponent>(ComponentID::SoftwareUpdate, journal, "m"));
        service.addComponent(*many.back());
    }
    QCOMPARE(service.getComponents().size(), std::size_t(AbstractService::MaxComponents));
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
    const Journal expected {"c.start", "c.stop", "c.start"};
    QCOMPARE(journal, expected);
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
    const Journal started {
        "own.start", "app.start", "shared.start", "first.start", "single.start", "second.start"};
    QCOMPARE(journal, started);

    journal.clear();
    app.shutdown();
    QCOMPARE(app.getState(), RunState::Stopped);
    QCOMPARE(second.getState(), RunState::Stopped);
    const Journal stopped {
        "app.stop", "first.stop", "shared.stop", "second.stop", "single.stop", "own.stop"};
    QCOMPARE(journal, stopped);
    QCOMPARE(app.initialize(), 42);
}

void TestFramework::applicationServiceList()
{
    Journal journal;
    TestApplication app(journal);
    TestApplication other(journal);
    TestService service(ServiceID::PackageUpdate, journal, "s");
    app.addService(service);
    service.setParent(other);
    app.addService(service); // already listed: still reclaims the parent
    QCOMPARE(app.getServices().size(), std::size_t(1));
    QCOMPARE(service.getParent(), &app);
    QCOMPARE(app.getService(ServiceID::PackageUpdate), &service);
    QCOMPARE(app.getService(ServiceID::UpdateControl), nullptr);

    std::vector<std::unique_ptr<TestService>> many;
    for (int i = 0; i < 20; ++i) {
        many.push_back(std::make_unique<TestService>(ServiceID::UpdateControl, journal, "m"));
        app.addService(*many.back());
        QCOMPARE(many.back()->getParent(), &app);
    }
    QCOMPARE(app.getServices().size(), std::size_t(AbstractApplication::MaxServices));
    QCOMPARE(app.getName(), std::string("R58"));
    QCOMPARE(app.getVersion(), 0x01020304u);
    QCOMPARE(app.getRevision(), std::string("rev"));
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
    const Journal expected {"running.run", "running.run"};
    QCOMPARE(journal, expected);
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
