// The pictures compiled in under ":/images": every one the program names is there and readable,
// each is drawn (not blank), no two are the same picture, and nothing unused is compiled in.

#include <QDir>
#include <QDirIterator>
#include <QImage>
#include <QImageReader>
#include <QRegularExpression>
#include <QSet>
#include <QtTest>

namespace {

const QStringList StatusStates {"standby", "operating", "error", "error_load", "error_supply",
    "warning", "warning_load", "warning_supply"};

// The status pictures, which the information page names by variant and state.
QStringList statusPictures()
{
    QStringList names;
    for (const char* variant : {"strand", "strand+"}) {
        for (const QString& state : StatusStates)
            names << QStringLiteral("velor_r58_%1_%2.png").arg(QLatin1String(variant), state);
    }
    return names;
}

// The pictures the program's sources name in full, by file name.
QSet<QString> namedInSources()
{
    const QString root = QDir::cleanPath(QStringLiteral(R58_TEST_DATA_DIR "/../.."));
    const QRegularExpression reference(QStringLiteral(":/images/([A-Za-z0-9_+]+\\.(png|ico))"));
    QSet<QString> names;
    for (const char* folder : {"app", "ui", "link"}) {
        QDirIterator files(root + '/' + folder, {"*.cpp", "*.h", "*.ui", "*.qss"}, QDir::Files,
            QDirIterator::Subdirectories);
        while (files.hasNext()) {
            QFile file(files.next());
            if (!file.open(QIODevice::ReadOnly))
                continue;
            auto matches = reference.globalMatch(QString::fromUtf8(file.readAll()));
            while (matches.hasNext())
                names.insert(matches.next().captured(1));
        }
    }
    return names;
}

QStringList compiledIn()
{
    return QDir(QStringLiteral(":/images")).entryList(QDir::Files);
}

} // namespace

class TestImages : public QObject
{
    Q_OBJECT

private slots:
    void picture_data();
    void picture();
    void everyNamedPictureAndNoOther();
    void allDistinct();
    void windowIconHasEverySize();
};

void TestImages::picture_data()
{
    QTest::addColumn<QString>("name");
    for (const QString& name : compiledIn().filter(QStringLiteral(".png")))
        QTest::newRow(qPrintable(name)) << name;
}

void TestImages::picture()
{
    QFETCH(QString, name);
    QImageReader reader(QStringLiteral(":/images/") + name);
    const QImage image = reader.read().convertToFormat(QImage::Format_ARGB32);
    QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
    // A blank or fully transparent render means the drawing failed to parse or lies outside.
    int visible = 0;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            visible += qAlpha(line[x]) > 0 ? 1 : 0;
    }
    QVERIFY2(visible * 10 >= image.width() * image.height(), "less than a tenth is drawn");
    // Status pictures replace each other in one place: all the same size.
    if (statusPictures().contains(name))
        QCOMPARE(image.size(), QSize(300, 400));
}

void TestImages::everyNamedPictureAndNoOther()
{
    QSet<QString> expected = namedInSources();
    QVERIFY2(expected.size() > 20, "the sources were not found");
    for (const QString& name : statusPictures())
        expected.insert(name);
    const QStringList present = compiledIn();
    QCOMPARE(QSet<QString>(present.cbegin(), present.cend()), expected);
}

void TestImages::allDistinct()
{
    // A copy-paste slip in a template or in the build would make two pictures equal.
    const QStringList names = compiledIn().filter(QStringLiteral(".png"));
    QList<QImage> images;
    for (const QString& name : names)
        images << QImage(QStringLiteral(":/images/") + name);
    for (int i = 0; i < images.size(); ++i) {
        for (int j = i + 1; j < images.size(); ++j)
            QVERIFY2(images.at(i) != images.at(j), qPrintable(names.at(i) + " = " + names.at(j)));
    }
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
