#pragma once

#include "ui/subscreenfactory.h"

#include <QDialog>

// Stands in a device's tab until the full device screen exists: names the port, says whether
// a device is connected, and keeps the tab flow (open, close, offline) working.
class PlaceholderSubScreen : public QDialog
{
    Q_OBJECT

public:
    // Offline when no open port of this name is known to the manager.
    PlaceholderSubScreen(const QString& portName, bool connected, QWidget* parent = nullptr);

    [[nodiscard]] QString getPortName() const { return m_portName; }
    [[nodiscard]] bool isClosable() const { return m_closable; }
    // Lets tests and callers keep the tab through a port loss, as a running update does.
    void setClosable(bool closable) { m_closable = closable; }

private:
    QString m_portName;
    bool m_closable = true;
};

namespace Application::R58 {

// Makes PlaceholderSubScreens.
class PlaceholderSubScreenFactory : public SubScreenFactory
{
public:
    explicit PlaceholderSubScreenFactory(QSharedPointer<SerialPortManager> manager);

    [[nodiscard]] QWidget* createSubScreen(const QString& portName) override;
    [[nodiscard]] QString getPortName(const QWidget* screen) const override;
    [[nodiscard]] bool isClosable(const QWidget* screen) const override;

private:
    QSharedPointer<SerialPortManager> m_manager;
};

} // namespace Application::R58
