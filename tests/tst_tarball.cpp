#include "update/tarball.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>
#include <memory>

using Utilities::Tarball;

namespace {

QByteArray pattern(int size, char first)
{
    QByteArray data(size, '\0');
    for (int i = 0; i < size; ++i)
        data[i] = char(first + i * 7);
    return data;
}

// Writes the files (name, size) into dir and archives them, with any extra
// members first, using GNU tar.
QByteArray makeArchive(const QTemporaryDir& dir, const QStringList& formatArgs,
    const QList<QPair<QString, int>>& files, const QStringList& extra = {})
{
    QStringList members = extra;
    for (int i = 0; i < files.size(); ++i) {
        QFile file(dir.filePath(files[i].first));
        if (!file.open(QIODevice::WriteOnly)
            || !file.write(pattern(files[i].second, char('a' + i))))
            return {};
        members << files[i].first;
    }
    const QString archive = dir.filePath(QStringLiteral("out.tar"));
    QProcess tar;
    tar.setWorkingDirectory(dir.path());
    tar.start(QStringLiteral("tar"), QStringList {"-cf", archive} + formatArgs + members);
    QFile file(archive);
    if (!tar.waitForFinished(30000) || tar.exitCode() != 0 || !file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

// A header block built by hand, for size fields tar would never write.
QByteArray header(const QByteArray& sizeField, const QByteArray& magic = "ustar")
{
    QByteArray block(512, '\0');
    block.replace(0, 4, "file");
    block.replace(124, sizeField.size(), sizeField);
    block.replace(257, 5, magic);
    return block;
}

} // namespace

class TestTarball : public QObject
{
    Q_OBJECT

private slots:
    void gnuTarArchives_data();
    void gnuTarArchives();
    void notATarball_data();
    void notATarball();
    void everyTruncation();
    void sizeFields_data();
    void sizeFields();
};

void TestTarball::gnuTarArchives_data()
{
    QTest::addColumn<QStringList>("formatArgs");
    QTest::newRow("ustar") << QStringList {QStringLiteral("--format=ustar")};
    QTest::newRow("tar default") << QStringList {};
}

void TestTarball::gnuTarArchives()
{
    QFETCH(QStringList, formatArgs);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("images/empty")));
    // A directory entry first, then seven files, the first exactly 1024 bytes.
    const QList<QPair<QString, int>> files {{"version.json", 1024}, {"images/platform.crypt", 700},
        {"b.bin", 1}, {"c.bin", 511}, {"d.bin", 512}, {"e.bin", 2000}, {"f.bin", 3}};
    const QByteArray archive = makeArchive(dir, formatArgs, files, {"images/empty"});
    QVERIFY(!archive.isEmpty());
    Tarball tarball(archive.constData(), archive.size());
    QVERIFY(tarball.isTarball());
    QVERIFY(tarball.parse());
    QVERIFY(!tarball.isDamaged());
    const auto& records = tarball.getAllFiles();
    for (int i = 0; i < Tarball::MaxFiles; ++i) {
        QCOMPARE(records[i].name, files[i].first.toUtf8());
        QCOMPARE(records[i].data, archive.constData() + records[i].dataOffset);
        QCOMPARE(
            QByteArray(records[i].data, records[i].size), pattern(files[i].second, char('a' + i)));
    }
    // The 1024-byte file's data is followed directly by the next header.
    QCOMPARE(records[1].dataOffset, records[0].dataOffset + 1024 + 512);
    QVERIFY(tarball.fileExists("images/platform.crypt"));
    QVERIFY(!tarball.fileExists("platform.crypt"));
    QVERIFY(!tarball.fileExists("VERSION.JSON"));
    QVERIFY(!tarball.fileExists("e.bin")); // sixth file: no record left
    QVERIFY(!tarball.fileExists("images/empty/"));
    QCOMPARE(tarball.getFile("d.bin"), &records[4]);
    QCOMPARE(tarball.getFile("f.bin"), nullptr);
}

void TestTarball::notATarball_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("short") << QByteArray(261, 'x');
    QTest::newRow("zeros") << QByteArray(1024, '\0');
    QTest::newRow("wrong magic") << header("00000000012", "USTAR") + QByteArray(512, 'x');
}

void TestTarball::notATarball()
{
    QFETCH(QByteArray, data);
    Tarball tarball(data.constData(), data.size());
    QVERIFY(!tarball.isTarball());
    QVERIFY(!tarball.parse());
    QVERIFY(!tarball.fileExists("file"));
    QVERIFY(!tarball.fileExists(""));
    for (const auto& record : tarball.getAllFiles()) {
        QVERIFY(record.name.isEmpty());
        QCOMPARE(record.data, nullptr);
    }
}

void TestTarball::everyTruncation()
{
    QTemporaryDir dir;
    const QByteArray archive = makeArchive(dir, {"--format=ustar"}, {{"one", 100}, {"two", 600}});
    QVERIFY(!archive.isEmpty());
    for (int length = 0; length <= archive.size(); ++length) {
        // A heap copy of exactly this length, so ASan sees any read past it.
        std::unique_ptr<char[]> copy(new char[std::size_t(length ? length : 1)]);
        std::memcpy(copy.get(), archive.constData(), std::size_t(length));
        Tarball tarball(copy.get(), length);
        QCOMPARE(tarball.fileExists("one"), length >= 512 + 100);
        QCOMPARE(tarball.fileExists("two"), length >= 3 * 512 + 600);
        for (const auto& record : tarball.getAllFiles()) {
            if (record.data)
                QVERIFY(record.dataOffset + record.size <= length);
        }
    }
}

void TestTarball::sizeFields_data()
{
    QTest::addColumn<QByteArray>("sizeField");
    QTest::addColumn<int>("expectedSize"); // 0: no record; -1: no record, damaged
    QByteArray base256(12, '\0');
    base256[0] = char(0x80);
    base256[11] = 1;
    QTest::newRow("octal with NUL") << QByteArray("00000000012") << 10;
    QTest::newRow("leading blanks") << QByteArray("     12 ") << 10;
    QTest::newRow("no digits") << QByteArray("xyz") << 0;
    QTest::newRow("stops at non-octal") << QByteArray("0000000128") << 10;
    QTest::newRow("base-256") << base256 << 0;
    QTest::newRow("largest signed 32-bit, past the end") << QByteArray("17777777777") << -1;
    QTest::newRow("beyond 32 bits") << QByteArray("77777777777") << -1;
}

void TestTarball::sizeFields()
{
    QFETCH(QByteArray, sizeField);
    QFETCH(int, expectedSize);
    const QByteArray archive = header(sizeField) + pattern(512, 'p') + QByteArray(1024, '\0');
    Tarball tarball(archive.constData(), archive.size());
    QCOMPARE(tarball.isDamaged(), expectedSize < 0);
    const Utilities::TarballFile* file = tarball.getFile("file");
    // Declared sizes larger than the buffer are never recorded.
    QCOMPARE(file != nullptr, expectedSize > 0);
    if (file) {
        QCOMPARE(file->size, expectedSize);
        QCOMPARE(file->dataOffset, 512);
    }
}

QTEST_GUILESS_MAIN(TestTarball)
#include "tst_tarball.moc"
