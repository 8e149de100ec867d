// Decryption and digest check of encrypted firmware images.
//
// Input: a mode byte, then the image file. With bit 0 of the mode set, the
// digest field is replaced by the digest of what the file decrypts to, so the
// checks behind the digest (length field, cut to length) are reached too.

#include "fuzzsupport.h"
#include "update/filedecryptor.h"
#include "update/fileencryptor.h"

#include <QCryptographicHash>

#include <cstdint>

using External::Crypto::FileDecryptor;
using External::Crypto::FileEncryptor;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const bool fixDigest = (data[0] & 1) != 0;
    QByteArray file(reinterpret_cast<const char*>(data + 1), int(size - 1));
    if (fixDigest && file.size() >= FileDecryptor::CipherTextOffset) {
        FileDecryptor probe;
        probe.setBuffer(file);
        probe.decrypt();
        file.replace(FileDecryptor::DigestOffset, FileDecryptor::DigestLength,
            QCryptographicHash::hash(probe.getPlainText(), QCryptographicHash::RealSha3_512));
    }

    FileDecryptor decryptor;
    decryptor.setBuffer(file);
    QByteArray image("stale");
    const FileDecryptor::CheckResult result = decryptor.checkImage(image);
    if (result != FileDecryptor::CheckResult::Accepted) {
        FUZZ_CHECK(image.isEmpty());
        return 0;
    }

    const QByteArray& plain = decryptor.getPlainText();
    FUZZ_CHECK(image.size() <= plain.size() && plain.startsWith(image));
    // A file as the encryptor writes it (zero padding to whole blocks) is made
    // again from its image and vector.
    const QByteArray padding = plain.mid(image.size());
    if (!image.isEmpty() && padding.size() < 16 && padding.count('\0') == padding.size()) {
        const QByteArray iv = file.mid(FileDecryptor::IvOffset, FileDecryptor::IvLength);
        FUZZ_CHECK(FileEncryptor::encrypt(image, iv) == file);
    }
    return 0;
}
