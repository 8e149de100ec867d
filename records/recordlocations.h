#pragma once

#include <QString>

namespace Records {

// Where the tool keeps what it records about devices on this computer (their event histories
// and the backups of their settings), and how a device's serial number becomes part of a file
// name. One place, so that every record of a device is found under the same name.
class RecordLocations
{
public:
    // The tool's data folder in the user's profile.
    [[nodiscard]] static QString root();
    [[nodiscard]] static QString historyFolder();
    [[nodiscard]] static QString backupsFolder();
    // A serial number as the device reports it is digits; anything else must not reach a path.
    [[nodiscard]] static QString fileStem(const QString& serialNumber);
    // True for a path inside the backups folder, which only the backups themselves write to.
    [[nodiscard]] static bool isInBackups(const QString& path);
    // Where a file dialog for the user's own files starts: the folder last chosen, if it still
    // exists and is no record folder of the tool, else the documents folder.
    [[nodiscard]] static QString dialogFolder(const QString& lastChosen);
};

} // namespace Records
