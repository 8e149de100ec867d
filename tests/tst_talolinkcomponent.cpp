#include "link/serialport.h"
#include "link/talolinkcomponent.h"
#include "link/talolinkpacket.h"
#include "link/talolinkusbcomponent.h"
#include "ptypair.h"

#include <QSignalSpy>
#include <QtTest>

#include <functional>
#include <vector>

using Application::R58::SerialPort;
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

QByteArray memblockData()
{
    QByteArray data(512, '\0');
    for (int i = 0; i < data.size(); ++i)
        data[i] = char(i * 7 + 1);
    return data;
}

// An operation of the component and the frame it must write.
struct Case
{
    const char* name;
    std::function<int(TaloLinkComponent&)> call;
    TaloLinkCommandID command;
    Terminal source;
    Terminal destination;
    QList<QByteArray> args;
};

const std::vector<Case>& cases()
{
    using C = TaloLinkCommandID;
    const auto hex = [](const char* text) { return QByteArray::fromHex(text); };
    const Terminal H = Terminal::Host, P = Terminal::Platform, D = Terminal::Display;
    static const std::vector<Case> all {
        {"jumpToBootloader", [](auto& c) { return c.jumpToBootloader(D); }, C::JumpToBootloader, H,
            D, {}},
        {"getDisplayName", [](auto& c) { return c.getDisplayName(); }, C::GetName, H, D, {}},
        {"setModelValue size 1",
            [](auto& c) { return c.setModelValue(ModelValueID(2), 0x12345678, 1); },
            C::SetModelValue, H, P, {hex("0200"), hex("78")}},
        {"setModelValue size 2",
            [](auto& c) { return c.setModelValue(ModelValueID(2), 0x12345678, 2); },
            C::SetModelValue, H, P, {hex("0200"), hex("7856")}},
        {"setModelValue size 4",
            [](auto& c) { return c.setModelValue(ModelValueID(0x0102), 0x12345678, 4); },
            C::SetModelValue, H, P, {hex("0201"), hex("78563412")}},
        {"setModelValue float", [](auto& c) { return c.setModelValue(ModelValueID(34), 1.5f); },
            C::SetModelValue, H, P, {hex("2200"), hex("0000c03f")}},
        {"fireModelAction", [](auto& c) { return c.fireModelAction(ModelActionID(3)); },
            C::FireModelAction, H, P, {hex("0300")}},
        {"startApplicationUpdate",
            [](auto& c) { return c.startApplicationUpdate(D, 0x0102, 0xA1B2C3D4u); },
            C::ApplicationUpdate, H, D, {hex("0201"), hex("d4c3b2a1")}},
        {"sendMemblock",
            [](auto& c) {
                const QByteArray data = memblockData();
                return c.sendMemblock(P, 0x0304,
                    reinterpret_cast<const unsigned char*>(data.constData()), 512, 0x11223344u);
            },
            C::Memblock, H, P, {hex("0403"), memblockData(), hex("44332211")}},
        // Only command, terminals and arguments count; length and checksum are made anew.
        {"sendPacket",
            [](auto& c) {
                TaloLinkPacket packet = TaloLinkPacket::decode(
                    QByteArray::fromHex("37303223130007000200010200270080356FAA"));
                packet.source = D;
                packet.destination = H;
                packet.checksum = 0;
                packet.length = 99;
                return c.sendPacket(packet);
            },
            C::GetModelValue, D, H, {hex("2700")}},
        {"writeCommand", [](auto& c) { return c.writeCommand(C::DumpEEPROM, H, D); }, C::DumpEEPROM,
            H, D, {}},
    };
    return all;
}

QSharedPointer<SerialPort> portOn(const QString& path)
{
    return QSharedPointer<SerialPort>::create(nullptr, path);
}

} // namespace

class TestTaloLinkComponent : public QObject
{
    Q_OBJECT

private slots:
    void frames_data();
    void frames();
    void writeLineIsPlainText();
    void nullPort();
    void closedPort();
    void openPort();
};

void TestTaloLinkComponent::frames_data()
{
    QTest::addColumn<int>("index");
    for (std::size_t i = 0; i < cases().size(); ++i)
        QTest::newRow(cases()[i].name) << int(i);
}

void TestTaloLinkComponent::frames()
{
    QFETCH(int, index);
    const Case& expected = cases()[std::size_t(index)];
    RecordingComponent component;
    QCOMPARE(expected.call(component), 0);
    QCOMPARE(component.written.size(), 1);

    TaloLinkPacket::ArgList list;
    for (const QByteArray& arg : expected.args)
        list.append(
            {reinterpret_cast<const std::uint8_t*>(arg.constData()), std::uint16_t(arg.size())});
    QCOMPARE(component.written.first().toHex(),
        TaloLinkPacket::build(expected.command, expected.source, expected.destination, list)
            .toHex());
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
    const unsigned char byte = 0;
    QCOMPARE(component.writeData(&byte, 1), TaloLinkUSBComponent::NoPort);
    QCOMPARE(component.writeData(std::string("x")), TaloLinkUSBComponent::NoPort);
    QCOMPARE(component.writeLine("x"), TaloLinkUSBComponent::NoPort);
    QVERIFY(!component.open());
    component.close();
    for (const Case& operation : cases())
        QCOMPARE(operation.call(component), 0);
}

void TestTaloLinkComponent::closedPort()
{
    const auto port = portOn(QStringLiteral("/nonexistent/ttyR58"));
    TaloLinkUSBComponent component(port);
    QSignalSpy transmitted(port.data(), &SerialPort::dataTransmitted);
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
    const auto port = portOn(pty.slavePath());
    TaloLinkUSBComponent component(port);
    QVERIFY(component.open());
    QSignalSpy transmitted(port.data(), &SerialPort::dataTransmitted);

    QCOMPARE(component.getDisplayName(), 0);
    QCOMPARE(component.writeLine("ver"), TaloLinkUSBComponent::WriteOk);
    QCOMPARE(transmitted.count(), 2);
    const QByteArray expected = QByteArray::fromHex("373032230F0005000201001CFA2C51") + "ver\r\n";
    QByteArray onTheLine;
    QTRY_VERIFY_WITH_TIMEOUT((onTheLine += pty.readMaster()).size() >= expected.size(), 10000);
    QCOMPARE(onTheLine.toHex(), expected.toHex());

    component.close();
    QVERIFY(!port->isOpen());
    QCOMPARE(component.writeLine("ver"), TaloLinkUSBComponent::WriteFailed);
}

QTEST_GUILESS_MAIN(TestTaloLinkComponent)
#include "tst_talolinkcomponent.moc"
