#pragma once

#include <QDialog>

class QLineEdit;
class QListWidget;

// Lets the user name a serial port that is not recognised as a VELOR R58 by its USB identity
// (another maker's USB-serial adapter, a pseudo-terminal forwarded over the network): it lists
// the system's serial ports and takes any name or path typed in.
class OtherPortDialog : public QDialog
{
    Q_OBJECT

public:
    explicit OtherPortDialog(QWidget* parent = nullptr);

    // The port name or path chosen, trimmed; empty when none.
    [[nodiscard]] QString getPortName() const;

private:
    QListWidget* m_list = nullptr;
    QLineEdit* m_edit = nullptr;
};
