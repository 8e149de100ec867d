#include "update/tarball.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>
#include <memory>

namespace {

QByteArray pattern(int size, char first)
{
    QByteArray data(size, '\0');
    for (int i = 0; i < size; ++i)
        data[i] = char(first + i * 7);
    return data;
}

bool writeFile(const QString& path, const QByteArray& data)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

// Builds an archive with GNU tar from the given members (paths relative to dir).
QByteArray makeArchive(
    const QTemporaryDir& dir, const QStringList& formatArgs, const QStringList& members)
{
    const QString archive = dir.filePath(QStringLiteral("out.tar"));
    QProcess tar;
    tar.setWorkingDirectory(dir.path());
    tar.start(QStringLiteral("tar"),
        QStringList {QStringLiteral("-cf"), archive} + formatArgs
            + QStringList {QStringLiteral("--")} + members);
    if (!tar.waitForFinished(30000) || tar.exitCode() != 0)
        return {};
    QFile file(archive);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

// A header block built by hand, for size fields tar would never write.
QByteArray header(const QByteArray& name, const QByteArray& sizeField)
{
    QByteArray block(512, '\0');
    block.replace(0, name.size(), name);
    block.replace(124, sizeField.size(), sizeField);
    block.replace(257, 5, "ustar");
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
    QVERIFY(dir.isValid());
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("images/empty")));

    // Archive order: a directory entry, then seven files, the first exactly 1024 bytes.
    const QStringList files {QStringLiteral("version.json"),
        QStringLiteral("images/platform.crypt"), QStringLiteral("b.bin"), QStringLiteral("c.bin"),
        QStringLiteral("d.bin"), QStringLiteral("e.bin"), QStringLiteral("f.bin")};
    const QList<int> sizes {1024, 700, 1, 511, 512, 2000, 3};
    for (int i = 0; i < files.size(); ++i)
        QVERIFY(writeFile(dir.filePath(files[i]), pattern(sizes[i], char('a' + i))));

    const QByteArray archive
        = makeArchive(dir, formatArgs, QStringList {QStringLiteral("images/empty")} + files);
    QVERIFY(!archive.isEmpty());

    Utilities::Tarball tarball(archive.constData(), archive.size());
    QVERIFY(tarball.isTarball());
    QVERIFY(tarball.parse());
    QVERIFY(!tarball.isDamaged());

    const auto& records = tarball.getAllFiles();
    for (int i = 0; i < Utilities::Tarball::MaxFiles; ++i) {
        QCOMPARE(records[i].name, files[i].toUtf8());
        QCOMPARE(records[i].size, sizes[i]);
        QCOMPARE(records[i].data, archive.constData() + records[i].dataOffset);
        QCOMPARE(QByteArray(records[i].data, records[i].size), pattern(sizes[i], char('a' + i)));
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
    QByteArray wrongMagic = header("file", "00000000012");
    wrongMagic.replace(257, 5, "USTAR");
    QTest::newRow("wrong magic") << wrongMagic + QByteArray(512, 'x');
}

void TestTarball::notATarball()
{
    QFETCH(QByteArray, data);
    Utilities::Tarball tarball(data.constData(), data.size());
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
    QVERIFY(dir.isValid());
    QVERIFY(writeFile(dir.filePath(QStringLiteral("one")), pattern(100, 'o')));
    QVERIFY(writeFile(dir.filePath(QStringLiteral("two")), pattern(600, 't')));
    const QByteArray archive = makeArchive(
        dir, {QStringLiteral("--format=ustar")}, {QStringLiteral("one"), QStringLiteral("two")});
    QVERIFY(!archive.isEmpty());
    const int twoData = 512 + 512 + 512;

    for (int length = 0; length <= archive.size(); ++length) {
        // A heap copy of exactly this length, so ASan sees any read past it.
        std::unique_ptr<char[]> copy(new char[std::size_t(length ? length : 1)]);
        std::memcpy(copy.get(), archive.constData(), std::size_t(length));
        Utilities::Tarball tarball(copy.get(), length);

        const bool hasOne = length >= 512 + 100;
        const bool hasTwo = length >= twoData + 600;
        QCOMPARE(tarball.fileExists("one"), hasOne);
        QCOMPARE(tarball.fileExists("two"), hasTwo);
        for (const auto& record : tarball.getAllFiles()) {
            if (record.data)
                QVERIFY(record.dataOffset + record.size <= length);
        }
    }
}

void TestTarball::sizeFields_data()
{
    QTest::addColumn<QByteArray>("sizeField");
    QTest::addColumn<int>("expectedSize");
    QTest::addColumn<bool>("damaged");

    QTest::newRow("octal with NUL") << QByteArray("00000000012") << 10 << false;
    QTest::newRow("leading blanks") << QByteArray("     12 ") << 10 << false;
    QTest::newRow("no digits") << QByteArray("xyz") << 0 << false;
    QTest::newRow("stops at non-octal") << QByteArray("0000000128") << 10 << false;
    QTest::newRow("largest signed 32-bit, past the end") << QByteArray("17777777777") << -1 << true;
    QTest::newRow("beyond 32 bits") << QByteArray("77777777777") << -1 << true;
    QByteArray base256(12, '\0');
    base256[0] = char(0x80);
    base256[11] = 1;
    QTest::newRow("base-256") << base256 << 0 << false;
}

void TestTarball::sizeFields()
{
    QFETCH(QByteArray, sizeField);
    QFETCH(int, expectedSize);
    QFETCH(bool, damaged);

    QByteArray archive = header("file", sizeField) + pattern(512, 'p') + QByteArray(1024, '\0');
    Utilities::Tarball tarball(archive.constData(), archive.size());
    QCOMPARE(tarball.isDamaged(), damaged);
    const Utilities::TarballFile* file = tarball.getFile("file");
    if (expectedSize > 0) {
        QVERIFY(file);
        QCOMPARE(file->size, expectedSize);
        QCOMPARE(file->dataOffset, 512);
    } else {
        // Declared sizes larger than the buffer are never recorded either.
        QCOMPARE(file, nullptr);
    }
}

QTEST_GUILESS_MAIN(TestTarball)
#include "tst_tarball.moc"
