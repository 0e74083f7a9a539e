// Mutex operations on the host's record.
#include "CMutexH.h"

#include "CLoggerH.h"
#include "platform/platform.h"

#include <iostream>

namespace {

void reportFailure(const CLoggerH* logger, const char* what, platform::ErrorCode error) {
    if (logger != nullptr) {
        logger->error(what, false);
    }
    std::cout << platform::errorText(error) << std::endl;
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
