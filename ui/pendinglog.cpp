#include "ui/pendinglog.h"

#include <QMutexLocker>

PendingLog::PendingLog(int capacity) : m_capacity(capacity)
{
}

bool PendingLog::append(const QString& line)
{
    QMutexLocker locker(&m_mutex);
    const bool wasEmpty = m_lines.isEmpty();
    m_lines.append(line);
    if (m_lines.size() > m_capacity)
        m_lines.removeFirst();
    return wasEmpty;
}

QStringList PendingLog::takeAll()
{
    QMutexLocker locker(&m_mutex);
    QStringList lines;
    lines.swap(m_lines);
    return lines;
}

bool PendingLog::isEmpty() const
{
    QMutexLocker locker(&m_mutex);
    return m_lines.isEmpty();
}

void PendingLog::clear()
{
    QMutexLocker locker(&m_mutex);
    m_lines.clear();
}
