#pragma once

#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

class QPagedPaintDevice;
class QTextDocument;

// The record of how a device was set up, handed to the customer: who made it with which tool
// and when, what the device is and what state it is in, every protection setting, a snapshot of
// the measured values, what the technician notes about the site and the signatures. It lays
// itself out as an A4 document with a footer on every page that names the device and the page,
// written to PDF, printed or drawn as page images.
class CommissioningReport
{
public:
    struct Row
    {
        QString label;
        QString value;
    };
    struct Section
    {
        QString title;
        QList<Row> rows;
    };
    // What the technician fills in before the report is made.
    struct Fields
    {
        QString site;
        QString motor;
        QString technician;
        QString notes;
    };
    // The signature block: one column per party, each with a line for place and date and one
    // for the signature.
    struct Signatures
    {
        QString title;
        QStringList parties;
        QString placeAndDate;
        QString signature;
    };

    QString title;
    // Tool, version, date and role, above the sections.
    QList<Row> header;
    QList<Section> sections;
    QString notesTitle;
    QString notes;
    Signatures signatures;
    // Device, serial number and date, on every page.
    QString footer;
    // "Page %1 of %2".
    QString pageNumber;

    // The body as one flowing document (no pages, no footer); its plain text carries every
    // label and value.
    [[nodiscard]] std::unique_ptr<QTextDocument> toDocument() const;
    // Writes the report as a PDF, replacing the file only when the whole report was written.
    [[nodiscard]] bool writePdf(const QString& fileName) const;
    // Lays the report out on any paged device (a printer chosen by the user, a PDF writer).
    void paint(QPagedPaintDevice& device) const;
    // The pages as printed, at their real size in the given resolution.
    [[nodiscard]] QList<QImage> pageImages(int dotsPerInch) const;
    // The text of each page as printed: its part of the body and its footer.
    [[nodiscard]] QStringList pageTexts() const;
};
