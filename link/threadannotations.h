#pragma once

// Qt from the distribution is not built with ThreadSanitizer, so the sanitizer
// cannot see the ordering that QMutex, QWaitCondition and QThread::wait()
// provide. These calls tell it, at the places our code relies on that ordering;
// in every other build they compile to nothing.

#if defined(__SANITIZE_THREAD__)
extern "C" void __tsan_acquire(void* address);
extern "C" void __tsan_release(void* address);
#endif

namespace Utilities::ThreadAnnotations {

inline void acquired([[maybe_unused]] void* address)
{
#if defined(__SANITIZE_THREAD__)
    __tsan_acquire(address);
#endif
}

inline void releasing([[maybe_unused]] void* address)
{
#if defined(__SANITIZE_THREAD__)
    __tsan_release(address);
#endif
}

} // namespace Utilities::ThreadAnnotations
