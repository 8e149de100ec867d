// Makes encrypted firmware images (".crypt") and update packages (".tar" with
// "version.json") for the R58, with the key this build was made with.

#include "update/filedecryptor.h"
#include "update/fileencryptor.h"
#include "update/tarballwriter.h"
#include "update/versionparser.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QStringList>
#include <QTextStream>

#include <optional>

namespace {

constexpr int ExitFailure = 1; // the work could not be done
constexpr int ExitUsage = 2; // the command line is wrong

const QString CryptSuffix = QStringLiteral(".crypt");

QTextStream& err()
{
    static QTextStream stream(stderr);
    return stream;
}

int fail(const QString& message, int status = ExitFailure)
{
    err() << "r58_package_builder: " << message << Qt::endl;
    return status;
}

std::optional<QByteArray> readFile(const QString& path, QString& error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    return file.readAll();
}

// Writes through a temporary file, so a failure never leaves half a file behind.
bool writeFile(const QString& path, const QByteArray& data, QString& error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) || file.write(data) != data.size() || !file.commit()) {
        error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

// The device compares versions as packed bytes, so every part must fit one.
bool isVersionText(const QString& text)
{
    QString digits = text;
    digits.remove(QLatin1Char('V'));
    const QStringList parts = digits.split(QLatin1Char('.'));
    if (parts.size() != 4)
        return false;
    for (const QString& part : parts) {
        bool ok = false;
        if (part.isEmpty() || part.size() > 3 || !part.at(0).isDigit() || part.toUInt(&ok) > 255
            || !ok)
            return false;
    }
    return true;
}

// An image file ready for the package: plain images are encrypted, ".crypt"
// files are taken as they are once they pass the check with this build's key.
std::optional<QByteArray> encryptedImage(const QString& path, QString& error)
{
    const std::optional<QByteArray> data = readFile(path, error);
    if (!data)
        return std::nullopt;
    if (path.endsWith(CryptSuffix)) {
        External::Crypto::FileDecryptor decryptor;
        decryptor.setBuffer(*data);
        QByteArray image;
        if (decryptor.checkImage(image) != External::Crypto::FileDecryptor::CheckResult::Accepted) {
            error = QStringLiteral("%1 is not an image encrypted with this build's key").arg(path);
            return std::nullopt;
        }
        return data;
    }
    if (data->isEmpty()) {
        error = QStringLiteral("%1 is empty").arg(path);
        return std::nullopt;
    }
    const QByteArray file = External::Crypto::FileEncryptor::encrypt(
        *data, External::Crypto::FileEncryptor::randomIv());
    if (file.isEmpty()) {
        error = QStringLiteral("cannot encrypt %1").arg(path);
        return std::nullopt;
    }
    return file;
}

struct ImageSlot
{
    QString processor; // manifest key
    QString kind; // manifest key
    QString imageOption;
    QString versionOption;
    QString member; // archive member name
};

const QList<ImageSlot>& imageSlots()
{
    static const QList<ImageSlot> list {
        {QStringLiteral("Platform"), QStringLiteral("Application"), QStringLiteral("platform"),
            QStringLiteral("platform-version"), QStringLiteral("platform_application.crypt")},
        {QStringLiteral("Platform"), QStringLiteral("Bootloader"),
            QStringLiteral("platform-bootloader"), QStringLiteral("platform-bootloader-version"),
            QStringLiteral("platform_bootloader.crypt")},
        {QStringLiteral("Display"), QStringLiteral("Application"), QStringLiteral("display"),
            QStringLiteral("display-version"), QStringLiteral("display_application.crypt")},
        {QStringLiteral("Display"), QStringLiteral("Bootloader"),
            QStringLiteral("display-bootloader"), QStringLiteral("display-bootloader-version"),
            QStringLiteral("display_bootloader.crypt")},
    };
    return list;
}

int encryptCommand(const QCommandLineParser& parser, const QStringList& arguments)
{
    if (arguments.size() != 1)
        return fail(QStringLiteral("encrypt needs exactly one image file"), ExitUsage);
    const QString output = parser.value(QStringLiteral("output"));
    if (output.isEmpty())
        return fail(QStringLiteral("encrypt needs --output"), ExitUsage);

    QString error;
    const std::optional<QByteArray> image = readFile(arguments.first(), error);
    if (!image)
        return fail(error);
    if (image->isEmpty())
        return fail(QStringLiteral("%1 is empty").arg(arguments.first()));
    const QByteArray file = External::Crypto::FileEncryptor::encrypt(
        *image, External::Crypto::FileEncryptor::randomIv());
    if (file.isEmpty())
        return fail(QStringLiteral("cannot encrypt %1").arg(arguments.first()));
    if (!writeFile(output, file, error))
        return fail(error);
    return 0;
}

int packageCommand(const QCommandLineParser& parser, const QStringList& arguments)
{
    if (!arguments.isEmpty())
        return fail(
            QStringLiteral("package takes no file arguments: name images with options"), ExitUsage);
    const QString output = parser.value(QStringLiteral("output"));
    if (output.isEmpty())
        return fail(QStringLiteral("package needs --output"), ExitUsage);
    const QString packageVersion = parser.value(QStringLiteral("package-version"));
    if (packageVersion.isEmpty())
        return fail(QStringLiteral("package needs --package-version"), ExitUsage);
    if (!parser.isSet(QStringLiteral("platform")) && !parser.isSet(QStringLiteral("display")))
        return fail(QStringLiteral("package needs --platform or --display (or both)"), ExitUsage);

    QJsonObject manifest;
    manifest.insert(
        QStringLiteral("Package"), QJsonObject {{QStringLiteral("Version"), packageVersion}});
    QList<QPair<QByteArray, QByteArray>> members;

    for (const ImageSlot& slot : imageSlots()) {
        if (!parser.isSet(slot.imageOption))
            continue;
        const QString version
            = parser.isSet(slot.versionOption) ? parser.value(slot.versionOption) : packageVersion;
        if (!isVersionText(version))
            return fail(QStringLiteral("version \"%1\" of --%2 is not four numbers 0-255 "
                                       "separated by points")
                            .arg(version, slot.imageOption),
                ExitUsage);
        QString error;
        const std::optional<QByteArray> image
            = encryptedImage(parser.value(slot.imageOption), error);
        if (!image)
            return fail(error);
        members.append({slot.member.toUtf8(), *image});

        QJsonObject processor = manifest.value(slot.processor).toObject();
        processor.insert(slot.kind,
            QJsonObject {
                {QStringLiteral("Path"), slot.member}, {QStringLiteral("Version"), version}});
        manifest.insert(slot.processor, processor);
    }

    Utilities::TarballWriter writer(QDateTime::currentSecsSinceEpoch());
    bool added = writer.addFile("version.json", QJsonDocument(manifest).toJson());
    for (const auto& member : qAsConst(members))
        added = added && writer.addFile(member.first, member.second);
    if (!added)
        return fail(QStringLiteral("cannot add a member to the package"));

    QString error;
    if (!writeFile(output, writer.getArchive(), error))
        return fail(error);
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("r58_package_builder"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Makes firmware files for the VELOR R58.\n"
        "\n"
        "  encrypt IMAGE -o FILE.crypt\n"
        "      Encrypts a plain image (random initialisation vector, zero padding,\n"
        "      SHA3-512 digest, length field).\n"
        "  package --package-version V -o FILE.tar [--platform IMAGE] [--display IMAGE]\n"
        "          [--platform-bootloader IMAGE] [--display-bootloader IMAGE]\n"
        "      Writes a ustar update package with version.json and the images,\n"
        "      encrypting plain images; \".crypt\" images are checked and taken as they\n"
        "      are. Each image's version defaults to the package version.\n"
        "\n"
        "Versions are four numbers 0-255 separated by points, optionally with a V."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("encrypt or package"));
    parser.addPositionalArgument(QStringLiteral("image"),
        QStringLiteral("Plain image (encrypt only)"), QStringLiteral("[image]"));
    parser.addOptions({
        {{QStringLiteral("o"), QStringLiteral("output")}, QStringLiteral("File to write."),
            QStringLiteral("file")},
        {QStringLiteral("package-version"), QStringLiteral("Version text of the package."),
            QStringLiteral("version")},
    });
    for (const ImageSlot& slot : imageSlots()) {
        parser.addOption({slot.imageOption,
            QStringLiteral("%1 %2 image.").arg(slot.processor, slot.kind.toLower()),
            QStringLiteral("image")});
        parser.addOption({slot.versionOption,
            QStringLiteral("Version text of the %1 %2 image.")
                .arg(slot.processor.toLower(), slot.kind.toLower()),
            QStringLiteral("version")});
    }

    if (!parser.parse(QCoreApplication::arguments()))
        return fail(parser.errorText(), ExitUsage);
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp(0);

    QStringList arguments = parser.positionalArguments();
    if (arguments.isEmpty())
        return fail(QStringLiteral("no command given; see --help"), ExitUsage);
    const QString command = arguments.takeFirst();
    if (command == QLatin1String("encrypt"))
        return encryptCommand(parser, arguments);
    if (command == QLatin1String("package"))
        return packageCommand(parser, arguments);
    return fail(QStringLiteral("unknown command \"%1\"; see --help").arg(command), ExitUsage);
}
