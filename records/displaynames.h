#pragma once

#include <QString>

// The device's own English words (fault names, operating modes) as the user reads them, in the
// program's language. Files and the service log keep the device's words; the windows and the
// report show these.
namespace Records::DisplayNames {

// "Idle", "Forward", ... as the model and the history file write them.
[[nodiscard]] QString operatingMode(const QString& deviceWord);
// A text holding a fault's name as the device gives it ("Overload 87 %", "E 5802: Undercurrent
// L1"), with the name in the program's language and the rest as it is.
[[nodiscard]] QString fault(const QString& deviceText);

} // namespace Records::DisplayNames
