#include "ui/servicelog.h"

#include "link/talolinkterminalservice.h"
#include "ui/pendinglog.h"

#include <QEvent>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTimer>

using Service::R58::TaloLinkTerminalService;

ServiceLog::ServiceLog(QPlainTextEdit* view, TaloLinkTerminalService* terminal, QObject* parent)
    : QObject(parent),
      m_view(view),
      m_terminal(terminal),
      m_pending(QSharedPointer<PendingLog>::create(MaxLines)),
      m_flushTimer(new QTimer(this))
{
    m_view->document()->setMaximumBlockCount(MaxLines);
    m_flushTimer->setSingleShot(true);
    m_flushTimer->setInterval(FlushInterval);
    connect(m_flushTimer, &QTimer::timeout, this, [this] { flush(false); });
    m_view->installEventFilter(this);
}

void ServiceLog::setEnabled(bool enabled)
{
    for (const QMetaObject::Connection& connection : qAsConst(m_connections))
        disconnect(connection);
    m_connections.clear();
    if (!enabled)
        return;
    // Received lines come on the link's receive thread and are collected right there: a
    // queued call for each would wake the GUI thread for every frame a device streams. Only
    // the first line of a batch asks the GUI thread to fetch them.
    const QSharedPointer<PendingLog> pending = m_pending;
    const auto collect = [this, pending](const QString& prefix) {
        return [this, pending, prefix](const QByteArray& text) {
            if (pending->append(prefix + QString::fromUtf8(text)))
                QMetaObject::invokeMethod(this, &ServiceLog::scheduleFlush, Qt::QueuedConnection);
        };
    };
    m_connections << connect(m_terminal, &TaloLinkTerminalService::commandTransmitted, this,
        collect(tr("Send: ")), Qt::DirectConnection);
    m_connections << connect(m_terminal, &TaloLinkTerminalService::commandReceived, this,
        collect(tr("Receive: ")), Qt::DirectConnection);
}

void ServiceLog::append(const QString& prefix, const QByteArray& text)
{
    if (isEnabled() && m_pending->append(prefix + QString::fromUtf8(text)))
        scheduleFlush();
}

void ServiceLog::clear()
{
    m_pending->clear();
    m_view->clear();
}

void ServiceLog::scheduleFlush()
{
    if (!m_flushTimer->isActive())
        m_flushTimer->start();
}

void ServiceLog::flush(bool follow)
{
    // A log out of view (another page or another device's tab) keeps its lines waiting, at
    // most as many as it shows: laying them out for nobody cost a streaming device more than
    // everything else on its screen. They go in when the log comes into view.
    if (!m_view->isVisible() || m_pending->isEmpty())
        return;
    // Plain text: a line is never taken for markup, and each line break becomes a line of the
    // log. The view keeps following the newest line if it showed it, and stays where the
    // reader scrolled to otherwise.
    const bool wasEmpty = m_view->document()->isEmpty();
    m_view->appendPlainText(m_pending->takeAll().join(QLatin1Char('\n')));
    // Into an empty log the lines go in at the cursor and carry it to the far end of the
    // newest line, where Qt would scroll whenever it brings the cursor into view. Put it at
    // the start of that line instead, which also brings the newest line into view.
    if (follow || wasEmpty) {
        m_view->moveCursor(QTextCursor::End);
        m_view->moveCursor(QTextCursor::StartOfBlock);
    }
}

bool ServiceLog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_view && event->type() == QEvent::Show)
        flush(true);
    return QObject::eventFilter(watched, event);
}
