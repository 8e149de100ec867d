#pragma once

#include "records/commissioningreport.h"

#include <QDialog>

class QLineEdit;
class QPlainTextEdit;

// Asks for what only the technician knows (site, motor, name, notes) before the commissioning
// report is made, and whether it is to be saved as PDF or printed.
class ReportDialog : public QDialog
{
    Q_OBJECT

public:
    enum class Output { Pdf, Printer };

    explicit ReportDialog(QWidget* parent = nullptr);

    [[nodiscard]] CommissioningReport::Fields getFields() const;
    [[nodiscard]] Output getOutput() const { return m_output; }

private:
    QLineEdit* m_site = nullptr;
    QLineEdit* m_motor = nullptr;
    QLineEdit* m_technician = nullptr;
    QPlainTextEdit* m_notes = nullptr;
    Output m_output = Output::Pdf;
};
