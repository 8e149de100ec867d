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

namespace {

enum class Trigger { Button, Return };

// The dialog with a role chosen, and the controls the tests drive.
struct Login
{
    QSharedPointer<UserAccount> account = QSharedPointer<UserAccount>::create();
    QSharedPointer<Config> config = QSharedPointer<Config>::create();
    std::unique_ptr<WelcomeScreen> dialog;

    explicit Login(int role) : dialog(std::make_unique<WelcomeScreen>(account, config))
    {
        dialog->findChild<QComboBox*>("comboBoxUser")->setCurrentIndex(role);
    }

    PasswordLineEdit* field() const
    {
        return dialog->findChild<PasswordLineEdit*>("lineEditPassword");
    }
    QCheckBox* saveBox() const { return dialog->findChild<QCheckBox*>("checkBoxSavePassword"); }
    bool accepted() const { return dialog->result() == QDialog::Accepted; }

    void logIn(Trigger trigger)
    {
        if (trigger == Trigger::Button)
            QTest::mouseClick(field()->getLoginButton(), Qt::LeftButton);
        else
            QTest::keyClick(field(), Qt::Key_Return);
    }
};

QString hexDigest(const QString& password)
{
    return QString::fromLatin1(UserAccount::passwordDigest(password).toHex());
}

} // namespace

class TestLogin : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

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

// A password saved under an earlier one of the role is refused, cleared, and replaced when the
// current one is saved.
void TestLogin::staleSavedPassword()
{
#if R58_DEVELOPMENT_DIGESTS
    Config stale;
    stale.setUser(UserConfig(UserAccount::Supervisor, hexDigest(QStringLiteral("old password"))));
    QVERIFY(stale.save());

    Login login(UserAccount::Supervisor);
    QCOMPARE(login.field()->text(), QStringLiteral("********"));
    login.logIn(Trigger::Return);
    QVERIFY(!login.accepted());
    // The refused mask is cleared so that the current password can be typed.
    QCOMPARE(login.field()->text(), QString());

    login.saveBox()->setChecked(true);
    QTest::keyClicks(login.field(), QStringLiteral("r58-supervisor"));
    login.logIn(Trigger::Button);
    QVERIFY(login.accepted());

    QFile file(login.config->getFilePath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QJsonArray saved
        = QJsonDocument::fromJson(file.readAll()).object().value("UserAccounts").toArray();
    QCOMPARE(saved.size(), 1);
    QCOMPARE(saved.first().toObject().value("Password").toString(),
        hexDigest(QStringLiteral("r58-supervisor")));
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
