#pragma once

#include <QStringList>

#include <mutex>

// Log lines waiting for the log view, at most as many as the view keeps. The link adds lines on
// its receive thread as frames arrive and the view takes them on the GUI thread a few times a
// second, so a streaming device costs the GUI thread no call per frame.
class PendingLog
{
public:
    explicit PendingLog(int capacity);

    // Adds a line, dropping the oldest beyond the capacity; true if nothing was waiting before,
    // so that the caller knows to have the lines fetched.
    bool append(const QString& line);
    // Everything waiting, oldest first; nothing waits afterwards.
    [[nodiscard]] QStringList takeAll();
    [[nodiscard]] bool isEmpty() const;
    void clear();

private:
    const int m_capacity;
    // A standard mutex rather than QMutex: thread checkers see its ordering, which Qt's own
    // lock hides from them unless Qt itself was built for them.
    mutable std::mutex m_mutex;
    QStringList m_lines;
};
