#include "ui/pendinglog.h"

PendingLog::PendingLog(int capacity) : m_capacity(capacity)
{
}

bool PendingLog::append(const QString& line)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    const bool wasEmpty = m_lines.isEmpty();
    m_lines.append(line);
    if (m_lines.size() > m_capacity)
        m_lines.removeFirst();
    return wasEmpty;
}

QStringList PendingLog::takeAll()
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    QStringList lines;
    lines.swap(m_lines);
    return lines;
}

bool PendingLog::isEmpty() const
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_lines.isEmpty();
}

void PendingLog::clear()
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_lines.clear();
}
