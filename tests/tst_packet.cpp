#include "link/talolinkcommandid.h"
#include "link/talolinkpacket.h"
#include "update/crc32.h"

#include <QtTest>

using Component::Interfaces::TaloLinkCommandID;
using Component::Interfaces::TaloLinkPacket;
using Terminal = TaloLinkPacket::Terminal;
using Arg = TaloLinkPacket::Arg;

Q_DECLARE_METATYPE(Terminal)
Q_DECLARE_METATYPE(TaloLinkCommandID)

namespace {

Arg argOf(const QByteArray& bytes)
{
    return Arg {
        reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::uint16_t(bytes.size())};
}

TaloLinkPacket::ArgList argsOf(const QList<QByteArray>& list)
{
    TaloLinkPacket::ArgList args;
    for (const QByteArray& bytes : list)
        args.append(argOf(bytes));
    return args;
}

QList<QByteArray> bytesOf(const TaloLinkPacket& packet)
{
    QList<QByteArray> list;
    for (const Arg& arg : packet.args)
        list.append(QByteArray(reinterpret_cast<const char*>(arg.data), arg.length));
    return list;
}

// A frame with any number of arguments, which build() cannot make.
QByteArray handFrame(quint16 command, const QList<QByteArray>& args)
{
    QByteArray body;
    for (const QByteArray& arg : args) {
        body.append(char(arg.size() & 0xFF)).append(char(arg.size() >> 8));
        body.append(arg);
    }
    const int length = 15 + body.size();
    QByteArray frame("702#");
    frame.append(char(length & 0xFF)).append(char(length >> 8));
    frame.append(char(command & 0xFF)).append(char(command >> 8));
    frame.append(char(2)).append(char(0)).append(char(args.size()));
    frame.append(body);
    const quint32 crc = Utilities::CRC32().calculateChecksum(
        reinterpret_cast<const std::uint8_t*>(frame.constData()), quint32(frame.size()),
        0xFFFFFFFFu);
    for (int i = 0; i < 4; ++i)
        frame.append(char(crc >> (8 * i)));
    return frame;
}

} // namespace

class TestPacket : public QObject
{
    Q_OBJECT

private slots:
    void knownFrames_data();
    void knownFrames();
    void argumentLayouts_data();
    void argumentLayouts();
    void decodeStopsAtTheChecksum();
    void textForm_data();
    void textForm();
    void commandNames_data();
    void commandNames();
};

void TestPacket::knownFrames_data()
{
    QTest::addColumn<TaloLinkCommandID>("command");
    QTest::addColumn<Terminal>("destination");
    QTest::addColumn<QList<QByteArray>>("args");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("name request to the display")
        << TaloLinkCommandID::GetName << Terminal::Display << QList<QByteArray>()
        << QByteArray::fromHex("373032230F000500020100"
                               "1CFA2C51");
    QTest::newRow("name request to the platform")
        << TaloLinkCommandID::GetName << Terminal::Platform << QList<QByteArray>()
        << QByteArray::fromHex("373032230F000500020000"
                               "5DCB3748");
    QTest::newRow("value request for 39")
        << TaloLinkCommandID::GetModelValue << Terminal::Platform
        << QList<QByteArray> {QByteArray::fromHex("2700")}
        << QByteArray::fromHex("37303223130007000200010200270080356FAA");
}

void TestPacket::knownFrames()
{
    QFETCH(TaloLinkCommandID, command);
    QFETCH(Terminal, destination);
    QFETCH(QList<QByteArray>, args);
    QFETCH(QByteArray, expected);

    const QByteArray frame
        = TaloLinkPacket::build(command, Terminal::Host, destination, argsOf(args));
    QCOMPARE(frame.toHex(' '), expected.toHex(' '));

    const TaloLinkPacket packet = TaloLinkPacket::decode(expected);
    QCOMPARE(packet.coding, TaloLinkPacket::Coding);
    QCOMPARE(int(packet.length), expected.size());
    QCOMPARE(packet.command, command);
    QCOMPARE(packet.source, Terminal::Host);
    QCOMPARE(packet.destination, destination);
    QCOMPARE(bytesOf(packet), args);
    QVERIFY(packet.isChecksumValid());
}

void TestPacket::argumentLayouts_data()
{
    QTest::addColumn<QList<QByteArray>>("args");
    QTest::addColumn<int>("length");

    QTest::newRow("none") << QList<QByteArray>() << 15;
    QTest::newRow("one of 2") << QList<QByteArray> {"\x01\x02"} << 19;
    QTest::newRow("2 and 4") << QList<QByteArray> {"ab", "cdef"} << 25;
    QTest::newRow("empty one") << QList<QByteArray> {QByteArray()} << 17;
    QTest::newRow("three, middle empty")
        << QList<QByteArray> {"x", QByteArray(), QByteArray(300, '\x13')} << 15 + 3 + 2 + 302;
    QTest::newRow("four") << QList<QByteArray> {"a", "bb", "ccc", "dddd"} << 15 + 4 * 2 + 10;
}

void TestPacket::argumentLayouts()
{
    QFETCH(QList<QByteArray>, args);
    QFETCH(int, length);

    const QByteArray frame = handFrame(quint16(TaloLinkCommandID::Memblock), args);
    QCOMPARE(frame.size(), length);
    if (args.size() <= 3) {
        const QByteArray built = TaloLinkPacket::build(
            TaloLinkCommandID::Memblock, Terminal::Host, Terminal::Platform, argsOf(args));
        QCOMPARE(built, frame);
    }

    // Arguments are laid out back to back, each after its little-endian length.
    int offset = 11;
    for (const QByteArray& arg : args) {
        QCOMPARE(quint8(frame[offset]) | quint8(frame[offset + 1]) << 8, arg.size());
        QCOMPARE(frame.mid(offset + 2, arg.size()), arg);
        offset += 2 + arg.size();
    }
    QCOMPARE(offset, length - 4);

    const TaloLinkPacket packet = TaloLinkPacket::decode(frame);
    QCOMPARE(int(packet.argCount), args.size());
    QCOMPARE(bytesOf(packet), args.mid(0, 3));
    QVERIFY(packet.isChecksumValid());
}

void TestPacket::decodeStopsAtTheChecksum()
{
    // The second argument claims 200 bytes; reading it would run past the frame.
    QByteArray frame
        = handFrame(quint16(TaloLinkCommandID::SetModelValue), {QByteArray("\x05\x00", 2), "abcd"});
    frame[15] = char(200);
    const TaloLinkPacket packet = TaloLinkPacket::decode(frame);
    QCOMPARE(int(packet.argCount), 2);
    QCOMPARE(bytesOf(packet), QList<QByteArray> {QByteArray("\x05\x00", 2)});

    QCOMPARE(int(TaloLinkPacket::decode(frame.left(14)).length), 0);
}

void TestPacket::textForm_data()
{
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<QString>("text");

    QTest::newRow("name request")
        << QByteArray::fromHex("373032230F000500020100"
                               "1CFA2C51")
        << "GetName: Host -> Display, Coding: 0x23323037, Length: 15bytes, ArgCount: 0, "
           "Checksum: 0x512cfa1c";
    const QByteArray oneArg
        = handFrame(quint16(TaloLinkCommandID::SetModelValue), {QByteArray("\x01\x00", 2)});
    const quint32 crc = quint8(oneArg[15]) | quint8(oneArg[16]) << 8 | quint8(oneArg[17]) << 16
        | quint32(quint8(oneArg[18])) << 24;
    QTest::newRow("one argument")
        << oneArg
        << "SetModelValue: Host -> Platform, Coding: 0x23323037, Length: 19bytes, ArgCount: 1 { "
           "0x1 0x0 } , Checksum: 0x"
            + QString::number(crc, 16);
    QByteArray strange = handFrame(47, {});
    strange[8] = char(7);
    QTest::newRow("unknown code and terminal")
        << strange
        << QString(
               "Unknown: Unknown -> Platform, Coding: 0x23323037, Length: 15bytes, ArgCount: 0, "
               "Checksum: 0x")
            + QString::number(TaloLinkPacket::decode(strange).checksum, 16);
}

void TestPacket::textForm()
{
    QFETCH(QByteArray, frame);
    QFETCH(QString, text);
    QCOMPARE(TaloLinkPacket::decode(frame).toString(), text);
}

void TestPacket::commandNames_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("name");

    QTest::newRow("0") << 0 << "Reset";
    QTest::newRow("5") << 5 << "GetName";
    QTest::newRow("34") << 34 << "GetThermalCapacity";
    QTest::newRow("45") << 45 << "DeviceProtectionSetDCProtection";
    QTest::newRow("46") << 46 << "MaxCount";
    QTest::newRow("47") << 47 << "Unknown";
    QTest::newRow("65535") << 65535 << "Unknown";
}

void TestPacket::commandNames()
{
    QFETCH(int, code);
    QFETCH(QString, name);
    QCOMPARE(Component::Interfaces::commandName(TaloLinkCommandID(code)), name);
}

QTEST_GUILESS_MAIN(TestPacket)
#include "tst_packet.moc"
