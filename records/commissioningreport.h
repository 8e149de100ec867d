#pragma once

#include <QList>
#include <QString>

#include <memory>

class QPagedPaintDevice;
class QTextDocument;

// The record of how a device was set up, handed to the customer: who made it with which tool
// and when, what the device is and what state it is in, every protection setting, a snapshot of
// the measured values and what the technician notes about the site. It lays itself out as an A4
// document that is written to PDF or printed.
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

    QString title;
    // Tool, version, date and role, above the sections.
    QList<Row> header;
    QList<Section> sections;
    QString notesTitle;
    QString notes;

    // The laid-out report; its plain text carries every label and value.
    [[nodiscard]] std::unique_ptr<QTextDocument> toDocument() const;
    // Writes the report as a PDF, replacing the file only when the whole report was written.
    [[nodiscard]] bool writePdf(const QString& fileName) const;
    // Lays the report out on any paged device (a printer chosen by the user, a PDF writer).
    void paint(QPagedPaintDevice& device) const;
};
