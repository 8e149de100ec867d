#pragma once

#include <QList>
#include <QSize>

class QGridLayout;
class QLayout;
class QScrollArea;
class QWidget;

// What keeps the windows usable on a small laptop screen: content that does not fit scrolls
// instead of being cut off below the screen's edge.
namespace Application::R58 {

// The smallest window the content scrolls in (a 1366 × 768 laptop leaves about this much).
constexpr QSize SmallestWindow(1024, 600);

// Puts `widget` into a scroll area in its place in its parent's layout.
QScrollArea* wrapInScrollArea(QWidget& widget);
// Puts the whole content of `window`, whose layout holds one inner layout, into a scroll area.
QScrollArea* makeContentScrollable(QWidget& window);
// The window at its designed size, or smaller where the screen is: never larger than the
// screen's free area, never smaller than SmallestWindow.
void fitToScreen(QWidget& window, QSize designed);
// Hides `parts` (pictures that only decorate) while `window` is less than `height` pixels
// tall, and shows them again when it grows: on a laptop the room goes to the content.
void hideWhenShort(QWidget& window, const QList<QWidget*>& parts, int height);
// Gives `column` of every grid the width of its widest widget in any of them, at least
// `minimum`: pages shown in turn in one place (the quantities of the data page, the groups of
// settings) keep their columns in one place.
void alignColumn(const QList<QGridLayout*>& grids, int column, int minimum = 0);

} // namespace Application::R58
