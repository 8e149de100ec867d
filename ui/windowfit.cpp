#include "ui/windowfit.h"

#include <QEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLayout>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollArea>
#include <QWidget>

#include <algorithm>

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

// Shows or hides the parts as the window's height crosses the limit.
class ShortWindowFilter : public QObject
{
public:
    ShortWindowFilter(QWidget& window, QList<QWidget*> parts, int height)
        : QObject(&window), m_parts(std::move(parts)), m_height(height)
    {
        window.installEventFilter(this);
        apply(window.height());
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Resize)
            apply(static_cast<QResizeEvent*>(event)->size().height());
        return QObject::eventFilter(watched, event);
    }

private:
    void apply(int height)
    {
        for (QWidget* part : qAsConst(m_parts))
            part->setVisible(height >= m_height);
    }

    QList<QWidget*> m_parts;
    int m_height;
};

} // namespace

void hideWhenShort(QWidget& window, const QList<QWidget*>& parts, int height)
{
    new ShortWindowFilter(window, parts, height);
}

void alignColumn(const QList<QGridLayout*>& grids, int column, int minimum)
{
    int width = minimum;
    for (QGridLayout* grid : grids) {
        for (int row = 0; row < grid->rowCount(); ++row) {
            QLayoutItem* item = grid->itemAtPosition(row, column);
            if (QWidget* widget = item ? item->widget() : nullptr) {
                // The style sheet's font decides the width.
                widget->ensurePolished();
                width = std::max(width, widget->sizeHint().width());
            }
        }
    }
    for (QGridLayout* grid : grids)
        grid->setColumnMinimumWidth(column, width);
}

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
