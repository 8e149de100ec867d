#include "records/commissioningreport.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>

namespace {

constexpr int PdfResolution = 300; // dots per inch: sharp logo and text on paper
constexpr qreal PageWidth = 210.0; // millimetres, A4
constexpr qreal PageHeight = 297.0;
constexpr qreal PageMargin = 20.0; // millimetres left, right and above the body
constexpr qreal FooterBand = 20.0; // millimetres below the body: the footer and the margin
constexpr qreal FooterGap = 5.0; // millimetres between the body and the footer's rule
const QString LogoName = QStringLiteral("report-logo");
// Headings are marked by anchors so that the paging finds them in the laid-out document: one
// stays with the block after it, the signatures' heading with everything to the end.
const QString KeepWithNext = QStringLiteral("keep-with-next");
const QString KeepToEnd = QStringLiteral("keep-to-end");
const QColor LabelColour(0x20, 0x42, 0x53);

QString escaped(const QString& text)
{
    return text.toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("<br>"));
}

QString rows(const QList<CommissioningReport::Row>& rows)
{
    QString html;
    for (const auto& row : rows) {
        html += QStringLiteral("<tr><td width=\"45%\" style=\"color:#204253;\">%1</td>"
                               "<td style=\"font-weight:bold;\">%2</td></tr>")
                    .arg(escaped(row.label), escaped(row.value));
    }
    return html;
}

// Rich text takes a paragraph's own style more reliably than a heading's style sheet.
QString heading(const QString& title, const QString& keep = KeepWithNext)
{
    return QStringLiteral("<p style=\"color:#ef7c00; font-size:12pt; font-weight:bold; "
                          "margin-top:14px; margin-bottom:4px;\"><a name=\"%2\">%1</a></p>")
        .arg(escaped(title), keep);
}

qreal pixels(qreal millimetres, qreal dotsPerInch)
{
    return millimetres * dotsPerInch / 25.4;
}

QString keepOf(const QTextBlock& block)
{
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QStringList names = it.fragment().charFormat().anchorNames();
        if (names.contains(KeepWithNext))
            return KeepWithNext;
        if (names.contains(KeepToEnd))
            return KeepToEnd;
    }
    return {};
}

// The report laid out on A4 pages for one paint device's resolution.
class PagedReport
{
public:
    PagedReport(const CommissioningReport& report, QPaintDevice* device)
        : m_report(report), m_dpi(device->logicalDpiY()), m_document(report.toDocument())
    {
        m_document->documentLayout()->setPaintDevice(device);
        m_document->setDocumentMargin(0.0);
        m_body = QRectF(pixels(PageMargin, m_dpi), pixels(PageMargin, m_dpi),
            pixels(PageWidth - 2.0 * PageMargin, m_dpi),
            pixels(PageHeight - PageMargin - FooterBand, m_dpi));
        m_document->setPageSize(m_body.size());
        keepHeadingsWithTheirRows();
    }

    [[nodiscard]] int pageCount() const { return m_document->pageCount(); }

    void drawPage(QPainter& painter, int page) const
    {
        painter.save();
        painter.translate(m_body.left(), m_body.top() - page * m_body.height());
        const QRectF shown(0.0, page * m_body.height(), m_body.width(), m_body.height());
        painter.setClipRect(shown);
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = shown;
        context.palette.setColor(QPalette::Text, Qt::black);
        m_document->documentLayout()->draw(&painter, context);
        painter.restore();

        painter.save();
        const qreal rule = m_body.bottom() + pixels(FooterGap, m_dpi);
        painter.setPen(QPen(QColor(0xef, 0x7c, 0x00), pixels(0.3, m_dpi)));
        painter.drawLine(QPointF(m_body.left(), rule), QPointF(m_body.right(), rule));
        QFont font = m_document->defaultFont();
        font.setPointSizeF(8.0);
        painter.setFont(font);
        painter.setPen(LabelColour);
        const QRectF line(m_body.left(), rule + pixels(1.5, m_dpi), m_body.width(),
            QFontMetricsF(font, painter.device()).height());
        painter.drawText(line, Qt::AlignLeft | Qt::AlignTop, m_report.footer);
        painter.drawText(line, Qt::AlignRight | Qt::AlignTop, pageText(page));
        painter.restore();
    }

    [[nodiscard]] QString pageText(int page) const
    {
        return m_report.pageNumber.arg(page + 1).arg(pageCount());
    }

    [[nodiscard]] QStringList texts() const
    {
        QStringList pages;
        for (int page = 0; page < pageCount(); ++page)
            pages.append(QString());
        for (QTextBlock block = m_document->begin(); block.isValid(); block = block.next()) {
            if (block.text().trimmed().isEmpty())
                continue;
            const int page = pageOf(rect(block).top());
            if (page >= 0 && page < pages.size())
                pages[page] += block.text() + QLatin1Char('\n');
        }
        for (int page = 0; page < pages.size(); ++page)
            pages[page] += m_report.footer + QLatin1Char('\n') + pageText(page);
        return pages;
    }

private:
    [[nodiscard]] QRectF rect(const QTextBlock& block) const
    {
        return m_document->documentLayout()->blockBoundingRect(block);
    }
    [[nodiscard]] int pageOf(qreal y) const { return int(y / m_body.height()); }

    // A heading at the foot of a page, its rows on the next, starts that next page instead.
    void keepHeadingsWithTheirRows()
    {
        for (int round = 0; round < 32; ++round) {
            bool moved = false;
            for (QTextBlock block = m_document->begin(); block.isValid() && !moved;
                 block = block.next()) {
                const QString keep = keepOf(block);
                if (keep.isEmpty() || block.blockFormat().pageBreakPolicy() != 0)
                    continue;
                const QTextBlock until = keep == KeepToEnd ? m_document->lastBlock() : block.next();
                if (!until.isValid())
                    continue;
                const QRectF first = rect(block);
                const QRectF last = rect(until);
                if (pageOf(first.top()) == pageOf(last.bottom() - 0.5))
                    continue;
                QTextBlockFormat format = block.blockFormat();
                format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
                QTextCursor(block).setBlockFormat(format);
                moved = true;
            }
            if (!moved)
                return;
        }
    }

    const CommissioningReport& m_report;
    qreal m_dpi;
    std::unique_ptr<QTextDocument> m_document;
    QRectF m_body;
};

} // namespace

std::unique_ptr<QTextDocument> CommissioningReport::toDocument() const
{
    auto document = std::make_unique<QTextDocument>();
    // The wordmark drawn for paper: dark letters, the orange ring.
    document->addResource(QTextDocument::ImageResource, QUrl(LogoName),
        QImage(QStringLiteral(":/images/velor_logo_print.png")));
    document->setDefaultStyleSheet(
        QStringLiteral("h1 { color: #002137; font-size: 18pt; }"
                       "td { padding: 2px 6px 2px 0px; font-size: 10pt; }"
                       "p { font-size: 10pt; }"));

    QString html = QStringLiteral("<table width=\"100%\"><tr><td><h1>%1</h1></td>"
                                  "<td align=\"right\"><img src=\"%2\" width=\"160\"></td></tr>"
                                  "</table>")
                       .arg(escaped(title), LogoName);
    html += QStringLiteral("<table width=\"100%\">%1</table>").arg(rows(header));
    for (const Section& section : sections) {
        html += QStringLiteral("%1<table width=\"100%\">%2</table>")
                    .arg(heading(section.title), rows(section.rows));
    }
    html += QStringLiteral("%1<p>%2</p>").arg(heading(notesTitle), escaped(notes));
    if (!signatures.parties.isEmpty()) {
        html += heading(signatures.title, KeepToEnd);
        html += QStringLiteral("<table width=\"100%\"><tr>");
        const QString line = QStringLiteral("<p style=\"margin-top:30px; color:#878787;\">"
                                            "______________________________________</p>");
        const QString caption
            = QStringLiteral("<p style=\"font-size:8pt; color:#204253;\">%1</p>");
        for (const QString& party : signatures.parties) {
            html += QStringLiteral("<td width=\"%1%\"><p style=\"font-weight:bold;\">%2</p>")
                        .arg(100 / signatures.parties.size())
                        .arg(escaped(party));
            html += line + caption.arg(escaped(signatures.placeAndDate)) + line
                + caption.arg(escaped(signatures.signature)) + QStringLiteral("</td>");
        }
        html += QStringLiteral("</tr></table>");
    }
    document->setHtml(html);
    return document;
}

void CommissioningReport::paint(QPagedPaintDevice& device) const
{
    // The report draws its own margins and footer on the whole sheet.
    device.setPageSize(QPageSize(QPageSize::A4));
    device.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    QPainter painter(&device);
    const PagedReport pages(*this, &device);
    for (int page = 0; page < pages.pageCount(); ++page) {
        if (page > 0)
            device.newPage();
        pages.drawPage(painter, page);
    }
}

QList<QImage> CommissioningReport::pageImages(int dotsPerInch) const
{
    const auto sheet = [dotsPerInch](const QSize& size) {
        QImage image(size, QImage::Format_RGB32);
        const int dotsPerMetre = qRound(dotsPerInch / 0.0254);
        image.setDotsPerMeterX(dotsPerMetre);
        image.setDotsPerMeterY(dotsPerMetre);
        image.fill(Qt::white);
        return image;
    };
    QImage metrics = sheet(QSize(1, 1));
    const PagedReport pages(*this, &metrics);
    const QSize size(qRound(pixels(PageWidth, dotsPerInch)), qRound(pixels(PageHeight, dotsPerInch)));
    QList<QImage> images;
    for (int page = 0; page < pages.pageCount(); ++page) {
        QImage image = sheet(size);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        pages.drawPage(painter, page);
        painter.end();
        images.append(image);
    }
    return images;
}

QStringList CommissioningReport::pageTexts() const
{
    // Laid out as the PDF is: the same resolution breaks the lines and pages the same way.
    QImage metrics(1, 1, QImage::Format_RGB32);
    const int dotsPerMetre = qRound(PdfResolution / 0.0254);
    metrics.setDotsPerMeterX(dotsPerMetre);
    metrics.setDotsPerMeterY(dotsPerMetre);
    return PagedReport(*this, &metrics).texts();
}

bool CommissioningReport::writePdf(const QString& fileName) const
{
    // Laid out in memory first: the PDF writer does not look at what its device wrote, so a
    // full disk would go unseen. The whole document then goes out in one checked write.
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&pdf);
        writer.setResolution(PdfResolution);
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("VELOR®R58 VizorevAvuv"));
        paint(writer);
    }
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    if (file.write(pdf.data()) != pdf.data().size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
