#include "config/settingscomparison.h"

#include "config/settings.h"

#include <algorithm>

namespace Application::R58 {

SettingsComparison::SettingsComparison(const Settings& device, const Settings& file)
{
    for (const Key key : SettingsMapper::keys()) {
        const std::optional<double> before = SettingsMapper::fileValue(device, key);
        const std::optional<double> after = SettingsMapper::fileValue(file, key);
        if (!before || !after)
            continue;
        m_rows.append({key, SettingsMapper::name(key), SettingsMapper::text(key, *before),
            SettingsMapper::text(key, *after), *after,
            !SettingsMapper::sameValue(key, *before, *after)});
    }
}

int SettingsComparison::getChangedCount() const
{
    return int(
        std::count_if(m_rows.begin(), m_rows.end(), [](const Row& row) { return row.changed; }));
}

bool SettingsComparison::isChanged(Key key) const
{
    return std::any_of(m_rows.begin(), m_rows.end(),
        [key](const Row& row) { return row.key == key && row.changed; });
}

} // namespace Application::R58
