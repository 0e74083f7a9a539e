// The host's mutex record and its wait and release operations.
#pragma once

#include <cstddef>
#include <cstdint>

struct CLoggerH;

// Host-owned; the plug-in touches only `handle` and `logger`.
struct CMutexH {
    std::uint8_t host0[68];
    void* handle; // the platform's mutex handle
    std::uint8_t host1[8];
    CLoggerH* logger;

    // Waits without time limit; false (with the system's text logged) when the
    // mutex was not obtained normally, an abandoned mutex included.
    bool lock();
    // Releases the mutex; false with the system's text logged on failure.
    bool unlock();

private:
    // One mutex operation; a failure is reported with `what` and the system's text.
    bool attempt(bool (*operation)(void* handle, std::uint32_t& error), const char* what);
};

#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(offsetof(CMutexH, handle) == 68 && offsetof(CMutexH, logger) == 80 &&
                  sizeof(CMutexH) == 84,
              "CMutexH field offsets");
#endif
