// What trackhost sees of one device's receive cycles.
#include "host/health/DeviceHealth.h"

#include <algorithm>

constexpr DeviceHealth::Clock::duration DeviceHealth::silenceWarning;
constexpr DeviceHealth::Clock::duration DeviceHealth::reconnectionRun;

DeviceHealth::Change DeviceHealth::cycle(Clock::time_point now, bool succeeded,
                                         std::int64_t records) {
    if (++cycleCount == 1) {
        quietSince = now;
    }
    lastCycleAt = now;
    if (!succeeded || records == 0) {
        if (!quiet) {
            quiet = true;
            quietSince = now;
        }
    }
    if (!succeeded) {
        ++failedCount;
        if (!failing) {
            failing = true;
            warned = false;
            failingSince = now;
        }
        if (!warned && now - failingSince >= silenceWarning) {
            warned = true;
            return Change::silent;
        }
        return Change::none;
    }

    const bool returning = succeededOnce;
    succeededOnce = true;
    if (records > 0) {
        quiet = false;
        if (recorded) {
            longest = std::max(longest, now - lastRecordAt);
        }
        recorded = true;
        lastRecordAt = now;
        recordCount += records;
    }
    if (!failing) {
        return Change::none;
    }
    failing = false;
    silence = now - quietSince;
    if (returning && now - failingSince >= reconnectionRun) {
        ++reconnectionCount;
    }
    return warned ? Change::receivingAgain : Change::none;
}

bool DeviceHealth::lastRecord(Clock::time_point& at) const {
    at = lastRecordAt;
    return recorded;
}

DeviceHealth::Clock::duration DeviceHealth::longestGap() const {
    return recorded ? std::max(longest, lastCycleAt - lastRecordAt) : Clock::duration::zero();
}
