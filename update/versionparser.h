#pragma once

#include <QByteArray>
#include <QJsonDocument>
#include <QObject>
#include <QString>

#include <cstdint>

class QJsonObject;

namespace Service::R58 {

// Reads an update package's manifest ("version.json"): the package version and
// the path and version of each processor's boot loader and application image.
class VersionParser : public QObject
{
    Q_OBJECT

public:
    // One image named by the manifest.
    class Image
    {
    public:
        Image() = default;

        [[nodiscard]] const QString& getPath() const { return m_path; }
        [[nodiscard]] const QString& getVersionString() const { return m_versionString; }
        [[nodiscard]] std::uint32_t getVersion() const { return m_version; }

        // Path and version text are replaced only when present as strings; the
        // version number is recomputed in every case.
        void parse(const QJsonObject& object);

        // "a.b.c.d" to a << 24 | b << 16 | c << 8 | d. Upper-case V is dropped, fewer
        // than four parts give 0, a part that is no number counts 0, and a part above
        // 255 spills into the next field: existing packages depend on all of this.
        [[nodiscard]] static std::uint32_t convertVersion(const QString& text);

    private:
        QString m_path;
        QString m_versionString;
        std::uint32_t m_version = 0;
    };

    // A file that cannot be read, or bytes that are no JSON, read as an empty manifest.
    explicit VersionParser(const QString& fileName, QObject* parent = nullptr);
    explicit VersionParser(const QByteArray& data, QObject* parent = nullptr);

    // Fills every field from the document alone, so nothing of an earlier parse or
    // manifest survives, and emits the version signals. Returns whether the
    // document held a manifest object at all.
    bool parse();

    [[nodiscard]] const QString& getPackageVersion() const { return m_packageVersion; }
    [[nodiscard]] const Image& getPlatformBootloaderImage() const { return m_platformBootloader; }
    [[nodiscard]] const Image& getPlatformApplicationImage() const { return m_platformApplication; }
    [[nodiscard]] const Image& getDisplayBootloaderImage() const { return m_displayBootloader; }
    [[nodiscard]] const Image& getDisplayApplicationImage() const { return m_displayApplication; }

signals:
    void packageUpdateVersion(const QString& version);
    void packageUpdatePlatformVersion(unsigned int version);

private:
    QJsonDocument m_document;
    QString m_packageVersion;
    Image m_platformBootloader;
    Image m_platformApplication;
    Image m_displayBootloader;
    Image m_displayApplication;
};

} // namespace Service::R58
