// Loss and recovery of a sensor's stream.
#include "Reconnection.h"

#include <cstring>

bool Reconnection::isNew(bool ok, const std::uint8_t* reading) const {
    return ok && (!hasGood || std::memcmp(reading, lastGood, sizeof lastGood) != 0);
}

Reconnection::Step Reconnection::afterReading(bool ok, const std::uint8_t* reading,
                                              std::int64_t nowMs) {
    if (isNew(ok, reading)) {
        std::memcpy(lastGood, reading, sizeof lastGood);
        hasGood = true;
        stale = false;
        const bool wasLost = isLost;
        isLost = false;
        return wasLost ? Step::recovered : Step::deliver;
    }
    if (isLost) {
        if (nowMs - lastAttempt < period) {
            return Step::wait;
        }
        lastAttempt = nowMs;
        ++attempts;
        return Step::attempt;
    }
    if (!stale) {
        stale = true;
        staleSince = nowMs;
    }
    if (nowMs - staleSince >= period) {
        isLost = true;
        lostAt = staleSince;
        lastAttempt = nowMs;
        attempts = 1;
        reported = false;
        return Step::declareLoss;
    }
    return ok ? Step::deliver : Step::failed;
}

bool Reconnection::reportDue(std::int64_t nowMs) {
    if (reported && nowMs - lastReport < reportSpacingMs) {
        return false;
    }
    reported = true;
    lastReport = nowMs;
    return true;
}
