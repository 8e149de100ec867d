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

// The keys of the NIST SP 800-38A examples, by level.
const QByteArray SpKeys[] = {QByteArray::fromHex("2b7e151628aed2a6abf7158809cf4f3c"),
    QByteArray::fromHex("8e73b0f7da0e6452c810f32b809079e562f8ead2522c6b7b"),
    QByteArray::fromHex("603deb1015ca71be2b73aef0857d77811f352c073b6108d72d9810a30914dff4")};

QByteArray counting(int length)
{
    QByteArray data(length, '\0');
    for (int i = 0; i < length; ++i)
        data[i] = char(i);
    return data;
}

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

    // Each image goes through a real file, as the update reads a chosen or unpacked one.
    FileDecryptor decryptorOf(const QByteArray& data)
    {
        const QString path = m_dir.filePath(QStringLiteral("image.crypt"));
        FileDecryptor decryptor;
        if (writeFile(path, data))
            decryptor.setBuffer(readFile(path));
        return decryptor;
    }

    QTemporaryDir m_dir;

private slots:
    void initTestCase();
    void crc32AgreesWithZlib();
    void aesFipsExamples_data();
    void aesFipsExamples();
    void aesAgreesWithOpenSsl_data();
    void aesAgreesWithOpenSsl();
    void aesPadding_data();
    void aesPadding();
    void aesPaddingRemoved_data();
    void aesPaddingRemoved();
    void passwordDigest_data();
    void passwordDigest();
    void acceptedImages_data();
    void acceptedImages();
    void refusedImages_data();
    void refusedImages();
    void lengthField_data();
    void lengthField();
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
    QRandomGenerator random(0x52353821u);
    for (int length : {0, 1, 3, 7, 16, 17, 255, 256, 513, 539, 4096, 65537}) {
        for (int round = 0; round < 4; ++round) {
            QByteArray buffer(length, '\0');
            for (char& byte : buffer)
                byte = char(random.bounded(256));
            const auto zlib
                = ::crc32(0L, reinterpret_cast<const Bytef*>(buffer.constData()), uInt(length));
            QCOMPARE(crcOf(buffer), std::uint32_t(zlib));
            // Chaining: the complemented result of the first part starts the rest.
            const int half = length / 2;
            QCOMPARE(crcOf(buffer, ~crcOf(buffer.left(half)), half), std::uint32_t(zlib));
        }
    }
}

void TestFormats::aesFipsExamples_data()
{
    // Appendix C: key 00 01 02 ..., plain text 00 11 22 ... ff. Appendix A: the first
    // derived and the last word of the expanded key 2b 7e ..., 8e 73 ..., 60 3d ...
    QTest::addColumn<int>("level");
    QTest::addColumn<QByteArray>("cipherText");
    QTest::addColumn<QByteArray>("firstDerived");
    QTest::addColumn<QByteArray>("lastWord");
    QTest::newRow("AES-128") << 0 << QByteArray("69c4e0d86a7b0430d8cdb78070b4c55a")
                             << QByteArray("a0fafe17") << QByteArray("b6630ca6");
    QTest::newRow("AES-192") << 1 << QByteArray("dda97ca4864cdfe06eaf70a0ec0d7191")
                             << QByteArray("fe0c91f7") << QByteArray("01002202");
    QTest::newRow("AES-256") << 2 << QByteArray("8ea2b7ca516745bfeafc49904b496089")
                             << QByteArray("9ba35411") << QByteArray("706c631e");
}

void TestFormats::aesFipsExamples()
{
    QFETCH(int, level);
    QFETCH(QByteArray, cipherText);
    QFETCH(QByteArray, firstDerived);
    QFETCH(QByteArray, lastWord);
    const QByteArray plain = QByteArray::fromHex("00112233445566778899aabbccddeeff");
    const QByteArray key = counting(16 + 8 * level);
    QCOMPARE(Aes::Crypt(Levels[level], Aes::ECB, plain, key, {}, Aes::ZERO).toHex(), cipherText);
    QCOMPARE(
        Aes::Decrypt(Levels[level], Aes::ECB, QByteArray::fromHex(cipherText), key, {}, Aes::ZERO),
        plain);
    if (level == 0) { // a level past the range acts as AES-128
        QCOMPARE(Aes::Crypt(Aes::Aes(3), Aes::ECB, plain, key, {}, Aes::ZERO).toHex(), cipherText);
        QCOMPARE(Aes::ExpandKey(Aes::Aes(3), Aes::ECB, key).size(), 176);
    }

    const QByteArray& spKey = SpKeys[level];
    const QByteArray expanded = Aes::ExpandKey(Levels[level], Aes::ECB, spKey);
    QCOMPARE(expanded.size(), 16 * (spKey.size() / 4 + 7));
    QCOMPARE(expanded.left(spKey.size()), spKey);
    QCOMPARE(expanded.mid(spKey.size(), 4).toHex(), firstDerived);
    QCOMPARE(expanded.right(4).toHex(), lastWord);
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
    }
}

void TestFormats::aesPadding_data()
{
    QTest::addColumn<Aes::Padding>("padding");
    QTest::addColumn<int>("length");
    QTest::addColumn<QByteArray>("added");
    QTest::newRow("zero, empty") << Aes::ZERO << 0 << QByteArray();
    QTest::newRow("zero, 1") << Aes::ZERO << 1 << QByteArray(15, '\0');
    QTest::newRow("zero, aligned") << Aes::ZERO << 32 << QByteArray();
    QTest::newRow("pkcs7, empty") << Aes::PKCS7 << 0 << QByteArray(16, '\x10');
    QTest::newRow("pkcs7, 17") << Aes::PKCS7 << 17 << QByteArray(15, '\x0f');
    QTest::newRow("pkcs7, 15") << Aes::PKCS7 << 15 << QByteArray(1, '\x01');
    QTest::newRow("pkcs7, aligned") << Aes::PKCS7 << 16 << QByteArray(16, '\x10');
    QTest::newRow("iso, 1") << Aes::ISO << 1 << QByteArray("\x80") + QByteArray(14, '\0');
    QTest::newRow("iso, aligned") << Aes::ISO << 48 << QByteArray();
}

void TestFormats::aesPadding()
{
    QFETCH(Aes::Padding, padding);
    QFETCH(int, length);
    QFETCH(QByteArray, added);
    const QByteArray key = counting(16);
    const QByteArray text(length, 'a');
    const QAESEncryption aes(Aes::AES_128, Aes::CBC, padding);
    const QByteArray cipherText = aes.encode(text, key, key);
    QCOMPARE(cipherText.size(), length + added.size());
    // decode never takes the padding away; removePadding does.
    const QByteArray decoded = aes.decode(cipherText, key, key);
    QCOMPARE(decoded, text + added);
    QCOMPARE(aes.removePadding(decoded), text);
    QCOMPARE(Aes::RemovePadding(decoded, padding), text);
}

void TestFormats::aesPaddingRemoved_data()
{
    QTest::addColumn<Aes::Padding>("padding");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("zero: every trailing zero")
        << Aes::ZERO << QByteArray("ab\0c\0\0\0", 7) << QByteArray("ab\0c", 4);
    QTest::newRow("zero: only zeros") << Aes::ZERO << QByteArray(16, '\0') << QByteArray();
    QTest::newRow("pkcs7: last byte 0 is no padding")
        << Aes::PKCS7 << QByteArray("abc\0", 4) << QByteArray("abc\0", 4);
    QTest::newRow("pkcs7: count above a block is no padding")
        << Aes::PKCS7 << QByteArray(32, '\x11') << QByteArray(32, '\x11');
    QTest::newRow("pkcs7: count beyond the text is no padding")
        << Aes::PKCS7 << QByteArray("\x05\x05") << QByteArray("\x05\x05");
    QTest::newRow("pkcs7: empty") << Aes::PKCS7 << QByteArray() << QByteArray();
    QTest::newRow("iso: marker alone") << Aes::ISO << QByteArray("ab\x80") << QByteArray("ab");
    QTest::newRow("iso: zeros without marker stay")
        << Aes::ISO << QByteArray("ab\0\0", 4) << QByteArray("ab\0\0", 4);
}

void TestFormats::aesPaddingRemoved()
{
    QFETCH(Aes::Padding, padding);
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, expected);
    QCOMPARE(Aes::RemovePadding(text, padding), expected);
}

void TestFormats::passwordDigest_data()
{
    // Expected values from: printf '%s' "<password>" | openssl dgst -sha3-512
    QTest::addColumn<QString>("password");
    QTest::addColumn<QByteArray>("hexDigest");
    QTest::newRow("latin-1 letters and a check mark")
        << QString::fromUtf8("Gr\xc3\xbc\xc3\x9f"
                             "e \xe2\x9c\x93")
        << QByteArray("acce21ebe0d2dd987c8677cde969b9dccd71fee31b9f16a4652adb0a10220e5db9964745aa"
                      "9453e5a6174a2ad3a07a053ccf70546ac6a7e0c3e3553e42240875");
    QTest::newRow("outside the basic plane")
        << QString::fromUtf8("\xf0\x9f\x94\x91Schl\xc3\xbcssel")
        << QByteArray("75de8185e8233ba9fec1edb69c9c03761cd546672de8254309549df4bc4fe7037fa61bde00"
                      "ba8f55fdf4378fa0c41f099571ce5df3ad922e65413d2af448a26a");
}

void TestFormats::passwordDigest()
{
    QFETCH(QString, password);
    QFETCH(QByteArray, hexDigest);
    QCOMPARE(UserAccount::passwordDigest(password).toHex(), hexDigest);
}

void TestFormats::acceptedImages_data()
{
    QTest::addColumn<int>("length");
    QTest::newRow("1000 bytes") << 1000;
    QTest::newRow("ends in zeros") << 33;
}

void TestFormats::acceptedImages()
{
    QFETCH(int, length);
    QByteArray image = randomBytes(quint32(length), length);
    if (length == 33)
        image.replace(20, 13, QByteArray(13, '\0')); // the cut must not eat image zeros
    const int padded = (length + 15) / 16 * 16;
    const QByteArray file = opensslImage(image, quint64(length), FileDecryptor::m_key);
    QCOMPARE(file.size(), 88 + padded);
    FileDecryptor decryptor = decryptorOf(file);
    QCOMPARE(decryptor.decrypt(), quint64(length));
    QCOMPARE(decryptor.getPlainText(), image + QByteArray(padded - length, '\0'));
    QByteArray checked;
    QCOMPARE(decryptor.checkImage(checked), Result::Accepted);
    QCOMPARE(checked, image);
}

void TestFormats::refusedImages_data()
{
    // A bit flipped at an offset (-1: none) or cut to a size (-1: whole).
    QTest::addColumn<int>("flip");
    QTest::addColumn<int>("size");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<Result>("result");
    const QByteArray key = FileDecryptor::m_key;
    QTest::newRow("digest, first bit") << 0 << -1 << key << Result::WrongDigest;
    QTest::newRow("cipher text, last byte") << 1095 << -1 << key << Result::WrongDigest;
    QTest::newRow("another key") << -1 << -1 << QByteArray("another-key-1234")
                                 << Result::WrongDigest;
    QTest::newRow("empty") << -1 << 0 << key << Result::Truncated;
    QTest::newRow("part of a block") << -1 << 88 + 15 << key << Result::Truncated;
}

void TestFormats::refusedImages()
{
    QFETCH(int, flip);
    QFETCH(int, size);
    QFETCH(QByteArray, key);
    QFETCH(Result, result);
    QByteArray file = opensslImage(randomBytes(1, 1008), 1000, key);
    QCOMPARE(file.size(), 1096);
    if (flip >= 0)
        file[flip] = char(file.at(flip) ^ (1 << (flip % 8)));
    FileDecryptor decryptor = decryptorOf(size < 0 ? file : file.left(size));
    QByteArray image("stale");
    QCOMPARE(decryptor.checkImage(image), result);
    QVERIFY(image.isEmpty());
    if (result == Result::Truncated)
        QVERIFY(decryptor.getPlainText().isEmpty());
}

void TestFormats::lengthField_data()
{
    QTest::addColumn<quint64>("length");
    QTest::addColumn<int>("imageSize"); // -1: refused
    QTest::newRow("into the padding") << quint64(1008) << 1008;
    QTest::newRow("one past the plain text") << quint64(1009) << -1;
    QTest::newRow("2^32 + 10, would wrap to 10") << (quint64(1) << 32) + 10 << -1;
}

void TestFormats::lengthField()
{
    QFETCH(quint64, length);
    QFETCH(int, imageSize);
    const QByteArray plain = randomBytes(4, 1000);
    // A correct digest: only the length field lies.
    FileDecryptor decryptor = decryptorOf(opensslImage(plain, length, FileDecryptor::m_key));
    QCOMPARE(decryptor.decrypt(), length);
    QByteArray image("stale");
    QCOMPARE(decryptor.checkImage(image), imageSize < 0 ? Result::BadLength : Result::Accepted);
    QCOMPARE(image, (plain + QByteArray(8, '\0')).left(qMax(imageSize, 0)));
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

    // GNU tar lists exactly what was accepted; our reader finds it.
    const QString path = m_dir.filePath("w.tar");
    QVERIFY(writeFile(path, archive));
    QMap<QString, qint64> expected {{"first", 1}, {"last", 2}};
    if (accepted)
        expected.insert(QString::fromUtf8(name), size);
    QCOMPARE(tarListing(path), expected);
    Tarball tarball(archive.constData(), archive.size());
    QVERIFY(!tarball.isDamaged());
    const Utilities::TarballFile* last = tarball.getFile("last");
    QVERIFY(last);
    QCOMPARE(QByteArray(last->data, last->size), QByteArray("22"));
    if (accepted) {
        QVERIFY(tarball.getFile(name));
        QCOMPARE(QByteArray(tarball.getFile(name)->data, size), randomBytes(9, size));
    }
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
