// Build-time renderer: turns the hand-written SVG drawings into the PNG and ICO files that the
// program carries as resources, so the pictures stay editable as text.
//
//   r58_svgrender <in.svg> <out.png> <width> <height>
//   r58_svgrender --ico <in.svg> <out.ico> <size> [<size> ...]

#include <QBuffer>
#include <QByteArray>
#include <QCoreApplication>
#include <QDataStream>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QVector>

#include <cstdio>

namespace {

// Sizes from 256 up are stored as PNG inside the icon, as Windows expects; smaller ones as
// 32-bit DIBs, which every icon reader understands.
const int ICO_PNG_FROM_SIZE = 256; // pixels

int fail(const char* message, const QString& detail = QString())
{
    std::fprintf(stderr, "r58_svgrender: %s %s\n", message, qPrintable(detail));
    return 1;
}

QImage render(QSvgRenderer& renderer, int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    renderer.render(&painter, QRectF(0, 0, width, height));
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

QByteArray dibEntry(const QImage& image)
{
    const int size = image.width();
    // The AND mask rows are padded to 32 bits; alpha already carries the transparency.
    const int maskStride = ((size + 31) / 32) * 4;
    QByteArray data;
    QDataStream out(&data, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint32(40) << qint32(size) << qint32(size * 2) // colour and mask halves
        << quint16(1) << quint16(32) << quint32(0) << quint32(size * size * 4 + maskStride * size)
        << qint32(0) << qint32(0) << quint32(0) << quint32(0);
    for (int y = size - 1; y >= 0; --y) { // DIB rows run bottom-up
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < size; ++x)
            out << quint8(qBlue(line[x])) << quint8(qGreen(line[x])) << quint8(qRed(line[x]))
                << quint8(qAlpha(line[x]));
    }
    data.append(QByteArray(maskStride * size, '\0'));
    return data;
}

QByteArray pngEntry(const QImage& image)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return data;
}

bool writeIco(const QString& path, const QVector<QImage>& images)
{
    QVector<QByteArray> entries;
    for (const QImage& image : images)
        entries.append(image.width() >= ICO_PNG_FROM_SIZE ? pngEntry(image) : dibEntry(image));

    QByteArray data;
    QDataStream out(&data, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint16(0) << quint16(1) << quint16(images.size());
    quint32 offset = 6 + 16 * images.size();
    for (int i = 0; i < images.size(); ++i) {
        const int size = images[i].width();
        // A stored 0 means 256 in the one-byte size fields.
        out << quint8(size >= 256 ? 0 : size) << quint8(size >= 256 ? 0 : size) << quint8(0)
            << quint8(0) << quint16(1) << quint16(32) << quint32(entries[i].size()) << offset;
        offset += entries[i].size();
    }
    for (const QByteArray& entry : entries)
        data.append(entry);

    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

bool toSize(const QString& text, int* value)
{
    bool ok = false;
    *value = text.toInt(&ok);
    return ok && *value > 0 && *value <= 4096;
}

} // namespace

int main(int argc, char* argv[])
{
    // The drawings hold no text, so no GUI application (and no display or fonts) is needed.
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);

    const bool ico = !args.isEmpty() && args.first() == QLatin1String("--ico");
    const QStringList rest = ico ? QStringList(args.mid(1)) : args;
    if ((ico && rest.size() < 3) || (!ico && rest.size() != 4))
        return fail("usage: <in.svg> <out.png> <w> <h> | --ico <in.svg> <out.ico> <size>...");

    QSvgRenderer renderer(rest.at(0));
    if (!renderer.isValid())
        return fail("cannot read SVG", rest.at(0));

    if (ico) {
        QVector<QImage> images;
        for (const QString& text : rest.mid(2)) {
            int size = 0;
            if (!toSize(text, &size))
                return fail("bad icon size", text);
            images.append(render(renderer, size, size));
        }
        return writeIco(rest.at(1), images) ? 0 : fail("cannot write", rest.at(1));
    }

    int width = 0;
    int height = 0;
    if (!toSize(rest.at(2), &width) || !toSize(rest.at(3), &height))
        return fail("bad size", rest.mid(2).join('x'));
    return render(renderer, width, height).save(rest.at(1), "PNG")
        ? 0
        : fail("cannot write", rest.at(1));
}
