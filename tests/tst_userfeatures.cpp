// The role-to-feature table: every role against every feature, so that a feature given to the
// wrong role, or missing from the right one, fails here.

#include "config/useraccount.h"
#include "ui/userfeatures.h"

#include <QtTest>

using Application::R58::UserAccount;
using Application::R58::UserFeatures;

Q_DECLARE_METATYPE(UserAccount::User)

namespace {

using F = UserFeatures;

struct Row
{
    const char* name;
    UserAccount::User role;
    QList<UserFeatures::Feature> granted;
};

const Row Rows[] = {
    {"none", UserAccount::None, {}},
    {"customer", UserAccount::Customer, {F::DataPage}},
    {"supervisor", UserAccount::Supervisor,
        {F::PasswordEntry, F::PackageUpdate, F::ConfigurationPage, F::DataPage, F::ControlPage}},
    {"admin", UserAccount::Admin,
        {F::PasswordEntry, F::PackageUpdate, F::UnrestrictedUpdate, F::ConfigurationPage,
            F::DataPage, F::ControlPage, F::ServiceMode}},
    {"demo", UserAccount::Demo, {F::PasswordEntry, F::PackageUpdate, F::DemoMode}},
    // A role number from a damaged config.json has no features at all.
    {"unknown role", static_cast<UserAccount::User>(9), {}},
};

const F::Feature AllFeatures[]
    = {F::PasswordEntry, F::ConfigurationPage, F::ControlPage, F::ServiceMode, F::DemoMode,
        F::DataPage, F::PackageUpdate, F::UnrestrictedUpdate, F::SoftstartSetting};

} // namespace

class TestUserFeatures : public QObject
{
    Q_OBJECT

private slots:
    void table_data();
    void table();
    void followsRoleChange();
};

void TestUserFeatures::table_data()
{
    QTest::addColumn<UserAccount::User>("role");
    QTest::addColumn<int>("feature");
    QTest::addColumn<bool>("granted");

    for (const Row& row : Rows) {
        for (F::Feature feature : AllFeatures) {
            QTest::addRow("%s/%d", row.name, int(feature))
                << row.role << int(feature) << row.granted.contains(feature);
        }
    }
}

void TestUserFeatures::table()
{
    QFETCH(UserAccount::User, role);
    QFETCH(int, feature);
    QFETCH(bool, granted);

    auto account = QSharedPointer<UserAccount>::create();
    account->setUser(role);
    QCOMPARE(UserFeatures(account).hasFeature(static_cast<F::Feature>(feature)), granted);
}

void TestUserFeatures::followsRoleChange()
{
    // The role is read at each call, not when the table is built.
    auto account = QSharedPointer<UserAccount>::create();
    const UserFeatures features(account);
    QVERIFY(!features.hasFeature(F::DataPage));
    account->setUser(UserAccount::Admin);
    QVERIFY(features.hasFeature(F::ServiceMode));
    account->setUser(UserAccount::Demo);
    QVERIFY(!features.hasFeature(F::ServiceMode));
    QVERIFY(features.hasFeature(F::DemoMode));
}

QTEST_GUILESS_MAIN(TestUserFeatures)
#include "tst_userfeatures.moc"
