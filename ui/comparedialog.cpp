#include "ui/comparedialog.h"

#include "config/settingscomparison.h"
#include "ui/stylesheet.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

using Application::R58::SettingsComparison;

CompareDialog::CompareDialog(const SettingsComparison& comparison, const QString& fileName,
    const QList<Application::R58::SettingsMapper::Refusal>& refused, const QStringList& unnamed,
    bool connected, Mode mode, QWidget* parent)
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
    const bool isRefused = !refused.isEmpty() || !unnamed.isEmpty();
    // A refused file changes nothing: it cannot be imported at all.
    if (isRefused)
        summary->setText(tr("%1 cannot be imported: it holds values the device must not get "
                            "(in red).")
                             .arg(name));
    else if (changes == 0)
        summary->setText(tr("Nothing to change: %1 holds the device's settings.").arg(name));
    else
        summary->setText(tr("%1 would change %2 of the device's settings:").arg(name).arg(changes));
    layout->addWidget(summary);

    QStringList problems = unnamed;
    if (isRefused)
        problems << tr("The file is refused: nothing from it can be sent.");
    if (mode == Mode::Import && !isRefused && !connected)
        problems << tr("The device is not connected: nothing can be sent.");
    if (!problems.isEmpty()) {
        auto* refusedLabel = new QLabel(problems.join(QLatin1Char('\n')), this);
        refusedLabel->setObjectName(QStringLiteral("labelCompareRefused"));
        refusedLabel->setWordWrap(true);
        refusedLabel->setProperty("failure", true);
        layout->addWidget(refusedLabel);
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
        const auto refusal = std::find_if(refused.begin(), refused.end(),
            [&row](const auto& refusal) { return refusal.key == row.key; });
        QString text = row.changed ? QStringLiteral("%1 → %2").arg(row.deviceText, row.fileText)
                                   : row.deviceText;
        if (refusal != refused.end())
            text = refusal->text;
        auto* value = new QTableWidgetItem(text);
        value->setToolTip(text);
        if (row.changed || refusal != refused.end()) {
            QFont bold = value->font();
            bold.setBold(true);
            value->setFont(bold);
        }
        if (refusal != refused.end()) {
            for (QTableWidgetItem* item : {label, value})
                item->setForeground(QColor(0xd0, 0x02, 0x1b));
        }
        m_table->setItem(i, 0, label);
        m_table->setItem(i, 1, value);
        m_shown.append(row.changed || refusal != refused.end());
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
        m_canApply = changes > 0 && !isRefused && connected;
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
    Application::R58::styleDialog(*this);
    resize(620, 480);
}

void CompareDialog::showRows()
{
    for (int i = 0; i < m_shown.size(); ++i)
        m_table->setRowHidden(i, !m_shown.at(i) && !m_showUnchanged->isChecked());
}
