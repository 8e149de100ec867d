#pragma once

#include <QDialog>
#include <QList>

class QLabel;
class QProgressBar;
class QPushButton;
class QTableWidget;

namespace Application::R58 {
class Application;
}

namespace Service::R58 {
class BatchUpdate;
}

// "Update all…": one package for every connected device. Shows each device with its version and
// whether the package applies, runs the core's batch update on the user's "Start" and ends with
// the summary, which can be saved as CSV. The batch holds the logic; this only shows it.
class UpdateAllDialog : public QDialog
{
    Q_OBJECT

public:
    UpdateAllDialog(Service::R58::BatchUpdate& batch, QWidget* parent = nullptr);

private:
    void showResults();
    void handleSave();

    Service::R58::BatchUpdate& m_batch;
    QTableWidget* m_table = nullptr;
    QProgressBar* m_progress = nullptr;
    QLabel* m_status = nullptr;
    QPushButton* m_start = nullptr;
    QPushButton* m_save = nullptr;
    QPushButton* m_close = nullptr;
};
