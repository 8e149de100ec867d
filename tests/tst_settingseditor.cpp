// The window that prepares a settings file without a device, driven through its widgets, with
// real files in a temporary folder.
#include "config/devicemodel.h"
#include "config/settings.h"
#include "config/settingsdocument.h"
#include "config/settingsmapper.h"
#include "ui/settingseditor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using Application::R58::DeviceModel;
using Application::R58::SettingKey;
using Application::R58::Settings;
using Application::R58::SettingsDocument;
using Application::R58::SettingsMapper;

namespace {

// The editor's widget of a setting, found by the configuration form's names.
QWidget* widgetOf(SettingsEditor& editor, SettingKey key)
{
    static const QMap<SettingKey, const char*> names {{SettingKey::TripClass, "comboBoxTripClass"},
        {SettingKey::NominalCurrent, "doubleSpinBoxNominalCurrent"},
        {SettingKey::OverloadReset, "checkBoxAutoReset"},
        {SettingKey::UndercurrentEnable, "checkBoxUndercurrentEnable"},
        {SettingKey::UndercurrentThreshold, "doubleSpinBoxUndercurrentThreshold"},
        {SettingKey::UndercurrentFaultType, "comboBoxUndercurrentFaultType"},
        {SettingKey::UndervoltageEnable, "checkBoxUndervoltageEnable"},
        {SettingKey::UndervoltageThreshold, "doubleSpinBoxUndervoltageThreshold"},
        {SettingKey::UndervoltageFaultType, "comboBoxUndervoltageFaultType"},
        {SettingKey::OvervoltageEnable, "checkBoxOvervoltageEnable"},
        {SettingKey::OvervoltageThreshold, "doubleSpinBoxOvervoltageThreshold"},
        {SettingKey::OvervoltageFaultType, "comboBoxOvervoltageFaultType"},
        {SettingKey::AsymmetryEnable, "checkBoxAsymmetryEnable"},
        {SettingKey::AsymmetryThreshold, "doubleSpinBoxAsymmetryThreshold"},
        {SettingKey::AsymmetryFaultType, "comboBoxAsymmetryFaultType"}};
    return editor.findChild<QWidget*>(QString::fromLatin1(names.value(key)));
}

// Sets the widget as a user would; numbers and list entries by value.
void enter(QWidget* widget, double value)
{
    if (auto* field = qobject_cast<QDoubleSpinBox*>(widget))
        field->setValue(value);
    else if (auto* list = qobject_cast<QComboBox*>(widget))
        list->setCurrentIndex(int(value));
    else if (auto* box = qobject_cast<QCheckBox*>(widget))
        box->setChecked(value != 0.0);
}

std::unique_ptr<SettingsEditor> openEditor(const QString& path, quint32 article)
{
    auto document = std::make_unique<SettingsDocument>(*DeviceModel::find(article));
    if (!document->load(path))
        return nullptr;
    return std::make_unique<SettingsEditor>(std::move(document), nullptr);
}

} // namespace

Q_DECLARE_METATYPE(SettingKey)

class TestSettingsEditor : public QObject
{
    Q_OBJECT

private slots:
    void fileForAnotherModelShowsValuesOutside_data();
    void fileForAnotherModelShowsValuesOutside();
    void roundTripKeepsEverySettingAndTheModel_data();
    void roundTripKeepsEverySettingAndTheModel();
};

void TestSettingsEditor::fileForAnotherModelShowsValuesOutside_data()
{
    QTest::addColumn<quint32>("madeFor");
    QTest::addColumn<quint32>("openedFor");
    QTest::addColumn<QList<SettingKey>>("outside");
    // Made for its model with trip class 40E, 5 A and an undercurrent threshold of 4 A.
    QTest::newRow("6,6 A file, 2,6 A model")
        << 51326u << 51322u << QList<SettingKey> {SettingKey::NominalCurrent};
    QTest::newRow("Plus file, Strand model")
        << 51326u << 51314u << QList<SettingKey> {SettingKey::TripClass};
    QTest::newRow("both") << 51326u << 51310u
                          << QList<SettingKey> {SettingKey::TripClass, SettingKey::NominalCurrent};
    QTest::newRow("its own model") << 51326u << 51326u << QList<SettingKey>();
}

void TestSettingsEditor::fileForAnotherModelShowsValuesOutside()
{
    QFETCH(quint32, madeFor);
    QFETCH(quint32, openedFor);
    QFETCH(QList<SettingKey>, outside);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("pump.json"));
    {
        SettingsDocument made(*DeviceModel::find(madeFor));
        made.setValue(SettingKey::TripClass, 7.0);
        made.setValue(SettingKey::NominalCurrent, 5.0);
        made.setValue(SettingKey::UndercurrentThreshold, 4.0);
        QVERIFY2(made.save(path), qPrintable(made.errorString()));
    }
    const auto editor = openEditor(path, openedFor);
    QVERIFY(editor);
    QCOMPARE(editor->getDocument().getFileArticleNumber(), std::optional<quint32>(madeFor));
    for (const SettingKey key : editor->getDocument().keys()) {
        QWidget* widget = widgetOf(*editor, key);
        QVERIFY(widget);
        QCOMPARE(widget->property("outsideField").toBool(), outside.contains(key));
        QCOMPARE(widget->toolTip().isEmpty(), !outside.contains(key));
    }
    QCOMPARE(editor->getDocument().problems().size(), outside.size());

    if (!outside.contains(SettingKey::NominalCurrent))
        return;
    // The field shows 5 A as the file holds it; another value above the model's is not taken,
    // one inside is, and the mark goes.
    auto* nominal = qobject_cast<QDoubleSpinBox*>(widgetOf(*editor, SettingKey::NominalCurrent));
    nominal->setValue(4.0);
    QCOMPARE(editor->getDocument().value(SettingKey::NominalCurrent), 5.0);
    QVERIFY(nominal->property("outsideField").toBool());
    nominal->setValue(2.0);
    QCOMPARE(float(editor->getDocument().value(SettingKey::NominalCurrent)), 2.0f);
    QVERIFY(!nominal->property("outsideField").toBool());
    // The threshold follows the lower nominal current down, as on the device.
    QCOMPARE(float(editor->getDocument().value(SettingKey::UndercurrentThreshold)), 2.0f);
}

void TestSettingsEditor::roundTripKeepsEverySettingAndTheModel_data()
{
    QTest::addColumn<quint32>("article");
    QTest::newRow("Strand Plus 6,6 A") << 51326u;
    // A Strand has no load asymmetry: the file's group is kept, not shown.
    QTest::newRow("Strand 2,6 A") << 51310u;
}

void TestSettingsEditor::roundTripKeepsEverySettingAndTheModel()
{
    QFETCH(quint32, article);
    QTemporaryDir folder;
    const QString original = folder.filePath(QStringLiteral("starter 7.json"));
    const QString copy = folder.filePath(QStringLiteral("starter 7 copy.json"));
    const QJsonObject group {{"Enable", true}, {"Threshold", 0.9}, {"FaultType", 1}};
    const QJsonObject file {{"TripClass", 2}, {"NominalCurrent", 1.8}, {"OverloadReset", true},
        {"Undercurrent", group}, {"LoadAsymmetry", group},
        {"Undervoltage", QJsonObject {{"Enable", true}, {"Threshold", 200}, {"FaultType", 1}}},
        {"Overvoltage", QJsonObject {{"Enable", true}, {"Threshold", 260}, {"FaultType", 1}}},
        {"Softstart", true}, {"ArticleNumber", double(article)}};
    {
        QFile out(original);
        const QByteArray bytes = QJsonDocument(file).toJson();
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size());
    }
    const auto editor = openEditor(original, article);
    QVERIFY(editor);
    editor->show();
    Settings before;
    QVERIFY(before.load(original));

    // Every setting the window shows gets a new value through its widget.
    QMap<SettingKey, double> entered;
    for (const SettingKey key : editor->getDocument().keys()) {
        double value = 0.0;
        switch (SettingsMapper::kind(key)) {
        case SettingsMapper::Kind::TripClass:
            value = 4.0;
            break;
        case SettingsMapper::Kind::Number:
            value = SettingsMapper::unit(key) == QLatin1String("V")
                ? (key == SettingKey::UndervoltageThreshold ? 190.0 : 270.0)
                : (key == SettingKey::NominalCurrent ? 2.4 : 1.3);
            break;
        default:
            value = *SettingsMapper::fileValue(before, key) != 0.0 ? 0.0 : 1.0;
            break;
        }
        enter(widgetOf(*editor, key), value);
        entered.insert(key, value);
    }
    QVERIFY(editor->getDocument().isModified());

    // Closing asks first; cancelled, the window stays with its changes.
    int asked = 0;
    editor->setDialogRunner([&asked](QDialog&) {
        ++asked;
        return int(QMessageBox::Cancel);
    });
    QVERIFY(!editor->close());
    QCOMPARE(asked, 1);

    editor->setFileDialog([&copy](QWidget*, bool, const QString&, const QString&) { return copy; });
    QVERIFY(editor->handleSaveAs());
    QVERIFY(!editor->getDocument().isModified());
    QVERIFY(editor->close());
    QCOMPARE(asked, 1);

    Settings after;
    QVERIFY(after.load(copy));
    QCOMPARE(after.getLoadedCount(), 12);
    QCOMPARE(after.getArticleNumber(), std::optional<quint32>(article));
    for (const SettingKey key : SettingsMapper::keys()) {
        const std::optional<double> value = SettingsMapper::fileValue(after, key);
        QVERIFY2(value, qPrintable(SettingsMapper::name(key)));
        const double expected = entered.contains(key) ? entered.value(key)
                                                      : *SettingsMapper::fileValue(before, key);
        QVERIFY2(SettingsMapper::sameValue(key, *value, expected),
            qPrintable(QStringLiteral("%1: %2, not %3")
                           .arg(SettingsMapper::name(key))
                           .arg(*value)
                           .arg(expected)));
    }
}

QTEST_MAIN(TestSettingsEditor)
#include "tst_settingseditor.moc"
