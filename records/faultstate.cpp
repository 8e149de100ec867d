#include "records/faultstate.h"

#include "model/modeldatabase.h"

#include <array>

namespace Records {

namespace {

using FaultType = Model::Interfaces::ModelTypes::Fault::Type;

// Fault codes by fault type; types without a code have none.
QString faultCode(FaultType type, bool error)
{
    static const std::array<int, 15> Codes {
        0, 5810, 5806, 5807, 5808, 5802, 5809, 5804, 5803, 5805, 5813, 5814, 5811, 5812, 5815};
    const auto value = static_cast<unsigned>(type);
    if (value >= 1 && value < Codes.size())
        return QStringLiteral("%1 %2")
            .arg(error ? QLatin1Char('E') : QLatin1Char('W'))
            .arg(Codes[value]);
    if (value == 15 && !error)
        return QStringLiteral("W 5816");
    return {};
}

} // namespace

FaultState FaultState::fromModel(Model::Database::ModelDatabase& database)
{
    auto& faults = database.getFaults();
    const FaultType error = faults.getErrorValue().getValue();
    const FaultType warning = faults.getWarningValue().getValue();
    FaultState state;
    if (error == FaultType::DeviceOK && warning == FaultType::DeviceOK)
        return state;
    const bool isError = error != FaultType::DeviceOK;
    state.kind = isError ? Kind::Error : Kind::Warning;
    const FaultType type = isError ? error : warning;
    state.code = faultCode(type, isError);

    const QString name = isError ? faults.getErrorValue().toString()
                                 : faults.getWarningValue().toString();
    const QString phase = faults.getPhaseValue().toString();
    const QString capacity
        = database.getOperation().getCapacityValue().toString() + QStringLiteral(" %");
    QString detail;
    const QString prefix = isError ? QStringLiteral("error") : QStringLiteral("warning");
    state.pictureState = prefix;
    switch (static_cast<unsigned>(type)) {
    case 1:
    case 4:
        // A short circuit or a lost phase is an error only, with its phase.
        detail = isError ? phase : QString();
        state.pictureState = isError ? QStringLiteral("error_load") : prefix;
        break;
    case 2:
        detail = capacity;
        state.pictureState = prefix + QStringLiteral("_load");
        break;
    case 3:
    case 5:
        detail = phase;
        state.pictureState = prefix + QStringLiteral("_load");
        break;
    case 6:
    case 7:
    case 8:
        detail = phase;
        state.pictureState = prefix + QStringLiteral("_supply");
        break;
    case 10:
    case 11:
        state.pictureState = prefix + QStringLiteral("_supply");
        break;
    case 14:
        if (!isError)
            state.pictureState = QStringLiteral("warning_supply");
        break;
    case 15:
        // A warning without a name of its own keeps whatever the picture shows.
        if (!isError)
            state.pictureState.clear();
        break;
    default:
        break;
    }
    state.text = (name + QLatin1Char(' ') + detail).trimmed();
    return state;
}

QString FaultState::summary() const
{
    if (code.isEmpty())
        return text;
    return text.isEmpty() ? code : code + QStringLiteral(": ") + text;
}

} // namespace Records
