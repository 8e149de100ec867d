#include "config/roledigests.h"
#include "config/useraccount.h"

#include <QtTest>

using Application::R58::UserAccount;
namespace RoleDigests = Application::R58::RoleDigests;

Q_DECLARE_METATYPE(UserAccount::User)

namespace {

struct Role
{
    UserAccount::User user;
    const char* name;
    const char* hexDigest;
};

const Role Roles[] = {
    {UserAccount::Customer, "Customer", RoleDigests::Customer},
    {UserAccount::Supervisor, "Supervisor", RoleDigests::Supervisor},
    {UserAccount::Admin, "Admin", RoleDigests::Admin},
    {UserAccount::Demo, "Demo", RoleDigests::Demo},
    // Users without a digest of their own.
    {UserAccount::None, "None", ""},
    {static_cast<UserAccount::User>(5), "5", ""},
    {static_cast<UserAccount::User>(-1), "-1", ""},
};

bool check(UserAccount::User user, const QByteArray& digest)
{
    UserAccount account;
    account.setUser(user);
    account.setPasswordDigest(digest);
    return account.isPasswordValid();
}

} // namespace

class TestUserAccount : public QObject
{
    Q_OBJECT

private slots:
    void roleDigests_data();
    void roleDigests();
    void digestOfUtf8_data();
    void digestOfUtf8();
};

void TestUserAccount::roleDigests_data()
{
    QTest::addColumn<UserAccount::User>("user");
    QTest::addColumn<QByteArray>("digest");
    QTest::addColumn<bool>("valid");
    for (const Role& role : Roles) {
        const QByteArray own = QByteArray::fromHex(role.hexDigest);
        const auto row = [&role](const char* what) -> QTestData& {
            return QTest::addRow("%s, %s", role.name, what) << role.user;
        };
        row("empty") << QByteArray() << false;
        for (const Role& other : Roles) {
            if (*other.hexDigest && qstrcmp(other.hexDigest, role.hexDigest) != 0)
                row(other.name) << QByteArray::fromHex(other.hexDigest) << false;
        }
        if (own.isEmpty()) {
            row("digest of empty") << UserAccount::passwordDigest(QString()) << false;
            continue;
        }
        QByteArray flipped = own;
        flipped[63] = char(flipped[63] ^ 0x01);
        row("its digest") << own << true;
        row("last bit flipped") << flipped << false;
        row("one byte short") << own.left(63) << false;
        row("one byte more") << own + '\0' << false;
        // The hex text of the right digest must not pass for the digest itself.
        row("hex text") << QByteArray(role.hexDigest) << false;
    }
}

void TestUserAccount::roleDigests()
{
    QFETCH(UserAccount::User, user);
    QFETCH(QByteArray, digest);
    QFETCH(bool, valid);
    QCOMPARE(check(user, digest), valid);
}

void TestUserAccount::digestOfUtf8_data()
{
    // Expected values from: printf '%s' "<password>" | openssl dgst -sha3-512
    QTest::addColumn<QString>("password");
    QTest::addColumn<QByteArray>("hexDigest");
    QTest::newRow("empty") << QString()
                           << QByteArray(
                                  "a69f73cca23a9ac5c8b567dc185a756e97c982164fe25859e0d1dcc147"
                                  "5c80a615b2123af1f5f94c11e3e9402c3ac558f500199d95b6d3e30175"
                                  "8586281dcd26");
    QTest::newRow("ascii") << QStringLiteral("r58-admin")
                           << QByteArray(
                                  "0ba7aee822b0a9da0d4591a341cadb1f0a369ee6f0f77be3dc4d976a9e"
                                  "1b1c3336e34b8bef17e132fcf9698de1f37fc910bdaf32b226b58f022d"
                                  "e760d2276eeb");
    QTest::newRow("latin-1 letters and a check mark")
        << QString::fromUtf8("Gr\xc3\xbc\xc3\x9f"
                             "e \xe2\x9c\x93")
        << QByteArray("acce21ebe0d2dd987c8677cde969b9dccd71fee31b9f16a4652adb0a10220e5db9964745aa"
                      "9453e5a6174a2ad3a07a053ccf70546ac6a7e0c3e3553e42240875");
    QTest::newRow("outside the basic plane")
        << QString::fromUtf8("\xf0\x9f\x94\x91Schl\xc3\xbcssel")
        << QByteArray("75de8185e8233ba9fec1edb69c9c03761cd546672de8254309549df4bc4fe7037fa61bde00"
                      "ba8f55fdf4378fa0c41f099571ce5df3ad922e65413d2af448a26a");
}

void TestUserAccount::digestOfUtf8()
{
    QFETCH(QString, password);
    QFETCH(QByteArray, hexDigest);
    QCOMPARE(UserAccount::passwordDigest(password).toHex(), hexDigest);
}

QTEST_GUILESS_MAIN(TestUserAccount)
#include "tst_useraccount.moc"
