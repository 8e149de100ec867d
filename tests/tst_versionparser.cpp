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

// "path|version|number" of each image in the order of the getters, then the
// package versions and platform versions announced, all joined by spaces.
QString describe(const VersionParser& parser, const QSignalSpy& package, const QSignalSpy& platform)
{
    QStringList parts;
    for (const VersionParser::Image* image :
        {&parser.getPlatformBootloaderImage(), &parser.getPlatformApplicationImage(),
            &parser.getDisplayBootloaderImage(), &parser.getDisplayApplicationImage()}) {
        parts << QStringLiteral("%1|%2|%3")
                     .arg(image->getPath(), image->getVersionString())
                     .arg(image->getVersion(), 0, 16);
    }
    for (const auto& arguments : package)
        parts << QStringLiteral("package:") + arguments.at(0).toString();
    for (const auto& arguments : platform)
        parts << QStringLiteral("platform:%1").arg(arguments.at(0).toUInt(), 0, 16);
    return parts.join(' ');
}

const QString NoImages = QStringLiteral("||0 ||0 ||0 ||0");

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
    void readsFiles();
};

void TestVersionParser::convertVersion_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<quint32>("expected");
    QTest::newRow("plain") << "1.2.3.4" << 0x01020304u;
    QTest::newRow("V anywhere removed") << "V1.V2.3V.4" << 0x01020304u;
    QTest::newRow("lower-case v kept") << "v1.2.3.4" << 0x00020304u;
    QTest::newRow("three parts") << "1.2.3" << 0u;
    QTest::newRow("five parts") << "1.2.3.4.5" << 0x01020304u;
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
    QTest::addColumn<QString>("result");
    QTest::newRow("full") << FullManifest << true
                          << "pbl.crypt|V0.1.0.2|10002 images/papp.crypt|V1.2.3.4|1020304 "
                             "dbl.crypt|0.0.0.9|9 dapp.crypt|2.0.1.0|2000100 package:Package 7 "
                             "platform:1020304";
    QTest::newRow("no Package") << QByteArray(
        R"({"Platform": {"Application": {"Path": "p", "Version": "1.0.0.0"}}})")
                                << true << "||0 p|1.0.0.0|1000000 ||0 ||0 platform:1000000";
    QTest::newRow("package version not a string")
        << QByteArray(R"({"Package": {"Version": 5}})") << true << NoImages;
    QTest::newRow("Platform without Application")
        << QByteArray(R"({"Platform": {"Bootloader": {"Path": "b", "Version": "1.1.1.1"}}})")
        << true << "b|1.1.1.1|1010101 ||0 ||0 ||0 platform:0";
    QTest::newRow("Platform not an object")
        << QByteArray(R"({"Platform": "p.crypt"})") << true << NoImages;
    QTest::newRow("only Display") << QByteArray(
        R"({"Display": {"Application": {"Path": "d", "Version": "0.0.1.0"}}})")
                                  << true << "||0 ||0 ||0 d|0.0.1.0|100";
    QTest::newRow("image fields of the wrong type")
        << QByteArray(R"({"Platform": {"Application": {"Path": 3, "Version": 1.5}}})") << true
        << NoImages + " platform:0";
    QTest::newRow("no manifest: empty") << QByteArray() << false << NoImages;
    QTest::newRow("no manifest: not JSON") << FullManifest.chopped(3) << false << NoImages;
    QTest::newRow("no manifest: array") << QByteArray("[1, 2]") << false << NoImages;
}

void TestVersionParser::manifests()
{
    QFETCH(QByteArray, manifest);
    QFETCH(bool, isManifest);
    QFETCH(QString, result);
    VersionParser parser(manifest);
    QSignalSpy package(&parser, &VersionParser::packageUpdateVersion);
    QSignalSpy platform(&parser, &VersionParser::packageUpdatePlatformVersion);
    // Nothing is announced before parse, so receivers can be connected first.
    QCOMPARE(describe(parser, package, platform), NoImages);

    // Parsing twice gives the same result: nothing accumulates between parses.
    for (int round = 0; round < 2; ++round) {
        package.clear();
        platform.clear();
        QCOMPARE(parser.parse(), isManifest);
        QCOMPARE(describe(parser, package, platform), result);
        QCOMPARE(parser.getPackageVersion(),
            package.isEmpty() ? QString() : package.first().at(0).toString());
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

void TestVersionParser::readsFiles()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("version.json"));
    VersionParser missing(path);
    QVERIFY(!missing.parse());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(FullManifest) == FullManifest.size());
    file.close();
    VersionParser parser(path);
    QSignalSpy platform(&parser, &VersionParser::packageUpdatePlatformVersion);
    QVERIFY(parser.parse());
    QCOMPARE(platform.count(), 1);
    QCOMPARE(parser.getPackageVersion(), QStringLiteral("Package 7"));
    QCOMPARE(parser.getDisplayApplicationImage().getPath(), QStringLiteral("dapp.crypt"));
}

QTEST_GUILESS_MAIN(TestVersionParser)
#include "tst_versionparser.moc"
