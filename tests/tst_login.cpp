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
namespace RoleDigests = Application::R58::RoleDigests;

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

    void roleSelection_data();
    void roleSelection();
    void typedPassword_data();
    void typedPassword();
    void savedPassword_data();
    void savedPassword();
    void staleSavedPassword_data();
    void staleSavedPassword();
    void loginButtonFollowsText();
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

void TestLogin::roleSelection_data()
{
    QTest::addColumn<QList<int>>("choices");
    QTest::addColumn<UserAccount::User>("role");
    QTest::addColumn<bool>("passwordShown");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("opening") << QList<int> {} << UserAccount::None << false << false;
    QTest::newRow("customer logs in at once")
        << QList<int> {UserAccount::Customer} << UserAccount::Customer << false << true;
    for (auto role : {UserAccount::Supervisor, UserAccount::Admin, UserAccount::Demo})
        QTest::addRow("role %d", int(role)) << QList<int> {role} << role << true << false;
    QTest::newRow("back to please select") << QList<int> {UserAccount::Admin, UserAccount::None}
                                           << UserAccount::None << false << false;
}

void TestLogin::roleSelection()
{
    QFETCH(QList<int>, choices);
    QFETCH(UserAccount::User, role);
    QFETCH(bool, passwordShown);
    QFETCH(bool, accepted);

    Login login;
    QSignalSpy acceptedSpy(login.dialog.get(), &QDialog::accepted);
    QCOMPARE(login.roles()->currentText(), QStringLiteral("Please select"));
    for (int choice : choices)
        login.roles()->setCurrentIndex(choice);

    QCOMPARE(login.account->getUser(), role);
    QCOMPARE(login.field()->isVisibleTo(login.dialog.get()), passwordShown);
    QCOMPARE(login.saveBox()->isVisibleTo(login.dialog.get()), passwordShown);
    QCOMPARE(login.accepted(), accepted);
    QCOMPARE(acceptedSpy.count(), accepted ? 1 : 0);
    QCOMPARE(login.account->isPasswordValid(), accepted);
}

void TestLogin::typedPassword_data()
{
    QTest::addColumn<UserAccount::User>("role");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("save");
    QTest::addColumn<Trigger>("trigger");
    QTest::addColumn<bool>("accepted");

    const auto admin = UserAccount::Admin;
    const auto supervisor = UserAccount::Supervisor;
    const auto demo = UserAccount::Demo;
    const auto button = Trigger::Button;
    const auto enter = Trigger::Return;
    QTest::newRow("admin wrong case") << admin << "r58-Admin" << false << button << false;
    QTest::newRow("admin wrong with save") << admin << "wrong" << true << enter << false;
    QTest::newRow("admin right by button") << admin << "r58-admin" << false << button << true;
    QTest::newRow("supervisor right by return")
        << supervisor << "r58-supervisor" << false << enter << true;
    QTest::newRow("supervisor saved") << supervisor << "r58-supervisor" << true << enter << true;
    QTest::newRow("demo saved") << demo << "r58-demo" << true << button << true;
    QTest::newRow("demo with a trailing blank") << demo << "r58-demo " << false << button << false;
}

void TestLogin::typedPassword()
{
#if R58_DEVELOPMENT_DIGESTS
    QFETCH(UserAccount::User, role);
    QFETCH(QString, password);
    QFETCH(bool, save);
    QFETCH(Trigger, trigger);
    QFETCH(bool, accepted);

    Login login(role);
    login.saveBox()->setChecked(save);
    QTest::keyClicks(login.field(), password);
    QVERIFY(login.button()->isEnabled());
    login.logIn(trigger);

    QCOMPARE(login.accepted(), accepted);
    if (!accepted) {
        // A refused password is cleared, which leaves nothing to log in with.
        QCOMPARE(login.field()->text(), QString());
        QVERIFY(!login.button()->isEnabled());
    }

    // Only the digest of an accepted password is saved, never the password itself.
    const QJsonArray saved = savedAccounts(login.config->getFilePath());
    QCOMPARE(saved.size(), accepted && save ? 1 : 0);
    if (saved.isEmpty())
        return;
    const QJsonObject entry = saved.first().toObject();
    QCOMPARE(entry.value("User").toInt(-1), int(role));
    QCOMPARE(entry.value("Password").toString(), hexDigest(password));
    QVERIFY(QRegularExpression("^[0-9a-f]{128}$").match(hexDigest(password)).hasMatch());
    QFile file(login.config->getFilePath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(!file.readAll().contains(password.toUtf8()));
#else
    QSKIP("Built with site digests; their passwords are not known here.");
#endif
}

void TestLogin::savedPassword_data()
{
    QTest::addColumn<UserAccount::User>("role");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<Trigger>("trigger");

    // The saved digest decides, whatever the field shows by then.
    QTest::newRow("supervisor by return")
        << UserAccount::Supervisor << QString() << Trigger::Return;
    QTest::newRow("admin by button") << UserAccount::Admin << QString() << Trigger::Button;
    QTest::newRow("demo after editing the field")
        << UserAccount::Demo << QStringLiteral("something else") << Trigger::Button;
}

void TestLogin::savedPassword()
{
    QFETCH(UserAccount::User, role);
    QFETCH(QString, typed);
    QFETCH(Trigger, trigger);

    const QString roleHex
        = QString::fromLatin1(role == UserAccount::Supervisor ? RoleDigests::Supervisor
                : role == UserAccount::Admin                  ? RoleDigests::Admin
                                                              : RoleDigests::Demo);
    writeSavedAccount(role, roleHex);

    Login login(role);
    QCOMPARE(login.field()->text(), QStringLiteral("********"));
    if (!typed.isEmpty()) {
        login.field()->clear();
        QTest::keyClicks(login.field(), typed);
    }
    login.logIn(trigger);

    QVERIFY(login.accepted());
    QVERIFY(login.account->isPasswordValid());
    QCOMPARE(savedAccounts(login.config->getFilePath()).size(), 1);

    // Another role without a saved entry starts with an empty field.
    Login other(role == UserAccount::Admin ? UserAccount::Demo : UserAccount::Admin);
    QCOMPARE(other.field()->text(), QString());
}

void TestLogin::staleSavedPassword_data()
{
    QTest::addColumn<bool>("saveAgain");
    QTest::newRow("replaced when saved again") << true;
    QTest::newRow("kept when not saved") << false;
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

void TestLogin::loginButtonFollowsText()
{
    Login login(UserAccount::Admin);
    QVERIFY(!login.button()->isEnabled());
    QTest::keyClicks(login.field(), QStringLiteral("x"));
    QVERIFY(login.button()->isEnabled());
    QTest::keyClick(login.field(), Qt::Key_Backspace);
    QVERIFY(!login.button()->isEnabled());
}

// The login stands when the password cannot be saved, and the user is told so.
void TestLogin::unsavedPasswordIsReported()
{
#if R58_DEVELOPMENT_DIGESTS
    Login login(int(UserAccount::Supervisor));
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
