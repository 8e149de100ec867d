#include "ui/updatealldialog.h"

#include "update/batchupdate.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

using Service::R58::BatchUpdate;
using Service::R58::DeviceUpdate;

UpdateAllDialog::UpdateAllDialog(BatchUpdate& batch, QWidget* parent)
    : QDialog(parent), m_batch(batch)
{
    setObjectName(QStringLiteral("UpdateAllDialog"));
    setWindowTitle(tr("Update all devices"));
    auto* layout = new QVBoxLayout(this);
    m_table = new QTableWidget(0, 6, this);
    m_table->setObjectName(QStringLiteral("tableWidgetDevices"));
    m_table->setHorizontalHeaderLabels(
        {tr("Serial number"), tr("Port"), tr("Before"), tr("After"), tr("Result"), tr("Time")});
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    layout->addWidget(m_table);
    m_status = new QLabel(this);
    m_status->setWordWrap(true);
    layout->addWidget(m_status);
    m_progress = new QProgressBar(this);
    m_progress->setRange(0, 100);
    m_progress->hide();
    layout->addWidget(m_progress);
    auto* buttons = new QDialogButtonBox(this);
    m_start = buttons->addButton(tr("Start"), QDialogButtonBox::AcceptRole);
    m_save = buttons->addButton(tr("Save summary…"), QDialogButtonBox::ActionRole);
    m_close = buttons->addButton(QDialogButtonBox::Close);
    m_save->setEnabled(false);
    layout->addWidget(buttons);
    resize(720, 360);

    connect(m_start, &QPushButton::clicked, this, [this] {
        m_start->setEnabled(false);
        m_close->setEnabled(false);
        m_progress->show();
        m_batch.start();
    });
    connect(m_save, &QPushButton::clicked, this, &UpdateAllDialog::handleSave);
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
    connect(&m_batch, &BatchUpdate::deviceStarted, this, [this](int index) {
        m_progress->setValue(0);
        m_status->setText(tr("Updating %1…").arg(m_batch.results().at(index).serialNumber));
    });
    connect(&m_batch, &BatchUpdate::progressChanged, this,
        [this](int, int percent) { m_progress->setValue(percent); });
    connect(&m_batch, &BatchUpdate::deviceFinished, this, [this] { showResults(); });
    connect(&m_batch, &BatchUpdate::finished, this, [this] {
        showResults();
        m_progress->hide();
        m_status->setText(tr("Every device has had its turn."));
        m_save->setEnabled(true);
        m_close->setEnabled(true);
    });
    showResults();
    int applicable = 0;
    for (const auto& result : m_batch.results())
        applicable += result.outcome == DeviceUpdate::Outcome::Pending ? 1 : 0;
    m_start->setEnabled(applicable > 0);
    m_status->setText(tr("The package applies to %1 of %2 devices.")
                          .arg(applicable)
                          .arg(m_batch.results().size()));
}

// A device not yet run shows whether the package applies, one that ran its outcome.
void UpdateAllDialog::showResults()
{
    const auto results = m_batch.results();
    m_table->setRowCount(int(results.size()));
    for (int row = 0; row < results.size(); ++row) {
        const DeviceUpdate::Result& result = results.at(row);
        QString outcome = result.outcome == DeviceUpdate::Outcome::Pending
            ? tr("applies")
            : DeviceUpdate::outcomeText(result.outcome);
        if (!result.message.isEmpty())
            outcome += QStringLiteral(": ") + result.message;
        const bool ran = result.outcome != DeviceUpdate::Outcome::Pending
            && result.outcome != DeviceUpdate::Outcome::Refused;
        const QStringList cells {result.serialNumber, QFileInfo(result.port).fileName(),
            result.before, ran ? result.after : QString(), outcome,
            ran ? tr("%1 s").arg(double(result.milliseconds) / 1000.0, 0, 'f', 1) : QString()};
        for (int column = 0; column < cells.size(); ++column)
            m_table->setItem(row, column, new QTableWidgetItem(cells.at(column)));
    }
    m_table->resizeColumnsToContents();
}

void UpdateAllDialog::handleSave()
{
    const QString path = QFileDialog::getSaveFileName(this, tr("Save summary"),
        QDir::home().filePath(tr("update summary.csv")), tr("CSV Files (*.csv)"));
    if (path.isEmpty())
        return;
    if (!m_batch.saveCsv(path))
        m_status->setText(tr("The summary could not be written to %1: %2.")
                              .arg(QDir::toNativeSeparators(path), m_batch.errorString()));
    else
        m_status->setText(tr("Summary saved to %1.").arg(QDir::toNativeSeparators(path)));
}
