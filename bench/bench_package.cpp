// Opening and checking update packages, each beside a well-kept library doing the same work:
// our CRC-32 beside zlib, our AES-128-CBC beside OpenSSL's EVP, and the whole image check
// beside EVP's AES plus SHA3-512. With --data-dir DIR the images and their key are also left
// in DIR, so that scripts/bench.sh can time the openssl command line on the same bytes.
#include "update/crc32.h"
#include "update/filedecryptor.h"
#include "update/fileencryptor.h"
#include "update/packageupdateservice.h"
#include "update/qaesencryption.h"
#include "update/tarballwriter.h"
#include "update/updatecontrolservice.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <cstring>
#include <openssl/evp.h>
#include <zlib.h>

namespace {

using Service::R58::UpdateControlService;

constexpr int MiB = 1024 * 1024;

QByteArray randomBytes(int size, quint32 start)
{
    QRandomGenerator random(start);
    QByteArray bytes(size, '\0');
    random.fillRange(reinterpret_cast<quint32*>(bytes.data()), size / 4);
    return bytes;
}

const QByteArray& plainImage(int size)
{
    static QByteArray one = randomBytes(MiB, 1);
    static QByteArray eight = randomBytes(8 * MiB, 8);
    return size == MiB ? one : eight;
}

const QByteArray& encryptedImage(int size)
{
    static const QByteArray iv = QByteArray::fromHex("000102030405060708090a0b0c0d0e0f");
    static QByteArray one = External::Crypto::FileEncryptor::encrypt(plainImage(MiB), iv);
    static QByteArray eight = External::Crypto::FileEncryptor::encrypt(plainImage(8 * MiB), iv);
    return size == MiB ? one : eight;
}

QByteArray cipherText(const QByteArray& file)
{
    return file.mid(External::Crypto::FileDecryptor::CipherTextOffset);
}

QByteArray ivOf(const QByteArray& file)
{
    using External::Crypto::FileDecryptor;
    return file.mid(FileDecryptor::IvOffset, FileDecryptor::IvLength);
}

// The folder named by --data-dir, else a temporary one.
QString& chosenDataDir()
{
    static QString chosen;
    return chosen;
}

QString dataDir()
{
    static QTemporaryDir temporary;
    return chosenDataDir().isEmpty() ? temporary.path() : chosenDataDir();
}

// A package as the builder makes it: the manifest, an 8 MiB platform and a 1 MiB display image.
QString packagePath()
{
    static QString path;
    if (!path.isEmpty())
        return path;
    QJsonObject manifest {
        {QStringLiteral("Package"),
            QJsonObject {{QStringLiteral("Version"), QStringLiteral("V4.4.0.0")}}},
        {QStringLiteral("Platform"),
            QJsonObject {{QStringLiteral("Application"),
                QJsonObject {{QStringLiteral("Path"), QStringLiteral("platform_application.crypt")},
                    {QStringLiteral("Version"), QStringLiteral("4.4.0.0")}}}}},
        {QStringLiteral("Display"),
            QJsonObject {{QStringLiteral("Application"),
                QJsonObject {{QStringLiteral("Path"), QStringLiteral("display_application.crypt")},
                    {QStringLiteral("Version"), QStringLiteral("4.4.0.1")}}}}}};
    Utilities::TarballWriter writer;
    writer.addFile("version.json", QJsonDocument(manifest).toJson());
    writer.addFile("platform_application.crypt", encryptedImage(8 * MiB));
    writer.addFile("display_application.crypt", encryptedImage(MiB));
    path = QDir(dataDir()).filePath(QStringLiteral("package.tar"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(writer.getArchive()) < 0)
        path.clear();
    return path;
}

void BM_PackageOpen(benchmark::State& state)
{
    const QString path = packagePath();
    for (auto _ : state) {
        Service::R58::PackageUpdateService service({}, {}, QString());
        bool failed = false;
        QObject::connect(&service, &Service::R58::PackageUpdateService::packageUpdateErrorOccured,
            [&failed] { failed = true; });
        service.openArchive(path);
        if (failed)
            state.SkipWithError("the package did not open");
        benchmark::DoNotOptimize(service.getUpdateState());
    }
    state.SetBytesProcessed(state.iterations() * QFile(path).size());
}
BENCHMARK(BM_PackageOpen)->Unit(benchmark::kMillisecond);

// Decryption, digest and length check: what happens to each image before its first block.
void BM_ImageCheck(benchmark::State& state)
{
    const QByteArray& file = encryptedImage(int(state.range(0)));
    for (auto _ : state) {
        const auto preparation
            = UpdateControlService::prepareImage(file, UpdateControlService::Encrypted);
        if (preparation.verdict != UpdateControlService::Verdict::Accepted)
            state.SkipWithError("the image was refused");
        benchmark::DoNotOptimize(preparation.image.constData());
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ImageCheck)->Arg(MiB)->Arg(8 * MiB)->Unit(benchmark::kMillisecond);

// The same work through OpenSSL: AES-128-CBC without padding, then SHA3-512 of the plain text.
void BM_ImageCheckOpenSsl(benchmark::State& state)
{
    const QByteArray& file = encryptedImage(int(state.range(0)));
    const QByteArray cipher = cipherText(file);
    const QByteArray iv = ivOf(file);
    const QByteArray& key = External::Crypto::FileDecryptor::m_key;
    QByteArray plain(cipher.size() + 16, '\0');
    unsigned char digest[EVP_MAX_MD_SIZE];
    for (auto _ : state) {
        EVP_CIPHER_CTX* context = EVP_CIPHER_CTX_new();
        EVP_DecryptInit_ex(context, EVP_aes_128_cbc(), nullptr,
            reinterpret_cast<const unsigned char*>(key.constData()),
            reinterpret_cast<const unsigned char*>(iv.constData()));
        EVP_CIPHER_CTX_set_padding(context, 0);
        int length = 0;
        EVP_DecryptUpdate(context, reinterpret_cast<unsigned char*>(plain.data()), &length,
            reinterpret_cast<const unsigned char*>(cipher.constData()), cipher.size());
        EVP_CIPHER_CTX_free(context);
        unsigned int digestLength = 0;
        EVP_Digest(
            plain.constData(), std::size_t(length), digest, &digestLength, EVP_sha3_512(), nullptr);
        if (std::memcmp(digest, file.constData(), 64) != 0)
            state.SkipWithError("OpenSSL disagrees with the image's digest");
        benchmark::DoNotOptimize(digest);
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ImageCheckOpenSsl)->Arg(MiB)->Arg(8 * MiB)->Unit(benchmark::kMillisecond);

void BM_Crc32(benchmark::State& state)
{
    const QByteArray& data = plainImage(MiB);
    const Utilities::CRC32 crc;
    for (auto _ : state)
        benchmark::DoNotOptimize(
            crc.calculateChecksum(reinterpret_cast<const std::uint8_t*>(data.constData()),
                quint32(data.size()), 0xFFFFFFFFu));
    state.SetBytesProcessed(state.iterations() * data.size());
}
BENCHMARK(BM_Crc32)->Unit(benchmark::kMicrosecond);

void BM_Crc32Zlib(benchmark::State& state)
{
    const QByteArray& data = plainImage(MiB);
    for (auto _ : state)
        benchmark::DoNotOptimize(
            crc32(0L, reinterpret_cast<const Bytef*>(data.constData()), uInt(data.size())));
    state.SetBytesProcessed(state.iterations() * data.size());
}
BENCHMARK(BM_Crc32Zlib)->Unit(benchmark::kMicrosecond);

void BM_AesCbcDecrypt(benchmark::State& state)
{
    const QByteArray& file = encryptedImage(MiB);
    const QByteArray cipher = cipherText(file);
    const QByteArray iv = ivOf(file);
    const QAESEncryption aes(QAESEncryption::AES_128, QAESEncryption::CBC, QAESEncryption::ZERO);
    for (auto _ : state) {
        const QByteArray plain = aes.decode(cipher, External::Crypto::FileDecryptor::m_key, iv);
        benchmark::DoNotOptimize(plain.constData());
    }
    state.SetBytesProcessed(state.iterations() * cipher.size());
}
BENCHMARK(BM_AesCbcDecrypt)->Unit(benchmark::kMillisecond);

void BM_AesCbcDecryptOpenSsl(benchmark::State& state)
{
    const QByteArray& file = encryptedImage(MiB);
    const QByteArray cipher = cipherText(file);
    const QByteArray iv = ivOf(file);
    const QByteArray& key = External::Crypto::FileDecryptor::m_key;
    for (auto _ : state) {
        // A fresh buffer each time, as the decoder above makes one.
        QByteArray plain(cipher.size() + 16, '\0');
        EVP_CIPHER_CTX* context = EVP_CIPHER_CTX_new();
        EVP_DecryptInit_ex(context, EVP_aes_128_cbc(), nullptr,
            reinterpret_cast<const unsigned char*>(key.constData()),
            reinterpret_cast<const unsigned char*>(iv.constData()));
        EVP_CIPHER_CTX_set_padding(context, 0);
        int length = 0;
        EVP_DecryptUpdate(context, reinterpret_cast<unsigned char*>(plain.data()), &length,
            reinterpret_cast<const unsigned char*>(cipher.constData()), cipher.size());
        EVP_CIPHER_CTX_free(context);
        benchmark::DoNotOptimize(plain.constData());
    }
    state.SetBytesProcessed(state.iterations() * cipher.size());
}
BENCHMARK(BM_AesCbcDecryptOpenSsl)->Unit(benchmark::kMillisecond);

// Leaves the images, their cipher text, vector and key where the script can find them.
bool writeData(const QString& directory)
{
    const QByteArray& key = External::Crypto::FileDecryptor::m_key;
    QList<QPair<QString, QByteArray>> files {{QStringLiteral("key.hex"), key.toHex()}};
    for (const int size : {MiB, 8 * MiB}) {
        const QString name = QStringLiteral("image_%1m").arg(size / MiB);
        files.append({name + QStringLiteral(".cipher"), cipherText(encryptedImage(size))});
        files.append({name + QStringLiteral(".iv.hex"), ivOf(encryptedImage(size)).toHex()});
    }
    for (const auto& entry : files) {
        QFile file(QDir(directory).filePath(entry.first));
        if (!file.open(QIODevice::WriteOnly) || file.write(entry.second) != entry.second.size())
            return false;
    }
    return !packagePath().isEmpty();
}

} // namespace

int main(int argc, char* argv[])
{
    benchmark::Initialize(&argc, argv);
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const int at = arguments.indexOf(QStringLiteral("--data-dir"));
    if (at > 0 && at + 1 < arguments.size()) {
        QDir().mkpath(arguments.at(at + 1));
        chosenDataDir() = arguments.at(at + 1);
    }
    benchmark::RunSpecifiedBenchmarks();
    if (at > 0 && !writeData(dataDir()))
        return 1;
    benchmark::Shutdown();
    return 0;
}
