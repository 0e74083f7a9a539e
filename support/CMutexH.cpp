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
    platform::ErrorCode error = 0;
    if (platform::waitMutex(handle, error)) {
        return true;
    }
    reportFailure(logger, "CMutexH: Locking mutex: ", error);
    return false;
}

bool CMutexH::unlock() {
    platform::ErrorCode error = 0;
    if (platform::releaseMutex(handle, error)) {
        return true;
    }
    reportFailure(logger, "CMutexH: Unlocking mutex: ", error);
    return false;
}
