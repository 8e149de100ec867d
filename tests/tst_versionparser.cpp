#include "update/versionparser.h"

#include <QFile>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using Service::R58::VersionParser;

namespace {

const QByteArray FullManifest = R"({
    "Package": {"Version": "Package 7"},
    "Platform": {
        "Bootloader": {"Path": "pbl.crypt", "Version": "V0.1.0.2"},
        "Application": {"Path": "images/papp.crypt", "Version": "V1.2.3.4"}
    },
    "Display": {
        "Bootloader": {"Path": "dbl.crypt", "Version": "0.0.0.9"},
        "Application": {"Path": "dapp.crypt", "Version": "2.0.1.0"}
    }
})";

// path|version|number for each image, in the order of the getters.
QStringList describe(const VersionParser& parser)
{
    QStringList images;
    for (const VersionParser::Image* image :
        {&parser.getPlatformBootloaderImage(), &parser.getPlatformApplicationImage(),
            &parser.getDisplayBootloaderImage(), &parser.getDisplayApplicationImage()}) {
        images << QStringLiteral("%1|%2|%3")
                      .arg(image->getPath(), image->getVersionString())
                      .arg(image->getVersion(), 0, 16);
    }
    return images;
}

const QString NoImage = QStringLiteral("||0");

} // namespace

class TestVersionParser : public QObject
{
    Q_OBJECT

private slots:
    void convertVersion_data();
    void convertVersion();
    void manifests_data();
    void manifests();
    void imageKeepsWhatIsMissing();
    void readsFiles_data();
    void readsFiles();
};

void TestVersionParser::convertVersion_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<quint32>("expected");
    QTest::newRow("plain") << "1.2.3.4" << 0x01020304u;
    QTest::newRow("upper-case V removed") << "V1.2.3.4" << 0x01020304u;
    QTest::newRow("V anywhere removed") << "1.V2.3V.4" << 0x01020304u;
    QTest::newRow("lower-case v kept") << "v1.2.3.4" << 0x00020304u;
    QTest::newRow("three parts") << "1.2.3" << 0u;
    QTest::newRow("five parts") << "1.2.3.4.5" << 0x01020304u;
    QTest::newRow("empty") << "" << 0u;
    QTest::newRow("empty part counts 0") << "1..3.4" << 0x01000304u;
    QTest::newRow("no number counts 0") << "1.2.3.x" << 0x01020300u;
    QTest::newRow("spills into the next field") << "1.2.300.4" << 0x01032C04u;
    QTest::newRow("top field spills out") << "256.0.0.1" << 0x00000001u;
    QTest::newRow("largest") << "255.255.255.255" << 0xFFFFFFFFu;
}

void TestVersionParser::convertVersion()
{
    QFETCH(QString, text);
    QFETCH(quint32, expected);
    QCOMPARE(VersionParser::Image::convertVersion(text), expected);
}

void TestVersionParser::manifests_data()
{
    QTest::addColumn<QByteArray>("manifest");
    QTest::addColumn<bool>("isManifest");
    QTest::addColumn<QStringList>("packageSignals");
    QTest::addColumn<QList<uint>>("platformSignals");
    QTest::addColumn<QStringList>("images");

    QTest::newRow("full") << FullManifest << true << QStringList {"Package 7"}
                          << QList<uint> {0x01020304u}
                          << QStringList {"pbl.crypt|V0.1.0.2|10002",
                                 "images/papp.crypt|V1.2.3.4|1020304", "dbl.crypt|0.0.0.9|9",
                                 "dapp.crypt|2.0.1.0|2000100"};
    QTest::newRow("no Package") << QByteArray(
        R"({"Platform": {"Application": {"Path": "p", "Version": "1.0.0.0"}}})")
                                << true << QStringList {} << QList<uint> {0x01000000u}
                                << QStringList {NoImage, "p|1.0.0.0|1000000", NoImage, NoImage};
    QTest::newRow("package version not a string")
        << QByteArray(R"({"Package": {"Version": 5}})") << true << QStringList {} << QList<uint> {}
        << QStringList {NoImage, NoImage, NoImage, NoImage};
    QTest::newRow("Platform without Application")
        << QByteArray(R"({"Platform": {"Bootloader": {"Path": "b", "Version": "1.1.1.1"}}})")
        << true << QStringList {} << QList<uint> {0u}
        << QStringList {"b|1.1.1.1|1010101", NoImage, NoImage, NoImage};
    QTest::newRow("Platform not an object")
        << QByteArray(R"({"Platform": "p.crypt"})") << true << QStringList {} << QList<uint> {}
        << QStringList {NoImage, NoImage, NoImage, NoImage};
    QTest::newRow("only Display") << QByteArray(
        R"({"Display": {"Application": {"Path": "d", "Version": "0.0.1.0"}}})")
                                  << true << QStringList {} << QList<uint> {}
                                  << QStringList {NoImage, NoImage, NoImage, "d|0.0.1.0|100"};
    QTest::newRow("image fields of the wrong type")
        << QByteArray(R"({"Platform": {"Application": {"Path": 3, "Version": 1.5}}})") << true
        << QStringList {} << QList<uint> {0u} << QStringList {NoImage, NoImage, NoImage, NoImage};
    QTest::newRow("no manifest: empty") << QByteArray() << false << QStringList {} << QList<uint> {}
                                        << QStringList {NoImage, NoImage, NoImage, NoImage};
    QTest::newRow("no manifest: not JSON")
        << FullManifest.left(FullManifest.size() - 3) << false << QStringList {} << QList<uint> {}
        << QStringList {NoImage, NoImage, NoImage, NoImage};
    QTest::newRow("no manifest: array")
        << QByteArray("[1, 2]") << false << QStringList {} << QList<uint> {}
        << QStringList {NoImage, NoImage, NoImage, NoImage};
}

void TestVersionParser::manifests()
{
    QFETCH(QByteArray, manifest);
    QFETCH(bool, isManifest);
    QFETCH(QStringList, packageSignals);
    QFETCH(QList<uint>, platformSignals);
    QFETCH(QStringList, images);

    VersionParser parser(manifest);
    QSignalSpy packageSpy(&parser, &VersionParser::packageUpdateVersion);
    QSignalSpy platformSpy(&parser, &VersionParser::packageUpdatePlatformVersion);
    QVERIFY(packageSpy.isValid());
    QVERIFY(platformSpy.isValid());
    // Nothing is announced before parse, so receivers can be connected first.
    QCOMPARE(describe(parser), (QStringList {NoImage, NoImage, NoImage, NoImage}));

    // Parsing twice gives the same result: nothing accumulates between parses.
    for (int round = 0; round < 2; ++round) {
        packageSpy.clear();
        platformSpy.clear();
        QCOMPARE(parser.parse(), isManifest);

        QStringList packageVersions;
        for (const auto& arguments : qAsConst(packageSpy))
            packageVersions << arguments.at(0).toString();
        QCOMPARE(packageVersions, packageSignals);
        QList<uint> platformVersions;
        for (const auto& arguments : qAsConst(platformSpy))
            platformVersions << arguments.at(0).toUInt();
        QCOMPARE(platformVersions, platformSignals);
        QCOMPARE(parser.getPackageVersion(), packageSignals.value(0));
        QCOMPARE(describe(parser), images);
    }
}

void TestVersionParser::imageKeepsWhatIsMissing()
{
    VersionParser::Image image;
    image.parse(QJsonObject {{"Path", "a.crypt"}, {"Version", "1.2.3.4"}});
    image.parse(QJsonObject {{"Version", "V2.0.0.0"}});
    QCOMPARE(image.getPath(), QStringLiteral("a.crypt"));
    QCOMPARE(image.getVersion(), 0x02000000u);
    image.parse(QJsonObject {{"Path", "b.crypt"}, {"Version", 7}});
    QCOMPARE(image.getPath(), QStringLiteral("b.crypt"));
    QCOMPARE(image.getVersionString(), QStringLiteral("V2.0.0.0"));
    QCOMPARE(image.getVersion(), 0x02000000u);
}

void TestVersionParser::readsFiles_data()
{
    QTest::addColumn<bool>("exists");
    QTest::newRow("manifest file") << true;
    QTest::newRow("missing file") << false;
}

void TestVersionParser::readsFiles()
{
    QFETCH(bool, exists);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("version.json"));
    if (exists) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(FullManifest), qint64(FullManifest.size()));
    }
    VersionParser parser(path);
    QSignalSpy platformSpy(&parser, &VersionParser::packageUpdatePlatformVersion);
    QVERIFY(platformSpy.isValid());
    QCOMPARE(parser.parse(), exists);
    QCOMPARE(platformSpy.count(), exists ? 1 : 0);
    QCOMPARE(parser.getPackageVersion(), exists ? QStringLiteral("Package 7") : QString());
    QCOMPARE(parser.getDisplayApplicationImage().getPath(),
        exists ? QStringLiteral("dapp.crypt") : QString());
}

QTEST_GUILESS_MAIN(TestVersionParser)
#include "tst_versionparser.moc"
