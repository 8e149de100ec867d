#pragma once

#include "update/filedecryptor.h"

#include <QByteArray>

namespace External::Crypto {

// Makes the encrypted image files FileDecryptor reads: zero padding, SHA3-512 of
// the padded image, length field, initialisation vector, AES-128-CBC cipher text.
class FileEncryptor
{
public:
    // Empty when the image is empty (no device accepts one), when the image is
    // too large for the length field's limit, or when key or vector have the
    // wrong length.
    [[nodiscard]] static QByteArray encrypt(const QByteArray& image, const QByteArray& iv,
        const QByteArray& key = FileDecryptor::m_key);

    // A fresh vector from the system's random source.
    [[nodiscard]] static QByteArray randomIv();
};

} // namespace External::Crypto
