#pragma once

#include <QString>

namespace Model::Database {
class ModelDatabase;
}

namespace Records {

// The device's fault state as one report: an error outranks a warning, and the code, the name
// and the phase (or the motor's thermal load) are read together from the model, so that the
// information page, the history and the report say the same thing about the same moment.
struct FaultState
{
    enum class Kind { None, Warning, Error };

    Kind kind = Kind::None;
    QString code; // "E 5802", "W 5816"; empty for a fault without a code
    QString text; // "Undercurrent L2", "Overload 87 %", as the device names them
    // The status picture's state ("error_load", "warning_supply", ...); empty keeps the shown one.
    QString pictureState;

    [[nodiscard]] static FaultState fromModel(Model::Database::ModelDatabase& database);
    // "E 5802: Undercurrent L2", or the text alone without a code.
    [[nodiscard]] QString summary() const;
};

} // namespace Records
