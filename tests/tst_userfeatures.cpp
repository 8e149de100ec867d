// What each role may use is checked through the screens (tst_r58subscreen, tst_login,
// tst_servicepage); here only what no screen shows: an unknown role, and a role that changes.

#include "config/useraccount.h"
#include "ui/userfeatures.h"

#include <QtTest>

using Application::R58::UserAccount;
using F = Application::R58::UserFeatures;

class TestUserFeatures : public QObject
{
    Q_OBJECT

private slots:
    void unknownRoleHasNothing();
    void followsRoleChange();
};

// A role number from a damaged config.json has no features at all.
void TestUserFeatures::unknownRoleHasNothing()
{
    auto account = QSharedPointer<UserAccount>::create();
    account->setUser(static_cast<UserAccount::User>(9));
    const F features(account);
    for (F::Feature feature :
        {F::PasswordEntry, F::ConfigurationPage, F::ControlPage, F::ServiceMode, F::DemoMode,
            F::DataPage, F::PackageUpdate, F::UnrestrictedUpdate, F::SoftstartSetting})
        QVERIFY2(!features.hasFeature(feature), qPrintable(QString::number(int(feature))));
}

// The role is read at each call, not when the features are built.
void TestUserFeatures::followsRoleChange()
{
    auto account = QSharedPointer<UserAccount>::create();
    const F features(account);
    QVERIFY(!features.hasFeature(F::DataPage));
    account->setUser(UserAccount::Admin);
    QVERIFY(features.hasFeature(F::ServiceMode));
    QVERIFY(features.hasFeature(F::UnrestrictedUpdate));
    account->setUser(UserAccount::Demo);
    QVERIFY(!features.hasFeature(F::ServiceMode));
    QVERIFY(features.hasFeature(F::DemoMode));
}

QTEST_GUILESS_MAIN(TestUserFeatures)
#include "tst_userfeatures.moc"
