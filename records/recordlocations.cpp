#include "records/recordlocations.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

namespace Records {

QString RecordLocations::root()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

QString RecordLocations::historyFolder()
{
    return QDir(root()).filePath(QStringLiteral("history"));
}

QString RecordLocations::backupsFolder()
{
    return QDir(root()).filePath(QStringLiteral("backups"));
}

QString RecordLocations::fileStem(const QString& serialNumber)
{
    QString stem = serialNumber.trimmed();
    stem.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9_-]")), QStringLiteral("_"));
    return stem.isEmpty() ? QStringLiteral("unknown") : stem;
}

bool RecordLocations::isInBackups(const QString& path)
{
    if (path.isEmpty())
        return false;
    // Compared as absolute, cleaned paths: "backups/../backups/x.json" is in it too.
    const QString folder = QDir::cleanPath(QFileInfo(backupsFolder()).absoluteFilePath());
    QFileInfo info(path);
    const QString target = QDir::cleanPath(info.isDir() ? info.absoluteFilePath()
                                                        : info.absolutePath());
    return target == folder || target.startsWith(folder + QLatin1Char('/'));
}

QString RecordLocations::dialogFolder(const QString& lastChosen)
{
    if (!lastChosen.isEmpty() && !isInBackups(lastChosen)) {
        const QFileInfo info(lastChosen);
        const QString folder = info.isDir() ? info.absoluteFilePath() : info.absolutePath();
        if (QFileInfo(folder).isDir())
            return folder;
    }
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

} // namespace Records
