#include "update/crc32.h"

#include <QRandomGenerator>
#include <QtTest>

#include <vector>
#include <zlib.h>

namespace {

std::uint32_t crcOf(const QByteArray& data, std::uint32_t start = 0xFFFFFFFFu, int from = 0)
{
    return Utilities::CRC32().calculateChecksum(
        reinterpret_cast<const std::uint8_t*>(data.constData()) + from,
        std::uint32_t(data.size() - from), start);
}

} // namespace

class TestCrc32 : public QObject
{
    Q_OBJECT

private slots:
    void knownValues_data();
    void knownValues();
    void agreesWithZlib();
    void startValueIsTakenAsItIs();
};

void TestCrc32::knownValues_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<quint32>("expected");
    QTest::newRow("check value") << QByteArray("123456789") << quint32(0xCBF43926u);
    QTest::newRow("empty") << QByteArray() << quint32(0);
    QTest::newRow("one zero byte") << QByteArray(1, '\0') << quint32(0xD202EF8Du);
}

void TestCrc32::knownValues()
{
    QFETCH(QByteArray, data);
    QFETCH(quint32, expected);
    QCOMPARE(crcOf(data), expected);
}

void TestCrc32::agreesWithZlib()
{
    QRandomGenerator random(0x52353821u);
    for (int length : {1, 3, 7, 16, 17, 255, 256, 513, 539, 4096, 65537}) {
        for (int round = 0; round < 4; ++round) {
            QByteArray buffer(length, '\0');
            for (char& byte : buffer)
                byte = char(random.bounded(256));
            const auto zlib
                = ::crc32(0L, reinterpret_cast<const Bytef*>(buffer.constData()), uInt(length));
            QCOMPARE(crcOf(buffer), std::uint32_t(zlib));
        }
    }
}

void TestCrc32::startValueIsTakenAsItIs()
{
    // A length of 0 returns the complement of the start value.
    QCOMPARE(crcOf(QByteArray(), 0x12345678u), ~0x12345678u);
    // Chaining: the complemented result of the first half starts the second.
    const QByteArray data("123456789");
    QCOMPARE(crcOf(data, ~crcOf(data.left(4)), 4), 0xCBF43926u);
}

QTEST_GUILESS_MAIN(TestCrc32)
#include "tst_crc32.moc"
