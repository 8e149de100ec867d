// The service command catalogue: no update command is ever offered, and item copies keep their
// type and share their arguments with the catalogue.
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
    void copiesShareArguments();
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

QTEST_MAIN(TestTerminalCatalogue)
#include "tst_terminalcatalogue.moc"
