#pragma once

#include "config/settingsmapper.h"

#include <QList>
#include <QString>

namespace Application::R58 {

class Settings;

// What importing a settings file would change on a device: each setting both hold, with the
// device's value and the file's, in the order an import sends them. Values are compared as the
// file format keeps them (two decimals), so a file exported from the same device changes
// nothing. The settings beyond the file format (a backup's) take part when the file has them.
class SettingsComparison
{
public:
    using Key = SettingKey;
    struct Row
    {
        Key key = Key::TripClass;
        QString label; // the setting's name for the user
        QString deviceText; // with unit
        QString fileText;
        double fileValue = 0.0;
        bool changed = false;
    };

    SettingsComparison(const Settings& device, const Settings& file);

    [[nodiscard]] const QList<Row>& getRows() const { return m_rows; }
    [[nodiscard]] int getChangedCount() const;
    [[nodiscard]] bool isChanged(Key key) const;

private:
    QList<Row> m_rows;
};

} // namespace Application::R58
