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

} // namespace

class TestModelRegistry : public QObject
{
    Q_OBJECT

private slots:
    void registration_data();
    void registration();
    void capacity_data();
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
    QTest::addColumn<bool>("actions");
    QTest::addColumn<QString>("operations"); // +n registers object n, -n unregisters it
    QTest::addColumn<QString>("expected"); // identifiers left, in order

    for (const bool actions : {false, true}) {
        const QString kind = actions ? "actions: " : "values: ";
        QTest::newRow(qPrintable(kind + "in order")) << actions << "+1 +2 +3"
                                                     << "1 2 3";
        QTest::newRow(qPrintable(kind + "duplicate")) << actions << "+1 +2 +1 +2"
                                                      << "1 2";
        QTest::newRow(qPrintable(kind + "middle removed")) << actions << "+1 +2 +3 +4 -2"
                                                           << "1 3 4";
        QTest::newRow(qPrintable(kind + "first removed")) << actions << "+1 +2 +3 -1"
                                                          << "2 3";
        QTest::newRow(qPrintable(kind + "last removed")) << actions << "+1 +2 +3 -3"
                                                         << "1 2";
        QTest::newRow(qPrintable(kind + "unknown removed")) << actions << "+1 +2 -5"
                                                            << "1 2";
        QTest::newRow(qPrintable(kind + "removed twice")) << actions << "+1 +2 -1 -1"
                                                          << "2";
        QTest::newRow(qPrintable(kind + "back after removal")) << actions << "+1 +2 -1 +1"
                                                               << "2 1";
    }
}

void TestModelRegistry::registration()
{
    QFETCH(bool, actions);
    QFETCH(QString, operations);
    QFETCH(QString, expected);

    std::deque<StubValue> values;
    std::deque<StubAction> actionObjects;
    for (int id = 0; id < 10; ++id) {
        values.emplace_back(id);
        actionObjects.emplace_back(id);
    }
    ModelValueObserver valueRegistry;
    ModelActionObserver actionRegistry;
    for (const QString& op : operations.split(' ')) {
        const int n = op.mid(1).toInt();
        if (op.startsWith('+'))
            actions ? actionRegistry.registerAction(actionObjects[n])
                    : valueRegistry.registerValue(values[n]);
        else
            actions ? actionRegistry.unregisterAction(actionObjects[n])
                    : valueRegistry.unregisterValue(values[n]);
    }

    QStringList left;
    if (actions) {
        for (ModelAction* action : actionRegistry.getActions())
            left << QString::number(int(action->getID()));
    } else {
        for (ModelValueIntf* value : valueRegistry.getValues())
            left << QString::number(int(value->getID()));
    }
    QCOMPARE(left.join(' '), expected);

    // Lookup agrees with the list: registered objects are found, the others are not.
    for (int id = 0; id < 10; ++id) {
        const bool listed = left.contains(QString::number(id));
        if (actions)
            QCOMPARE(actionRegistry.getAction(ModelActionID(id)) == &actionObjects[id], listed);
        else
            QCOMPARE(valueRegistry.getValue(ModelValueID(id)) == &values[id], listed);
    }
}

void TestModelRegistry::capacity_data()
{
    QTest::addColumn<bool>("actions");
    QTest::addColumn<int>("capacity");
    QTest::newRow("values") << false << 55;
    QTest::newRow("actions") << true << 13;
}

void TestModelRegistry::capacity()
{
    QFETCH(bool, actions);
    QFETCH(int, capacity);

    std::deque<StubValue> values;
    std::deque<StubAction> actionObjects;
    for (int id = 0; id <= capacity; ++id) {
        values.emplace_back(id);
        actionObjects.emplace_back(id);
    }
    ModelValueObserver valueRegistry;
    ModelActionObserver actionRegistry;
    for (int id = 0; id <= capacity; ++id)
        actions ? actionRegistry.registerAction(actionObjects[id])
                : valueRegistry.registerValue(values[id]);

    if (actions) {
        QCOMPARE(int(actionRegistry.getActions().size()), capacity);
        QVERIFY(actionRegistry.getAction(ModelActionID(capacity - 1)));
        QVERIFY(!actionRegistry.getAction(ModelActionID(capacity)));
        // Room made by a removal is used again.
        actionRegistry.unregisterAction(actionObjects[0]);
        actionRegistry.registerAction(actionObjects[capacity]);
        QVERIFY(actionRegistry.getAction(ModelActionID(capacity)));
    } else {
        QCOMPARE(int(valueRegistry.getValues().size()), capacity);
        QVERIFY(valueRegistry.getValue(ModelValueID(capacity - 1)));
        QVERIFY(!valueRegistry.getValue(ModelValueID(capacity)));
        valueRegistry.unregisterValue(values[0]);
        valueRegistry.registerValue(values[capacity]);
        QVERIFY(valueRegistry.getValue(ModelValueID(capacity)));
    }
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
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("id");
    QTest::addColumn<bool>("foreign");
    QTest::addColumn<int>("received");
    QTest::addColumn<int>("transmitted");
    QTest::addColumn<int>("passedOn");

    const int values = int(EventClass::ModelValueEvents);
    const int actions = int(EventClass::ModelActionEvents);
    QTest::newRow("update applied and passed on") << values << 2 << 7 << false << 1 << 0 << 1;
    QTest::newRow("update for unmirrored 8 dropped") << values << 2 << 8 << false << 0 << 0 << 0;
    QTest::newRow("update for 65535 dropped") << values << 2 << 65535 << false << 0 << 0 << 0;
    QTest::newRow("request transmits") << values << 1 << 7 << false << 0 << 1 << 0;
    QTest::newRow("request for unknown dropped") << values << 1 << 8 << false << 0 << 0 << 0;
    QTest::newRow("both bits ignored") << values << 3 << 7 << false << 0 << 0 << 0;
    QTest::newRow("other type ignored") << values << 4 << 7 << false << 0 << 0 << 0;
    QTest::newRow("other class ignored") << actions << 2 << 7 << false << 0 << 0 << 0;
    QTest::newRow("foreign event ignored") << values << 2 << 7 << true << 0 << 0 << 0;
}

void TestModelRegistry::valueEvents()
{
    QFETCH(int, eventClass);
    QFETCH(int, type);
    QFETCH(int, id);
    QFETCH(bool, foreign);
    QFETCH(int, received);
    QFETCH(int, transmitted);
    QFETCH(int, passedOn);

    StubValue value(7);
    ModelValueObserver registry;
    registry.registerValue(value);
    CountingObserver downstream;
    registry.registerObserver(downstream);

    const std::uint8_t bytes[2] = {0x34, 0x12};
    ModelValueEvent event(ModelValueEvent::Type(type), ModelValueID(id), bytes, sizeof bytes);
    ForeignEvent other;
    // Delivered the way the terminal service delivers, through an event subject.
    Utilities::Events::EventSubject link;
    link.registerObserver(registry);
    if (foreign)
        link.sendEvent(EventClass(eventClass), other);
    else
        registry.notify(EventClass(eventClass), event);

    QCOMPARE(value.received, received);
    QCOMPARE(value.transmitted, transmitted);
    QCOMPARE(downstream.count, passedOn);
    if (received) {
        QCOMPARE(value.lastLength, std::uint64_t(2));
        QCOMPARE(value.firstByte, 0x34);
    }
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
    const int allocations = guard.count();

    QVERIFY(found);
    QCOMPARE(values.back().received, 1);
    QCOMPARE(downstream.count, 1);
    QCOMPARE(allocations, 0);
}

QTEST_GUILESS_MAIN(TestModelRegistry)
#include "tst_modelregistry.moc"
