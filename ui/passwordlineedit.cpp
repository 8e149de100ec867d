#include "ui/passwordlineedit.h"

#include <QPixmap>
#include <QResizeEvent>
#include <QToolButton>

namespace Application::R58 {

PasswordLineEdit::PasswordLineEdit(QWidget* parent)
    : QLineEdit(parent), m_loginButton(new QToolButton(this))
{
    m_loginButton->setObjectName(QStringLiteral("toolButtonLogin"));
    const QPixmap icon(QStringLiteral(":/images/login_icon_active.png"));
    m_loginButton->setIcon(icon);
    m_loginButton->setIconSize(icon.size());
    m_loginButton->setCursor(Qt::ArrowCursor);
    m_loginButton->setToolTip(tr("Log in"));
    m_loginButton->setEnabled(!text().isEmpty());
    // Typed text must not run underneath the button.
    setTextMargins(0, 0, m_loginButton->sizeHint().width(), 0);

    connect(this, &QLineEdit::textChanged, this, &PasswordLineEdit::handleTextChanged);
    connect(
        m_loginButton, &QToolButton::clicked, this, &PasswordLineEdit::handleLoginButtonClicked);
}

void PasswordLineEdit::handleTextChanged(const QString& text)
{
    m_loginButton->setEnabled(!text.isEmpty());
}

void PasswordLineEdit::handleLoginButtonClicked()
{
    emit loggedIn(text());
}

void PasswordLineEdit::resizeEvent(QResizeEvent* event)
{
    QLineEdit::resizeEvent(event);
    const QSize hint = m_loginButton->sizeHint();
    m_loginButton->resize(hint);
    m_loginButton->move(width() - 1 - hint.width(), (height() - hint.height()) / 2);
}

} // namespace Application::R58
