#include "link/terminalcommandcatalogue.h"

#include <QtTest>

#include <memory>

using Application::R58::TerminalCommandCatalogue;
using Application::R58::TerminalCommandItem;
using Component::Interfaces::TaloLinkCommandID;
using Component::Interfaces::TaloLinkPacket;

class TestTerminalCatalogue : public QObject
{
    Q_OBJECT

private slots:
    void updateCommandsNeverOffered();
    void filtering_data();
    void filtering();
    void copiesShareArguments();
    void packetCarriesArgumentBytes();
};

void TestTerminalCatalogue::updateCommandsNeverOffered()
{
    TerminalCommandCatalogue catalogue;
    for (const auto& item : catalogue.getItems()) {
        QVERIFY(item->getArgs().size() <= 3);
        QVERIFY(item->getCommand() != TaloLinkCommandID::ApplicationUpdate);
        QVERIFY(item->getCommand() != TaloLinkCommandID::BootloaderUpdate);
        QVERIFY(item->getCommand() != TaloLinkCommandID::EraseSW);
    }
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
                                  << 8 << QStringList {"Reset", "GetSWVersion"};
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
    QStringList names;
    for (const auto* item : items) {
        platformCount += item->getDestination() == TaloLinkPacket::Terminal::Platform;
        names << item->text();
    }
    qDeleteAll(items);
    QCOMPARE(platformCount, platformItems);
    QCOMPARE(names.size() - platformCount, displayItems);
    QCOMPARE(names.mid(0, firstNames.size()), firstNames);
}

void TestTerminalCatalogue::copiesShareArguments()
{
    TerminalCommandCatalogue catalogue;
    const auto& original = catalogue.getItems()[14]; // PhaseCtrlSetMosfet
    std::unique_ptr<TerminalCommandItem> copy(new TerminalCommandItem(*original));
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
    const TaloLinkPacket decoded = TaloLinkPacket::decode(
        TaloLinkPacket::build(packet.command, packet.source, packet.destination, packet.args));
    QCOMPARE(decoded.command, TaloLinkCommandID::MeasurementSetStaticOffset);
    QCOMPARE(decoded.destination, TaloLinkPacket::Terminal::Platform);
    QList<QByteArray> args;
    for (const auto& arg : decoded.args)
        args << QByteArray(reinterpret_cast<const char*>(arg.data), arg.length).toHex();
    QCOMPARE(args, (QList<QByteArray> {"02", "01", "0000003f"})); // 0.5f, low byte first
}

QTEST_MAIN(TestTerminalCatalogue)
#include "tst_terminalcatalogue.moc"
