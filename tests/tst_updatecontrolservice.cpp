#include "update/updatecontrolservice.h"
#include "updatetestsupport.h"

#include <QSignalSpy>
#include <QtTest>

using Service::R58::UpdateControlService;
using namespace UpdateTest;

namespace {

const auto Plain = UpdateControlService::Plain;
const auto Encrypted = UpdateControlService::Encrypted;

struct TransferRow
{
    int imageSize;
    bool encrypt;
    Terminal terminal;
    QList<int> requests;
    QStringList trace;
};

struct RefusalRow
{
    QByteArray data;
    UpdateControlService::UpdateType type;
    Terminal terminal;
    bool digestError; // otherwise a refusal with a reason
};

// The service with a recording component and its signals in the same trace.
struct Fixture
{
    Fixture()
    {
        service.addComponent(link);
        service.startup();
        auto add = [this](const QString& line) { trace.append(line); };
        QObject::connect(&service, &UpdateControlService::progressChanged, &service,
            [add](int percent) { add(QStringLiteral("progress %1").arg(percent)); });
        QObject::connect(&service, &UpdateControlService::updateFinished, &service,
            [add] { add(QStringLiteral("finished")); });
        QObject::connect(&service, &UpdateControlService::digestError, &service,
            [add] { add(QStringLiteral("digest error")); });
        QObject::connect(
            &service, &UpdateControlService::updateRefused, &service, [add](const QString& reason) {
                add(reason.isEmpty() ? QStringLiteral("refused without reason")
                                     : QStringLiteral("refused"));
            });
    }
    QStringList trace;
    RecordingLink link {trace};
    UpdateControlService service;
};

} // namespace

Q_DECLARE_METATYPE(TransferRow)
Q_DECLARE_METATYPE(RefusalRow)

class TestUpdateControlService : public QObject
{
    Q_OBJECT

private slots:
    void transfer_data();
    void transfer();
    void refused_data();
    void refused();
    void largestImage();
    void withoutComponent();
};

void TestUpdateControlService::transfer_data()
{
    QTest::addColumn<TransferRow>("row");
    const QStringList twoBlocks {"progress 0", "announce P 2", "block P 0", "progress 50",
        "block P 1", "progress 100", "finished"};
    QTest::newRow("1000 bytes encrypted, cut to the length field")
        << TransferRow {1000, true, Terminal::Platform, {0, 1}, twoBlocks};
    QTest::newRow("1024 bytes, two full blocks")
        << TransferRow {1024, true, Terminal::Platform, {0, 1}, twoBlocks};
    QTest::newRow("to the display") << TransferRow {1000, true, Terminal::Display, {0, 1},
        QStringList(twoBlocks).replaceInStrings(" P ", " D ")};
    QTest::newRow("three blocks, the middle one never asked for")
        << TransferRow {1500, false, Terminal::Platform, {0, 2},
               {"progress 0", "announce P 3", "block P 0", "progress 33", "block P 2",
                   "progress 100", "finished"}};
    QTest::newRow("highest block first") << TransferRow {1500, false, Terminal::Platform, {2, 0},
        {"progress 0", "announce P 3", "block P 2", "progress 100", "finished", "block P 0",
            "progress 33"}};
    QTest::newRow("a block asked for twice is sent twice") << TransferRow {1000, false,
        Terminal::Platform, {0, 0, 1}, QStringList(twoBlocks.mid(0, 4)) + twoBlocks.mid(2)};
    QTest::newRow("requests beyond the image are ignored")
        << TransferRow {1000, false, Terminal::Platform, {2, 65535, 0, 1}, twoBlocks};
}

void TestUpdateControlService::transfer()
{
    QFETCH(TransferRow, row);
    Fixture f;
    const QByteArray image = randomImage(quint32(row.imageSize), row.imageSize);
    f.service.start(
        row.encrypt ? encrypted(image) : image, row.encrypt ? Encrypted : Plain, row.terminal);
    for (int index : qAsConst(row.requests))
        f.service.sendMemoryBlock(quint16(index));
    QCOMPARE(f.trace, row.trace);

    // The announced CRC covers the image without its padding.
    const TaloLinkPacket announce = f.link.last(TaloLinkCommandID::ApplicationUpdate, row.terminal);
    QCOMPARE(announce.args.size(), std::size_t(2));
    QCOMPARE(argNumber(announce, 1), zcrc(image));
    QCOMPARE(f.service.getImage(), image);

    // Each block is the image's slice at its index, with the slice's own CRC.
    for (const TaloLinkPacket& packet : qAsConst(f.link.packets)) {
        if (packet.command != TaloLinkCommandID::Memblock)
            continue;
        QCOMPARE(packet.args.size(), std::size_t(3));
        const QByteArray expected = image.mid(int(argNumber(packet, 0)) * 512, 512);
        QCOMPARE(argBytes(packet, 1), expected);
        QCOMPARE(argNumber(packet, 2), zcrc(expected));
        QCOMPARE(packet.destination, row.terminal);
    }
}

void TestUpdateControlService::refused_data()
{
    QTest::addColumn<RefusalRow>("row");
    const QByteArray image = randomImage(7, 1000);
    const QByteArray good = encrypted(image);
    QByteArray flipped = good;
    flipped[good.size() - 3] = char(flipped[good.size() - 3] ^ 0x80);
    const auto P = Terminal::Platform;
    QTest::newRow("one cipher text bit changed") << RefusalRow {flipped, Encrypted, P, true};
    QTest::newRow("cut inside the cipher text")
        << RefusalRow {good.left(good.size() - 5), Encrypted, Terminal::Display, true};
    QTest::newRow("length field beyond the decrypted text")
        << RefusalRow {withLengthField(good, 1009), Encrypted, P, false};
    QTest::newRow("length field above 2^31")
        << RefusalRow {withLengthField(good, (quint64(1) << 31) + 1), Encrypted, P, false};
    QTest::newRow("length field 0") << RefusalRow {withLengthField(good, 0), Encrypted, P, false};
    QTest::newRow("empty plain image") << RefusalRow {{}, Plain, P, false};
    QTest::newRow("65536 blocks") << RefusalRow {QByteArray(65535 * 512 + 1, 'x'), Plain, P, false};
    QTest::newRow("addressed to the host") << RefusalRow {good, Encrypted, Terminal::Host, false};
}

void TestUpdateControlService::refused()
{
    QFETCH(RefusalRow, row);
    Fixture f;
    // A good image first, sent whole: a refused one must not leave it to be sent again.
    f.service.start(randomImage(3, 2000), Plain, Terminal::Platform);
    QVERIFY(f.service.hasImage());
    for (quint16 index = 0; index < 4; ++index)
        f.service.sendMemoryBlock(index);
    QVERIFY(!f.service.isTransferring());
    f.trace.clear();
    f.link.packets.clear();
    f.service.start(row.data, row.type, row.terminal);
    QCOMPARE(f.trace, QStringList {row.digestError ? "digest error" : "refused"});
    QVERIFY(!f.service.hasImage());
    for (quint16 index : {0, 1, 3, 65535})
        f.service.sendMemoryBlock(index);
    QCOMPARE(f.trace.size(), 1);
    QVERIFY(f.link.packets.isEmpty());
}

void TestUpdateControlService::largestImage()
{
    // 65535 blocks is the most the 16-bit count can carry; the last block holds one byte.
    Fixture f;
    QByteArray image(65534 * 512 + 1, '\0');
    image[image.size() - 1] = 'z';
    f.service.start(image, Plain, Terminal::Platform);
    f.service.sendMemoryBlock(65534);
    QCOMPARE(f.trace,
        QStringList(
            {"progress 0", "announce P 65535", "block P 65534", "progress 100", "finished"}));
    QCOMPARE(
        argBytes(f.link.last(TaloLinkCommandID::Memblock, Terminal::Platform), 1), QByteArray("z"));
    QCOMPARE(argNumber(f.link.last(TaloLinkCommandID::ApplicationUpdate, Terminal::Platform), 1),
        zcrc(image));
}

void TestUpdateControlService::withoutComponent()
{
    // Without a component the transfer is still prepared and followed.
    UpdateControlService service;
    QSignalSpy progress(&service, &UpdateControlService::progressChanged);
    QSignalSpy finished(&service, &UpdateControlService::updateFinished);
    service.start(encrypted(randomImage(5, 600)), Encrypted, Terminal::Display);
    service.sendMemoryBlock(1);
    service.sendMemoryBlock(0);
    QCOMPARE(progress.size(), 3);
    QCOMPARE(progress.at(1).at(0).toInt(), 100);
    QCOMPARE(finished.size(), 1);
}

QTEST_GUILESS_MAIN(TestUpdateControlService)
#include "tst_updatecontrolservice.moc"
