#pragma once

// Counts heap allocations while a guard is alive, to show that code which must
// not allocate does not. Include it in exactly one file per test executable:
// it replaces the global operator new.

#include <atomic>
#include <cstdlib>
#include <new>

namespace AllocationCounter {

inline std::atomic<bool> armed {false};
inline std::atomic<int> allocations {0};

class Guard
{
public:
    Guard()
    {
        allocations = 0;
        armed = true;
    }
    ~Guard() { armed = false; }
    Guard(const Guard&) = delete;
    Guard& operator=(const Guard&) = delete;

    // Read it before any QCOMPARE: the test macros allocate themselves.
    [[nodiscard]] int count() const { return allocations; }
};

} // namespace AllocationCounter

void* operator new(std::size_t size)
{
    if (AllocationCounter::armed)
        ++AllocationCounter::allocations;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept
{
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}
