#pragma once

#include "model/modeltypes.h"

#include <QList>
#include <QString>

namespace Application::R58 {

class Settings;

// What importing a settings file would change on a device: each of the twelve settings with the
// device's value and the file's, in the order an import sends them. Values are compared as the
// file format keeps them (two decimals), so a file exported from the same device changes nothing.
class SettingsComparison
{
public:
    // The settings in sending order; the nominal current goes before the undercurrent threshold,
    // whose maximum it sets.
    enum class Key {
        TripClass,
        NominalCurrent,
        OverloadReset,
        UndercurrentEnable,
        UndercurrentThreshold,
        UndercurrentFaultType,
        UndervoltageEnable,
        UndervoltageThreshold,
        UndervoltageFaultType,
        OvervoltageEnable,
        OvervoltageThreshold,
        OvervoltageFaultType,
    };
    struct Row
    {
        Key key = Key::TripClass;
        QString label; // for the user, with the group it belongs to
        QString deviceText; // with unit
        QString fileText;
        bool changed = false;
    };

    SettingsComparison(const Settings& device, const Settings& file);

    [[nodiscard]] const QList<Row>& getRows() const { return m_rows; }
    [[nodiscard]] int getChangedCount() const;
    [[nodiscard]] bool isChanged(Key key) const;

    // The texts the comparison shows, for whoever shows settings the same way: numbers to the
    // file's two decimals in the reader's format, with their unit.
    [[nodiscard]] static QString numberText(float value, const char* unit);
    [[nodiscard]] static QString onOffText(bool on);
    [[nodiscard]] static QString faultTypeText(
        Model::Interfaces::ModelTypes::Settings::FaultType type);
    [[nodiscard]] static QString tripClassText(
        Model::Interfaces::ModelTypes::Settings::TripClass value);

private:
    QList<Row> m_rows;
};

} // namespace Application::R58
