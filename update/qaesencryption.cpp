#include "update/qaesencryption.h"

#include <cstring>

namespace {

using Table = std::array<std::uint8_t, 256>;

// Multiplication by x in GF(2^8) modulo x^8 + x^4 + x^3 + x + 1 (FIPS-197 4.2.1).
constexpr std::uint8_t xtime(std::uint8_t b)
{
    return std::uint8_t((b << 1) ^ ((b & 0x80u) ? 0x1Bu : 0x00u));
}

constexpr std::uint8_t multiply(std::uint8_t a, std::uint8_t b)
{
    std::uint8_t product = 0;
    for (; b != 0; b >>= 1, a = xtime(a)) {
        if (b & 1u)
            product ^= a;
    }
    return product;
}

constexpr std::uint8_t rotateLeft(std::uint8_t b, int n)
{
    return std::uint8_t((b << n) | (b >> (8 - n)));
}

// The S-box is derived rather than typed in (FIPS-197 5.1.1): the multiplicative
// inverse, then the affine transformation. Powers of the generator 3 give the inverses.
constexpr Table makeSBox()
{
    Table power {};
    Table logarithm {};
    std::uint8_t p = 1;
    for (int i = 0; i < 255; ++i) {
        power[std::size_t(i)] = p;
        logarithm[p] = std::uint8_t(i);
        p = std::uint8_t(p ^ xtime(p));
    }
    Table sbox {};
    for (int x = 0; x < 256; ++x) {
        const std::uint8_t inverse
            = x == 0 ? 0 : power[std::size_t((255 - logarithm[std::size_t(x)]) % 255)];
        sbox[std::size_t(x)] = std::uint8_t(inverse ^ rotateLeft(inverse, 1)
            ^ rotateLeft(inverse, 2) ^ rotateLeft(inverse, 3) ^ rotateLeft(inverse, 4) ^ 0x63u);
    }
    return sbox;
}

constexpr Table makeInverse(const Table& table)
{
    Table inverse {};
    for (int x = 0; x < 256; ++x)
        inverse[table[std::size_t(x)]] = std::uint8_t(x);
    return inverse;
}

constexpr Table SBox = makeSBox();
constexpr Table InvSBox = makeInverse(SBox);
static_assert(SBox[0x00] == 0x63 && SBox[0x53] == 0xED && SBox[0xFF] == 0x16);

constexpr int Nb = 4; // columns of the state

// The state is kept as FIPS-197 lays it out: byte r + 4c is row r of column c.
using State = std::array<std::uint8_t, 16>;

void addRoundKey(State& state, const std::uint8_t* roundKey)
{
    for (int i = 0; i < 16; ++i)
        state[std::size_t(i)] ^= roundKey[i];
}

void subBytes(State& state, const Table& box)
{
    for (auto& b : state)
        b = box[b];
}

// Row r moves r columns to the left; the inverse moves it back.
void shiftRows(State& state, bool inverse)
{
    const State in = state;
    for (int r = 1; r < 4; ++r) {
        for (int c = 0; c < Nb; ++c) {
            const int from = inverse ? (c - r + Nb) % Nb : (c + r) % Nb;
            state[std::size_t(r + 4 * c)] = in[std::size_t(r + 4 * from)];
        }
    }
}

// Products with one fixed factor, looked up instead of multiplied bit by bit: the bitwise
// product made decryption take about 0.3 s per MiB, seconds for a large image.
constexpr Table makeProducts(std::uint8_t factor)
{
    Table products {};
    for (int x = 0; x < 256; ++x)
        products[std::size_t(x)] = multiply(factor, std::uint8_t(x));
    return products;
}

// One row of the MixColumns matrix as product tables.
using MixTables = std::array<Table, 4>;

void mixColumns(State& state, const MixTables& row)
{
    for (int c = 0; c < Nb; ++c) {
        std::uint8_t* column = state.data() + 4 * c;
        const std::array<std::uint8_t, 4> in {column[0], column[1], column[2], column[3]};
        for (int r = 0; r < 4; ++r) {
            std::uint8_t out = 0;
            for (int k = 0; k < 4; ++k)
                out ^= row[std::size_t((k - r + 4) % 4)][in[std::size_t(k)]];
            column[r] = out;
        }
    }
}

constexpr MixTables MixRow {
    makeProducts(0x02), makeProducts(0x03), makeProducts(0x01), makeProducts(0x01)};
constexpr MixTables InvMixRow {
    makeProducts(0x0E), makeProducts(0x0B), makeProducts(0x0D), makeProducts(0x09)};

const std::uint8_t* bytes(const QByteArray& array)
{
    return reinterpret_cast<const std::uint8_t*>(array.constData());
}

} // namespace

QAESEncryption::QAESEncryption(Aes level, Mode mode, Padding padding, QObject* parent)
    : QObject(parent), m_mode(mode), m_padding(padding)
{
    switch (level) {
    case AES_192:
        m_level = AES_192;
        m_nk = 6;
        m_nr = 12;
        break;
    case AES_256:
        m_level = AES_256;
        m_nk = 8;
        m_nr = 14;
        break;
    default:
        m_level = AES_128;
        m_nk = 4;
        m_nr = 10;
        break;
    }
    m_keyLen = 4 * m_nk;
    m_expandedKey = BlockLength * (m_nr + 1);
}

QByteArray QAESEncryption::Crypt(Aes level, Mode mode, const QByteArray& rawText,
    const QByteArray& key, const QByteArray& iv, Padding padding)
{
    return QAESEncryption(level, mode, padding).encode(rawText, key, iv);
}

QByteArray QAESEncryption::Decrypt(Aes level, Mode mode, const QByteArray& rawText,
    const QByteArray& key, const QByteArray& iv, Padding padding)
{
    return QAESEncryption(level, mode, padding).decode(rawText, key, iv);
}

QByteArray QAESEncryption::ExpandKey(Aes level, Mode mode, const QByteArray& key)
{
    return QAESEncryption(level, mode).expandKey(key);
}

QByteArray QAESEncryption::RemovePadding(const QByteArray& rawText, Padding padding)
{
    return QAESEncryption(AES_128, ECB, padding).removePadding(rawText);
}

QByteArray QAESEncryption::expandKey(const QByteArray& key) const
{
    if (key.size() != m_keyLen)
        return {};

    QByteArray expanded(m_expandedKey, '\0');
    auto* w = reinterpret_cast<std::uint8_t*>(expanded.data());
    std::memcpy(w, key.constData(), std::size_t(m_keyLen));

    std::uint8_t rcon = 0x01;
    for (int i = m_nk; i < Nb * (m_nr + 1); ++i) {
        std::array<std::uint8_t, 4> temp {
            w[4 * (i - 1)], w[4 * (i - 1) + 1], w[4 * (i - 1) + 2], w[4 * (i - 1) + 3]};
        if (i % m_nk == 0) {
            // RotWord, SubWord, then Rcon[i/Nk] into the first byte.
            temp
                = {std::uint8_t(SBox[temp[1]] ^ rcon), SBox[temp[2]], SBox[temp[3]], SBox[temp[0]]};
            rcon = xtime(rcon);
        } else if (m_nk > 6 && i % m_nk == 4) {
            for (auto& b : temp)
                b = SBox[b];
        }
        for (int k = 0; k < 4; ++k)
            w[4 * i + k] = std::uint8_t(w[4 * (i - m_nk) + k] ^ temp[std::size_t(k)]);
    }
    return expanded;
}

void QAESEncryption::cipher(const QByteArray& expandedKey, Block& state) const
{
    const std::uint8_t* w = bytes(expandedKey);
    addRoundKey(state, w);
    for (int round = 1; round < m_nr; ++round) {
        subBytes(state, SBox);
        shiftRows(state, false);
        mixColumns(state, MixRow);
        addRoundKey(state, w + BlockLength * round);
    }
    subBytes(state, SBox);
    shiftRows(state, false);
    addRoundKey(state, w + BlockLength * m_nr);
}

void QAESEncryption::invCipher(const QByteArray& expandedKey, Block& state) const
{
    const std::uint8_t* w = bytes(expandedKey);
    addRoundKey(state, w + BlockLength * m_nr);
    for (int round = m_nr - 1; round > 0; --round) {
        shiftRows(state, true);
        subBytes(state, InvSBox);
        addRoundKey(state, w + BlockLength * round);
        mixColumns(state, InvMixRow);
    }
    shiftRows(state, true);
    subBytes(state, InvSBox);
    addRoundKey(state, w);
}

QByteArray QAESEncryption::getPadding(int length) const
{
    const int missing = (BlockLength - length % BlockLength) % BlockLength;
    switch (m_padding) {
    case PKCS7: {
        const int count = missing == 0 ? BlockLength : missing;
        return QByteArray(count, char(count));
    }
    case ISO:
        if (missing == 0)
            return {};
        return QByteArray(1, char(0x80)) + QByteArray(missing - 1, '\0');
    case ZERO:
    default:
        return QByteArray(missing, '\0');
    }
}

bool QAESEncryption::acceptsArguments(const QByteArray& key, const QByteArray& iv) const
{
    if (key.size() != m_keyLen)
        return false;
    return m_mode == ECB || iv.size() == BlockLength;
}

QByteArray QAESEncryption::encode(
    const QByteArray& rawText, const QByteArray& key, const QByteArray& iv) const
{
    if (!acceptsArguments(key, iv))
        return {};
    const QByteArray expandedKey = expandKey(key);
    QByteArray text = rawText + getPadding(rawText.size());
    auto* data = reinterpret_cast<std::uint8_t*>(text.data());

    Block feedback {};
    if (m_mode != ECB)
        std::memcpy(feedback.data(), iv.constData(), BlockLength);

    for (int offset = 0; offset < text.size(); offset += BlockLength) {
        std::uint8_t* block = data + offset;
        Block state {};
        switch (m_mode) {
        case CBC:
            for (int i = 0; i < BlockLength; ++i)
                state[std::size_t(i)] = block[i] ^ feedback[std::size_t(i)];
            cipher(expandedKey, state);
            std::memcpy(block, state.data(), BlockLength);
            feedback = state;
            break;
        case CFB:
            // The previous cipher block is enciphered and xor-ed in.
            cipher(expandedKey, feedback);
            for (int i = 0; i < BlockLength; ++i)
                block[i] ^= feedback[std::size_t(i)];
            std::memcpy(feedback.data(), block, BlockLength);
            break;
        case OFB:
            cipher(expandedKey, feedback);
            for (int i = 0; i < BlockLength; ++i)
                block[i] ^= feedback[std::size_t(i)];
            break;
        case ECB:
        default:
            std::memcpy(state.data(), block, BlockLength);
            cipher(expandedKey, state);
            std::memcpy(block, state.data(), BlockLength);
            break;
        }
    }
    return text;
}

QByteArray QAESEncryption::decode(
    const QByteArray& rawText, const QByteArray& key, const QByteArray& iv) const
{
    if (!acceptsArguments(key, iv) || rawText.size() % BlockLength != 0)
        return {};
    const QByteArray expandedKey = expandKey(key);
    QByteArray text = rawText;
    auto* data = reinterpret_cast<std::uint8_t*>(text.data());

    Block feedback {};
    if (m_mode != ECB)
        std::memcpy(feedback.data(), iv.constData(), BlockLength);

    for (int offset = 0; offset < text.size(); offset += BlockLength) {
        std::uint8_t* block = data + offset;
        Block state {};
        Block cipherBlock {};
        switch (m_mode) {
        case CBC:
            std::memcpy(cipherBlock.data(), block, BlockLength);
            state = cipherBlock;
            invCipher(expandedKey, state);
            for (int i = 0; i < BlockLength; ++i)
                block[i] = state[std::size_t(i)] ^ feedback[std::size_t(i)];
            feedback = cipherBlock;
            break;
        case CFB:
            // CFB runs the forward cipher in both directions.
            std::memcpy(cipherBlock.data(), block, BlockLength);
            cipher(expandedKey, feedback);
            for (int i = 0; i < BlockLength; ++i)
                block[i] ^= feedback[std::size_t(i)];
            feedback = cipherBlock;
            break;
        case OFB:
            cipher(expandedKey, feedback);
            for (int i = 0; i < BlockLength; ++i)
                block[i] ^= feedback[std::size_t(i)];
            break;
        case ECB:
        default:
            std::memcpy(state.data(), block, BlockLength);
            invCipher(expandedKey, state);
            std::memcpy(block, state.data(), BlockLength);
            break;
        }
    }
    return text;
}

QByteArray QAESEncryption::removePadding(const QByteArray& rawText) const
{
    QByteArray text = rawText;
    switch (m_padding) {
    case PKCS7: {
        // A last byte that cannot be a PKCS#7 count means there is no such padding.
        if (text.isEmpty())
            break;
        const int count = std::uint8_t(text.back());
        if (count >= 1 && count <= BlockLength && count <= text.size())
            text.chop(count);
        break;
    }
    case ISO: {
        int end = text.size();
        while (end > 0 && text.at(end - 1) == '\0')
            --end;
        if (end > 0 && std::uint8_t(text.at(end - 1)) == 0x80u)
            text.truncate(end - 1);
        break;
    }
    case ZERO:
    default: {
        int end = text.size();
        while (end > 0 && text.at(end - 1) == '\0')
            --end;
        text.truncate(end);
        break;
    }
    }
    return text;
}
