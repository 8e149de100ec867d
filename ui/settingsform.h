#pragma once

class QString;
class QWidget;

namespace Application::R58 {
enum class SettingKey;
}
namespace Ui {
class R58SubScreenConfiguration;
}

// Names the settings' labels of the configuration form (the device's page and the offline
// editor share it) with the settings' one name and unit, as the comparison, the report and the
// history say them.
void nameSettingLabels(Ui::R58SubScreenConfiguration& form);

// The form's widget of a setting.
[[nodiscard]] QWidget* settingWidget(
    Ui::R58SubScreenConfiguration& form, Application::R58::SettingKey key);

// Marks a field that shows a value it does not offer (empty `note`: lifts the mark); the style
// sheet colours it by the property "outsideField".
void markOutside(QWidget* widget, const QString& note);
