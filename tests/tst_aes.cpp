#include "update/qaesencryption.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QtTest>

namespace {

using Aes = QAESEncryption;

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

QByteArray randomBytes(QRandomGenerator& random, int length)
{
    QByteArray data(length, '\0');
    for (auto& byte : data)
        byte = char(random.bounded(256));
    return data;
}

// `openssl enc` over the input; empty on any failure.
QByteArray openssl(const QString& cipher, bool decrypt, const QByteArray& key, const QByteArray& iv,
    const QByteArray& input)
{
    QStringList arguments {"enc", "-" + cipher, decrypt ? "-d" : "-e", "-nopad", "-K", key.toHex()};
    if (!iv.isEmpty())
        arguments << "-iv" << iv.toHex();
    QProcess process;
    process.start(QStringLiteral("openssl"), arguments);
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
    void modes_data();
    void modes();
    void padding_data();
    void padding();
    void paddingRemoved_data();
    void paddingRemoved();
    void refusedArguments_data();
    void refusedArguments();
};

void TestAes::fipsExamples_data()
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

void TestAes::fipsExamples()
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

void TestAes::modes_data()
{
    // NIST SP 800-38A appendix F (F.1 ECB, F.2 CBC, F.3.13-18 CFB128, F.4 OFB), by mode and level.
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QByteArray>("cipherText");
    const char* const vectors[4][3] = {
        {"3ad77bb40d7a3660a89ecaf32466ef97f5d3d58503b9699de785895a96fdbaaf"
         "43b1cd7f598ece23881b00e3ed0306887b0c785e27e8ad3f8223207104725dd4",
            "bd334f1d6e45f25ff712a214571fa5cc974104846d0ad3ad7734ecb3ecee4eef"
            "ef7afd2270e2e60adce0ba2face6444e9a4b41ba738d6c72fb16691603c18e0e",
            "f3eed1bdb5d2a03c064b5a7e3db181f8591ccb10d410ed26dc5ba74a31362870"
            "b6ed21b99ca6f4f9f153e7b1beafed1d23304b7a39f9f3ff067d8d8f9e24ecc7"},
        {"7649abac8119b246cee98e9b12e9197d5086cb9b507219ee95db113a917678b2"
         "73bed6b8e3c1743b7116e69e222295163ff1caa1681fac09120eca307586e1a7",
            "4f021db243bc633d7178183a9fa071e8b4d9ada9ad7dedf4e5e738763f69145a"
            "571b242012fb7ae07fa9baac3df102e008b0e27988598881d920a9e64f5615cd",
            "f58c4c04d6e5f1ba779eabfb5f7bfbd69cfc4e967edb808d679f777bc6702c7d"
            "39f23369a9d9bacfa530e26304231461b2eb05e2c39be9fcda6c19078c6a9d1b"},
        {"3b3fd92eb72dad20333449f8e83cfb4ac8a64537a0b3a93fcde3cdad9f1ce58b"
         "26751f67a3cbb140b1808cf187a4f4dfc04b05357c5d1c0eeac4c66f9ff7f2e6",
            "cdc80d6fddf18cab34c25909c99a417467ce7f7f81173621961a2b70171d3d7a"
            "2e1e8a1dd59b88b1c8e60fed1efac4c9c05f9f9ca9834fa042ae8fba584b09ff",
            "dc7e84bfda79164b7ecd8486985d386039ffed143b28b1c832113c6331e5407b"
            "df10132415e54b92a13ed0a8267ae2f975a385741ab9cef82031623d55b1e471"},
        {"3b3fd92eb72dad20333449f8e83cfb4a7789508d16918f03f53c52dac54ed825"
         "9740051e9c5fecf64344f7a82260edcc304c6528f659c77866a510d9c1d6ae5e",
            "cdc80d6fddf18cab34c25909c99a4174fcc28b8d4c63837c09e81700c1100401"
            "8d9a9aeac0f6596f559c6d4daf59a5f26d9f200857ca6c3e9cac524bd9acc92a",
            "dc7e84bfda79164b7ecd8486985d38604febdc6740d20b3ac88f6ad82a4fb08d"
            "71ab47a086e86eedf39d1c5bba97c4080126141d67f37be8538f5a8be740e484"},
    };
    for (int m = 0; m < 4; ++m) {
        for (int l = 0; l < 3; ++l)
            QTest::addRow("%s-%s", ModeNames[m], LevelNames[l])
                << l << m << QByteArray(vectors[m][l]);
    }
}

void TestAes::modes()
{
    QFETCH(int, level);
    QFETCH(int, mode);
    QFETCH(QByteArray, cipherText);
    const QByteArray plain = QByteArray::fromHex("6bc1bee22e409f96e93d7e117393172a"
                                                 "ae2d8a571e03ac9c9eb76fac45af8e51"
                                                 "30c81c46a35ce411e5fbc1191a0a52ef"
                                                 "f69f2445df4f9b17ad2b417be66c3710");
    const bool ecb = Modes[mode] == Aes::ECB;
    const QByteArray iv = ecb ? QByteArray() : counting(16);
    const QAESEncryption aes(Levels[level], Modes[mode], Aes::ZERO);
    QCOMPARE(aes.encode(plain, SpKeys[level], iv).toHex(), cipherText);
    QCOMPARE(aes.decode(QByteArray::fromHex(cipherText), SpKeys[level], iv), plain);

    // Random keys, vectors and texts agree with openssl both ways.
    const QString cipher = QStringLiteral("aes-%1-%2").arg(LevelNames[level], ModeNames[mode]);
    QRandomGenerator random(0x41455321u + quint32(level * 4 + mode));
    for (int blocks : {1, 2, 7, 64}) {
        const QByteArray key = randomBytes(random, SpKeys[level].size());
        const QByteArray randomIv = ecb ? QByteArray() : randomBytes(random, 16);
        const QByteArray data = randomBytes(random, 16 * blocks);
        const QByteArray theirs = openssl(cipher, true, key, randomIv, data);
        QCOMPARE(theirs.size(), data.size());
        QCOMPARE(aes.decode(data, key, randomIv), theirs);
        QCOMPARE(aes.encode(data, key, randomIv), openssl(cipher, false, key, randomIv, data));
    }
}

void TestAes::padding_data()
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

void TestAes::padding()
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

void TestAes::paddingRemoved_data()
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
    QTest::addColumn<bool>("accepted");
    QTest::newRow("ECB ignores a short vector") << Aes::AES_128 << Aes::ECB << 16 << 5 << true;
    QTest::newRow("CBC without vector") << Aes::AES_128 << Aes::CBC << 16 << 0 << false;
    QTest::newRow("CFB, 17-byte vector") << Aes::AES_192 << Aes::CFB << 24 << 17 << false;
    QTest::newRow("OFB, 15-byte vector") << Aes::AES_256 << Aes::OFB << 32 << 15 << false;
    QTest::newRow("AES-128, 32-byte key") << Aes::AES_128 << Aes::ECB << 32 << 0 << false;
    QTest::newRow("AES-256, 16-byte key") << Aes::AES_256 << Aes::OFB << 16 << 16 << false;
}

void TestAes::refusedArguments()
{
    QFETCH(Aes::Aes, level);
    QFETCH(Aes::Mode, mode);
    QFETCH(int, keyLength);
    QFETCH(int, ivLength);
    QFETCH(bool, accepted);
    const QByteArray key = counting(keyLength);
    const QByteArray iv = counting(ivLength);
    const QByteArray text(32, 'x');
    const QAESEncryption aes(level, mode, Aes::PKCS7);
    QCOMPARE(!aes.encode(text, key, iv).isEmpty(), accepted);
    QCOMPARE(!aes.decode(text, key, iv).isEmpty(), accepted);
    // A cipher text that is not whole blocks cannot have come from encode.
    QVERIFY(aes.decode(text + 'x', key, iv).isEmpty());
}

QTEST_GUILESS_MAIN(TestAes)
#include "tst_aes.moc"
