#include "update/filedecryptor.h"

#include "update/qaesencryption.h"

#include <QCryptographicHash>
#include <QtEndian>

namespace External::Crypto {

const QByteArray FileDecryptor::m_key = QByteArrayLiteral(R58_IMAGE_KEY);

std::uint64_t FileDecryptor::decrypt()
{
    if (m_buffer.isEmpty())
        return 0;
    if (m_buffer.size() < CipherTextOffset) {
        m_plainText.clear();
        return 0;
    }
    const std::uint64_t length = qFromLittleEndian<quint64>(m_buffer.constData() + LengthOffset);
    const QByteArray iv = m_buffer.mid(IvOffset, IvLength);
    m_plainText = QAESEncryption::Decrypt(QAESEncryption::AES_128, QAESEncryption::CBC,
        m_buffer.mid(CipherTextOffset), m_key, iv, QAESEncryption::ZERO);
    return length;
}

FileDecryptor::CheckResult FileDecryptor::checkImage(QByteArray& image)
{
    image.clear();
    const int cipherLength = m_buffer.size() - CipherTextOffset;
    if (cipherLength < QAESEncryption::BlockLength
        || cipherLength % QAESEncryption::BlockLength != 0) {
        m_plainText.clear();
        return CheckResult::Truncated;
    }

    const std::uint64_t length = decrypt();
    const QByteArray digest
        = QCryptographicHash::hash(m_plainText, QCryptographicHash::RealSha3_512);
    if (digest != m_buffer.mid(DigestOffset, DigestLength))
        return CheckResult::WrongDigest;
    if (length > MaxImageLength || length > std::uint64_t(m_plainText.size()))
        return CheckResult::BadLength;

    image = m_plainText.left(int(length));
    return CheckResult::Accepted;
}

} // namespace External::Crypto
