#include "records/settingsbackups.h"

#include "config/settings.h"
#include "records/recordlocations.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <array>

namespace Records {

namespace {

const QString TimeFormat = QStringLiteral("yyyy-MM-dd_HH-mm-ss");

struct ReasonName
{
    SettingsBackups::Reason reason;
    const char* key; // in the file name: fixed, not translated
};
constexpr std::array<ReasonName, 4> ReasonNames {{
    {SettingsBackups::Reason::FactoryReset, "factory-reset"},
    {SettingsBackups::Reason::Import, "import"},
    {SettingsBackups::Reason::Update, "update"},
    {SettingsBackups::Reason::Requested, "requested"},
}};

} // namespace

SettingsBackups::SettingsBackups(QString directory) : m_directory(std::move(directory))
{
}

QString SettingsBackups::defaultDirectory()
{
    return RecordLocations::backupsFolder();
}

QString SettingsBackups::reasonText(Reason reason)
{
    switch (reason) {
    case Reason::FactoryReset:
        return QCoreApplication::translate("SettingsBackups", "before a factory reset");
    case Reason::Import:
        return QCoreApplication::translate("SettingsBackups", "before an import");
    case Reason::Update:
        return QCoreApplication::translate("SettingsBackups", "before a firmware update");
    case Reason::Requested:
        return QCoreApplication::translate("SettingsBackups", "on request");
    }
    return {};
}

QString SettingsBackups::save(const Settings& settings, const QString& serialNumber, Reason reason,
    QString* error, const QDateTime& time) const
{
    const QDir directory(m_directory);
    if (!directory.mkpath(QStringLiteral("."))) {
        if (error)
            *error = QCoreApplication::translate("SettingsBackups", "%1 could not be created")
                         .arg(QDir::toNativeSeparators(m_directory));
        return {};
    }
    const char* key = "import";
    for (const auto& name : ReasonNames) {
        if (name.reason == reason)
            key = name.key;
    }
    // Two copies within one second (an import right after a reset) must not overwrite.
    const QString base
        = QStringLiteral("%1_%2_%3")
              .arg(RecordLocations::fileStem(serialNumber), time.toString(TimeFormat), QLatin1String(key));
    QString path = directory.filePath(base + QStringLiteral(".json"));
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = directory.filePath(QStringLiteral("%1-%2.json").arg(base).arg(n));
    if (!settings.save(path)) {
        if (error)
            *error = QCoreApplication::translate("SettingsBackups", "%1 could not be written")
                         .arg(QDir::toNativeSeparators(path));
        return {};
    }
    prune(serialNumber);
    return path;
}

QList<SettingsBackups::Entry> SettingsBackups::list(const QString& serialNumber) const
{
    // serial_yyyy-MM-dd_HH-mm-ss_reason[-n].json
    const QRegularExpression pattern(
        QStringLiteral("^%1_(\\d{4}-\\d\\d-\\d\\d_\\d\\d-\\d\\d-\\d\\d)_"
                       "([a-z-]+?)(-\\d+)?\\.json$")
            .arg(QRegularExpression::escape(RecordLocations::fileStem(serialNumber))));
    QList<Entry> entries;
    const auto files = QDir(m_directory).entryInfoList({QStringLiteral("*.json")}, QDir::Files);
    for (const QFileInfo& file : files) {
        const auto match = pattern.match(file.fileName());
        if (!match.hasMatch())
            continue;
        Entry entry;
        entry.path = file.filePath();
        entry.time = QDateTime::fromString(match.captured(1), TimeFormat);
        const QString key = match.captured(2);
        for (const auto& name : ReasonNames) {
            if (key == QLatin1String(name.key))
                entry.reason = name.reason;
        }
        if (!match.captured(3).isEmpty())
            entry.sequence = match.captured(3).mid(1).toInt();
        if (entry.time.isValid())
            entries.append(entry);
    }
    // Newest first; within one second the later copy has the higher number.
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        return a.time != b.time ? a.time > b.time : a.sequence > b.sequence;
    });
    return entries;
}

void SettingsBackups::prune(const QString& serialNumber) const
{
    const QList<Entry> entries = list(serialNumber);
    for (int i = Kept; i < entries.size(); ++i)
        QFile::remove(entries.at(i).path);
}

} // namespace Records
