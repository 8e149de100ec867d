#include "update/qaesencryption.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QtTest>

namespace {

using Aes = QAESEncryption;

// The common plain text, key and vector of the NIST SP 800-38A examples.
const QByteArray SpPlain = QByteArray::fromHex("6bc1bee22e409f96e93d7e117393172a"
                                               "ae2d8a571e03ac9c9eb76fac45af8e51"
                                               "30c81c46a35ce411e5fbc1191a0a52ef"
                                               "f69f2445df4f9b17ad2b417be66c3710");
const QByteArray SpIv = QByteArray::fromHex("000102030405060708090a0b0c0d0e0f");
const QByteArray SpKey128 = QByteArray::fromHex("2b7e151628aed2a6abf7158809cf4f3c");
const QByteArray SpKey192 = QByteArray::fromHex("8e73b0f7da0e6452c810f32b809079e562f8ead2522c6b7b");
const QByteArray SpKey256
    = QByteArray::fromHex("603deb1015ca71be2b73aef0857d77811f352c073b6108d72d9810a30914dff4");

QByteArray counting(int length)
{
    QByteArray data(length, '\0');
    for (int i = 0; i < length; ++i)
        data[i] = char(i);
    return data;
}

QByteArray randomBytes(QRandomGenerator& random, int length)
{
    QByteArray data(length, '\0');
    for (auto& byte : data)
        byte = char(random.bounded(256));
    return data;
}

int keyLength(Aes::Aes level)
{
    return level == Aes::AES_256 ? 32 : level == Aes::AES_192 ? 24 : 16;
}

// Runs `openssl enc` over the input; empty on any failure.
QByteArray openssl(const QString& cipher, bool decrypt, const QByteArray& key, const QByteArray& iv,
    const QByteArray& input)
{
    QStringList arguments {QStringLiteral("enc"), QStringLiteral("-") + cipher,
        decrypt ? QStringLiteral("-d") : QStringLiteral("-e"), QStringLiteral("-nopad"),
        QStringLiteral("-K"), QString::fromLatin1(key.toHex())};
    if (!iv.isEmpty())
        arguments << QStringLiteral("-iv") << QString::fromLatin1(iv.toHex());
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

} // namespace

class TestAes : public QObject
{
    Q_OBJECT

private slots:
    void fipsExamples_data();
    void fipsExamples();
    void keyExpansion_data();
    void keyExpansion();
    void spModes_data();
    void spModes();
    void agreesWithOpenssl_data();
    void agreesWithOpenssl();
    void paddingAdded_data();
    void paddingAdded();
    void paddingRemoved_data();
    void paddingRemoved();
    void refusedArguments_data();
    void refusedArguments();
    void levelAboveRangeIsAes128();
};

void TestAes::fipsExamples_data()
{
    QTest::addColumn<Aes::Aes>("level");
    QTest::addColumn<QByteArray>("cipherText");
    // FIPS-197 appendix C: key 00 01 02 ..., plain text 00 11 22 ... ff.
    QTest::newRow("AES-128") << Aes::AES_128
                             << QByteArray::fromHex("69c4e0d86a7b0430d8cdb78070b4c55a");
    QTest::newRow("AES-192") << Aes::AES_192
                             << QByteArray::fromHex("dda97ca4864cdfe06eaf70a0ec0d7191");
    QTest::newRow("AES-256") << Aes::AES_256
                             << QByteArray::fromHex("8ea2b7ca516745bfeafc49904b496089");
}

void TestAes::fipsExamples()
{
    QFETCH(Aes::Aes, level);
    QFETCH(QByteArray, cipherText);
    const QByteArray key = counting(keyLength(level));
    const QByteArray plain = QByteArray::fromHex("00112233445566778899aabbccddeeff");
    QCOMPARE(Aes::Crypt(level, Aes::ECB, plain, key, {}, Aes::ZERO), cipherText);
    QCOMPARE(Aes::Decrypt(level, Aes::ECB, cipherText, key, {}, Aes::ZERO), plain);
}

void TestAes::keyExpansion_data()
{
    QTest::addColumn<Aes::Aes>("level");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<int>("firstDerivedWord");
    QTest::addColumn<QByteArray>("firstDerived");
    QTest::addColumn<QByteArray>("lastWord");
    // FIPS-197 appendix A.
    QTest::newRow("AES-128") << Aes::AES_128 << SpKey128 << 4 << QByteArray::fromHex("a0fafe17")
                             << QByteArray::fromHex("b6630ca6");
    QTest::newRow("AES-192") << Aes::AES_192 << SpKey192 << 6 << QByteArray::fromHex("fe0c91f7")
                             << QByteArray::fromHex("01002202");
    QTest::newRow("AES-256") << Aes::AES_256 << SpKey256 << 8 << QByteArray::fromHex("9ba35411")
                             << QByteArray::fromHex("706c631e");
}

void TestAes::keyExpansion()
{
    QFETCH(Aes::Aes, level);
    QFETCH(QByteArray, key);
    QFETCH(int, firstDerivedWord);
    QFETCH(QByteArray, firstDerived);
    QFETCH(QByteArray, lastWord);
    const QByteArray expanded = Aes::ExpandKey(level, Aes::ECB, key);
    const int rounds = firstDerivedWord + 6;
    QCOMPARE(expanded.size(), 16 * (rounds + 1));
    QCOMPARE(expanded.left(key.size()), key);
    QCOMPARE(expanded.mid(4 * firstDerivedWord, 4), firstDerived);
    QCOMPARE(expanded.right(4), lastWord);
}

void TestAes::spModes_data()
{
    QTest::addColumn<Aes::Aes>("level");
    QTest::addColumn<Aes::Mode>("mode");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("cipherText");

    // NIST SP 800-38A appendix F (F.1 ECB, F.2 CBC, F.3.13-18 CFB128, F.4 OFB).
    QTest::newRow("ECB-128") << Aes::AES_128 << Aes::ECB << SpKey128
                             << QByteArray::fromHex("3ad77bb40d7a3660a89ecaf32466ef97"
                                                    "f5d3d58503b9699de785895a96fdbaaf"
                                                    "43b1cd7f598ece23881b00e3ed030688"
                                                    "7b0c785e27e8ad3f8223207104725dd4");
    QTest::newRow("ECB-192") << Aes::AES_192 << Aes::ECB << SpKey192
                             << QByteArray::fromHex("bd334f1d6e45f25ff712a214571fa5cc"
                                                    "974104846d0ad3ad7734ecb3ecee4eef"
                                                    "ef7afd2270e2e60adce0ba2face6444e"
                                                    "9a4b41ba738d6c72fb16691603c18e0e");
    QTest::newRow("ECB-256") << Aes::AES_256 << Aes::ECB << SpKey256
                             << QByteArray::fromHex("f3eed1bdb5d2a03c064b5a7e3db181f8"
                                                    "591ccb10d410ed26dc5ba74a31362870"
                                                    "b6ed21b99ca6f4f9f153e7b1beafed1d"
                                                    "23304b7a39f9f3ff067d8d8f9e24ecc7");
    QTest::newRow("CBC-128") << Aes::AES_128 << Aes::CBC << SpKey128
                             << QByteArray::fromHex("7649abac8119b246cee98e9b12e9197d"
                                                    "5086cb9b507219ee95db113a917678b2"
                                                    "73bed6b8e3c1743b7116e69e22229516"
                                                    "3ff1caa1681fac09120eca307586e1a7");
    QTest::newRow("CBC-192") << Aes::AES_192 << Aes::CBC << SpKey192
                             << QByteArray::fromHex("4f021db243bc633d7178183a9fa071e8"
                                                    "b4d9ada9ad7dedf4e5e738763f69145a"
                                                    "571b242012fb7ae07fa9baac3df102e0"
                                                    "08b0e27988598881d920a9e64f5615cd");
    QTest::newRow("CBC-256") << Aes::AES_256 << Aes::CBC << SpKey256
                             << QByteArray::fromHex("f58c4c04d6e5f1ba779eabfb5f7bfbd6"
                                                    "9cfc4e967edb808d679f777bc6702c7d"
                                                    "39f23369a9d9bacfa530e26304231461"
                                                    "b2eb05e2c39be9fcda6c19078c6a9d1b");
    QTest::newRow("CFB-128") << Aes::AES_128 << Aes::CFB << SpKey128
                             << QByteArray::fromHex("3b3fd92eb72dad20333449f8e83cfb4a"
                                                    "c8a64537a0b3a93fcde3cdad9f1ce58b"
                                                    "26751f67a3cbb140b1808cf187a4f4df"
                                                    "c04b05357c5d1c0eeac4c66f9ff7f2e6");
    QTest::newRow("CFB-192") << Aes::AES_192 << Aes::CFB << SpKey192
                             << QByteArray::fromHex("cdc80d6fddf18cab34c25909c99a4174"
                                                    "67ce7f7f81173621961a2b70171d3d7a"
                                                    "2e1e8a1dd59b88b1c8e60fed1efac4c9"
                                                    "c05f9f9ca9834fa042ae8fba584b09ff");
    QTest::newRow("CFB-256") << Aes::AES_256 << Aes::CFB << SpKey256
                             << QByteArray::fromHex("dc7e84bfda79164b7ecd8486985d3860"
                                                    "39ffed143b28b1c832113c6331e5407b"
                                                    "df10132415e54b92a13ed0a8267ae2f9"
                                                    "75a385741ab9cef82031623d55b1e471");
    QTest::newRow("OFB-128") << Aes::AES_128 << Aes::OFB << SpKey128
                             << QByteArray::fromHex("3b3fd92eb72dad20333449f8e83cfb4a"
                                                    "7789508d16918f03f53c52dac54ed825"
                                                    "9740051e9c5fecf64344f7a82260edcc"
                                                    "304c6528f659c77866a510d9c1d6ae5e");
    QTest::newRow("OFB-192") << Aes::AES_192 << Aes::OFB << SpKey192
                             << QByteArray::fromHex("cdc80d6fddf18cab34c25909c99a4174"
                                                    "fcc28b8d4c63837c09e81700c1100401"
                                                    "8d9a9aeac0f6596f559c6d4daf59a5f2"
                                                    "6d9f200857ca6c3e9cac524bd9acc92a");
    QTest::newRow("OFB-256") << Aes::AES_256 << Aes::OFB << SpKey256
                             << QByteArray::fromHex("dc7e84bfda79164b7ecd8486985d3860"
                                                    "4febdc6740d20b3ac88f6ad82a4fb08d"
                                                    "71ab47a086e86eedf39d1c5bba97c408"
                                                    "0126141d67f37be8538f5a8be740e484");
}

void TestAes::spModes()
{
    QFETCH(Aes::Aes, level);
    QFETCH(Aes::Mode, mode);
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, cipherText);
    const QByteArray iv = mode == Aes::ECB ? QByteArray() : SpIv;
    const QAESEncryption aes(level, mode, Aes::ZERO);
    QCOMPARE(aes.encode(SpPlain, key, iv), cipherText);
    QCOMPARE(aes.decode(cipherText, key, iv), SpPlain);
}

void TestAes::agreesWithOpenssl_data()
{
    QTest::addColumn<Aes::Aes>("level");
    QTest::addColumn<Aes::Mode>("mode");
    QTest::addColumn<QString>("cipher");
    const QList<QPair<Aes::Aes, QString>> levels {
        {Aes::AES_128, QStringLiteral("128")},
        {Aes::AES_192, QStringLiteral("192")},
        {Aes::AES_256, QStringLiteral("256")},
    };
    const QList<QPair<Aes::Mode, QString>> modes {
        {Aes::ECB, QStringLiteral("ecb")},
        {Aes::CBC, QStringLiteral("cbc")},
        {Aes::CFB, QStringLiteral("cfb")},
        {Aes::OFB, QStringLiteral("ofb")},
    };
    for (const auto& level : levels) {
        for (const auto& mode : modes) {
            const QString cipher = QStringLiteral("aes-%1-%2").arg(level.second, mode.second);
            QTest::newRow(qPrintable(cipher)) << level.first << mode.first << cipher;
        }
    }
}

void TestAes::agreesWithOpenssl()
{
    QFETCH(Aes::Aes, level);
    QFETCH(Aes::Mode, mode);
    QFETCH(QString, cipher);
    QRandomGenerator random(0x41455321u + quint32(level) * 4 + quint32(mode));
    const QAESEncryption aes(level, mode, Aes::ZERO);
    for (int blocks : {1, 2, 7, 64}) {
        const QByteArray key = randomBytes(random, keyLength(level));
        const QByteArray iv = mode == Aes::ECB ? QByteArray() : randomBytes(random, 16);
        const QByteArray data = randomBytes(random, 16 * blocks);

        const QByteArray theirs = openssl(cipher, true, key, iv, data);
        QCOMPARE(theirs.size(), data.size());
        QCOMPARE(aes.decode(data, key, iv), theirs);
        QCOMPARE(aes.encode(data, key, iv), openssl(cipher, false, key, iv, data));
    }
}

void TestAes::paddingAdded_data()
{
    QTest::addColumn<Aes::Padding>("padding");
    QTest::addColumn<int>("length");
    QTest::addColumn<QByteArray>("added");

    QTest::newRow("zero, empty") << Aes::ZERO << 0 << QByteArray();
    QTest::newRow("zero, 1") << Aes::ZERO << 1 << QByteArray(15, '\0');
    QTest::newRow("zero, 15") << Aes::ZERO << 15 << QByteArray(1, '\0');
    QTest::newRow("zero, aligned") << Aes::ZERO << 32 << QByteArray();
    QTest::newRow("pkcs7, empty") << Aes::PKCS7 << 0 << QByteArray(16, '\x10');
    QTest::newRow("pkcs7, 1") << Aes::PKCS7 << 1 << QByteArray(15, '\x0f');
    QTest::newRow("pkcs7, 17") << Aes::PKCS7 << 17 << QByteArray(15, '\x0f');
    QTest::newRow("pkcs7, 15") << Aes::PKCS7 << 15 << QByteArray(1, '\x01');
    QTest::newRow("pkcs7, aligned") << Aes::PKCS7 << 16 << QByteArray(16, '\x10');
    QTest::newRow("iso, 1") << Aes::ISO << 1 << QByteArray("\x80") + QByteArray(14, '\0');
    QTest::newRow("iso, 15") << Aes::ISO << 15 << QByteArray("\x80");
    QTest::newRow("iso, aligned") << Aes::ISO << 48 << QByteArray();
}

void TestAes::paddingAdded()
{
    QFETCH(Aes::Padding, padding);
    QFETCH(int, length);
    QFETCH(QByteArray, added);
    const QByteArray key = counting(16);
    const QByteArray iv = counting(16);
    const QByteArray text(length, 'a');
    const QAESEncryption aes(Aes::AES_128, Aes::CBC, padding);

    const QByteArray cipherText = aes.encode(text, key, iv);
    QCOMPARE(cipherText.size(), length + added.size());
    // decode never takes the padding away; removePadding does.
    const QByteArray decoded = aes.decode(cipherText, key, iv);
    QCOMPARE(decoded, text + added);
    QCOMPARE(aes.removePadding(decoded), text);
    QCOMPARE(Aes::RemovePadding(decoded, padding), text);
}

void TestAes::paddingRemoved_data()
{
    QTest::addColumn<Aes::Padding>("padding");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("zero: every trailing zero")
        << Aes::ZERO << QByteArray("ab\0c\0\0\0", 7) << QByteArray("ab\0c", 4);
    QTest::newRow("zero: only zeros") << Aes::ZERO << QByteArray(16, '\0') << QByteArray();
    QTest::newRow("zero: empty") << Aes::ZERO << QByteArray() << QByteArray();
    QTest::newRow("pkcs7: count of the last byte")
        << Aes::PKCS7 << QByteArray("abcd\x03\x03\x03") << QByteArray("abcd");
    QTest::newRow("pkcs7: last byte 0 is no padding")
        << Aes::PKCS7 << QByteArray("abc\0", 4) << QByteArray("abc\0", 4);
    QTest::newRow("pkcs7: count above a block is no padding")
        << Aes::PKCS7 << QByteArray(32, '\x11') << QByteArray(32, '\x11');
    QTest::newRow("pkcs7: count beyond the text is no padding")
        << Aes::PKCS7 << QByteArray("\x05\x05") << QByteArray("\x05\x05");
    QTest::newRow("pkcs7: empty") << Aes::PKCS7 << QByteArray() << QByteArray();
    QTest::newRow("iso: marker and zeros")
        << Aes::ISO << QByteArray("ab\x80\0\0", 5) << QByteArray("ab");
    QTest::newRow("iso: marker alone") << Aes::ISO << QByteArray("ab\x80") << QByteArray("ab");
    QTest::newRow("iso: zeros without marker stay")
        << Aes::ISO << QByteArray("ab\0\0", 4) << QByteArray("ab\0\0", 4);
    QTest::newRow("iso: only zeros stay") << Aes::ISO << QByteArray(3, '\0') << QByteArray(3, '\0');
}

void TestAes::paddingRemoved()
{
    QFETCH(Aes::Padding, padding);
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, expected);
    QCOMPARE(Aes::RemovePadding(text, padding), expected);
}

void TestAes::refusedArguments_data()
{
    QTest::addColumn<Aes::Aes>("level");
    QTest::addColumn<Aes::Mode>("mode");
    QTest::addColumn<int>("keyLength");
    QTest::addColumn<int>("ivLength");
    QTest::addColumn<int>("textLength");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("ECB needs no vector") << Aes::AES_128 << Aes::ECB << 16 << 0 << 32 << true;
    QTest::newRow("ECB ignores a short vector")
        << Aes::AES_128 << Aes::ECB << 16 << 5 << 32 << true;
    QTest::newRow("CBC without vector") << Aes::AES_128 << Aes::CBC << 16 << 0 << 32 << false;
    QTest::newRow("CBC, 15-byte vector") << Aes::AES_128 << Aes::CBC << 16 << 15 << 32 << false;
    QTest::newRow("CFB, 17-byte vector") << Aes::AES_192 << Aes::CFB << 24 << 17 << 32 << false;
    QTest::newRow("OFB, 32-byte vector") << Aes::AES_256 << Aes::OFB << 32 << 32 << 32 << false;
    QTest::newRow("AES-128, 15-byte key") << Aes::AES_128 << Aes::CBC << 15 << 16 << 32 << false;
    QTest::newRow("AES-128, 32-byte key") << Aes::AES_128 << Aes::ECB << 32 << 0 << 32 << false;
    QTest::newRow("AES-256, 16-byte key") << Aes::AES_256 << Aes::OFB << 16 << 16 << 32 << false;
}

void TestAes::refusedArguments()
{
    QFETCH(Aes::Aes, level);
    QFETCH(Aes::Mode, mode);
    QFETCH(int, keyLength);
    QFETCH(int, ivLength);
    QFETCH(int, textLength);
    QFETCH(bool, accepted);
    const QByteArray key = counting(keyLength);
    const QByteArray iv = counting(ivLength);
    const QByteArray text(textLength, 'x');
    const QAESEncryption aes(level, mode, Aes::PKCS7);
    QCOMPARE(!aes.encode(text, key, iv).isEmpty(), accepted);
    QCOMPARE(!aes.decode(text, key, iv).isEmpty(), accepted);
    // A cipher text that is not whole blocks cannot have come from encode.
    QVERIFY(aes.decode(text + 'x', key, iv).isEmpty());
}

void TestAes::levelAboveRangeIsAes128()
{
    const auto level = static_cast<Aes::Aes>(3);
    const QByteArray key = counting(16);
    QCOMPARE(Aes::ExpandKey(level, Aes::ECB, key).size(), 176);
    QCOMPARE(Aes::Crypt(level, Aes::ECB, QByteArray::fromHex("00112233445566778899aabbccddeeff"),
                 key, {}, Aes::ZERO),
        QByteArray::fromHex("69c4e0d86a7b0430d8cdb78070b4c55a"));
}

QTEST_GUILESS_MAIN(TestAes)
#include "tst_aes.moc"
