// Every picture the windows load by resource path must be compiled in, readable and of the size
// the style sheets and layouts were drawn for; a misspelt or forgotten file shows up here.

#include <QImage>
#include <QImageReader>
#include <QSet>
#include <QtTest>

namespace {

struct Picture
{
    const char* path;
    QSize size;
};

// Status pictures are the same size for both variants and every state.
const QSize STATUS_SIZE(300, 400);
const QSize FEATURE_SIZE(80, 36);
const QSize ARROW_SIZE(11, 6);

const Picture PICTURES[] = {
    {":/images/key_visual_xl.png", {720, 300}},
    {":/images/key_visual_s.png", {288, 120}},
    {":/images/welcome_background_typo.png", {1280, 910}},
    {":/images/main_background.png", {1280, 910}},
    {":/images/velor_logo.png", {200, 50}},
    {":/images/usb_connect.png", {400, 220}},
    {":/images/login_icon_active.png", {32, 32}},
    {":/images/dropdown_icon_active.png", {24, 24}},
    {":/images/arrow_down_active.png", ARROW_SIZE},
    {":/images/arrow_down_white.png", ARROW_SIZE},
    {":/images/arrow_up_active.png", ARROW_SIZE},
    {":/images/checkbox_checked.png", {22, 22}},
    {":/images/checkbox_unchecked.png", {22, 22}},
    {":/images/button_stripes.png", {16, 16}},
    {":/images/slide_button_left.png", {56, 28}},
    {":/images/slide_button_right.png", {56, 28}},
    {":/images/tower.png", {32, 32}},
    {":/images/monitor.png", {32, 32}},
    {":/images/motor.png", {240, 180}},
    {":/images/forward.png", {96, 96}},
    {":/images/backward.png", {96, 96}},
    {":/images/softstart_on.png", FEATURE_SIZE},
    {":/images/softstart_off.png", FEATURE_SIZE},
    {":/images/auto_reset_on.png", FEATURE_SIZE},
    {":/images/auto_reset_off.png", FEATURE_SIZE},
    {":/images/undercurrent_on.png", FEATURE_SIZE},
    {":/images/undercurrent_off.png", FEATURE_SIZE},
    {":/images/undervoltage_on.png", FEATURE_SIZE},
    {":/images/undervoltage_off.png", FEATURE_SIZE},
    {":/images/overvoltage_on.png", FEATURE_SIZE},
    {":/images/overvoltage_off.png", FEATURE_SIZE},
    {":/images/load_asymmetry_on.png", FEATURE_SIZE},
    {":/images/load_asymmetry_off.png", FEATURE_SIZE},
    {":/images/velor_r58_strand_standby.png", STATUS_SIZE},
    {":/images/velor_r58_strand_operating.png", STATUS_SIZE},
    {":/images/velor_r58_strand_error.png", STATUS_SIZE},
    {":/images/velor_r58_strand_error_load.png", STATUS_SIZE},
    {":/images/velor_r58_strand_error_supply.png", STATUS_SIZE},
    {":/images/velor_r58_strand_warning.png", STATUS_SIZE},
    {":/images/velor_r58_strand_warning_load.png", STATUS_SIZE},
    {":/images/velor_r58_strand_warning_supply.png", STATUS_SIZE},
    {":/images/velor_r58_strand+_standby.png", STATUS_SIZE},
    {":/images/velor_r58_strand+_operating.png", STATUS_SIZE},
    {":/images/velor_r58_strand+_error.png", STATUS_SIZE},
    {":/images/velor_r58_strand+_error_load.png", STATUS_SIZE},
    {":/images/velor_r58_strand+_error_supply.png", STATUS_SIZE},
    {":/images/velor_r58_strand+_warning.png", STATUS_SIZE},
    {":/images/velor_r58_strand+_warning_load.png", STATUS_SIZE},
    {":/images/velor_r58_strand+_warning_supply.png", STATUS_SIZE},
};

// Pairs whose pictures must differ: a copy-paste slip in the templates would make them equal.
const char* const DISTINCT_PAIRS[][2] = {
    {"softstart_on", "softstart_off"},
    {"auto_reset_on", "auto_reset_off"},
    {"undercurrent_on", "undercurrent_off"},
    {"undervoltage_on", "undervoltage_off"},
    {"overvoltage_on", "overvoltage_off"},
    {"load_asymmetry_on", "load_asymmetry_off"},
    {"softstart_on", "undercurrent_on"},
    {"undervoltage_on", "overvoltage_on"},
    {"slide_button_left", "slide_button_right"},
    {"checkbox_checked", "checkbox_unchecked"},
    {"arrow_down_active", "arrow_up_active"},
    {"arrow_down_active", "arrow_down_white"},
    {"forward", "backward"},
    {"velor_r58_strand_standby", "velor_r58_strand+_standby"},
    {"velor_r58_strand_error", "velor_r58_strand_warning"},
    {"velor_r58_strand_error", "velor_r58_strand_error_load"},
    {"velor_r58_strand_error_load", "velor_r58_strand_error_supply"},
    {"velor_r58_strand_warning_load", "velor_r58_strand_warning_supply"},
    {"velor_r58_strand_operating", "velor_r58_strand_standby"},
    {"velor_r58_strand+_error_load", "velor_r58_strand+_warning_load"},
};

QImage load(const QString& name)
{
    return QImage(QStringLiteral(":/images/%1.png").arg(name));
}

} // namespace

class TestImages : public QObject
{
    Q_OBJECT

private slots:
    void picture_data();
    void picture();
    void distinct_data();
    void distinct();
    void noStrayResources();
    void windowIconHasEverySize();
};

void TestImages::picture_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("size");
    for (const Picture& picture : PICTURES)
        QTest::newRow(picture.path) << QString::fromLatin1(picture.path) << picture.size;
}

void TestImages::picture()
{
    QFETCH(QString, path);
    QFETCH(QSize, size);

    QImageReader reader(path);
    const QImage image = reader.read();
    QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
    QCOMPARE(image.size(), size);

    // A blank or fully transparent render means the drawing failed to parse or lies outside.
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    int visible = 0;
    for (int y = 0; y < argb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x)
            visible += qAlpha(line[x]) > 0 ? 1 : 0;
    }
    QVERIFY2(visible * 10 >= argb.width() * argb.height(), "less than a tenth is drawn");
}

void TestImages::distinct_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    for (const auto& pair : DISTINCT_PAIRS)
        QTest::newRow(qPrintable(QStringLiteral("%1 vs %2").arg(pair[0], pair[1])))
            << QString::fromLatin1(pair[0]) << QString::fromLatin1(pair[1]);
}

void TestImages::distinct()
{
    QFETCH(QString, first);
    QFETCH(QString, second);
    const QImage a = load(first);
    const QImage b = load(second);
    QVERIFY(!a.isNull() && !b.isNull());
    QVERIFY(a != b);
}

void TestImages::noStrayResources()
{
    // Anything compiled in but not named by the windows is dead weight or a misspelling.
    QSet<QString> expected {QStringLiteral("key_visual.ico")};
    for (const Picture& picture : PICTURES)
        expected.insert(QString::fromLatin1(picture.path).mid(int(qstrlen(":/images/"))));
    const QStringList present = QDir(QStringLiteral(":/images")).entryList(QDir::Files);
    QCOMPARE(QSet<QString>(present.cbegin(), present.cend()), expected);
}

void TestImages::windowIconHasEverySize()
{
    QImageReader reader(QStringLiteral(":/images/key_visual.ico"));
    QVERIFY2(reader.canRead(), qPrintable(reader.errorString()));
    QSet<int> sizes;
    do {
        const QImage image = reader.read();
        QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
        QCOMPARE(image.width(), image.height());
        sizes.insert(image.width());
    } while (reader.jumpToNextImage());
    QCOMPARE(sizes, (QSet<int> {16, 24, 32, 48, 64, 256}));
}

QTEST_GUILESS_MAIN(TestImages)
#include "tst_images.moc"
