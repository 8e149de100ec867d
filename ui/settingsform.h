#pragma once

namespace Ui {
class R58SubScreenConfiguration;
}

// Names the settings' labels of the configuration form (the device's page and the offline
// editor share it) with the settings' one name and unit, as the comparison, the report and the
// history say them.
void nameSettingLabels(Ui::R58SubScreenConfiguration& form);
