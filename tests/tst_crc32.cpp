#include "update/crc32.h"

#include <QRandomGenerator>
#include <QtTest>

#include <vector>
#include <zlib.h>

class TestCrc32 : public QObject
{
    Q_OBJECT

private slots:
    void knownValues_data();
    void knownValues();
    void tableMatchesDefinition();
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
    QTest::newRow("quick fox") << QByteArray("The quick brown fox jumps over the lazy dog")
                               << quint32(0x414FA339u);
}

void TestCrc32::knownValues()
{
    QFETCH(QByteArray, data);
    QFETCH(quint32, expected);
    const Utilities::CRC32 crc;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(data.constData());
    QCOMPARE(crc.calculateChecksum(bytes, std::uint32_t(data.size()), 0xFFFFFFFFu), expected);
}

void TestCrc32::tableMatchesDefinition()
{
    // Spot checks of the published table of the reflected 0xEDB88320 polynomial.
    QCOMPARE(Utilities::CRC32::m_crc32Table[0], 0x00000000u);
    QCOMPARE(Utilities::CRC32::m_crc32Table[1], 0x77073096u);
    QCOMPARE(Utilities::CRC32::m_crc32Table[128], 0xEDB88320u);
    QCOMPARE(Utilities::CRC32::m_crc32Table[255], 0x2D02EF8Du);
}

void TestCrc32::agreesWithZlib()
{
    QRandomGenerator random(0x52353821u);
    const Utilities::CRC32 crc;
    std::vector<std::uint8_t> buffer;
    for (int length : {1, 2, 3, 7, 15, 16, 17, 255, 256, 511, 512, 513, 539, 4096, 65537}) {
        for (int round = 0; round < 8; ++round) {
            buffer.resize(std::size_t(length));
            for (auto& byte : buffer)
                byte = std::uint8_t(random.bounded(256));
            const auto ours
                = crc.calculateChecksum(buffer.data(), std::uint32_t(length), 0xFFFFFFFFu);
            const auto zlib = ::crc32(0L, buffer.data(), uInt(length));
            QCOMPARE(ours, std::uint32_t(zlib));
        }
    }
}

void TestCrc32::startValueIsTakenAsItIs()
{
    // A length of 0 returns the complement of the start value, not a standard CRC.
    const Utilities::CRC32 crc;
    const std::uint8_t byte = 0;
    QCOMPARE(crc.calculateChecksum(&byte, 0, 0x12345678u), ~0x12345678u);
    // Chaining: the complemented result of the first half starts the second.
    const QByteArray data("123456789");
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(data.constData());
    const auto first = crc.calculateChecksum(bytes, 4, 0xFFFFFFFFu);
    QCOMPARE(crc.calculateChecksum(bytes + 4, 5, ~first), 0xCBF43926u);
}

QTEST_GUILESS_MAIN(TestCrc32)
#include "tst_crc32.moc"
