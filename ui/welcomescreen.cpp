#include "ui/welcomescreen.h"

#include "config/config.h"
#include "config/useraccount.h"
#include "config/userconfig.h"
#include "ui/passwordlineedit.h"
#include "ui/stylesheet.h"
#include "ui/windowfit.h"
#include "ui/userfeatures.h"
#include "ui_welcomescreen.h"

#include <QDir>
#include <QListView>
#include <QMessageBox>
#include <QTimer>
#include <QPalette>
#include <QPixmap>

using Application::R58::Config;
using Application::R58::UserAccount;
using Application::R58::UserConfig;
using Application::R58::UserFeatures;

const QString WelcomeScreen::SavedPasswordMask = QStringLiteral("********");

namespace {

constexpr int FormSpacingWithPassword = 70; // pixels between role list and password field

} // namespace

WelcomeScreen::WelcomeScreen(
    QSharedPointer<UserAccount> account, QSharedPointer<Config> config, QWidget* parent)
    : QDialog(parent),
      m_ui(new Ui::WelcomeScreen),
      m_account(std::move(account)),
      m_config(std::move(config))
{
    m_ui->setupUi(this);
    setStyleSheet(Application::R58::loadStyleSheet(QStringLiteral("welcomescreen")));

    connect(m_ui->comboBoxUser, qOverload<int>(&QComboBox::currentIndexChanged), this,
        &WelcomeScreen::handleUserChanged);
    connect(m_ui->lineEditPassword, &Application::R58::PasswordLineEdit::loggedIn, this,
        &WelcomeScreen::handleLoggedIn);
    connect(
        m_ui->lineEditPassword, &QLineEdit::returnPressed, this, &WelcomeScreen::handleLoggedIn);

    m_ui->labelKeyVisualXL->setPixmap(QPixmap(QStringLiteral(":/images/key_visual_xl.png")));
    m_ui->labelLogo->setPixmap(QPixmap(QStringLiteral(":/images/velor_logo.png")));

    // A list view as popup lets the style sheet set the item height.
    m_ui->comboBoxUser->setView(new QListView(m_ui->comboBoxUser));
    m_ui->lineEditPassword->setAttribute(Qt::WA_MacShowFocusRect, false);
    // The style sheet cannot reach the placeholder colour; on the dark ground it must be light.
    QPalette palette = m_ui->lineEditPassword->palette();
    palette.setColor(QPalette::PlaceholderText, QColor(255, 255, 255, 150));
    m_ui->lineEditPassword->setPalette(palette);

    handleUserChanged(0);
    m_config->load();

    // Designed for 1280 × 910; a smaller screen scrolls the content.
    const QSize designed = size();
    Application::R58::makeContentScrollable(*this);
    Application::R58::fitToScreen(*this, designed);
}

WelcomeScreen::~WelcomeScreen()
{
    delete m_ui;
}

void WelcomeScreen::handleUserChanged(int index)
{
    // The list rows are the role values.
    const auto role = index > 0 ? static_cast<UserAccount::User>(index) : UserAccount::None;
    m_account->setUser(role);

    const bool passwordEntry = UserFeatures(m_account).hasFeature(UserFeatures::PasswordEntry);
    m_ui->lineEditPassword->setVisible(passwordEntry);
    m_ui->checkBoxSavePassword->setVisible(passwordEntry);
    m_ui->formLayoutUser->setHorizontalSpacing(passwordEntry ? FormSpacingWithPassword : 0);

    if (m_config->getUser(role) && m_staleSavedRoles.count(role) == 0)
        m_ui->lineEditPassword->setText(SavedPasswordMask);
    else
        m_ui->lineEditPassword->clear();

    if (role == UserAccount::Customer) {
        handleLoggedIn();
        return;
    }
    // Return logs in from here on, with the saved password or the one typed; the list would
    // keep the key for itself. The popup closes first, and the focus then goes to the field.
    if (passwordEntry)
        QTimer::singleShot(0, m_ui->lineEditPassword, [this] {
            m_ui->lineEditPassword->setFocus(Qt::OtherFocusReason);
        });
}

void WelcomeScreen::handleLoggedIn()
{
    const UserAccount::User role = m_account->getUser();
    const UserConfig* saved
        = m_staleSavedRoles.count(role) == 0 ? m_config->getUser(role) : nullptr;
    if (!saved) {
        checkTypedPassword();
        return;
    }

    m_account->setPasswordDigest(QByteArray::fromHex(saved->getPassword().toLatin1()));
    if (m_account->isPasswordValid()) {
        accept();
        return;
    }
    // The role's password has changed since it was saved. Keeping to the saved digest would lock
    // the role out of this dialog for good, so from now on the typed text counts; the mask in
    // the field is no password and is cleared by the check.
    m_staleSavedRoles.insert(role);
    checkTypedPassword();
}

void WelcomeScreen::checkTypedPassword()
{
    const QByteArray digest = UserAccount::passwordDigest(m_ui->lineEditPassword->text());
    m_account->setPasswordDigest(digest);
    if (!m_account->isPasswordValid()) {
        m_ui->lineEditPassword->clear();
        return;
    }
    if (m_ui->checkBoxSavePassword->isChecked()) {
        // Only the digest is kept; the typed password never reaches the file.
        m_config->setUser(UserConfig(m_account->getUser(), QString::fromLatin1(digest.toHex())));
        if (!m_config->save()) {
            // The login stands; only remembering it failed, and the user must know why the
            // password is asked for again next time.
            QMessageBox warning(QMessageBox::Warning, tr("Password not saved"),
                tr("The password could not be saved in %1. You are logged in; next time the "
                   "password must be typed again.")
                    .arg(QDir::toNativeSeparators(m_config->getFilePath())),
                QMessageBox::Ok, this);
            Application::R58::styleDialog(warning);
            warning.exec();
        }
        m_staleSavedRoles.erase(m_account->getUser());
    }
    accept();
}
