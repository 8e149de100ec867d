#pragma once

#include <QList>
#include <QMetaObject>
#include <QObject>
#include <QSharedPointer>
#include <QString>

class PendingLog;
class QPlainTextEdit;
class QTimer;

namespace Service::R58 {
class TaloLinkTerminalService;
}

// The service page's log: one line per frame sent or received and the decoded answers. Lines
// are collected where the link makes them and written into the view in one go a few times a
// second, and only while the view is in view, so that a streaming device costs no layout of the
// log per frame.
class ServiceLog : public QObject
{
    Q_OBJECT

public:
    // What the log keeps: a day of measurement streams must not make it grow without end.
    static constexpr int MaxLines = 5000;
    static constexpr int FlushInterval = 100; // milliseconds; fast enough to read as live

    ServiceLog(QPlainTextEdit* view, Service::R58::TaloLinkTerminalService* terminal,
        QObject* parent = nullptr);

    // The link builds the text forms of frames only while something receives them, so the log
    // takes them only while it is enabled.
    void setEnabled(bool enabled);
    [[nodiscard]] bool isEnabled() const { return !m_connections.isEmpty(); }
    void append(const QString& prefix, const QByteArray& text);
    void clear();

protected:
    // Brings the log up to date when it comes into view.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void scheduleFlush();
    // Writes the collected lines into the view in one go, once it is in view; the view then
    // shows the newest line if `follow` or if it showed the newest line before.
    void flush(bool follow);

    QPlainTextEdit* m_view;
    Service::R58::TaloLinkTerminalService* m_terminal;
    // Shared with the link's connections, which may still deliver while this goes.
    QSharedPointer<PendingLog> m_pending;
    QList<QMetaObject::Connection> m_connections;
    QTimer* m_flushTimer = nullptr;
};
