#include "update/versionparser.h"

#include <QFile>
#include <QJsonObject>
#include <QStringList>

namespace Service::R58 {

namespace {

QByteArray readWholeFile(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

// Parses "Bootloader" and "Application" of one processor's object.
void parseProcessor(const QJsonObject& processor, VersionParser::Image& bootloader,
    VersionParser::Image& application)
{
    const QJsonValue bootloaderValue = processor.value(QLatin1String("Bootloader"));
    if (bootloaderValue.isObject())
        bootloader.parse(bootloaderValue.toObject());
    const QJsonValue applicationValue = processor.value(QLatin1String("Application"));
    if (applicationValue.isObject())
        application.parse(applicationValue.toObject());
}

} // namespace

void VersionParser::Image::parse(const QJsonObject& object)
{
    const QJsonValue path = object.value(QLatin1String("Path"));
    if (path.isString())
        m_path = path.toString();
    const QJsonValue version = object.value(QLatin1String("Version"));
    if (version.isString())
        m_versionString = version.toString();
    m_version = convertVersion(m_versionString);
}

std::uint32_t VersionParser::Image::convertVersion(const QString& text)
{
    QString digits = text;
    digits.remove(QLatin1Char('V'), Qt::CaseSensitive);
    const QStringList parts = digits.split(QLatin1Char('.'), Qt::KeepEmptyParts);
    if (parts.size() < 4)
        return 0;
    std::uint32_t version = 0;
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        const std::uint32_t part = parts.at(i).toUInt(&ok, 10);
        if (ok)
            version |= part << (8 * (3 - i));
    }
    return version;
}

VersionParser::VersionParser(const QString& fileName, QObject* parent)
    : VersionParser(readWholeFile(fileName), parent)
{
}

VersionParser::VersionParser(const QByteArray& data, QObject* parent)
    : QObject(parent), m_document(QJsonDocument::fromJson(data))
{
}

bool VersionParser::parse()
{
    m_packageVersion.clear();
    m_platformBootloader = Image();
    m_platformApplication = Image();
    m_displayBootloader = Image();
    m_displayApplication = Image();

    if (!m_document.isObject())
        return false;
    const QJsonObject manifest = m_document.object();

    const QJsonValue package = manifest.value(QLatin1String("Package"));
    if (package.isObject()) {
        const QJsonValue version = package.toObject().value(QLatin1String("Version"));
        if (version.isString()) {
            m_packageVersion = version.toString();
            emit packageUpdateVersion(m_packageVersion);
        }
    }

    const QJsonValue platform = manifest.value(QLatin1String("Platform"));
    if (platform.isObject()) {
        parseProcessor(platform.toObject(), m_platformBootloader, m_platformApplication);
        emit packageUpdatePlatformVersion(m_platformApplication.getVersion());
    }

    const QJsonValue display = manifest.value(QLatin1String("Display"));
    if (display.isObject())
        parseProcessor(display.toObject(), m_displayBootloader, m_displayApplication);
    return true;
}

} // namespace Service::R58
