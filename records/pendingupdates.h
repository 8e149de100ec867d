#pragma once

#include <atomic>

// Which of up to 32 shown values changed since the screen last showed them. The link marks them
// on its receive thread as reports arrive and the screen takes them on the GUI thread, so a
// value that changes hundreds of times a second costs the GUI thread a few refreshes a second
// instead of a call for every report.
class PendingUpdates
{
public:
    // Marks a value changed; true if nothing was marked before, so that the caller knows to have
    // the values refreshed.
    bool mark(unsigned int index)
    {
        return m_marks.fetch_or(1u << index, std::memory_order_acq_rel) == 0;
    }
    // The marks so far, one bit each; none are left afterwards.
    unsigned int takeAll() { return m_marks.exchange(0, std::memory_order_acq_rel); }

private:
    std::atomic<unsigned int> m_marks {0};
};
