#include "ui/wheelguard.h"

#include <QEvent>
#include <QWidget>

WheelGuard::WheelGuard(QObject* parent) : QObject(parent)
{
}

void WheelGuard::guard(QWidget* field)
{
    field->setFocusPolicy(Qt::StrongFocus);
    field->installEventFilter(this);
}

bool WheelGuard::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Wheel) {
        auto* field = qobject_cast<QWidget*>(watched);
        if (field && !field->hasFocus()) {
            // Not handled here: ignored, the event goes on to the parent, which scrolls.
            event->ignore();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}
