#pragma once

#include <QByteArray>
#include <QObject>

#include <array>
#include <cstdint>

// AES block cipher (FIPS-197) with the ECB, CBC, CFB-128 and OFB modes of
// NIST SP 800-38A, used to decrypt firmware images and to make them.
class QAESEncryption : public QObject
{
    Q_OBJECT

public:
    enum Aes { AES_128, AES_192, AES_256 };
    Q_ENUM(Aes)
    enum Mode { ECB, CBC, CFB, OFB };
    Q_ENUM(Mode)
    enum Padding { ZERO, PKCS7, ISO };
    Q_ENUM(Padding)

    static constexpr int BlockLength = 16; // bytes

    // A level outside the enumeration is AES-128.
    QAESEncryption(Aes level, Mode mode, Padding padding = ISO, QObject* parent = nullptr);

    static QByteArray Crypt(Aes level, Mode mode, const QByteArray& rawText, const QByteArray& key,
        const QByteArray& iv = QByteArray(), Padding padding = ISO);
    static QByteArray Decrypt(Aes level, Mode mode, const QByteArray& rawText,
        const QByteArray& key, const QByteArray& iv = QByteArray(), Padding padding = ISO);
    static QByteArray ExpandKey(Aes level, Mode mode, const QByteArray& key);
    static QByteArray RemovePadding(const QByteArray& rawText, Padding padding = ISO);

    // Both return an empty array when the key does not have the level's length,
    // when the mode needs an initialisation vector and it is not 16 bytes long,
    // and (decode only) when the text is not a whole number of blocks.
    [[nodiscard]] QByteArray encode(const QByteArray& rawText, const QByteArray& key,
        const QByteArray& iv = QByteArray()) const;
    [[nodiscard]] QByteArray decode(const QByteArray& rawText, const QByteArray& key,
        const QByteArray& iv = QByteArray()) const;
    [[nodiscard]] QByteArray removePadding(const QByteArray& rawText) const;
    // Empty when the key does not have the level's length.
    [[nodiscard]] QByteArray expandKey(const QByteArray& key) const;

private:
    using Block = std::array<std::uint8_t, BlockLength>;

    [[nodiscard]] QByteArray getPadding(int length) const;
    [[nodiscard]] bool acceptsArguments(const QByteArray& key, const QByteArray& iv) const;
    void cipher(const QByteArray& expandedKey, Block& state) const;
    void invCipher(const QByteArray& expandedKey, Block& state) const;

    Aes m_level = AES_128;
    Mode m_mode = ECB;
    Padding m_padding = ISO;
    int m_nk = 4; // key length in 32-bit words
    int m_keyLen = 16; // bytes
    int m_nr = 10; // rounds
    int m_expandedKey = 176; // bytes
};
