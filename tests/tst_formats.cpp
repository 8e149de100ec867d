// The file and checksum formats pinned against independent tools: CRC-32 against zlib, AES and
// the encrypted image against OpenSSL, password digests against OpenSSL's SHA3-512, and the tar
// reader and writer against GNU tar; and the package builder that makes these files.

#include "config/useraccount.h"
#include "update/crc32.h"
#include "update/filedecryptor.h"
#include "update/qaesencryption.h"
#include "update/tarball.h"
#include "update/tarballwriter.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <cstring>
#include <memory>
#include <zlib.h>

using Aes = QAESEncryption;
using Application::R58::UserAccount;
using External::Crypto::FileDecryptor;
using Result = FileDecryptor::CheckResult;
using Utilities::Tarball;

Q_DECLARE_METATYPE(Result)

namespace {

const Aes::Aes Levels[] = {Aes::AES_128, Aes::AES_192, Aes::AES_256};
const char* const LevelNames[] = {"128", "192", "256"};
const Aes::Mode Modes[] = {Aes::ECB, Aes::CBC, Aes::CFB, Aes::OFB};
const char* const ModeNames[] = {"ecb", "cbc", "cfb", "ofb"};

QByteArray randomBytes(quint32 start, int length)
{
    QRandomGenerator random(start);
    QByteArray data(length, '\0');
    for (auto& byte : data)
        byte = char(random.bounded(256));
    return data;
}

struct Run
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Run run(const QString& program, const QStringList& arguments, const QString& directory = {},
    const QByteArray& input = {})
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

// OpenSSL's output, empty on any failure.
QByteArray openssl(const QStringList& arguments, const QByteArray& input)
{
    const Run result = run(QStringLiteral("openssl"), arguments, {}, input);
    return result.exitCode == 0 ? result.out : QByteArray();
}

// An encrypted image made by OpenSSL, independent of our own AES and hash code.
QByteArray opensslImage(const QByteArray& image, quint64 length, const QByteArray& key)
{
    const QByteArray padded = image + QByteArray((16 - image.size() % 16) % 16, '\0');
    const QByteArray iv = randomBytes(quint32(image.size()) + 7, 16);
    const QByteArray cipherText
        = openssl({"enc", "-aes-128-cbc", "-nopad", "-K", key.toHex(), "-iv", iv.toHex()}, padded);
    const QByteArray digest = openssl({"dgst", "-sha3-512", "-binary"}, padded);
    if (cipherText.size() != padded.size() || digest.size() != 64)
        return {};
    QByteArray field(8, '\0');
    qToLittleEndian<quint64>(length, field.data());
    return digest + field + iv + cipherText;
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

std::uint32_t crcOf(const QByteArray& data, std::uint32_t start = 0xFFFFFFFFu, int from = 0)
{
    return Utilities::CRC32().calculateChecksum(
        reinterpret_cast<const std::uint8_t*>(data.constData()) + from,
        std::uint32_t(data.size() - from), start);
}

// name -> size, as GNU tar lists the archive; empty when tar refuses it.
QMap<QString, qint64> tarListing(const QString& archive)
{
    const Run tar = run(QStringLiteral("tar"), {QStringLiteral("-tvf"), archive});
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

// The files (name, size) written into the folder and archived by GNU tar after any extra members.
QByteArray gnuTar(const QTemporaryDir& dir, const QStringList& formatArgs,
    const QList<QPair<QString, int>>& files, const QStringList& extra = {})
{
    QStringList members = extra;
    for (int i = 0; i < files.size(); ++i) {
        if (!writeFile(dir.filePath(files[i].first), randomBytes(quint32(i), files[i].second)))
            return {};
        members << files[i].first;
    }
    const QString archive = dir.filePath(QStringLiteral("out.tar"));
    const Run tar = run(
        QStringLiteral("tar"), QStringList {"-cf", archive} + formatArgs + members, dir.path());
    return tar.exitCode == 0 ? readFile(archive) : QByteArray();
}

// The package builder with space-separated arguments.
Run builder(const QString& arguments, const QString& directory)
{
    return run(QStringLiteral(R58_PACKAGE_BUILDER), arguments.split(' '), directory);
}

} // namespace

class TestFormats : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void initTestCase();
    void crc32AgreesWithZlib();
    void aesAgreesWithOpenSsl_data();
    void aesAgreesWithOpenSsl();
    void aesPadding_data();
    void aesPadding();
    void passwordDigest();
    void images_data();
    void images();
    void gnuTarArchives_data();
    void gnuTarArchives();
    void everyTruncation();
    void tarWriter_data();
    void tarWriter();
    void builderEncrypts();
    void builderFailures_data();
    void builderFailures();
};

void TestFormats::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(writeFile(m_dir.filePath("platform.bin"), randomBytes(1, 1000)));
    QVERIFY(writeFile(m_dir.filePath("display.bin"), randomBytes(2, 1024)));
    QCOMPARE(builder("encrypt display.bin -o display.crypt", m_dir.path()).exitCode, 0);
    QByteArray damaged = readFile(m_dir.filePath("display.crypt"));
    damaged[100] = char(damaged.at(100) ^ 0x10);
    QVERIFY(writeFile(m_dir.filePath("damaged.crypt"), damaged));
}

void TestFormats::crc32AgreesWithZlib()
{
    for (int length : {0, 1, 3, 7, 16, 17, 255, 256, 513, 539, 4096, 65537}) {
        for (quint32 round = 0; round < 4; ++round) {
            const QByteArray buffer = randomBytes(quint32(length) * 4 + round, length);
            const auto zlib
                = ::crc32(0L, reinterpret_cast<const Bytef*>(buffer.constData()), uInt(length));
            QCOMPARE(crcOf(buffer), std::uint32_t(zlib));
            // Chaining: the complemented result of the first part starts the rest.
            const int half = length / 2;
            QCOMPARE(crcOf(buffer, ~crcOf(buffer.left(half)), half), std::uint32_t(zlib));
        }
    }
}

void TestFormats::aesAgreesWithOpenSsl_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("mode");
    for (int m = 0; m < 4; ++m) {
        for (int l = 0; l < 3; ++l)
            QTest::addRow("%s-%s", ModeNames[m], LevelNames[l]) << l << m;
    }
}

// Random keys, vectors and texts agree with OpenSSL both ways.
void TestFormats::aesAgreesWithOpenSsl()
{
    QFETCH(int, level);
    QFETCH(int, mode);
    const bool ecb = Modes[mode] == Aes::ECB;
    const QAESEncryption aes(Levels[level], Modes[mode], Aes::ZERO);
    const QString cipher = QStringLiteral("-aes-%1-%2").arg(LevelNames[level], ModeNames[mode]);
    for (int blocks : {1, 7, 64}) {
        const quint32 start = quint32(level * 400 + mode * 100 + blocks);
        const QByteArray key = randomBytes(start, 16 + 8 * level);
        const QByteArray iv = ecb ? QByteArray() : randomBytes(start + 1, 16);
        const QByteArray data = randomBytes(start + 2, 16 * blocks);
        QStringList arguments {"enc", cipher, "-nopad", "-K", key.toHex()};
        if (!ecb)
            arguments << "-iv" << iv.toHex();
        const QByteArray theirs = openssl(arguments + QStringList {"-d"}, data);
        QCOMPARE(theirs.size(), data.size());
        QCOMPARE(aes.decode(data, key, iv), theirs);
        QCOMPARE(aes.encode(data, key, iv), openssl(arguments + QStringList {"-e"}, data));
        if (level == 0) // a level past the range acts as AES-128
            QCOMPARE(Aes(Aes::Aes(3), Modes[mode], Aes::ZERO).decode(data, key, iv), theirs);
    }
}

void TestFormats::aesPadding_data()
{
    // A text and its padded form; a round trip encodes the text and must decode to the padded form.
    QTest::addColumn<Aes::Padding>("padding");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("padded");
    QTest::addColumn<bool>("roundTrip");
    const QByteArray a16(16, 'a');
    QTest::newRow("zero, 1") << Aes::ZERO << QByteArray("a") << "a" + QByteArray(15, '\0') << true;
    QTest::newRow("zero, aligned") << Aes::ZERO << a16 << a16 << true;
    QTest::newRow("zero: every trailing zero")
        << Aes::ZERO << QByteArray("ab\0c", 4) << QByteArray("ab\0c\0\0\0", 7) << false;
    QTest::newRow("zero: only zeros") << Aes::ZERO << QByteArray() << QByteArray(16, '\0') << false;
    QTest::newRow("pkcs7, empty") << Aes::PKCS7 << QByteArray() << QByteArray(16, '\x10') << true;
    QTest::newRow("pkcs7, 17") << Aes::PKCS7 << a16 + "a" << a16 + "a" + QByteArray(15, '\x0f')
                               << true;
    QTest::newRow("pkcs7, aligned") << Aes::PKCS7 << a16 << a16 + QByteArray(16, '\x10') << true;
    QTest::newRow("pkcs7: last byte 0 is no padding")
        << Aes::PKCS7 << QByteArray("abc\0", 4) << QByteArray("abc\0", 4) << false;
    QTest::newRow("pkcs7: count above a block is no padding")
        << Aes::PKCS7 << QByteArray(32, '\x11') << QByteArray(32, '\x11') << false;
    QTest::newRow("pkcs7: count beyond the text is no padding")
        << Aes::PKCS7 << QByteArray("\x05\x05") << QByteArray("\x05\x05") << false;
    QTest::newRow("iso, 1") << Aes::ISO << QByteArray("a") << "a\x80" + QByteArray(14, '\0')
                            << true;
    QTest::newRow("iso: marker alone")
        << Aes::ISO << QByteArray("ab") << QByteArray("ab\x80") << false;
    QTest::newRow("iso: zeros without marker stay")
        << Aes::ISO << QByteArray("ab\0\0", 4) << QByteArray("ab\0\0", 4) << false;
}

void TestFormats::aesPadding()
{
    QFETCH(Aes::Padding, padding);
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, padded);
    QFETCH(bool, roundTrip);
    const QAESEncryption aes(Aes::AES_128, Aes::CBC, padding);
    QCOMPARE(Aes::RemovePadding(padded, padding), text);
    QCOMPARE(aes.removePadding(padded), text);
    if (roundTrip) { // decode never takes the padding away
        const QByteArray key = QByteArray::fromHex("000102030405060708090a0b0c0d0e0f");
        const QByteArray cipherText = aes.encode(text, key, key);
        QCOMPARE(cipherText.size(), padded.size());
        QCOMPARE(aes.decode(cipherText, key, key), padded);
    }
}

// Latin-1 letters and a check mark, and a character outside the basic plane: OpenSSL's digest of
// the UTF-8 text.
void TestFormats::passwordDigest()
{
    for (const char* password : {"Gr\xc3\xbc\xc3\x9f"
                                 "e \xe2\x9c\x93",
             "\xf0\x9f\x94\x91Schl\xc3\xbcssel"}) {
        const QByteArray theirs = openssl({"dgst", "-sha3-512", "-binary"}, password);
        QCOMPARE(theirs.size(), 64);
        QCOMPARE(UserAccount::passwordDigest(QString::fromUtf8(password)), theirs);
    }
}

void TestFormats::images_data()
{
    // OpenSSL's encryption of 1000 bytes with a length field, a bit flipped at an offset
    // (-1: none) or cut to a size (-1: whole).
    QTest::addColumn<quint64>("length");
    QTest::addColumn<int>("flip");
    QTest::addColumn<int>("size");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<Result>("result");
    const QByteArray key = FileDecryptor::m_key;
    QTest::newRow("accepted") << quint64(1000) << -1 << -1 << key << Result::Accepted;
    // The image's own zeros stay: the cut follows the length field alone.
    QTest::newRow("length into the padding")
        << quint64(1008) << -1 << -1 << key << Result::Accepted;
    QTest::newRow("length one past the plain text")
        << quint64(1009) << -1 << -1 << key << Result::BadLength;
    QTest::newRow("length 2^32 + 10, would wrap to 10")
        << (quint64(1) << 32) + 10 << -1 << -1 << key << Result::BadLength;
    QTest::newRow("digest, first bit") << quint64(1000) << 0 << -1 << key << Result::WrongDigest;
    QTest::newRow("cipher text, last byte")
        << quint64(1000) << 1095 << -1 << key << Result::WrongDigest;
    QTest::newRow("another key") << quint64(1000) << -1 << -1 << QByteArray("another-key-1234")
                                 << Result::WrongDigest;
    QTest::newRow("empty") << quint64(1000) << -1 << 0 << key << Result::Truncated;
    QTest::newRow("part of a block") << quint64(1000) << -1 << 88 + 15 << key << Result::Truncated;
}

void TestFormats::images()
{
    QFETCH(quint64, length);
    QFETCH(int, flip);
    QFETCH(int, size);
    QFETCH(QByteArray, key);
    QFETCH(Result, result);
    const QByteArray plain = randomBytes(4, 1000);
    QByteArray file = opensslImage(plain, length, key);
    QCOMPARE(file.size(), 1096);
    if (flip >= 0)
        file[flip] = char(file.at(flip) ^ (1 << (flip % 8)));
    FileDecryptor decryptor;
    decryptor.setBuffer(size < 0 ? file : file.left(size));
    QByteArray image("stale");
    QCOMPARE(decryptor.checkImage(image), result);
    const bool accepted = result == Result::Accepted;
    QCOMPARE(image, accepted ? (plain + QByteArray(8, '\0')).left(int(length)) : QByteArray());
    if (result == Result::Truncated)
        QVERIFY(decryptor.getPlainText().isEmpty());
}

void TestFormats::gnuTarArchives_data()
{
    QTest::addColumn<QStringList>("formatArgs");
    QTest::newRow("ustar") << QStringList {QStringLiteral("--format=ustar")};
    QTest::newRow("tar default") << QStringList {};
}

void TestFormats::gnuTarArchives()
{
    QFETCH(QStringList, formatArgs);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("images/empty")));
    // A directory entry first, then seven files, the first exactly 1024 bytes.
    const QList<QPair<QString, int>> files {{"version.json", 1024}, {"images/platform.crypt", 700},
        {"b.bin", 1}, {"c.bin", 511}, {"d.bin", 512}, {"e.bin", 2000}, {"f.bin", 3}};
    const QByteArray archive = gnuTar(dir, formatArgs, files, {"images/empty"});
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
            QByteArray(records[i].data, records[i].size), randomBytes(quint32(i), files[i].second));
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

void TestFormats::everyTruncation()
{
    QTemporaryDir dir;
    const QByteArray archive = gnuTar(dir, {"--format=ustar"}, {{"one", 100}, {"two", 600}});
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

void TestFormats::tarWriter_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("one block and one") << QByteArray("a/more") << 513 << true;
    QTest::newRow("101-byte name") << QByteArray(101, 'n') << 10 << false;
    QTest::newRow("NUL in name") << QByteArray("a\0b", 3) << 10 << false;
}

void TestFormats::tarWriter()
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

    // GNU tar lists exactly what was accepted, and reads back its contents.
    const QString path = m_dir.filePath("w.tar");
    QVERIFY(writeFile(path, archive));
    QMap<QString, qint64> expected {{"first", 1}, {"last", 2}};
    if (accepted)
        expected.insert(QString::fromUtf8(name), size);
    QCOMPARE(tarListing(path), expected);
    const Run extracted = run(QStringLiteral("tar"), {QStringLiteral("-xOf"), path});
    QCOMPARE(extracted.exitCode, 0);
    QCOMPARE(extracted.out, "1" + (accepted ? randomBytes(9, size) : QByteArray()) + "22");
}

// The builder's images decrypt with OpenSSL and carry OpenSSL's digest, with a fresh vector.
void TestFormats::builderEncrypts()
{
    const QByteArray image = randomBytes(5, 1);
    const QByteArray padded = image + QByteArray(15, '\0');
    QVERIFY(writeFile(m_dir.filePath("plain.bin"), image));
    QByteArray previousIv;
    for (int round = 0; round < 2; ++round) {
        QCOMPARE(builder("encrypt plain.bin -o plain.crypt", m_dir.path()).exitCode, 0);
        const QByteArray file = readFile(m_dir.filePath("plain.crypt"));
        QCOMPARE(file.size(), 88 + padded.size());
        QCOMPARE(qFromLittleEndian<quint64>(file.constData() + 64), quint64(1));
        const QByteArray iv = file.mid(72, 16);
        QVERIFY(iv != previousIv);
        previousIv = iv;
        QCOMPARE(openssl({"enc", "-d", "-aes-128-cbc", "-nopad", "-K", FileDecryptor::m_key.toHex(),
                             "-iv", iv.toHex()},
                     file.mid(88)),
            padded);
        QCOMPARE(file.left(64), openssl({"dgst", "-sha3-512", "-binary"}, padded));
    }
}

void TestFormats::builderFailures_data()
{
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("encrypt missing image") << "encrypt missing.bin -o result" << 1;
    QTest::newRow("package, damaged encrypted image")
        << "package -o result --package-version 1.0.0.0 --display damaged.crypt" << 1;
}

// A failed run leaves an existing output as it was.
void TestFormats::builderFailures()
{
    QFETCH(QString, arguments);
    QFETCH(int, exitCode);
    QVERIFY(writeFile(m_dir.filePath("result"), "old"));
    const Run made = builder(arguments, m_dir.path());
    QCOMPARE(made.exitCode, exitCode);
    QVERIFY(made.err.startsWith("r58_package_builder: "));
    QCOMPARE(readFile(m_dir.filePath("result")), QByteArray("old"));
}

QTEST_GUILESS_MAIN(TestFormats)
#include "tst_formats.moc"
