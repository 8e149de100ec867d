#include "ui/stylesheet.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QFont>
#include <QPushButton>
#include <QStringList>
#include <QStyle>
#include <QVariant>

// The style sheets live in this static library; registering them here keeps the linker from
// dropping them, whichever executable uses the windows.
static void initStyleResources()
{
    Q_INIT_RESOURCE(styles);
}

namespace Application::R58 {

QString loadStyleSheet(const QString& name)
{
    static const bool registered = [] {
        initStyleResources();
        return true;
    }();
    Q_UNUSED(registered)

    QFile file(QStringLiteral(":/styles/%1.qss").arg(name));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    return QString::fromUtf8(file.readAll());
}

void installFontFallbacks()
{
    // Humanist faces close to the maker's first, the one every Linux has last.
    const QStringList fallbacks {QStringLiteral("Source Sans 3"), QStringLiteral("Source Sans Pro"),
        QStringLiteral("Open Sans"), QStringLiteral("Noto Sans"), QStringLiteral("Segoe UI"),
        QStringLiteral("Helvetica Neue"), QStringLiteral("Liberation Sans"),
        QStringLiteral("DejaVu Sans")};
    for (const char* family :
        {"TheSansBPlus W4 SemiLight", "TheSansBPlus W7 Bold", "TheSansBPlus"}) {
        QFont::insertSubstitutions(QString::fromLatin1(family), fallbacks);
    }
}

void styleDialog(QDialog& dialog)
{
    // Each button box is looked at as the dialog is shown, after its buttons were added.
    const auto boxes = dialog.findChildren<QDialogButtonBox*>();
    for (QDialogButtonBox* box : boxes) {
        for (QAbstractButton* button : box->buttons()) {
            const auto role = box->buttonRole(button);
            const bool secondary
                = role == QDialogButtonBox::RejectRole || role == QDialogButtonBox::NoRole;
            button->setProperty("secondary", QVariant(secondary));
        }
    }
    // Set after the properties, so that the buttons are polished with them.
    dialog.setStyleSheet(loadStyleSheet(QStringLiteral("dialog")));
    // Under a window with a style sheet of its own (the connect screen), widgets made before
    // this kept the look that window's sheet gave them, the platform's grey buttons: the
    // style object stays the same, so Qt does not polish them again by itself.
    const auto widgets = dialog.findChildren<QWidget*>();
    for (QWidget* widget : widgets) {
        widget->style()->unpolish(widget);
        widget->style()->polish(widget);
    }
}

} // namespace Application::R58
