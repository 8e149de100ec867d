#include "ui/comparedialog.h"

#include "config/settingscomparison.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

using Application::R58::SettingsComparison;

CompareDialog::CompareDialog(const SettingsComparison& comparison, const QString& fileName,
    const QStringList& refusals, bool connected, Mode mode, QWidget* parent)
    : QDialog(parent), m_table(new QTableWidget(this)), m_showUnchanged(new QCheckBox(this))
{
    setObjectName(QStringLiteral("CompareDialog"));
    setWindowTitle(mode == Mode::Import ? tr("Import settings") : tr("Compare settings"));
    auto* layout = new QVBoxLayout(this);

    const int changes = comparison.getChangedCount();
    auto* summary = new QLabel(this);
    summary->setObjectName(QStringLiteral("labelCompareSummary"));
    summary->setWordWrap(true);
    // The name reads better than a long path; the path stays at hand in the tooltip.
    const QString name = QFileInfo(fileName).fileName();
    summary->setToolTip(QDir::toNativeSeparators(fileName));
    summary->setText(changes == 0
            ? tr("Nothing to change: %1 holds the device's settings.").arg(name)
            : tr("%1 would change %2 of the device's settings:").arg(name).arg(changes));
    layout->addWidget(summary);

    QStringList problems = refusals;
    if (!refusals.isEmpty())
        problems << tr("The file is refused: nothing from it can be sent.");
    if (mode == Mode::Import && refusals.isEmpty() && !connected)
        problems << tr("The device is not connected: nothing can be sent.");
    if (!problems.isEmpty()) {
        auto* refused = new QLabel(problems.join(QLatin1Char('\n')), this);
        refused->setObjectName(QStringLiteral("labelCompareRefused"));
        refused->setWordWrap(true);
        refused->setStyleSheet(QStringLiteral("color: #d0021b; font-weight: bold;"));
        layout->addWidget(refused);
    }

    m_table->setColumnCount(2);
    m_table->setHorizontalHeaderLabels({tr("Setting"), tr("Device → file")});
    m_table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->verticalHeader()->hide();
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionMode(QAbstractItemView::NoSelection);
    m_table->setFocusPolicy(Qt::NoFocus);
    const auto& rows = comparison.getRows();
    m_table->setRowCount(rows.size());
    for (int i = 0; i < rows.size(); ++i) {
        const auto& row = rows.at(i);
        auto* label = new QTableWidgetItem(row.label);
        auto* value = new QTableWidgetItem(row.changed
                ? QStringLiteral("%1 → %2").arg(row.deviceText, row.fileText)
                : row.deviceText);
        if (row.changed) {
            QFont bold = value->font();
            bold.setBold(true);
            value->setFont(bold);
        }
        m_table->setItem(i, 0, label);
        m_table->setItem(i, 1, value);
        m_changed.append(row.changed);
    }
    layout->addWidget(m_table);

    m_showUnchanged->setText(tr("Show unchanged settings"));
    connect(m_showUnchanged, &QCheckBox::toggled, this, &CompareDialog::showRows);
    layout->addWidget(m_showUnchanged);
    showRows();

    auto* buttons = new QDialogButtonBox(this);
    if (mode == Mode::Import) {
        QPushButton* apply = buttons->addButton(tr("Apply"), QDialogButtonBox::AcceptRole);
        apply->setObjectName(QStringLiteral("pushButtonApply"));
        m_canApply = changes > 0 && refusals.isEmpty() && connected;
        apply->setEnabled(m_canApply);
        buttons->addButton(QDialogButtonBox::Cancel);
    } else {
        buttons->addButton(QDialogButtonBox::Close);
    }
    // Enter must not apply by accident.
    for (QAbstractButton* button : buttons->buttons()) {
        if (auto* push = qobject_cast<QPushButton*>(button))
            push->setAutoDefault(false);
    }
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(560, 480);
}

void CompareDialog::showRows()
{
    for (int i = 0; i < m_changed.size(); ++i)
        m_table->setRowHidden(i, !m_changed.at(i) && !m_showUnchanged->isChecked());
}
