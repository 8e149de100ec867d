#include "link/terminalcommandcatalogue.h"

#include <QtTest>

#include <memory>

using Application::R58::TerminalCommandCatalogue;
using Application::R58::TerminalCommandItem;
using Component::Interfaces::TaloLinkCommandID;
using Component::Interfaces::TaloLinkPacket;

namespace {

QStringList names(const QList<TerminalCommandItem*>& items)
{
    QStringList result;
    for (const auto* item : items)
        result << item->text();
    return result;
}

} // namespace

class TestTerminalCatalogue : public QObject
{
    Q_OBJECT

private slots:
    void catalogueShape();
    void filtering_data();
    void filtering();
    void copiesShareArguments();
    void packetCarriesArgumentBytes();
};

void TestTerminalCatalogue::catalogueShape()
{
    TerminalCommandCatalogue catalogue;
    const auto& items = catalogue.getItems();
    QCOMPARE(items.size(), std::size_t(50));
    for (std::size_t i = 0; i < items.size(); ++i) {
        const auto& item = items[i];
        QCOMPARE(item->type(), int(QListWidgetItem::UserType));
        QCOMPARE(item->getSource(), TaloLinkPacket::Terminal::Host);
        QCOMPARE(item->getDestination(),
            i < 40 ? TaloLinkPacket::Terminal::Platform : TaloLinkPacket::Terminal::Display);
        QVERIFY(item->getArgs().size() <= 3);
        // The update and erase commands are never offered by hand.
        QVERIFY(item->getCommand() != TaloLinkCommandID::ApplicationUpdate);
        QVERIFY(item->getCommand() != TaloLinkCommandID::BootloaderUpdate);
        QVERIFY(item->getCommand() != TaloLinkCommandID::EraseSW);
    }
    QCOMPARE(items[10]->text(), QStringLiteral("ModelSetValue"));
    QCOMPARE(items[10]->getArgs().at(0)->getType(), TerminalCommandItem::Arg::ModelValueID);
    QCOMPARE(items[10]->getArgs().at(1)->getType(), TerminalCommandItem::Arg::UInt32);
    QCOMPARE(items[39]->text(), QStringLiteral("DeviceProtectionSetDCProtection"));
    QCOMPARE(items[49]->text(), QStringLiteral("GetButtonStatus"));
    QCOMPARE(items[49]->getArgs().at(0)->getName(), QStringLiteral("ButtonIndex"));
}

void TestTerminalCatalogue::filtering_data()
{
    QTest::addColumn<QByteArray>("platform");
    QTest::addColumn<QByteArray>("display");
    QTest::addColumn<int>("platformItems");
    QTest::addColumn<int>("displayItems");
    QTest::addColumn<QStringList>("firstNames");

    QTest::newRow("nothing known") << QByteArray() << QByteArray() << 0 << 0 << QStringList();
    QTest::newRow("platform in boot loader")
        << QByteArray("Bootloader") << QByteArray() << 9 << 0
        << QStringList {"Reset", "GetSWVersion", "GetHALVersion", "GetName", "JumpToApplication",
               "Memblock", "InitEEPROM", "DumpEEPROM", "InitUserArea"};
    QTest::newRow("both running") << QByteArray("Application") << QByteArray("Application") << 35
                                  << 8
                                  << QStringList {"Reset", "GetSWVersion", "GetHALVersion",
                                         "GetName", "JumpToBootloader", "ModelSetValue"};
    QTest::newRow("display in boot loader") << QByteArray() << QByteArray("Bootloader") << 0 << 6
                                            << QStringList {"Reset", "GetSWVersion"};
    QTest::newRow("case matters") << QByteArray("application") << QByteArray("BOOTLOADER") << 0 << 0
                                  << QStringList();
}

void TestTerminalCatalogue::filtering()
{
    QFETCH(QByteArray, platform);
    QFETCH(QByteArray, display);
    QFETCH(int, platformItems);
    QFETCH(int, displayItems);
    QFETCH(QStringList, firstNames);

    TerminalCommandCatalogue catalogue;
    const QList<TerminalCommandItem*> items = catalogue.filter(platform, display);
    int platformCount = 0;
    int displayCount = 0;
    for (const auto* item : items)
        ++(item->getDestination() == TaloLinkPacket::Terminal::Platform ? platformCount
                                                                        : displayCount);
    QCOMPARE(platformCount, platformItems);
    QCOMPARE(displayCount, displayItems);
    QCOMPARE(names(items).mid(0, firstNames.size()), firstNames);
    qDeleteAll(items);
}

void TestTerminalCatalogue::copiesShareArguments()
{
    TerminalCommandCatalogue catalogue;
    const auto& original = catalogue.getItems()[14]; // PhaseCtrlSetMosfet
    std::unique_ptr<TerminalCommandItem> copy(new TerminalCommandItem(*original));
    QCOMPARE(copy->text(), QStringLiteral("PhaseCtrlSetMosfet"));
    QCOMPARE(copy->type(), int(QListWidgetItem::UserType));
    std::unique_ptr<QListWidgetItem> clone(original->clone());
    QCOMPARE(clone->type(), int(QListWidgetItem::UserType));
    auto value = copy->getArgs().at(1).dynamicCast<TerminalCommandItem::UInt8Arg>();
    QVERIFY(value);
    value->setValue(9);
    QCOMPARE(*static_cast<std::uint8_t*>(original->getArgs().at(1)->getData()), std::uint8_t(9));

    // Replacing a copy's argument list leaves the catalogue item alone.
    copy->setArgs({});
    QCOMPARE(original->getArgs().size(), 2);
}

void TestTerminalCatalogue::packetCarriesArgumentBytes()
{
    TerminalCommandCatalogue catalogue;
    const auto& item = catalogue.getItems()[21];
    QCOMPARE(item->text(), QStringLiteral("MeasurementSetStaticOffset"));
    item->getArgs().at(0).staticCast<TerminalCommandItem::UInt8Arg>()->setValue(2);
    item->getArgs().at(1).staticCast<TerminalCommandItem::UInt8Arg>()->setValue(1);
    item->getArgs().at(2).staticCast<TerminalCommandItem::FloatArg>()->setValue(0.5f);

    const TaloLinkPacket packet = item->toPacket();
    const QByteArray frame
        = TaloLinkPacket::build(packet.command, packet.source, packet.destination, packet.args);
    QCOMPARE(frame.size(), 15 + 3 + 3 + 6);
    const TaloLinkPacket decoded = TaloLinkPacket::decode(frame);
    QCOMPARE(decoded.command, TaloLinkCommandID::MeasurementSetStaticOffset);
    QCOMPARE(decoded.destination, TaloLinkPacket::Terminal::Platform);
    QCOMPARE(int(decoded.args.size()), 3);
    QCOMPARE(decoded.args[0].length, std::uint16_t(1));
    QCOMPARE(decoded.args[1].length, std::uint16_t(1));
    QCOMPARE(decoded.args[2].length, std::uint16_t(4));
    QCOMPARE(decoded.args[0].data[0], std::uint8_t(2));
    // 0.5f is 0x3F000000, low byte first.
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(decoded.args[2].data), 4),
        QByteArray::fromHex("0000003f"));
}

QTEST_MAIN(TestTerminalCatalogue)
#include "tst_terminalcatalogue.moc"
