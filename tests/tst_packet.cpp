#include "link/talolinkpacket.h"
#include "update/crc32.h"

#include <QtTest>

using Component::Interfaces::TaloLinkCommandID;
using Component::Interfaces::TaloLinkPacket;
using Terminal = TaloLinkPacket::Terminal;

Q_DECLARE_METATYPE(Terminal)
Q_DECLARE_METATYPE(TaloLinkCommandID)

namespace {

TaloLinkPacket::ArgList argsOf(const QList<QByteArray>& list)
{
    TaloLinkPacket::ArgList args;
    for (const QByteArray& bytes : list)
        args.append({reinterpret_cast<const std::uint8_t*>(bytes.constData()),
            std::uint16_t(bytes.size())});
    return args;
}

QList<QByteArray> bytesOf(const TaloLinkPacket& packet)
{
    QList<QByteArray> list;
    for (const auto& arg : packet.args)
        list.append(QByteArray(reinterpret_cast<const char*>(arg.data), arg.length));
    return list;
}

// A frame with any number of arguments, which build() cannot make.
QByteArray handFrame(quint16 command, const QList<QByteArray>& args)
{
    QByteArray body;
    for (const QByteArray& arg : args)
        body.append(char(arg.size() & 0xFF)).append(char(arg.size() >> 8)).append(arg);
    const int length = 15 + body.size();
    QByteArray frame("702#");
    frame.append(char(length & 0xFF)).append(char(length >> 8));
    frame.append(char(command & 0xFF)).append(char(command >> 8));
    frame.append(char(2)).append(char(0)).append(char(args.size())).append(body);
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
};

void TestPacket::knownFrames_data()
{
    QTest::addColumn<TaloLinkCommandID>("command");
    QTest::addColumn<Terminal>("destination");
    QTest::addColumn<QList<QByteArray>>("args");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("name request to the display")
        << TaloLinkCommandID::GetName << Terminal::Display << QList<QByteArray>()
        << QByteArray::fromHex("373032230F0005000201001CFA2C51");
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

    QCOMPARE(TaloLinkPacket::build(command, Terminal::Host, destination, argsOf(args)).toHex(' '),
        expected.toHex(' '));
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
    QTest::newRow("none") << QList<QByteArray>();
    QTest::newRow("2 and 4") << QList<QByteArray> {"ab", "cdef"};
    QTest::newRow("three, middle empty")
        << QList<QByteArray> {"x", QByteArray(), QByteArray(300, '\x13')};
    // Only three are decoded; the count still says four.
    QTest::newRow("four") << QList<QByteArray> {"a", "bb", "ccc", "dddd"};
}

void TestPacket::argumentLayouts()
{
    QFETCH(QList<QByteArray>, args);
    const QByteArray frame = handFrame(quint16(TaloLinkCommandID::Memblock), args);
    if (args.size() <= 3)
        QCOMPARE(TaloLinkPacket::build(
                     TaloLinkCommandID::Memblock, Terminal::Host, Terminal::Platform, argsOf(args)),
            frame);
    const TaloLinkPacket packet = TaloLinkPacket::decode(frame);
    QCOMPARE(int(packet.length), frame.size());
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
    const QByteArray oneArg
        = handFrame(quint16(TaloLinkCommandID::SetModelValue), {QByteArray("\x01\x00", 2)});
    QTest::newRow("one argument")
        << oneArg
        << "SetModelValue: Host -> Platform, Coding: 0x23323037, Length: 19bytes, ArgCount: 1 { "
           "0x1 0x0 } , Checksum: 0x"
            + QString::number(TaloLinkPacket::decode(oneArg).checksum, 16);
    QByteArray strange = handFrame(47, {});
    strange[8] = char(7);
    QTest::newRow("unknown code and terminal")
        << strange
        << "Unknown: Unknown -> Platform, Coding: 0x23323037, Length: 15bytes, ArgCount: 0, "
           "Checksum: 0x"
            + QString::number(TaloLinkPacket::decode(strange).checksum, 16);
}

void TestPacket::textForm()
{
    QFETCH(QByteArray, frame);
    QFETCH(QString, text);
    QCOMPARE(TaloLinkPacket::decode(frame).toString(), text);
}

QTEST_GUILESS_MAIN(TestPacket)
#include "tst_packet.moc"
