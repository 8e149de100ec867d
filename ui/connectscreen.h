#pragma once

#include <QDialog>
#include <QSharedPointer>

namespace Ui {
class ConnectScreen;
}

namespace Application::R58 {
class SerialPortManager;
}

// Waits for a device after login. Accepted as soon as a device port is open (at the check one
// second after opening, or when a port opens later) or when the user chooses to work offline.
// A device whose port cannot be opened does not end the wait; the screen says why instead.
class ConnectScreen : public QDialog
{
    Q_OBJECT

public:
    explicit ConnectScreen(
        QSharedPointer<Application::R58::SerialPortManager> manager, QWidget* parent = nullptr);
    ~ConnectScreen() override;

    // Shows which recognised device ports exist but cannot be opened, why and what to do, or
    // hides the hint when there are none. Runs with every port poll while the screen waits.
    void updateAccessHint();

public slots:
    void onScreenTimeout();
    void handleOfflineMode();
    // Asks for a port that is not recognised by its USB identity and watches it from then on.
    void handleOtherPort();

private:
    Ui::ConnectScreen* m_ui = nullptr;
    QSharedPointer<Application::R58::SerialPortManager> m_manager;
};
