#pragma once

namespace Utilities {

// Base of the framework classes: their lists hold plain pointers to them, so
// a copy or a move would leave a list pointing at the wrong object.
class NonCopyable
{
public:
    NonCopyable(const NonCopyable&) = delete;
    NonCopyable& operator=(const NonCopyable&) = delete;
    NonCopyable(NonCopyable&&) = delete;
    NonCopyable& operator=(NonCopyable&&) = delete;

protected:
    NonCopyable() = default;
    ~NonCopyable() = default;
};

} // namespace Utilities
