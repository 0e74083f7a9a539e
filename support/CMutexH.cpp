// Mutex operations on the host's record.
#include "CMutexH.h"

#include "CLoggerH.h"
#include "platform/platform.h"

namespace {

// Without a logger the system's text still appears, on a line of its own.
void reportFailure(const CLoggerH* logger, const char* what, platform::ErrorCode error) {
    static const CLoggerH silent = [] {
        CLoggerH off;
        off.enabled = 0;
        return off;
    }();
    (logger != nullptr ? *logger : silent).error(what) << platform::errorText(error);
}

} // namespace

bool CMutexH::lock() {
    return attempt(platform::waitMutex, "CMutexH: Locking mutex: ");
}

bool CMutexH::unlock() {
    return attempt(platform::releaseMutex, "CMutexH: Unlocking mutex: ");
}

bool CMutexH::attempt(bool (*operation)(platform::MutexHandle, platform::ErrorCode&),
                      const char* what) {
    platform::ErrorCode error = 0;
    if (operation(handle, error)) {
        return true;
    }
    reportFailure(logger, what, error);
    return false;
}
