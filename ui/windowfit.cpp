#include "ui/windowfit.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QScrollArea>
#include <QWidget>

namespace Application::R58 {

namespace {

QScrollArea* makeScrollArea(QWidget* parent)
{
    auto* area = new QScrollArea(parent);
    area->setObjectName(QStringLiteral("scrollAreaContent"));
    area->setWidgetResizable(true);
    area->setFrameShape(QFrame::NoFrame);
    // The window's own background (a picture, a colour) shows through.
    area->setStyleSheet(QStringLiteral(
        "QScrollArea#scrollAreaContent, QWidget#scrollAreaContentViewport { background: "
        "transparent; border: none; }"));
    area->viewport()->setObjectName(QStringLiteral("scrollAreaContentViewport"));
    area->viewport()->setAutoFillBackground(false);
    return area;
}

} // namespace

QScrollArea* wrapInScrollArea(QWidget& widget)
{
    QWidget* parent = widget.parentWidget();
    QLayout* layout = parent ? parent->layout() : nullptr;
    if (!layout)
        return nullptr;
    QScrollArea* area = makeScrollArea(parent);
    delete layout->replaceWidget(&widget, area);
    area->setWidget(&widget);
    return area;
}

QScrollArea* makeContentScrollable(QWidget& window)
{
    QLayout* outer = window.layout();
    if (!outer || outer->count() != 1 || !outer->itemAt(0)->layout())
        return nullptr;
    QLayout* inner = outer->takeAt(0)->layout();
    inner->setParent(nullptr);
    auto* content = new QWidget;
    content->setObjectName(QStringLiteral("widgetScrollContent"));
    content->setAttribute(Qt::WA_TranslucentBackground);
    content->setLayout(inner);
    QScrollArea* area = makeScrollArea(&window);
    area->setWidget(content);
    content->setAutoFillBackground(false);
    outer->addWidget(area);
    return area;
}

void fitToScreen(QWidget& window, QSize designed)
{
    window.setMinimumSize(SmallestWindow);
    QSize size = designed;
    if (const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableSize());
    window.resize(size.expandedTo(SmallestWindow));
}

} // namespace Application::R58
