#include "link/talolinkpacket.h"
#include "link/talolinkreassembler.h"
#include "update/crc32.h"

#include <QRandomGenerator>
#include <QtTest>

using Component::Interfaces::TaloLinkCommandID;
using Component::Interfaces::TaloLinkPacket;
using Component::Interfaces::TaloLinkReassembler;
using Terminal = TaloLinkPacket::Terminal;

namespace {

QByteArray frameWith(quint16 value, int extra = 0)
{
    const QByteArray id(reinterpret_cast<const char*>(&value), 2);
    const QByteArray payload(extra, char(0x5A));
    TaloLinkPacket::ArgList args;
    args.append({reinterpret_cast<const std::uint8_t*>(id.constData()), 2});
    if (extra > 0)
        args.append({reinterpret_cast<const std::uint8_t*>(payload.constData()),
            std::uint16_t(payload.size())});
    return TaloLinkPacket::build(
        TaloLinkCommandID::SetModelValue, Terminal::Platform, Terminal::Host, args);
}

// Bytes that can never start a marker, so they never swallow a frame.
QByteArray garbage(int size, quint32 start = 1)
{
    QRandomGenerator random(start);
    QByteArray bytes(size, '\0');
    for (char& byte : bytes) {
        do
            byte = char(random.bounded(256));
        while (byte == '7');
    }
    return bytes;
}

QByteArray withLength(QByteArray frame, int length)
{
    frame[4] = char(length & 0xFF);
    frame[5] = char(length >> 8);
    return frame;
}

// Runs the reassembler after each read, as the woken receive thread does.
struct Receiver
{
    Receiver()
    {
        reassembler.setPacketHandler(
            [this](const TaloLinkPacket& packet) { frames.append(packet.raw); });
        reassembler.setState(TaloLinkReassembler::State::Sync);
    }
    void feed(const QList<QByteArray>& reads)
    {
        for (const QByteArray& read : reads) {
            reassembler.append(read);
            reassembler.run();
        }
    }
    TaloLinkReassembler reassembler;
    QList<QByteArray> frames;
};

QList<QByteArray> bytewise(const QByteArray& data)
{
    QList<QByteArray> reads;
    for (char byte : data)
        reads << QByteArray(1, byte);
    return reads;
}

} // namespace

class TestReassembler : public QObject
{
    Q_OBJECT

private slots:
    void streams_data();
    void streams();
    void frameAcrossRingEnd_data();
    void frameAcrossRingEnd();
    void overflowDropsOldest();
    void idleStoresWithoutParsing();
    void randomRoundTrip();
};

void TestReassembler::streams_data()
{
    QTest::addColumn<QList<QByteArray>>("reads");
    QTest::addColumn<QList<QByteArray>>("expected");

    const QByteArray a = frameWith(1);
    const QByteArray b = frameWith(2, 40);
    const QByteArray c = frameWith(3, 7);
    QByteArray corrupted = a;
    corrupted[corrupted.size() - 1] = char(corrupted.at(corrupted.size() - 1) ^ 0x01);

    QTest::newRow("one frame") << QList<QByteArray> {a} << QList<QByteArray> {a};
    QTest::newRow("garbage before a frame")
        << QList<QByteArray> {garbage(100) + a} << QList<QByteArray> {a};
    QTest::newRow("marker prefixes in garbage")
        << QList<QByteArray> {"7770702702" + a} << QList<QByteArray> {a};
    QTest::newRow("byte by byte") << bytewise(garbage(5) + b + c) << QList<QByteArray> {b, c};
    QTest::newRow("corrupted last byte, then intact")
        << QList<QByteArray> {corrupted + b} << QList<QByteArray> {b};
    QTest::newRow("corrupted length covers the next frame")
        << QList<QByteArray> {withLength(a, a.size() + 10) + c + b} << QList<QByteArray> {b};
    QTest::newRow("declared length 14")
        << QList<QByteArray> {withLength(a, 14) + c} << QList<QByteArray> {c};
    const QByteArray largest = frameWith(4, 1536 - 15 - 4 - 2);
    QTest::newRow("largest frame") << QList<QByteArray> {largest.left(700), largest.mid(700), a}
                                   << QList<QByteArray> {largest, a};
    // Above the limit the block is dropped, even when its last four bytes hold a valid checksum.
    QByteArray oversized = withLength(frameWith(5, 1536 - 15 - 4 - 2), 2000);
    oversized.chop(4);
    const quint32 crc = Utilities::CRC32().calculateChecksum(
        reinterpret_cast<const std::uint8_t*>(oversized.constData()), quint32(oversized.size()),
        0xFFFFFFFFu);
    for (int i = 0; i < 4; ++i)
        oversized.append(char(crc >> (8 * i)));
    QTest::newRow("declared length above 1536") << QList<QByteArray> {oversized.left(1000),
        oversized.mid(1000), c} << QList<QByteArray> {c};
    QTest::newRow("declared length above 1536 swallows what it covers")
        << QList<QByteArray> {withLength(a, 1537), c, garbage(1536), b} << QList<QByteArray> {b};
}

void TestReassembler::streams()
{
    QFETCH(QList<QByteArray>, reads);
    QFETCH(QList<QByteArray>, expected);

    Receiver receiver;
    receiver.feed(reads);
    QCOMPARE(receiver.frames, expected);
}

void TestReassembler::frameAcrossRingEnd_data()
{
    QTest::addColumn<int>("unreadAtEnd");

    // The ring's end cuts the frame in the marker, length, arguments or checksum.
    for (int cut : {1, 5, 12, 61})
        QTest::newRow(qPrintable(QStringLiteral("%1 bytes before the end").arg(cut))) << cut;
}

void TestReassembler::frameAcrossRingEnd()
{
    QFETCH(int, unreadAtEnd);
    const QByteArray frame = frameWith(9, 45);
    QVERIFY(frame.size() > unreadAtEnd);

    Receiver receiver;
    // Garbage plus the head of a frame fill the ring up to its end; the head stays unread.
    const int garbageSize = int(TaloLinkReassembler::BufferSize) - unreadAtEnd;
    receiver.feed({garbage(garbageSize), frame.left(unreadAtEnd)});
    QCOMPARE(receiver.reassembler.getWritePosition(), std::size_t(0));
    QVERIFY(receiver.reassembler.getFillLevel() >= std::size_t(unreadAtEnd));
    QVERIFY(receiver.reassembler.getFillLevel() < std::size_t(unreadAtEnd + 4));
    QVERIFY(receiver.frames.isEmpty());

    receiver.reassembler.append(frame.mid(unreadAtEnd));
    QVERIFY(receiver.reassembler.getWritePosition() < receiver.reassembler.getReadPosition());
    receiver.reassembler.run();
    QCOMPARE(receiver.frames, QList<QByteArray> {frame});
    QVERIFY(receiver.reassembler.isEmpty());
    QCOMPARE(receiver.reassembler.getReadPosition(), std::size_t(0));
}

void TestReassembler::overflowDropsOldest()
{
    const QByteArray first = frameWith(1, 80);
    const QByteArray second = frameWith(2);
    const QByteArray third = frameWith(3);

    // More than the ring holds arrives at once: the oldest bytes give way.
    Receiver receiver;
    QByteArray burst = first + garbage(1500) + second + third;
    QCOMPARE(receiver.reassembler.append(burst), std::size_t(burst.size() - 1536));
    QCOMPARE(receiver.reassembler.getFillLevel(), std::size_t(1536));
    receiver.reassembler.run();
    QCOMPARE(receiver.frames, (QList<QByteArray> {second, third}));

    // The same while a frame is half parsed: the stale expected length must not
    // swallow the frame right behind the cut.
    Receiver waiting;
    waiting.feed({first.left(30)});
    QCOMPARE(waiting.reassembler.getState(), TaloLinkReassembler::State::Body);
    const int cut = 30 + 1600 - 1536; // first kept byte of the second read
    QByteArray flood = garbage(cut + 6) + second;
    flood += garbage(1600 - flood.size());
    QCOMPARE(flood.size(), 1600);
    waiting.feed({flood});
    QCOMPARE(waiting.frames, QList<QByteArray> {second});
}

void TestReassembler::idleStoresWithoutParsing()
{
    Receiver receiver;
    receiver.reassembler.setState(TaloLinkReassembler::State::Idle);
    const QByteArray frame = frameWith(7);
    receiver.feed({frame});
    QVERIFY(receiver.frames.isEmpty());
    QCOMPARE(receiver.reassembler.getFillLevel(), std::size_t(frame.size()));

    receiver.reassembler.setState(TaloLinkReassembler::State::Sync);
    QCOMPARE(receiver.reassembler.run(), std::size_t(1));
    QCOMPARE(receiver.frames, QList<QByteArray> {frame});
}

void TestReassembler::randomRoundTrip()
{
    QRandomGenerator random(20240607u);
    QList<QByteArray> sent;
    QByteArray stream;
    for (int i = 0; i < 300; ++i) {
        QByteArray args[3];
        TaloLinkPacket::ArgList list;
        for (int a = 0, count = int(random.bounded(4)); a < count; ++a) {
            // Any byte values, markers included.
            args[a].resize(int(random.bounded(200)));
            for (char& byte : args[a])
                byte = char(random.bounded(256));
            list.append({reinterpret_cast<const std::uint8_t*>(args[a].constData()),
                std::uint16_t(args[a].size())});
        }
        sent << TaloLinkPacket::build(TaloLinkCommandID(random.bounded(47)),
            Terminal(random.bounded(3)), Terminal(random.bounded(3)), list);
        stream += garbage(int(random.bounded(40)), random.generate()) + sent.last();
    }
    Receiver receiver;
    for (int at = 0, size = 0; at < stream.size(); at += size)
        receiver.feed({stream.mid(at, size = 1 + int(random.bounded(600)))});
    QCOMPARE(receiver.frames, sent);
}

QTEST_GUILESS_MAIN(TestReassembler)
#include "tst_reassembler.moc"
