#pragma once

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

    CompareDialog(const Application::R58::SettingsComparison& comparison, const QString& fileName,
        const QStringList& refusals, bool connected, Mode mode, QWidget* parent = nullptr);

    // Whether Apply can be pressed.
    [[nodiscard]] bool canApply() const { return m_canApply; }

private:
    void showRows();

    QTableWidget* m_table = nullptr;
    QCheckBox* m_showUnchanged = nullptr;
    QList<bool> m_changed;
    bool m_canApply = false;
};
