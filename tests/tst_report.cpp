// The commissioning report of a device screen on a simulated device: what the device reported
// and what the technician typed reach the document, and the PDF is written whole or not at all.

#include "subscreentestsupport.h"

#include <QFile>
#include <QLocale>
#include <QTextDocument>
#include <QtTest>

using Application::R58::UserAccount;
using Model::Interfaces::ModelValueID;
using SubScreenTest::Bench;

class TestReport : public QObject
{
    Q_OBJECT

private slots:
    void reportCarriesDeviceAndFields();
    void pdfWrittenWholeOrNotAtAll();
};

void TestReport::reportCarriesDeviceAndFields()
{
    Bench bench;
    auto& device = bench.addDevice();
    device.setUIntValue(quint16(ModelValueID::SerialNumber), 21509999u);
    device.setFloatValue(quint16(ModelValueID::UndervoltageThreshold), 187.0f);
    QVERIFY(bench.open(UserAccount::Supervisor));

    const CommissioningReport report
        = bench.screen->makeReport({QStringLiteral("Hall 3"), QStringLiteral("Pump 2, 4 kW"),
            QStringLiteral("A. Berg"), QStringLiteral("Checked rotation.\nCustomer informed.")});
    const QString text = report.toDocument()->toPlainText();
    for (const QString& expected :
        {QStringLiteral("21509999"), QStringLiteral("Hall 3"), QStringLiteral("Pump 2, 4 kW"),
            QStringLiteral("A. Berg"), QStringLiteral("Customer informed."),
            QStringLiteral("Supervisor"), QStringLiteral("187 V"),
            QLocale().toString(
                double(device.floatValue(quint16(ModelValueID::NominalCurrent))), 'g', 6)
                + QStringLiteral(" A")}) {
        QVERIFY2(text.contains(expected),
            qPrintable(expected + QStringLiteral(" missing in:\n") + text));
    }
}

void TestReport::pdfWrittenWholeOrNotAtAll()
{
    CommissioningReport report;
    report.title = QStringLiteral("Commissioning report");
    report.sections.append(
        {QStringLiteral("Device"), {{QStringLiteral("Serial"), QStringLiteral("1")}}});
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("report.pdf"));
    QVERIFY(report.writePdf(path));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.read(5) == "%PDF-");
    QVERIFY(file.size() > 1000);

    const QString refused = dir.filePath(QStringLiteral("missing/report.pdf"));
    QVERIFY(!report.writePdf(refused));
    QVERIFY(!QFile::exists(refused));
}

QTEST_MAIN(TestReport)
#include "tst_report.moc"
