#pragma once

#include <QObject>

class QWidget;

// Keeps a turned mouse wheel from changing a field the user is not working in: over a spin
// box or a list without focus the wheel scrolls the page instead. A page of protection
// settings is scrolled with the wheel, and a setting must not change on the way.
class WheelGuard : public QObject
{
    Q_OBJECT

public:
    explicit WheelGuard(QObject* parent = nullptr);

    // Guards the field; the field also stops taking focus from the wheel alone.
    void guard(QWidget* field);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
