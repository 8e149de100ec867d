#include "link/serialport.h"
#include "link/talolinkcomponent.h"
#include "link/talolinkpacket.h"
#include "link/talolinkusbcomponent.h"
#include "ptypair.h"

#include <QSignalSpy>
#include <QtTest>

using Component::Interfaces::TaloLinkCommandID;
using Component::Interfaces::TaloLinkPacket;
using Component::R58::TaloLinkComponent;
using Component::R58::TaloLinkUSBComponent;
using Model::Interfaces::ModelActionID;
using Model::Interfaces::ModelValueID;
using Terminal = TaloLinkPacket::Terminal;

namespace {

// Keeps every block the component hands to its transport.
class RecordingComponent : public TaloLinkComponent
{
public:
    RecordingComponent()
        : TaloLinkComponent(
            Component::Interfaces::ComponentID::TaloLinkUSB, Terminal::Host, Terminal::Platform)
    {
    }
    bool open() override { return true; }
    void close() override { }
    int writeData(const unsigned char* data, unsigned long size) override
    {
        written.append(QByteArray(reinterpret_cast<const char*>(data), int(size)));
        return -3; // a failing transport must not change the operations' result
    }
    int writeData(const std::string& data) override
    {
        written.append(QByteArray::fromStdString(data));
        return 7;
    }
    QList<QByteArray> written;

protected:
    void performStartup() override { }
    void performShutdown() override { }
};

enum class Operation {
    Reset,
    JumpToBootloader,
    PlatformName,
    DisplayName,
    SetValue1,
    SetValue2,
    SetValue4,
    SetFloat,
    GetValue,
    FireAction,
    StartUpdate,
    SendMemblock,
    SendPacket,
    WriteCommand,
};

QByteArray memblockData()
{
    QByteArray data(512, '\0');
    for (int i = 0; i < data.size(); ++i)
        data[i] = char(i * 7 + 1);
    return data;
}

int perform(TaloLinkComponent& component, Operation operation)
{
    switch (operation) {
    case Operation::Reset:
        return component.reset();
    case Operation::JumpToBootloader:
        return component.jumpToBootloader(Terminal::Display);
    case Operation::PlatformName:
        return component.getPlatformName();
    case Operation::DisplayName:
        return component.getDisplayName();
    case Operation::SetValue1:
        return component.setModelValue(ModelValueID(2), 0x12345678, 1);
    case Operation::SetValue2:
        return component.setModelValue(ModelValueID(2), 0x12345678, 2);
    case Operation::SetValue4:
        return component.setModelValue(ModelValueID(0x0102), 0x12345678, 4);
    case Operation::SetFloat:
        return component.setModelValue(ModelValueID(34), 1.5f);
    case Operation::GetValue:
        return component.getModelValue(ModelValueID(39));
    case Operation::FireAction:
        return component.fireModelAction(ModelActionID(3));
    case Operation::StartUpdate:
        return component.startApplicationUpdate(Terminal::Display, 0x0102, 0xA1B2C3D4u);
    case Operation::SendMemblock: {
        const QByteArray data = memblockData();
        return component.sendMemblock(Terminal::Platform, 0x0304,
            reinterpret_cast<const unsigned char*>(data.constData()), 512, 0x11223344u);
    }
    case Operation::SendPacket: {
        // Only command, terminals and arguments count; the rest is made anew.
        TaloLinkPacket packet
            = TaloLinkPacket::decode(QByteArray::fromHex("37303223130007000200010200270080356FAA"));
        packet.source = Terminal::Display;
        packet.destination = Terminal::Host;
        packet.checksum = 0;
        packet.length = 99;
        return component.sendPacket(packet);
    }
    case Operation::WriteCommand:
        return component.writeCommand(
            TaloLinkCommandID::DumpEEPROM, Terminal::Host, Terminal::Display);
    }
    return -1;
}

} // namespace

Q_DECLARE_METATYPE(Operation)
Q_DECLARE_METATYPE(TaloLinkCommandID)
Q_DECLARE_METATYPE(Terminal)

class TestTaloLinkComponent : public QObject
{
    Q_OBJECT

private slots:
    void frames_data();
    void frames();
    void knownBytes();
    void writeLineIsPlainText();
    void nullPort();
    void closedPort();
    void openPort();
};

void TestTaloLinkComponent::frames_data()
{
    QTest::addColumn<Operation>("operation");
    QTest::addColumn<TaloLinkCommandID>("command");
    QTest::addColumn<Terminal>("source");
    QTest::addColumn<Terminal>("destination");
    QTest::addColumn<QList<QByteArray>>("args");

    using C = TaloLinkCommandID;
    using L = QList<QByteArray>;
    const auto hex = [](const char* text) { return QByteArray::fromHex(text); };
    const Terminal H = Terminal::Host, P = Terminal::Platform, D = Terminal::Display;

    QTest::newRow("reset") << Operation::Reset << C::Reset << H << P << L();
    QTest::newRow("jumpToBootloader")
        << Operation::JumpToBootloader << C::JumpToBootloader << H << D << L();
    QTest::newRow("getPlatformName") << Operation::PlatformName << C::GetName << H << P << L();
    QTest::newRow("getDisplayName") << Operation::DisplayName << C::GetName << H << D << L();
    QTest::newRow("setModelValue size 1")
        << Operation::SetValue1 << C::SetModelValue << H << P << L {hex("0200"), hex("78")};
    QTest::newRow("setModelValue size 2")
        << Operation::SetValue2 << C::SetModelValue << H << P << L {hex("0200"), hex("7856")};
    QTest::newRow("setModelValue size 4")
        << Operation::SetValue4 << C::SetModelValue << H << P << L {hex("0201"), hex("78563412")};
    QTest::newRow("setModelValue float")
        << Operation::SetFloat << C::SetModelValue << H << P << L {hex("2200"), hex("0000c03f")};
    QTest::newRow("getModelValue")
        << Operation::GetValue << C::GetModelValue << H << P << L {hex("2700")};
    QTest::newRow("fireModelAction")
        << Operation::FireAction << C::FireModelAction << H << P << L {hex("0300")};
    QTest::newRow("startApplicationUpdate") << Operation::StartUpdate << C::ApplicationUpdate << H
                                            << D << L {hex("0201"), hex("d4c3b2a1")};
    QTest::newRow("sendMemblock") << Operation::SendMemblock << C::Memblock << H << P
                                  << L {hex("0403"), memblockData(), hex("44332211")};
    QTest::newRow("sendPacket") << Operation::SendPacket << C::GetModelValue << D << H
                                << L {hex("2700")};
    QTest::newRow("writeCommand") << Operation::WriteCommand << C::DumpEEPROM << H << D << L();
}

void TestTaloLinkComponent::frames()
{
    QFETCH(Operation, operation);
    QFETCH(TaloLinkCommandID, command);
    QFETCH(Terminal, source);
    QFETCH(Terminal, destination);
    QFETCH(QList<QByteArray>, args);

    RecordingComponent component;
    QCOMPARE(perform(component, operation), 0);
    QCOMPARE(component.written.size(), 1);
    const QByteArray frame = component.written.first();

    TaloLinkPacket::ArgList list;
    for (const QByteArray& arg : args)
        list.append(
            {reinterpret_cast<const std::uint8_t*>(arg.constData()), std::uint16_t(arg.size())});
    QCOMPARE(frame.toHex(), TaloLinkPacket::build(command, source, destination, list).toHex());

    const TaloLinkPacket packet = TaloLinkPacket::decode(frame);
    QCOMPARE(int(packet.length), frame.size());
    QCOMPARE(int(packet.argCount), args.size());
    QVERIFY(packet.isChecksumValid());
}

void TestTaloLinkComponent::knownBytes()
{
    RecordingComponent component;
    component.getDisplayName();
    component.getPlatformName();
    component.getModelValue(ModelValueID(39));
    perform(component, Operation::SendMemblock);
    QCOMPARE(component.written.size(), 4);
    QCOMPARE(component.written[0].toHex(),
        QByteArray("373032230f000500020100"
                   "1cfa2c51"));
    QCOMPARE(component.written[1].toHex(),
        QByteArray("373032230f000500020000"
                   "5dcb3748"));
    QCOMPARE(component.written[2].toHex(), QByteArray("37303223130007000200010200270080356faa"));
    QCOMPARE(component.written[3].size(), 539);
    QCOMPARE(component.written[3].mid(4, 2).toHex(), QByteArray("1b02"));
}

void TestTaloLinkComponent::writeLineIsPlainText()
{
    RecordingComponent component;
    QCOMPARE(component.writeLine("help"), 7); // the transport's own result
    QCOMPARE(component.written, QList<QByteArray> {"help\r\n"});
}

void TestTaloLinkComponent::nullPort()
{
    TaloLinkUSBComponent component(nullptr);
    QCOMPARE(component.getID(), Component::Interfaces::ComponentID::TaloLinkUSB);
    QCOMPARE(component.getSource(), Terminal::Host);
    QCOMPARE(component.getDestination(), Terminal::Platform);
    const unsigned char byte = 0;
    QCOMPARE(component.writeData(&byte, 1), TaloLinkUSBComponent::NoPort);
    QCOMPARE(component.writeData(std::string("x")), TaloLinkUSBComponent::NoPort);
    QCOMPARE(component.writeLine("x"), TaloLinkUSBComponent::NoPort);
    QVERIFY(!component.open());
    component.close();
    for (int op = int(Operation::Reset); op <= int(Operation::WriteCommand); ++op)
        QCOMPARE(perform(component, Operation(op)), 0);
}

void TestTaloLinkComponent::closedPort()
{
    const auto port = QSharedPointer<Application::R58::SerialPort>::create(
        nullptr, QStringLiteral("/nonexistent/ttyR58"));
    TaloLinkUSBComponent component(port);
    QSignalSpy transmitted(port.data(), &Application::R58::SerialPort::dataTransmitted);
    QVERIFY(transmitted.isValid());
    const unsigned char byte = 0;
    QCOMPARE(component.writeData(&byte, 1), TaloLinkUSBComponent::WriteFailed);
    QCOMPARE(component.writeLine("x"), TaloLinkUSBComponent::WriteFailed);
    QCOMPARE(component.getDisplayName(), 0);
    QCOMPARE(transmitted.count(), 0);
}

void TestTaloLinkComponent::openPort()
{
    PtyPair pty;
    QVERIFY(pty.isValid());
    const auto port
        = QSharedPointer<Application::R58::SerialPort>::create(nullptr, pty.slavePath());
    TaloLinkUSBComponent component(port);
    QVERIFY(component.open());
    QSignalSpy transmitted(port.data(), &Application::R58::SerialPort::dataTransmitted);
    QVERIFY(transmitted.isValid());

    QCOMPARE(component.getDisplayName(), 0);
    QCOMPARE(component.writeLine("ver"), TaloLinkUSBComponent::WriteOk);
    QCOMPARE(transmitted.count(), 2);
    const QByteArray expected = QByteArray::fromHex("373032230F000500020100"
                                                    "1CFA2C51")
        + "ver\r\n";
    QByteArray onTheLine;
    QTRY_VERIFY_WITH_TIMEOUT((onTheLine += pty.readMaster()).size() >= expected.size(), 10000);
    QCOMPARE(onTheLine.toHex(), expected.toHex());

    component.close();
    QVERIFY(!port->isOpen());
    QCOMPARE(component.writeLine("ver"), TaloLinkUSBComponent::WriteFailed);
}

QTEST_GUILESS_MAIN(TestTaloLinkComponent)
#include "tst_talolinkcomponent.moc"
