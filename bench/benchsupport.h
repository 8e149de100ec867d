#pragma once

// Small helpers the benchmark programs share: clocks, memory and waiting on the event loop.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>

#include <cstdint>
#include <ctime>
#include <sys/resource.h>
#include <functional>

namespace Bench {

// Nanoseconds on the system-wide monotonic clock, comparable between processes.
inline std::int64_t monotonicNs()
{
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return std::int64_t(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// CPU time the calling thread has used, in nanoseconds.
inline std::int64_t threadCpuNs()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return std::int64_t(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// How often the calling thread has gone to sleep and been woken since it started: its
// voluntary context switches.
inline long threadWakeUps()
{
    rusage usage {};
    getrusage(RUSAGE_THREAD, &usage);
    return usage.ru_nvcsw;
}

// User-space CPU time the calling thread has used, in nanoseconds: its own work without the
// system calls, whose cost on a virtual machine varies from run to run far more than the rest.
inline std::int64_t threadUserNs()
{
    rusage usage {};
    getrusage(RUSAGE_THREAD, &usage);
    return std::int64_t(usage.ru_utime.tv_sec) * 1000000000 + usage.ru_utime.tv_usec * 1000;
}

// Resident memory of this process in KiB, from the kernel's own account.
inline long residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine()) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

// Runs the event loop until the condition holds or the time is up; says whether it held.
inline bool waitFor(const std::function<bool()>& condition, int milliseconds)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > milliseconds)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
    return true;
}

} // namespace Bench
