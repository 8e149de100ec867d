#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

namespace Application::R58 {
class Settings;
}

namespace Records {

using Application::R58::Settings;

// Copies of every protection setting a device has, taken in the settings file format (with the
// settings beyond the file format's own as extra keys, which its readers ignore) before an action
// replaces them (a factory reset, an import, a firmware update), so that a mistake can be
// undone. One folder holds the copies of every device, named by serial number, time and reason;
// the newest `Kept` of each device stay, older ones are removed as new ones come.
class SettingsBackups
{
public:
    // Requested: taken on its own (the command line's backup), before nothing in particular.
    enum class Reason { FactoryReset, Import, Update, Requested };
    struct Entry
    {
        QString path;
        QDateTime time;
        Reason reason = Reason::Import;
        int sequence = 1; // the copy's number within its second
    };

    static constexpr int Kept = 50; // copies per device

    // The tool's data folder, below "backups"; tests pass their own.
    explicit SettingsBackups(QString directory = defaultDirectory());
    [[nodiscard]] static QString defaultDirectory();
    [[nodiscard]] QString getDirectory() const { return m_directory; }

    // Writes the copy atomically and returns its path; on failure returns an empty path and
    // says why in `error`.
    QString save(const Settings& settings, const QString& serialNumber, Reason reason,
        QString* error, const QDateTime& time = QDateTime::currentDateTime()) const;
    // The copies of one device, newest first.
    [[nodiscard]] QList<Entry> list(const QString& serialNumber) const;

    // What the copy was taken before, for the user.
    [[nodiscard]] static QString reasonText(Reason reason);

private:
    void prune(const QString& serialNumber) const;

    QString m_directory;
};

} // namespace Records
