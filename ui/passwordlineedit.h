#pragma once

#include <QLineEdit>

class QResizeEvent;
class QToolButton;

namespace Application::R58 {

// A password field with its own login button inside, at the right edge; the button is enabled
// only while there is something to log in with.
class PasswordLineEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit PasswordLineEdit(QWidget* parent = nullptr);

    [[nodiscard]] QToolButton* getLoginButton() const { return m_loginButton; }

signals:
    void loggedIn(const QString& text);

public slots:
    void handleTextChanged(const QString& text);
    void handleLoginButtonClicked();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QToolButton* m_loginButton = nullptr;
};

} // namespace Application::R58
