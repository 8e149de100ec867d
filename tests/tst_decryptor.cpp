#include "update/filedecryptor.h"

#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <cstdint>

using External::Crypto::FileDecryptor;
using Result = FileDecryptor::CheckResult;

Q_DECLARE_METATYPE(Result)

namespace {

QByteArray randomBytes(quint32 start, int length)
{
    QRandomGenerator random(start);
    QByteArray data(length, '\0');
    for (auto& byte : data)
        byte = char(random.bounded(256));
    return data;
}

QByteArray run(const QStringList& arguments, const QByteArray& input)
{
    QProcess process;
    process.start(QStringLiteral("openssl"), arguments);
    if (!process.waitForStarted(30000))
        return {};
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return {};
    return process.readAllStandardOutput();
}

QByteArray lengthField(quint64 length)
{
    QByteArray field(8, '\0');
    qToLittleEndian<quint64>(length, field.data());
    return field;
}

// An encrypted image made by OpenSSL, independent of our own AES and hash code.
QByteArray opensslImage(const QByteArray& image, const QByteArray& key, quint64 length)
{
    QByteArray padded = image;
    padded.append(QByteArray((16 - image.size() % 16) % 16, '\0'));
    const QByteArray iv = randomBytes(quint32(image.size()) + 7, 16);
    const QByteArray cipherText
        = run({QStringLiteral("enc"), QStringLiteral("-aes-128-cbc"), QStringLiteral("-nopad"),
                  QStringLiteral("-K"), QString::fromLatin1(key.toHex()), QStringLiteral("-iv"),
                  QString::fromLatin1(iv.toHex())},
            padded);
    const QByteArray digest = run(
        {QStringLiteral("dgst"), QStringLiteral("-sha3-512"), QStringLiteral("-binary")}, padded);
    if (cipherText.size() != padded.size() || digest.size() != 64)
        return {};
    return digest + lengthField(length) + iv + cipherText;
}

// Goes through a real file, as the update does with a chosen or unpacked image.
QByteArray throughFile(const QTemporaryDir& dir, const QByteArray& data)
{
    QFile file(dir.filePath(QStringLiteral("image.crypt")));
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size())
        return {};
    file.close();
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

} // namespace

class TestDecryptor : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void acceptedImages_data();
    void acceptedImages();
    void damagedImages_data();
    void damagedImages();
    void shortFiles_data();
    void shortFiles();
    void emptyBufferKeepsPlainText();
    void lengthField_data();
    void lengthField();

private:
    QTemporaryDir m_dir;
};

void TestDecryptor::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QCOMPARE(FileDecryptor::m_key.size(), 16);
}

void TestDecryptor::acceptedImages_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("fileSize");
    QTest::newRow("1000 bytes") << 1000 << 64 + 8 + 16 + 1008;
    QTest::newRow("aligned, 1024 bytes") << 1024 << 64 + 8 + 16 + 1024;
    QTest::newRow("one byte") << 1 << 64 + 8 + 16 + 16;
    QTest::newRow("one block") << 16 << 64 + 8 + 16 + 16;
    QTest::newRow("ends in zeros") << 33 << 64 + 8 + 16 + 48;
}

void TestDecryptor::acceptedImages()
{
    QFETCH(int, length);
    QFETCH(int, fileSize);
    QByteArray image = randomBytes(quint32(length), length);
    if (length == 33)
        image.replace(20, 13, QByteArray(13, '\0')); // the cut must not eat image zeros
    const QByteArray file
        = throughFile(m_dir, opensslImage(image, FileDecryptor::m_key, quint64(length)));
    QCOMPARE(file.size(), fileSize);

    FileDecryptor decryptor;
    decryptor.setBuffer(file);
    QCOMPARE(decryptor.decrypt(), quint64(length));
    const int padded = fileSize - 88;
    QCOMPARE(decryptor.getPlainText().size(), padded);
    QCOMPARE(decryptor.getPlainText(), image + QByteArray(padded - length, '\0'));

    QByteArray checked;
    QCOMPARE(decryptor.checkImage(checked), Result::Accepted);
    QCOMPARE(checked, image);
}

void TestDecryptor::damagedImages_data()
{
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("bit");
    QTest::addColumn<QByteArray>("key");
    QTest::newRow("digest, first bit") << 0 << 0 << FileDecryptor::m_key;
    QTest::newRow("digest, last bit") << 63 << 7 << FileDecryptor::m_key;
    QTest::newRow("vector") << 80 << 3 << FileDecryptor::m_key;
    QTest::newRow("cipher text, first block") << 88 << 1 << FileDecryptor::m_key;
    QTest::newRow("cipher text, last byte") << 1095 << 6 << FileDecryptor::m_key;
    QTest::newRow("another key") << -1 << 0 << QByteArray("another-key-1234");
}

void TestDecryptor::damagedImages()
{
    QFETCH(int, offset);
    QFETCH(int, bit);
    QFETCH(QByteArray, key);
    QByteArray file = opensslImage(randomBytes(1, 1000), key, 1000);
    QCOMPARE(file.size(), 1096);
    if (offset >= 0)
        file[offset] = char(file.at(offset) ^ (1 << bit));

    FileDecryptor decryptor;
    decryptor.setBuffer(throughFile(m_dir, file));
    QByteArray image("stale");
    QCOMPARE(decryptor.checkImage(image), Result::WrongDigest);
    QVERIFY(image.isEmpty());
}

void TestDecryptor::shortFiles_data()
{
    QTest::addColumn<int>("size");
    QTest::newRow("empty") << 0;
    QTest::newRow("part of the digest") << 40;
    QTest::newRow("digest and part of the length") << 68;
    QTest::newRow("no whole vector") << 87;
    QTest::newRow("no cipher text") << 88;
    QTest::newRow("part of a block") << 88 + 15;
    QTest::newRow("not whole blocks") << 88 + 1000;
}

void TestDecryptor::shortFiles()
{
    QFETCH(int, size);
    const QByteArray whole = opensslImage(randomBytes(2, 1040), FileDecryptor::m_key, 1040);
    QCOMPARE(whole.size(), 88 + 1040);

    FileDecryptor decryptor;
    decryptor.setBuffer(throughFile(m_dir, whole.left(size)));
    QByteArray image("stale");
    QCOMPARE(decryptor.checkImage(image), Result::Truncated);
    QVERIFY(image.isEmpty());
    QVERIFY(decryptor.getPlainText().isEmpty());
}

void TestDecryptor::emptyBufferKeepsPlainText()
{
    FileDecryptor decryptor;
    decryptor.setBuffer(opensslImage(randomBytes(3, 100), FileDecryptor::m_key, 100));
    QCOMPARE(decryptor.decrypt(), quint64(100));
    const QByteArray previous = decryptor.getPlainText();
    QCOMPARE(previous.size(), 112);

    decryptor.setBuffer(QByteArray());
    QCOMPARE(decryptor.decrypt(), quint64(0));
    QCOMPARE(decryptor.getPlainText(), previous);
    // ... but the check never lets the previous image through.
    QByteArray image;
    QCOMPARE(decryptor.checkImage(image), Result::Truncated);
    QVERIFY(image.isEmpty());
}

void TestDecryptor::lengthField_data()
{
    QTest::addColumn<quint64>("length");
    QTest::addColumn<Result>("result");
    QTest::addColumn<int>("imageSize");
    QTest::newRow("zero") << quint64(0) << Result::Accepted << 0;
    QTest::newRow("into the padding") << quint64(1008) << Result::Accepted << 1008;
    QTest::newRow("one past the plain text") << quint64(1009) << Result::BadLength << 0;
    QTest::newRow("2^31") << (quint64(1) << 31) << Result::BadLength << 0;
    QTest::newRow("2^31 + 1") << (quint64(1) << 31) + 1 << Result::BadLength << 0;
    QTest::newRow("2^32 + 10, would wrap to 10")
        << (quint64(1) << 32) + 10 << Result::BadLength << 0;
    QTest::newRow("largest") << ~quint64(0) << Result::BadLength << 0;
}

void TestDecryptor::lengthField()
{
    QFETCH(quint64, length);
    QFETCH(Result, result);
    QFETCH(int, imageSize);
    const QByteArray plain = randomBytes(4, 1000);
    // A correct digest: only the length field lies.
    FileDecryptor decryptor;
    decryptor.setBuffer(throughFile(m_dir, opensslImage(plain, FileDecryptor::m_key, length)));
    QCOMPARE(decryptor.decrypt(), length);
    QByteArray image("stale");
    QCOMPARE(decryptor.checkImage(image), result);
    QCOMPARE(image.size(), imageSize);
    QCOMPARE(image, (plain + QByteArray(8, '\0')).left(imageSize));
}

QTEST_GUILESS_MAIN(TestDecryptor)
#include "tst_decryptor.moc"
