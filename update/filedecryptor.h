#pragma once

#include <QByteArray>

#include <cstdint>

namespace External::Crypto {

// Splits an encrypted firmware image file into its fields and decrypts it.
// Layout: 64-byte SHA3-512 digest of the padded plain text, 8-byte little-endian
// image length, 16-byte CBC initialisation vector, AES-128 cipher text.
class FileDecryptor
{
public:
    static constexpr int DigestOffset = 0;
    static constexpr int DigestLength = 64;
    static constexpr int LengthOffset = 64;
    static constexpr int LengthFieldLength = 8;
    static constexpr int IvOffset = 72;
    static constexpr int IvLength = 16;
    static constexpr int CipherTextOffset = 88;
    static constexpr int KeyLength = 16;
    // Larger images cannot be held or sent, whatever the length field claims.
    static constexpr std::uint64_t MaxImageLength = std::uint64_t(1) << 31;

    // Build-time key phrase, used directly as the AES-128 key.
    static const QByteArray m_key;

    enum class CheckResult {
        Accepted,
        Truncated, // empty, shorter than one cipher block, or not whole blocks
        WrongDigest, // wrong key, damaged or foreign file
        BadLength, // the length field claims more than was decrypted
    };

    void setBuffer(const QByteArray& buffer) { m_buffer = buffer; }

    // Returns the image length field and decrypts the cipher text. An empty buffer
    // returns 0 and keeps the previous plain text; a buffer too short for the
    // fields gives an empty plain text.
    std::uint64_t decrypt();

    // Every decrypted block, padding included.
    [[nodiscard]] const QByteArray& getPlainText() const { return m_plainText; }

    // Decrypts, checks the digest over the padded plain text and the length field,
    // and only when everything holds gives the image cut to its length.
    [[nodiscard]] CheckResult checkImage(QByteArray& image);

private:
    QByteArray m_buffer;
    QByteArray m_plainText;
};

} // namespace External::Crypto
