// The data page's trend and recording, and the device screen's event history.

#include "config/settingscomparison.h"
#include "records/eventhistory.h"
#include "records/trendhistory.h"
#include "subscreentestsupport.h"
#include "ui/trendplot.h"
#include "update/packageupdateservice.h"

#include <QDateTime>
#include <QDoubleSpinBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTreeWidget>
#include <qwt_plot_curve.h>

#include <csignal>
#include <sys/resource.h>

using Application::R58::SettingsComparison;
using Application::R58::UserAccount;
using Records::EventHistory;
using Records::TrendHistory;
using Records::TrendSeries;
using SubScreenTest::Bench;
using SubScreenTest::Wait;

namespace {

QStringList readLines(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

} // namespace

class TestLiveData : public QObject
{
    Q_OBJECT

private slots:
    void trendKeepsBoundedHistory();
    void plotDrawsEveryPeak_data();
    void plotDrawsEveryPeak();
    void plotShowsOnlyItsQuantity_data();
    void plotShowsOnlyItsQuantity();
    void recordingWritesEveryValue_data();
    void recordingWritesEveryValue();
    void writeErrorStopsRecording();
    void historyDropsOldestBeyondCap();
};

void TestLiveData::trendKeepsBoundedHistory()
{
    // An hour at a full line's rate, with one spike five seconds before the end.
    TrendSeries series(TrendHistory::Bucket, TrendHistory::Span);
    const double end = 3600.0 * 1000.0;
    const double spike = end - 5000.0;
    std::size_t most = 0;
    for (double x = 0.0; x < end; x += 4.0) {
        series.add(x, x == spike ? 999.0 : 400.0 + std::sin(x / 1000.0));
        most = std::max(most, series.size());
    }
    QVERIFY(most <= series.capacity());
    QVERIFY(series.capacity() < 20000);
    // The window reaches back the whole span, and no further.
    QVERIFY(series.point(0).x() >= end - TrendHistory::Span - 2 * TrendHistory::Bucket);
    QVERIFY(series.point(0).x() <= end - TrendHistory::Span + 2 * TrendHistory::Bucket);
    // A peak within the kept span is drawn, however short.
    bool peak = false;
    for (std::size_t i = series.lowerBound(spike - 1000.0); i < series.size(); ++i)
        peak |= series.point(i).y() == 999.0;
    QVERIFY(peak);
    QCOMPARE(series.point(series.size() - 1).x(), end - 4.0);
}

void TestLiveData::plotDrawsEveryPeak_data()
{
    QTest::addColumn<int>("window");
    QTest::newRow("30 s, every point") << 30;
    QTest::newRow("10 min, thinned to the canvas") << 600;
}

void TestLiveData::plotDrawsEveryPeak()
{
    // A full window of L1 voltages at a line's rate, with a spike and a dip of one value each.
    QFETCH(int, window);
    TrendPlot plot;
    plot.resize(620, 330);
    plot.setWindow(window);
    plot.show();
    QVERIFY(QTest::qWaitForWindowExposed(&plot));
    const qint64 end = QDateTime::currentMSecsSinceEpoch();
    const qint64 spike = end - 1000LL * window / 3;
    const qint64 dip = end - 1000LL * window * 2 / 3;
    std::vector<Records::MeasurementSample> samples;
    for (qint64 time = end - 1000LL * window; time < end; time += 4) {
        const float value = time == spike ? 999.0f
            : time == dip                 ? 0.0f
                                          : float(400.0 + 3.0 * std::sin(double(time) / 700.0));
        samples.push_back({time, Records::Quantity::Voltage, 0, value});
    }
    plot.addSamples(samples);
    // The first redraw widens the value axis for the spike, which narrows the canvas.
    plot.redraw();
    plot.redraw();
    const qint64 drawn = QDateTime::currentMSecsSinceEpoch();

    const auto* curve
        = static_cast<const QwtPlotCurve*>(plot.itemList(QwtPlotItem::Rtti_PlotCurve).value(0));
    QVERIFY(curve);
    QVERIFY(curve->dataSize() > 100);
    // Two points a pixel column, and a few at the window's edges.
    QVERIFY(curve->dataSize() <= 2 * std::size_t(plot.canvas()->width()) + 6);
    double low = INFINITY;
    double high = -INFINITY;
    for (std::size_t i = 0; i < curve->dataSize(); ++i) {
        const QPointF point = curve->sample(i);
        if (i > 0)
            QVERIFY(point.x() >= curve->sample(i - 1).x());
        low = std::min(low, point.y());
        high = std::max(high, point.y());
    }
    QCOMPARE(high, 999.0);
    QCOMPARE(low, 0.0);
    // The line reaches the newest value (x counts seconds before the right edge, which is the
    // moment of the last redraw).
    QVERIFY(curve->sample(curve->dataSize() - 1).x()
        >= double(end - drawn - 2 * qint64(TrendHistory::Bucket)) / 1000.0);
}

void TestLiveData::plotShowsOnlyItsQuantity_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<bool>("paused");
    QTest::newRow("voltage to current") << int(TrendPlot::Page::Current) << false;
    QTest::newRow("voltage to power") << int(TrendPlot::Page::Power) << false;
    QTest::newRow("voltage to current, paused") << int(TrendPlot::Page::Current) << true;
}

void TestLiveData::plotShowsOnlyItsQuantity()
{
    // Voltages near 400 V, currents near 2 A and powers near 1 kW in the same seconds; the plot
    // has just drawn the voltages when the page changes, well within its redraw limit.
    QFETCH(int, page);
    QFETCH(bool, paused);
    TrendPlot plot;
    plot.resize(620, 330);
    plot.show();
    QVERIFY(QTest::qWaitForWindowExposed(&plot));
    const qint64 end = QDateTime::currentMSecsSinceEpoch();
    std::vector<Records::MeasurementSample> samples;
    for (qint64 time = end - 5000; time < end; time += 20) {
        for (std::uint8_t phase = 0; phase < 3; ++phase) {
            samples.push_back({time, Records::Quantity::Voltage, phase, 400.0f + phase});
            samples.push_back({time, Records::Quantity::Current, phase, 2.0f + phase * 0.1f});
        }
        samples.push_back({time, Records::Quantity::ActivePower, 0, 1.0f});
        samples.push_back({time, Records::Quantity::ReactivePower, 0, 0.5f});
        samples.push_back({time, Records::Quantity::ApparentPower, 0, 1.1f});
    }
    plot.addSamples(samples);
    plot.redraw();
    plot.setPaused(paused);
    plot.setPage(TrendPlot::Page(page));

    const auto curves = plot.itemList(QwtPlotItem::Rtti_PlotCurve);
    QCOMPARE(curves.size(), 3);
    for (const QwtPlotItem* item : curves) {
        const auto* curve = static_cast<const QwtPlotCurve*>(item);
        QVERIFY(curve->dataSize() > 0);
        for (std::size_t i = 0; i < curve->dataSize(); ++i)
            QVERIFY2(curve->sample(i).y() < 10.0, qPrintable(curve->title().text()));
    }
    // The axis belongs to the new quantity too, and it cannot be negative.
    const QwtInterval axis = plot.axisInterval(QwtPlot::yLeft);
    QVERIFY(axis.maxValue() < 10.0);
    QVERIFY(axis.minValue() >= 0.0);
}

void TestLiveData::recordingWritesEveryValue_data()
{
    QTest::addColumn<QString>("locale");
    QTest::newRow("English") << QStringLiteral("en_US");
    QTest::newRow("German, decimal comma") << QStringLiteral("de_DE");
}

void TestLiveData::recordingWritesEveryValue()
{
    QFETCH(QString, locale);
    QLocale::setDefault(QLocale(locale));
    Bench bench;
    QVERIFY(bench.open(UserAccount::Supervisor));
    const QString path = QDir(bench.home.path()).filePath(QStringLiteral("values"));
    bench.answerFileDialogs(path);
    bench.screen->show();
    bench.widget<QPushButton>("pushButtonData")->click();
    auto* record = bench.widget<QPushButton>("pushButtonRecord");
    record->click();
    QVERIFY(record->property("recording").toBool());
    // Recording goes on across the data page's quantities.
    const QString file = path + QStringLiteral(".csv");
    QVERIFY(QTest::qWaitFor(
        [&] { return readLines(file).filter(QStringLiteral(",V")).size() > 6; }, Wait));
    bench.widget<QPushButton>("pushButtonCurrentData")->click();
    QVERIFY(QTest::qWaitFor(
        [&] { return readLines(file).filter(QStringLiteral(",A")).size() > 6; }, Wait));
    record->click();
    QVERIFY(!record->property("recording").toBool());
    QLocale::setDefault(QLocale::c());

    const QStringList lines = readLines(file);
    QCOMPARE(lines.value(0), QStringLiteral("time,quantity,phase,value,unit"));
    const QRegularExpression format(QStringLiteral(
        R"(^(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z),(voltage|current),(L[123]),(-?\d+(\.\d+)?),(V|A)$)"));
    QSet<QString> seen;
    for (const QString& line : lines.mid(1)) {
        const QRegularExpressionMatch match = format.match(line);
        QVERIFY2(match.hasMatch(), qPrintable(line));
        const double value = match.captured(4).toDouble();
        // The simulator's voltages wobble about 400 V; the motor is off, so no current flows.
        if (match.captured(2) == QLatin1String("voltage"))
            QVERIFY2(value > 390.0 && value < 410.0, qPrintable(line));
        else
            QCOMPARE(value, 0.0);
        seen << match.captured(2) + match.captured(3);
    }
    QCOMPARE(seen.size(), 6);
    QVERIFY(bench.widget<QLabel>("labelRecordStatus")
                ->text()
                .contains(QString::number(lines.size() - 1)));
}

void TestLiveData::writeErrorStopsRecording()
{
    Bench bench;
    QVERIFY(bench.open(UserAccount::Customer));
    const QString path = QDir(bench.home.path()).filePath(QStringLiteral("values.csv"));
    bench.answerFileDialogs(path);
    bench.screen->show();
    bench.widget<QPushButton>("pushButtonData")->click();
    auto* record = bench.widget<QPushButton>("pushButtonRecord");
    record->click();
    QVERIFY(QTest::qWaitFor([&] { return readLines(path).size() > 3; }, Wait));

    // The file may grow no further, as on a full disk: writing fails with EFBIG instead of the
    // signal that would end the process.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit before {};
    getrlimit(RLIMIT_FSIZE, &before);
    rlimit limit = before;
    limit.rlim_cur = rlim_t(QFileInfo(path).size());
    setrlimit(RLIMIT_FSIZE, &limit);
    const bool stopped
        = QTest::qWaitFor([&] { return !record->property("recording").toBool(); }, Wait);
    setrlimit(RLIMIT_FSIZE, &before);
    QVERIFY(stopped);
    auto* status = bench.widget<QLabel>("labelRecordStatus");
    QVERIFY(status->property("failure").toBool());
    QVERIFY2(status->text().contains(QStringLiteral("could not be written"))
            && status->text().contains(QDir::toNativeSeparators(path)),
        qPrintable(status->text()));
    QCOMPARE(record->text(), QStringLiteral("RECORD…"));
    // What was written before the failure stays in the file, line by line.
    QVERIFY(readLines(path).size() > 3);
}

void TestLiveData::historyDropsOldestBeyondCap()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("history.csv"));
    {
        EventHistory history(path, 10);
        for (int i = 0; i < 40; ++i)
            QVERIFY(history.add(
                QStringLiteral("setting"), QStringLiteral("step %1, \"quoted\"").arg(i), 1000 * i));
        QCOMPARE(history.events().size(), 10);
        QCOMPARE(history.events().first().text, QStringLiteral("step 30, \"quoted\""));
    }
    // The file does not grow beyond a quarter over the cap, and reads back the newest.
    QVERIFY(readLines(path).size() <= 1 + 10 + 10 / 4);
    const EventHistory reread(path, 10);
    QCOMPARE(reread.events().size(), 10);
    QCOMPARE(reread.events().last().text, QStringLiteral("step 39, \"quoted\""));
    QCOMPARE(reread.events().last().time, qint64(39000));
}

QTEST_MAIN(TestLiveData)
#include "tst_livedata.moc"
