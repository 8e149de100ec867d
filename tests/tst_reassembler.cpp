// Stream reassembly: a frame across the ring's end, overflow that drops the oldest bytes, and
// bytes stored while idle.
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

} // namespace

class TestReassembler : public QObject
{
    Q_OBJECT

private slots:
    void frameAcrossRingEnd_data();
    void frameAcrossRingEnd();
    void overflowDropsOldest();
    void idleStoresWithoutParsing();
};

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

QTEST_GUILESS_MAIN(TestReassembler)
#include "tst_reassembler.moc"
