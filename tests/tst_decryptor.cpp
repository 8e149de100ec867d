#include "update/filedecryptor.h"

#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

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

QByteArray openssl(const QStringList& arguments, const QByteArray& input)
{
    QProcess process;
    process.start(QStringLiteral("openssl"), arguments);
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return {};
    return process.readAllStandardOutput();
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

} // namespace

class TestDecryptor : public QObject
{
    Q_OBJECT

    // Each image goes through a real file, as the update reads a chosen or unpacked one.
    FileDecryptor decryptorOf(const QByteArray& data)
    {
        QFile file(m_dir.filePath(QStringLiteral("image.crypt")));
        if (file.open(QIODevice::WriteOnly))
            file.write(data);
        file.close();
        FileDecryptor decryptor;
        if (file.open(QIODevice::ReadOnly))
            decryptor.setBuffer(file.readAll());
        return decryptor;
    }

    QTemporaryDir m_dir;

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }
    void acceptedImages_data();
    void acceptedImages();
    void refusedImages_data();
    void refusedImages();
    void emptyBufferKeepsPlainText();
    void lengthField_data();
    void lengthField();
};

void TestDecryptor::acceptedImages_data()
{
    QTest::addColumn<int>("length");
    QTest::newRow("1000 bytes") << 1000;
    QTest::newRow("aligned, 1024 bytes") << 1024;
    QTest::newRow("one byte") << 1;
    QTest::newRow("ends in zeros") << 33;
}

void TestDecryptor::acceptedImages()
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

void TestDecryptor::refusedImages_data()
{
    // A bit flipped at an offset (-1: none) or cut to a size (-1: whole).
    QTest::addColumn<int>("flip");
    QTest::addColumn<int>("size");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<Result>("result");
    const QByteArray key = FileDecryptor::m_key;
    QTest::newRow("digest, first bit") << 0 << -1 << key << Result::WrongDigest;
    QTest::newRow("vector") << 80 << -1 << key << Result::WrongDigest;
    QTest::newRow("cipher text, first block") << 88 << -1 << key << Result::WrongDigest;
    QTest::newRow("cipher text, last byte") << 1095 << -1 << key << Result::WrongDigest;
    QTest::newRow("another key") << -1 << -1 << QByteArray("another-key-1234")
                                 << Result::WrongDigest;
    QTest::newRow("empty") << -1 << 0 << key << Result::Truncated;
    QTest::newRow("part of the digest") << -1 << 40 << key << Result::Truncated;
    QTest::newRow("no whole vector") << -1 << 87 << key << Result::Truncated;
    QTest::newRow("no cipher text") << -1 << 88 << key << Result::Truncated;
    QTest::newRow("part of a block") << -1 << 88 + 15 << key << Result::Truncated;
    QTest::newRow("not whole blocks") << -1 << 88 + 1000 << key << Result::Truncated;
}

void TestDecryptor::refusedImages()
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

void TestDecryptor::emptyBufferKeepsPlainText()
{
    FileDecryptor decryptor;
    decryptor.setBuffer(opensslImage(randomBytes(3, 100), 100, FileDecryptor::m_key));
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
    QTest::addColumn<int>("imageSize"); // -1: refused
    QTest::newRow("zero") << quint64(0) << 0;
    QTest::newRow("into the padding") << quint64(1008) << 1008;
    QTest::newRow("one past the plain text") << quint64(1009) << -1;
    QTest::newRow("2^31") << (quint64(1) << 31) << -1;
    QTest::newRow("2^32 + 10, would wrap to 10") << (quint64(1) << 32) + 10 << -1;
    QTest::newRow("largest") << ~quint64(0) << -1;
}

void TestDecryptor::lengthField()
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

QTEST_GUILESS_MAIN(TestDecryptor)
#include "tst_decryptor.moc"
