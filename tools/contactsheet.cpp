// Puts every rendered picture on one labelled page so the whole set can be reviewed at a glance.
//
//   r58_contactsheet <out.png> <picture> [<picture> ...]

#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QPainter>

#include <cstdio>

namespace {

const int CELL_WIDTH = 330; // pixels
const int CELL_HEIGHT = 300; // pixels
const int LABEL_HEIGHT = 34; // pixels
const int COLUMNS = 6;

void drawChecker(QPainter& painter, const QRect& rect)
{
    // Light and dark squares reveal both white and dark pictures and their transparency.
    const int step = 8;
    for (int y = rect.top(); y < rect.bottom(); y += step)
        for (int x = rect.left(); x < rect.right(); x += step)
            painter.fillRect(QRect(x, y, step, step).intersected(rect),
                ((x / step + y / step) % 2) ? QColor(0xd8, 0xd8, 0xd8) : QColor(0xa0, 0xa0, 0xa0));
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: r58_contactsheet <out.png> <picture>...\n");
        return 1;
    }

    const QStringList pictures = args.mid(1);
    const int rows = (pictures.size() + COLUMNS - 1) / COLUMNS;
    QImage sheet(COLUMNS * CELL_WIDTH, rows * CELL_HEIGHT, QImage::Format_ARGB32);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    QFont font("sans-serif");
    font.setPixelSize(12);
    painter.setFont(font);

    for (int i = 0; i < pictures.size(); ++i) {
        const QRect cell(
            (i % COLUMNS) * CELL_WIDTH, (i / COLUMNS) * CELL_HEIGHT, CELL_WIDTH, CELL_HEIGHT);
        const QRect area = cell.adjusted(6, 6, -6, -LABEL_HEIGHT);
        drawChecker(painter, area);
        const QImage image = QImageReader(pictures[i]).read();
        if (!image.isNull()) {
            // Small pictures are enlarged by whole steps so single pixels stay visible.
            QSize shown = image.size();
            if (shown.width() * 4 <= area.width() && shown.height() * 4 <= area.height())
                shown *= 4;
            else if (shown.width() * 2 <= area.width() && shown.height() * 2 <= area.height())
                shown *= 2;
            shown = shown.boundedTo(area.size());
            const QSize fitted = image.size().scaled(shown, Qt::KeepAspectRatio);
            const QRect target(
                area.center() - QPoint(fitted.width() / 2, fitted.height() / 2), fitted);
            painter.drawImage(target, image);
        }
        painter.setPen(Qt::black);
        const QString label = QStringLiteral("%1\n%2 x %3")
                                  .arg(QFileInfo(pictures[i]).fileName())
                                  .arg(image.width())
                                  .arg(image.height());
        painter.drawText(cell.adjusted(4, CELL_HEIGHT - LABEL_HEIGHT, -4, 0),
            Qt::AlignHCenter | Qt::AlignTop, label);
    }
    painter.end();
    return sheet.save(args.first(), "PNG") ? 0 : 1;
}
