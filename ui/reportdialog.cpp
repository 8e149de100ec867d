#include "ui/reportdialog.h"

#include "ui/stylesheet.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

ReportDialog::ReportDialog(QWidget* parent)
    : QDialog(parent),
      m_site(new QLineEdit(this)),
      m_motor(new QLineEdit(this)),
      m_technician(new QLineEdit(this)),
      m_notes(new QPlainTextEdit(this))
{
    setObjectName(QStringLiteral("ReportDialog"));
    setWindowTitle(tr("Commissioning report"));
    auto* layout = new QVBoxLayout(this);
    auto* intro = new QLabel(tr("The report holds the device's identity, state, protection "
                                "settings and measured values. Please add the details "
                                "that only you know:"),
        this);
    intro->setWordWrap(true);
    layout->addWidget(intro);

    m_site->setObjectName(QStringLiteral("lineEditReportSite"));
    m_motor->setObjectName(QStringLiteral("lineEditReportMotor"));
    m_technician->setObjectName(QStringLiteral("lineEditReportTechnician"));
    m_notes->setObjectName(QStringLiteral("plainTextEditReportNotes"));
    m_motor->setPlaceholderText(tr("e.g. pump 2, 4 kW, 400 V"));
    auto* form = new QFormLayout;
    form->setHorizontalSpacing(12);
    form->setVerticalSpacing(8);
    form->addRow(tr("Site"), m_site);
    form->addRow(tr("Motor"), m_motor);
    form->addRow(tr("Technician"), m_technician);
    form->addRow(tr("Notes"), m_notes);
    layout->addLayout(form);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* pdf = buttons->addButton(tr("Save PDF…"), QDialogButtonBox::AcceptRole);
    QPushButton* print = buttons->addButton(tr("Print…"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QDialogButtonBox::Cancel);
    pdf->setDefault(true);
    connect(pdf, &QPushButton::clicked, this, [this] {
        m_output = Output::Pdf;
        accept();
    });
    connect(print, &QPushButton::clicked, this, [this] {
        m_output = Output::Printer;
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    Application::R58::styleDialog(*this);
    resize(560, 460);
}

CommissioningReport::Fields ReportDialog::getFields() const
{
    return {m_site->text().trimmed(), m_motor->text().trimmed(), m_technician->text().trimmed(),
        m_notes->toPlainText().trimmed()};
}
