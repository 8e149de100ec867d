#include "allocationcounter.h"
#include "framework/eventobserver.h"
#include "model/modelaction.h"
#include "model/modelactionevent.h"
#include "model/modelactionobserver.h"
#include "model/modelvalueevent.h"
#include "model/modelvalueintf.h"
#include "model/modelvalueobserver.h"

#include <QtTest>

#include <deque>

using Model::Interfaces::ModelAction;
using Model::Interfaces::ModelActionEvent;
using Model::Interfaces::ModelActionID;
using Model::Interfaces::ModelValueEvent;
using Model::Interfaces::ModelValueID;
using Model::Interfaces::ModelValueIntf;
using Model::Observer::ModelActionObserver;
using Model::Observer::ModelValueObserver;
using Utilities::Events::BaseEvent;
using Utilities::Events::EventClass;
using Utilities::Events::EventObserver;

namespace {

// A value that only counts what is done to it.
class StubValue : public ModelValueIntf
{
public:
    explicit StubValue(int id) : ModelValueIntf(ModelValueID(id)) { }
    void init() override { }
    void transmit() override { ++transmitted; }
    void receive(const std::uint8_t* data, std::uint64_t length) override
    {
        ++received;
        lastLength = length;
        firstByte = (data && length) ? data[0] : -1;
    }
    QString toString() const override { return QString(); }

    int transmitted = 0;
    int received = 0;
    std::uint64_t lastLength = 0;
    int firstByte = -1;
};

class StubAction : public ModelAction
{
public:
    explicit StubAction(int id) : ModelAction(ModelActionID(id)) { }
    void init() override { }
    void execute() override { ++executed; }
    void fire() override { }

    int executed = 0;
};

class CountingObserver : public EventObserver
{
public:
    CountingObserver() : EventObserver(EventClass::ModelValueEvents, 0xFFFFFFFFu) { }
    void notify(EventClass, BaseEvent&) override { ++count; }
    int count = 0;
};

// An event of the value class that is not a value event.
class ForeignEvent : public BaseEvent
{
public:
    ForeignEvent() : BaseEvent(ModelValueEvent::Update) { }
};

// The same calls on either registry, so each test runs on both.
struct On
{
    static void add(ModelValueObserver& r, StubValue& v) { r.registerValue(v); }
    static void add(ModelActionObserver& r, StubAction& a) { r.registerAction(a); }
    static void remove(ModelValueObserver& r, StubValue& v) { r.unregisterValue(v); }
    static void remove(ModelActionObserver& r, StubAction& a) { r.unregisterAction(a); }
    static const void* find(const ModelValueObserver& r, int id)
    {
        return r.getValue(ModelValueID(id));
    }
    static const void* find(const ModelActionObserver& r, int id)
    {
        return r.getAction(ModelActionID(id));
    }
    static int size(const ModelValueObserver& r) { return int(r.getValues().size()); }
    static int size(const ModelActionObserver& r) { return int(r.getActions().size()); }
};

// `operations`: "+n" registers object n, "-n" unregisters it.
template <typename Registry, typename Object>
void checkRegistration(const QString& operations, const QString& expected)
{
    std::deque<Object> objects;
    for (int id = 0; id < 10; ++id)
        objects.emplace_back(id);
    Registry registry;
    for (const QString& op : operations.split(' ')) {
        if (op.startsWith('+'))
            On::add(registry, objects[op.mid(1).toInt()]);
        else
            On::remove(registry, objects[op.mid(1).toInt()]);
    }
    QStringList left;
    if constexpr (std::is_same_v<Registry, ModelValueObserver>) {
        for (const auto* object : registry.getValues())
            left << QString::number(int(object->getID()));
    } else {
        for (const auto* object : registry.getActions())
            left << QString::number(int(object->getID()));
    }
    QCOMPARE(left.join(' '), expected);
    // Lookup agrees with the list.
    for (int id = 0; id < 10; ++id)
        QCOMPARE(On::find(registry, id) == &objects[id], left.contains(QString::number(id)));
}

template <typename Registry, typename Object> void checkCapacity(int capacity)
{
    std::deque<Object> objects;
    Registry registry;
    for (int id = 0; id <= capacity; ++id)
        On::add(registry, objects.emplace_back(id));
    QCOMPARE(On::size(registry), capacity);
    QVERIFY(On::find(registry, capacity - 1));
    QVERIFY(!On::find(registry, capacity));
    // Room made by a removal is used again.
    On::remove(registry, objects[0]);
    On::add(registry, objects[capacity]);
    QVERIFY(On::find(registry, capacity));
}

} // namespace

class TestModelRegistry : public QObject
{
    Q_OBJECT

private slots:
    void registration_data();
    void registration();
    void capacity();
    void firstMatchWins();
    void valueEvents_data();
    void valueEvents();
    void actionEvents_data();
    void actionEvents();
    void findingAndUpdatingAllocateNothing();
};

void TestModelRegistry::registration_data()
{
    QTest::addColumn<QString>("operations");
    QTest::addColumn<QString>("expected"); // identifiers left, in order
    const auto row = [](const char* name, const char* operations, const char* expected) {
        QTest::newRow(name) << QString(operations) << QString(expected);
    };
    row("duplicate", "+1 +2 +1 +2", "1 2");
    row("middle removed", "+1 +2 +3 +4 -2", "1 3 4");
    row("last removed", "+1 +2 +3 -3", "1 2");
    row("unknown removed", "+1 +2 -5", "1 2");
    row("removed twice", "+1 +2 -1 -1", "2");
    row("back after removal", "+1 +2 -1 +1", "2 1");
}

void TestModelRegistry::registration()
{
    QFETCH(QString, operations);
    QFETCH(QString, expected);
    checkRegistration<ModelValueObserver, StubValue>(operations, expected);
    checkRegistration<ModelActionObserver, StubAction>(operations, expected);
}

void TestModelRegistry::capacity()
{
    checkCapacity<ModelValueObserver, StubValue>(55);
    checkCapacity<ModelActionObserver, StubAction>(13);
}

void TestModelRegistry::firstMatchWins()
{
    StubValue first(4);
    StubValue second(4);
    ModelValueObserver registry;
    registry.registerValue(first);
    registry.registerValue(second);
    QCOMPARE(registry.getValue(ModelValueID(4)), &first);
    registry.unregisterValue(first);
    QCOMPARE(registry.getValue(ModelValueID(4)), &second);
}

void TestModelRegistry::valueEvents_data()
{
    QTest::addColumn<int>("eventClass");
    QTest::addColumn<int>("type"); // 0: an event of the class that is no value event
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("outcome");

    const int values = int(EventClass::ModelValueEvents);
    const int actions = int(EventClass::ModelActionEvents);
    QTest::newRow("update applied and passed on") << values << 2 << 7 << "received passed";
    QTest::newRow("update for unmirrored 8 dropped") << values << 2 << 8 << "";
    QTest::newRow("update for 65535 dropped") << values << 2 << 65535 << "";
    QTest::newRow("request transmits") << values << 1 << 7 << "transmitted";
    QTest::newRow("request for unknown dropped") << values << 1 << 8 << "";
    QTest::newRow("both bits ignored") << values << 3 << 7 << "";
    QTest::newRow("other type ignored") << values << 4 << 7 << "";
    QTest::newRow("other class ignored") << actions << 2 << 7 << "";
    QTest::newRow("foreign event ignored") << values << 0 << 7 << "";
}

void TestModelRegistry::valueEvents()
{
    QFETCH(int, eventClass);
    QFETCH(int, type);
    QFETCH(int, id);
    QFETCH(QString, outcome);

    StubValue value(7);
    ModelValueObserver registry;
    registry.registerValue(value);
    CountingObserver downstream;
    registry.registerObserver(downstream);
    const std::uint8_t bytes[2] = {0x34, 0x12};
    ModelValueEvent event(ModelValueEvent::Type(type), ModelValueID(id), bytes, sizeof bytes);
    ForeignEvent foreign;
    // Delivered the way the terminal service delivers, through an event subject.
    Utilities::Events::EventSubject link;
    link.registerObserver(registry);
    if (type == 0)
        link.sendEvent(EventClass(eventClass), foreign);
    else
        registry.notify(EventClass(eventClass), event); // the registry's own filter

    QStringList seen;
    if (value.received == 1 && value.lastLength == 2 && value.firstByte == 0x34)
        seen << "received";
    if (value.transmitted == 1)
        seen << "transmitted";
    if (downstream.count == 1)
        seen << "passed";
    QCOMPARE(seen.join(' '), outcome);
    QVERIFY(value.received + value.transmitted + downstream.count <= 2);
}

void TestModelRegistry::actionEvents_data()
{
    QTest::addColumn<int>("eventClass");
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("id");
    QTest::addColumn<int>("executed");
    const int values = int(EventClass::ModelValueEvents);
    const int actions = int(EventClass::ModelActionEvents);
    QTest::newRow("execute") << actions << 1 << 5 << 1;
    QTest::newRow("unknown action") << actions << 1 << 9 << 0;
    QTest::newRow("other type") << actions << 2 << 5 << 0;
    QTest::newRow("other class") << values << 1 << 5 << 0;
}

void TestModelRegistry::actionEvents()
{
    QFETCH(int, eventClass);
    QFETCH(int, type);
    QFETCH(int, id);
    QFETCH(int, executed);
    StubAction action(5);
    ModelActionObserver registry;
    registry.registerAction(action);
    ModelActionEvent event {ModelActionEvent::Type(type), ModelActionID(id)};
    registry.notify(EventClass(eventClass), event);
    QCOMPARE(action.executed, executed);
}

void TestModelRegistry::findingAndUpdatingAllocateNothing()
{
    std::deque<StubValue> values;
    for (int id = 0; id < 55; ++id)
        values.emplace_back(id);
    ModelValueObserver registry;
    CountingObserver downstream;
    const std::uint8_t byte = 1;
    ModelValueEvent update(ModelValueEvent::Update, ModelValueID(54), &byte, 1);

    AllocationCounter::Guard guard;
    for (StubValue& value : values)
        registry.registerValue(value);
    registry.registerObserver(downstream);
    const bool found = registry.getValue(ModelValueID(54)) == &values.back();
    registry.notify(EventClass::ModelValueEvents, update);
    registry.unregisterValue(values[20]);
    const int allocations = guard.count(); // before any QCOMPARE, which allocates
    QVERIFY(found);
    QCOMPARE(values.back().received, 1);
    QCOMPARE(downstream.count, 1);
    QCOMPARE(allocations, 0);
}

QTEST_GUILESS_MAIN(TestModelRegistry)
#include "tst_modelregistry.moc"
