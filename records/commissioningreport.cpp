#include "records/commissioningreport.h"

#include <QBuffer>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextDocument>
#include <QUrl>

namespace {

constexpr int PdfResolution = 300; // dots per inch: sharp logo and text on paper
constexpr qreal PageMargin = 18.0; // millimetres on every side of the A4 page
const QString LogoName = QStringLiteral("report-logo");

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
QString heading(const QString& title)
{
    return QStringLiteral("<p style=\"color:#ef7c00; font-size:12pt; font-weight:bold; "
                          "margin-top:14px; margin-bottom:4px;\">%1</p>")
        .arg(escaped(title));
}

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
    document->setHtml(html);
    return document;
}

void CommissioningReport::paint(QPagedPaintDevice& device) const
{
    device.setPageSize(QPageSize(QPageSize::A4));
    device.setPageMargins(
        QMarginsF(PageMargin, PageMargin, PageMargin, PageMargin), QPageLayout::Millimeter);
    const auto document = toDocument();
    document->print(&device);
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
