// What trackhost sees of one device's receive cycles.
#include "host/health/DeviceHealth.h"

#include <algorithm>

constexpr DeviceHealth::Clock::duration DeviceHealth::silenceWarning;
constexpr DeviceHealth::Clock::duration DeviceHealth::recoveryRun;

DeviceHealth::Change DeviceHealth::cycle(Clock::time_point now, bool succeeded,
                                         std::int64_t records) {
    // A success before this cycle: something a return to success returns to.
    const bool returning = everSucceeded();
    if (++cycleCount == 1) {
        quietSince = now;
    }
    lastCycleAt = now;
    if (state == State::receiving && (!succeeded || records == 0)) {
        quietSince = now;
    }
    if (!succeeded) {
        ++failedCount;
        return failedCycle(now);
    }
    return succeededCycle(now, records, returning);
}

DeviceHealth::Change DeviceHealth::failedCycle(Clock::time_point now) {
    if (state == State::quiet || state == State::receiving) {
        state = State::failing;
        failingSince = now;
    }
    if (state == State::failing && now - failingSince >= silenceWarning) {
        state = State::silent;
        return Change::silent;
    }
    return Change::none;
}

DeviceHealth::Change DeviceHealth::succeededCycle(Clock::time_point now, std::int64_t records,
                                                  bool returning) {
    if (records > 0) {
        if (recordCount > 0) {
            longest = std::max(longest, now - lastRecordAt);
            gapSeen = true;
        }
        lastRecordAt = now;
        recordCount += records;
    }
    const State before = state;
    state = records > 0 ? State::receiving : State::quiet;
    if (before != State::failing && before != State::silent) {
        return Change::none;
    }
    silence = now - quietSince;
    if (returning && now - failingSince >= recoveryRun) {
        ++recoveryCount;
    }
    return before == State::silent ? Change::receivingAgain : Change::none;
}

bool DeviceHealth::lastRecord(Clock::time_point& at) const {
    at = lastRecordAt;
    return recordCount > 0;
}

bool DeviceHealth::longestGap(Clock::duration& gap) const {
    gap = longest;
    return gapSeen;
}

DeviceHealth::Clock::duration DeviceHealth::finalSilence() const {
    return recordCount > 0 && !answering() ? lastCycleAt - lastRecordAt : Clock::duration::zero();
}
