#pragma once

#include "config/settingsmapper.h"

#include <QDialog>
#include <QStringList>

class QCheckBox;
class QTableWidget;

namespace Application::R58 {
class SettingsComparison;
}

// Shows what a settings file would change on the device, as device value -> file value, before
// anything is sent. In import mode only "Apply" sends; it is offered only when there is
// something to change, nothing in the file was refused and the device is connected.
class CompareDialog : public QDialog
{
    Q_OBJECT

public:
    enum class Mode { Import, Compare };

    // `refused`: the file's values the device must not get, each on its setting's row;
    // `unnamed`: refusals of keys that belong to no setting.
    CompareDialog(const Application::R58::SettingsComparison& comparison, const QString& fileName,
        const QList<Application::R58::SettingsMapper::Refusal>& refused,
        const QStringList& unnamed, bool connected, Mode mode, QWidget* parent = nullptr);

    // Whether Apply can be pressed.
    [[nodiscard]] bool canApply() const { return m_canApply; }

private:
    void showRows();

    QTableWidget* m_table = nullptr;
    QCheckBox* m_showUnchanged = nullptr;
    // Rows shown whether or not "Show unchanged settings" is ticked.
    QList<bool> m_shown;
    bool m_canApply = false;
};
