#include "update/filedecryptor.h"
#include "update/tarball.h"
#include "update/tarballwriter.h"
#include "update/versionparser.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

using External::Crypto::FileDecryptor;

namespace {

struct Run
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Run run(const QString& program, const QStringList& arguments, const QString& directory,
    const QByteArray& input = QByteArray())
{
    QProcess process;
    process.setWorkingDirectory(directory);
    process.start(program, arguments);
    process.write(input);
    process.closeWriteChannel();
    Run result;
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit)
        return result;
    result.exitCode = process.exitCode();
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

// The builder with space-separated arguments.
Run builder(const QString& arguments, const QString& directory)
{
    return run(QStringLiteral(R58_PACKAGE_BUILDER), arguments.split(' '), directory);
}

QByteArray randomBytes(quint32 start, int length)
{
    QRandomGenerator random(start);
    QByteArray data(length, '\0');
    for (auto& byte : data)
        byte = char(random.bounded(256));
    return data;
}

bool writeFile(const QString& path, const QByteArray& data)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// name -> size, as GNU tar lists the archive; empty when tar refuses it.
QMap<QString, qint64> tarListing(const QString& archive, const QString& directory)
{
    const Run tar = run(QStringLiteral("tar"), {QStringLiteral("-tvf"), archive}, directory);
    QMap<QString, qint64> listing;
    if (tar.exitCode != 0 || !tar.err.isEmpty())
        return listing;
    // -rw-r--r-- r58/r58  1096 2024-01-01 10:00 name
    const QRegularExpression line(QStringLiteral(R"(^-\S+\s+\S+\s+(\d+)\s+\S+\s+\S+\s+(.+)$)"));
    for (const QString& text : QString::fromUtf8(tar.out).split('\n', Qt::SkipEmptyParts)) {
        const auto match = line.match(text);
        if (!match.hasMatch())
            return {};
        listing.insert(match.captured(2), match.captured(1).toLongLong());
    }
    return listing;
}

} // namespace

class TestPackageBuilder : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void encrypts_data();
    void encrypts();
    void packages_data();
    void packages();
    void failures_data();
    void failures();
    void tarWriter_data();
    void tarWriter();

private:
    QTemporaryDir m_dir;
};

void TestPackageBuilder::initTestCase()
{
    QVERIFY(writeFile(m_dir.filePath("platform.bin"), randomBytes(1, 1000)));
    QVERIFY(writeFile(m_dir.filePath("display.bin"), randomBytes(2, 1024)));
    QVERIFY(writeFile(m_dir.filePath("pbl.bin"), randomBytes(3, 70)));
    QVERIFY(writeFile(m_dir.filePath("dbl.bin"), randomBytes(4, 5000)));
    QVERIFY(writeFile(m_dir.filePath("empty.bin"), QByteArray()));
    QCOMPARE(builder("encrypt display.bin -o display.crypt", m_dir.path()).exitCode, 0);
    QByteArray damaged = readFile(m_dir.filePath("display.crypt"));
    damaged[100] = char(damaged.at(100) ^ 0x10);
    QVERIFY(writeFile(m_dir.filePath("damaged.crypt"), damaged));
    const Run help = builder("--help", m_dir.path());
    QCOMPARE(help.exitCode, 0);
    QVERIFY(help.out.contains("encrypt") && help.out.contains("package"));
    QVERIFY(help.out.contains("--platform"));
}

void TestPackageBuilder::encrypts_data()
{
    QTest::addColumn<int>("length");
    QTest::newRow("1000 bytes") << 1000;
    QTest::newRow("aligned") << 1024;
    QTest::newRow("one byte") << 1;
}

void TestPackageBuilder::encrypts()
{
    QFETCH(int, length);
    const QByteArray image = randomBytes(quint32(length), length);
    const QByteArray padded = image + QByteArray((16 - length % 16) % 16, '\0');
    QVERIFY(writeFile(m_dir.filePath("plain.bin"), image));
    QByteArray previousIv;
    for (int round = 0; round < 2; ++round) {
        QCOMPARE(builder("encrypt plain.bin -o plain.crypt", m_dir.path()).exitCode, 0);
        const QByteArray file = readFile(m_dir.filePath("plain.crypt"));
        QCOMPARE(file.size(), 88 + padded.size());
        QCOMPARE(qFromLittleEndian<quint64>(file.constData() + 64), quint64(length));
        const QByteArray iv = file.mid(72, 16);
        QVERIFY(iv != previousIv); // a fresh vector every time
        previousIv = iv;
        const Run openssl = run(QStringLiteral("openssl"),
            {"enc", "-d", "-aes-128-cbc", "-nopad", "-K", FileDecryptor::m_key.toHex(), "-iv",
                iv.toHex()},
            m_dir.path(), file.mid(88));
        QCOMPARE(openssl.out, padded);
        const Run digest = run(
            QStringLiteral("openssl"), {"dgst", "-sha3-512", "-binary"}, m_dir.path(), padded);
        QCOMPARE(file.left(64), digest.out);
    }
}

void TestPackageBuilder::packages_data()
{
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<QStringList>("members"); // after version.json, in order
    QTest::addColumn<QStringList>("sources"); // plain image of each member
    QTest::addColumn<uint>("platformVersion");
    QTest::addColumn<QString>("displayVersion");
    QTest::newRow("both applications")
        << "--package-version V1.2.3.4 --platform platform.bin --display display.bin"
        << QStringList {"platform_application.crypt", "display_application.crypt"}
        << QStringList {"platform.bin", "display.bin"} << 0x01020304u << "V1.2.3.4";
    QTest::newRow("with boot loaders and own versions")
        << "--package-version Release --platform platform.bin --platform-version 2.0.0.1 "
           "--display display.bin --display-version V3.1.0.0 --platform-bootloader pbl.bin "
           "--platform-bootloader-version 0.0.0.1 --display-bootloader dbl.bin "
           "--display-bootloader-version 0.0.0.2"
        << QStringList {"platform_application.crypt", "platform_bootloader.crypt",
               "display_application.crypt", "display_bootloader.crypt"}
        << QStringList {"platform.bin", "pbl.bin", "display.bin", "dbl.bin"} << 0x02000001u
        << "V3.1.0.0";
    QTest::newRow("only platform") << "--package-version 1.0.0.0 --platform platform.bin"
                                   << QStringList {"platform_application.crypt"}
                                   << QStringList {"platform.bin"} << 0x01000000u << QString();
    QTest::newRow("only display, already encrypted")
        << "--package-version 1.0.0.9 --display display.crypt"
        << QStringList {"display_application.crypt"} << QStringList {"display.bin"} << 0u
        << "1.0.0.9";
}

void TestPackageBuilder::packages()
{
    QFETCH(QString, arguments);
    QFETCH(QStringList, members);
    QFETCH(QStringList, sources);
    QFETCH(uint, platformVersion);
    QFETCH(QString, displayVersion);

    // The output folder does not exist yet.
    const QString command = "package -o out/package.tar " + arguments;
    const Run made = builder(command, m_dir.path());
    QCOMPARE(made.exitCode, 1);
    QVERIFY(!made.err.isEmpty());
    QVERIFY(QDir(m_dir.path()).mkpath("out"));
    const Run again = builder(command, m_dir.path());
    QCOMPARE(again.exitCode, 0);
    QVERIFY(again.err.isEmpty());
    // GNU tar and our reader see version.json, then each image, which decrypts.
    const QString path = m_dir.filePath("out/package.tar");
    const QMap<QString, qint64> listing = tarListing(path, m_dir.path());
    QCOMPARE(listing.size(), members.size() + 1);
    const QByteArray archive = readFile(path);
    Utilities::Tarball tarball(archive.constData(), archive.size());
    QCOMPARE(tarball.getAllFiles()[0].name, QByteArray("version.json"));
    for (int i = 0; i < members.size(); ++i) {
        const Utilities::TarballFile* member = tarball.getFile(members[i].toUtf8());
        QVERIFY(member);
        QCOMPARE(tarball.getAllFiles()[std::size_t(i + 1)].name, members[i].toUtf8());
        QCOMPARE(listing.value(members[i]), qint64(member->size));
        FileDecryptor decryptor;
        decryptor.setBuffer(QByteArray(member->data, member->size));
        QByteArray image;
        QCOMPARE(decryptor.checkImage(image), FileDecryptor::CheckResult::Accepted);
        QCOMPARE(image, readFile(m_dir.filePath(sources[i])));
    }
    // The manifest names the images and their versions.
    const Utilities::TarballFile* manifestFile = tarball.getFile("version.json");
    QVERIFY(manifestFile);
    Service::R58::VersionParser manifest(QByteArray(manifestFile->data, manifestFile->size));
    QSignalSpy platformSpy(&manifest, &Service::R58::VersionParser::packageUpdatePlatformVersion);
    QVERIFY(manifest.parse());
    QCOMPARE(manifest.getPackageVersion(), arguments.section(' ', 1, 1));
    QCOMPARE(platformSpy.count(), platformVersion ? 1 : 0);
    QCOMPARE(manifest.getPlatformApplicationImage().getVersion(), platformVersion);
    QCOMPARE(manifest.getDisplayApplicationImage().getVersionString(), displayVersion);
    QCOMPARE(tarball.fileExists(manifest.getPlatformApplicationImage().getPath().toUtf8()),
        platformVersion != 0);
    QCOMPARE(tarball.fileExists(manifest.getDisplayApplicationImage().getPath().toUtf8()),
        !displayVersion.isEmpty());
    QVERIFY(QDir(m_dir.filePath("out")).removeRecursively());
}

void TestPackageBuilder::failures_data()
{
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("no command") << "-o result" << 2;
    QTest::newRow("unknown command") << "pack -o result" << 2;
    QTest::newRow("unknown option") << "encrypt platform.bin -o result --key x" << 2;
    QTest::newRow("encrypt without output") << "encrypt platform.bin" << 2;
    QTest::newRow("encrypt two images") << "encrypt platform.bin display.bin -o result" << 2;
    QTest::newRow("encrypt missing image") << "encrypt missing.bin -o result" << 1;
    QTest::newRow("encrypt empty image") << "encrypt empty.bin -o result" << 1;
    const QString package = "package -o result --package-version 1.0.0.0 ";
    QTest::newRow("package without version") << "package --platform platform.bin -o result" << 2;
    QTest::newRow("package without images") << package.trimmed() << 2;
    QTest::newRow("package, three-part version")
        << "package --package-version 1.2.3 --platform platform.bin -o result" << 2;
    QTest::newRow("package, version part above 255")
        << package + "--platform platform.bin --platform-version 1.2.300.4" << 2;
    QTest::newRow("package, missing image")
        << package + "--platform platform.bin --display missing.bin" << 1;
    QTest::newRow("package, damaged encrypted image") << package + "--display damaged.crypt" << 1;
    QTest::newRow("package, empty image") << package + "--display empty.bin" << 1;
}

void TestPackageBuilder::failures()
{
    QFETCH(QString, arguments);
    QFETCH(int, exitCode);
    // A failed run leaves an existing output as it was.
    QVERIFY(writeFile(m_dir.filePath("result"), "old"));
    const Run made = builder(arguments, m_dir.path());
    QCOMPARE(made.exitCode, exitCode);
    QVERIFY(made.err.startsWith("r58_package_builder: "));
    QCOMPARE(readFile(m_dir.filePath("result")), QByteArray("old"));
}

void TestPackageBuilder::tarWriter_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("empty file") << QByteArray("empty") << 0 << true;
    QTest::newRow("one block less one") << QByteArray("a/b.bin") << 511 << true;
    QTest::newRow("one block") << QByteArray("block") << 512 << true;
    QTest::newRow("one block and one") << QByteArray("more") << 513 << true;
    QTest::newRow("100-byte name") << QByteArray(100, 'n') << 10 << true;
    QTest::newRow("101-byte name") << QByteArray(101, 'n') << 10 << false;
    QTest::newRow("empty name") << QByteArray() << 10 << false;
    QTest::newRow("NUL in name") << QByteArray("a\0b", 3) << 10 << false;
}

void TestPackageBuilder::tarWriter()
{
    QFETCH(QByteArray, name);
    QFETCH(int, size);
    QFETCH(bool, accepted);
    Utilities::TarballWriter writer(1700000000);
    QVERIFY(writer.addFile("first", "1"));
    QCOMPARE(writer.addFile(name, randomBytes(9, size)), accepted);
    QVERIFY(writer.addFile("last", "22"));
    const QByteArray archive = writer.getArchive();
    QCOMPARE(archive.size() % 512, 0);

    // GNU tar lists exactly what was accepted; our reader finds it.
    const QString path = m_dir.filePath("w.tar");
    QVERIFY(writeFile(path, archive));
    QMap<QString, qint64> expected {{"first", 1}, {"last", 2}};
    if (accepted)
        expected.insert(QString::fromUtf8(name), size);
    QCOMPARE(tarListing(path, m_dir.path()), expected);
    Utilities::Tarball tarball(archive.constData(), archive.size());
    QVERIFY(!tarball.isDamaged());
    const Utilities::TarballFile* last = tarball.getFile("last");
    QVERIFY(last);
    QCOMPARE(QByteArray(last->data, last->size), QByteArray("22"));
    if (accepted && size > 0) {
        QVERIFY(tarball.getFile(name));
        QCOMPARE(QByteArray(tarball.getFile(name)->data, size), randomBytes(9, size));
    }
}

QTEST_GUILESS_MAIN(TestPackageBuilder)
#include "tst_packagebuilder.moc"
