// Loss and recovery of a sensor's stream.
#include "Reconnection.h"

#include <algorithm>
#include <cstring>

bool Reconnection::isNew(bool ok, const std::uint8_t* reading) const {
    return ok && (!hasGood || std::memcmp(reading, lastGood, sizeof lastGood) != 0);
}

void Reconnection::called(std::int64_t nowMs) {
    // The shorter of the last two spacings: a late call makes the one before it long
    // and the one after it short, and a host that paused its calls makes one long.
    if (calls >= 2) {
        spacing = std::min(nowMs - callsAt[0], callsAt[0] - callsAt[1]);
    }
    calls = std::min<std::int64_t>(calls + 1, 2);
    callsAt[1] = callsAt[0];
    callsAt[0] = nowMs;
}

bool Reconnection::reached(std::int64_t dueMs, std::int64_t nowMs) const {
    return nowMs >= dueMs - spacing / 2;
}

Reconnection::Step Reconnection::afterReading(bool ok, const std::uint8_t* reading,
                                              std::int64_t nowMs) {
    called(nowMs);
    if (isNew(ok, reading)) {
        std::memcpy(lastGood, reading, sizeof lastGood);
        hasGood = true;
        stale = false;
        const bool wasLost = isLost;
        isLost = false;
        return wasLost ? Step::recovered : Step::deliver;
    }
    if (isLost) {
        if (!reached(nextAttempt, nowMs)) {
            return Step::wait;
        }
        // A period from the last attempt's due time, not from the call that made it;
        // after a stall of more than a period, a period from this call.
        nextAttempt += period;
        if (reached(nextAttempt, nowMs)) {
            nextAttempt = nowMs + period;
        }
        ++attempts;
        return Step::attempt;
    }
    if (!stale) {
        stale = true;
        staleSince = nowMs;
    }
    if (nowMs > staleSince && reached(staleSince + period, nowMs)) {
        isLost = true;
        lostAt = staleSince;
        nextAttempt = staleSince + 2 * period;
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
