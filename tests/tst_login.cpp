// The login dialog against a real config.json in a temporary home: the controls per role, when the
// dialog accepts, and what reaches the file.

#include "config/config.h"
#include "config/roledigests.h"
#include "config/useraccount.h"
#include "config/userconfig.h"
#include "ui/passwordlineedit.h"
#include "ui/welcomescreen.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMessageBox>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <memory>

using Application::R58::Config;
using Application::R58::PasswordLineEdit;
using Application::R58::UserAccount;
using Application::R58::UserConfig;

Q_DECLARE_METATYPE(UserAccount::User)

namespace {

enum class Trigger { Button, Return };

// The dialog, with a role chosen if given, and the controls the tests drive.
struct Login
{
    QSharedPointer<UserAccount> account = QSharedPointer<UserAccount>::create();
    QSharedPointer<Config> config = QSharedPointer<Config>::create();
    std::unique_ptr<WelcomeScreen> dialog;

    explicit Login(int role = -1) : dialog(std::make_unique<WelcomeScreen>(account, config))
    {
        if (role >= 0)
            roles()->setCurrentIndex(role);
    }

    QComboBox* roles() const { return dialog->findChild<QComboBox*>("comboBoxUser"); }
    PasswordLineEdit* field() const
    {
        return dialog->findChild<PasswordLineEdit*>("lineEditPassword");
    }
    QCheckBox* saveBox() const { return dialog->findChild<QCheckBox*>("checkBoxSavePassword"); }
    QToolButton* button() const { return field()->getLoginButton(); }
    bool accepted() const { return dialog->result() == QDialog::Accepted; }

    void logIn(Trigger trigger)
    {
        if (trigger == Trigger::Button)
            QTest::mouseClick(button(), Qt::LeftButton);
        else
            QTest::keyClick(field(), Qt::Key_Return);
    }
};

QString hexDigest(const QString& password)
{
    return QString::fromLatin1(UserAccount::passwordDigest(password).toHex());
}

// The saved accounts exactly as the file holds them.
QJsonArray savedAccounts(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).object().value("UserAccounts").toArray();
}

void writeSavedAccount(UserAccount::User user, const QString& hex)
{
    Config config;
    config.setUser(UserConfig(user, hex));
    QVERIFY(config.save());
}

} // namespace

Q_DECLARE_METATYPE(Trigger)

class TestLogin : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void staleSavedPassword_data();
    void staleSavedPassword();
    void unsavedPasswordIsReported();

private:
    std::unique_ptr<QTemporaryDir> m_home;
};

void TestLogin::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName(QStringLiteral("Brenvik"));
    QCoreApplication::setApplicationName(QStringLiteral("tst_login"));
}

// A fresh home per test: no saved login leaks from one row into the next.
void TestLogin::init()
{
    m_home = std::make_unique<QTemporaryDir>();
    QVERIFY(m_home->isValid());
    qputenv("HOME", QFile::encodeName(m_home->path()));
}

void TestLogin::staleSavedPassword_data()
{
    QTest::addColumn<bool>("saveAgain");
    QTest::newRow("replaced when saved again") << true;
}

void TestLogin::staleSavedPassword()
{
#if R58_DEVELOPMENT_DIGESTS
    QFETCH(bool, saveAgain);

    // Saved under an earlier password of the role.
    const QString staleHex = hexDigest(QStringLiteral("old supervisor password"));
    writeSavedAccount(UserAccount::Supervisor, staleHex);

    Login login(UserAccount::Supervisor);
    QCOMPARE(login.field()->text(), QStringLiteral("********"));
    login.logIn(Trigger::Return);
    QVERIFY(!login.accepted());
    // The refused mask is cleared so that the current password can be typed.
    QCOMPARE(login.field()->text(), QString());

    login.saveBox()->setChecked(saveAgain);
    QTest::keyClicks(login.field(), QStringLiteral("r58-supervisor"));
    login.logIn(Trigger::Button);
    QVERIFY(login.accepted());

    const QJsonArray saved = savedAccounts(login.config->getFilePath());
    QCOMPARE(saved.size(), 1);
    QCOMPARE(saved.first().toObject().value("Password").toString(),
        saveAgain ? hexDigest(QStringLiteral("r58-supervisor")) : staleHex);
#else
    QSKIP("Built with site digests; their passwords are not known here.");
#endif
}

// The login stands when the password cannot be saved, and the user is told so.
void TestLogin::unsavedPasswordIsReported()
{
#if R58_DEVELOPMENT_DIGESTS
    Login login {int(UserAccount::Supervisor)};
    // config.json as a folder: it cannot be replaced, not even by root.
    QVERIFY(QDir().mkpath(login.config->getFilePath()));
    login.saveBox()->setChecked(true);
    QTest::keyClicks(login.field(), QStringLiteral("r58-supervisor"));

    QString warning;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&warning] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            warning = box->text();
            box->accept();
        }
    });
    closer.start(20);
    login.logIn(Trigger::Return);

    QVERIFY(login.accepted());
    QVERIFY2(warning.contains(QDir::toNativeSeparators(login.config->getFilePath())),
        qPrintable(warning));
    QVERIFY(QFileInfo(login.config->getFilePath()).isDir());
#else
    QSKIP("Built with site digests; their passwords are not known here.");
#endif
}

QTEST_MAIN(TestLogin)
#include "tst_login.moc"
