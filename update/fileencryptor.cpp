#include "update/fileencryptor.h"

#include "update/qaesencryption.h"

#include <QCryptographicHash>
#include <QRandomGenerator>
#include <QtEndian>

namespace External::Crypto {

QByteArray FileEncryptor::encrypt(
    const QByteArray& image, const QByteArray& iv, const QByteArray& key)
{
    if (image.isEmpty() || std::uint64_t(image.size()) > FileDecryptor::MaxImageLength
        || iv.size() != FileDecryptor::IvLength || key.size() != FileDecryptor::KeyLength)
        return {};

    const QByteArray cipherText = QAESEncryption::Crypt(
        QAESEncryption::AES_128, QAESEncryption::CBC, image, key, iv, QAESEncryption::ZERO);
    if (cipherText.isEmpty())
        return {};
    // The digest covers the padding too, which is what the decryptor hashes.
    const int padding = cipherText.size() - image.size();
    const QByteArray digest = QCryptographicHash::hash(
        image + QByteArray(padding, '\0'), QCryptographicHash::RealSha3_512);

    char length[FileDecryptor::LengthFieldLength];
    qToLittleEndian<quint64>(quint64(image.size()), length);

    QByteArray file;
    file.reserve(FileDecryptor::CipherTextOffset + cipherText.size());
    file.append(digest);
    file.append(length, FileDecryptor::LengthFieldLength);
    file.append(iv);
    file.append(cipherText);
    return file;
}

QByteArray FileEncryptor::randomIv()
{
    QByteArray iv(FileDecryptor::IvLength, '\0');
    QRandomGenerator* random = QRandomGenerator::system();
    for (auto& byte : iv)
        byte = char(random->bounded(256));
    return iv;
}

} // namespace External::Crypto
