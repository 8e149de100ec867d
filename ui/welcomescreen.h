#pragma once

#include <QDialog>
#include <QSharedPointer>

#include <set>

namespace Ui {
class WelcomeScreen;
}

namespace Application::R58 {
class Config;
class UserAccount;
} // namespace Application::R58

// The login dialog: the user picks a role and, where the role needs one, enters its password.
// Accepted means logged in; the shared account then holds the role for the rest of the run.
class WelcomeScreen : public QDialog
{
    Q_OBJECT

public:
    WelcomeScreen(QSharedPointer<Application::R58::UserAccount> account,
        QSharedPointer<Application::R58::Config> config, QWidget* parent = nullptr);
    ~WelcomeScreen() override;

    // Shown in the password field while a saved password stands in for typing.
    static const QString SavedPasswordMask;

public slots:
    void handleUserChanged(int index);
    void handleLoggedIn();

private:
    void checkTypedPassword();

    Ui::WelcomeScreen* m_ui = nullptr;
    QSharedPointer<Application::R58::UserAccount> m_account;
    QSharedPointer<Application::R58::Config> m_config;
    // Roles whose saved digest was refused in this dialog; they log in by typing instead.
    std::set<int> m_staleSavedRoles;
};
