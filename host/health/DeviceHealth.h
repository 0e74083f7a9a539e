// What trackhost sees of one device's receive cycles: how many, how many records,
// how many failed, the gaps between records, silences and reconnections. trackhost
// cannot look inside the device, so everything here comes from recvData's results.
#pragma once

#include <chrono>
#include <cstdint>

class DeviceHealth {
public:
    using Clock = std::chrono::steady_clock;

    // recvData failing this long in a row is a silence the user is told about.
    static constexpr Clock::duration silenceWarning = std::chrono::seconds(2);
    // A return to a successful recvData after failing this long counts as a reconnection;
    // a device that failed from its first cycle on has nothing to return to.
    static constexpr Clock::duration reconnectionRun = std::chrono::seconds(1);

    // What a cycle changed that the user is told at once.
    enum class Change { none, silent, receivingAgain };

    // One receive cycle at `now`: whether recvData succeeded and how many records it
    // delivered.
    Change cycle(Clock::time_point now, bool succeeded, std::int64_t records);

    std::int64_t cycles() const { return cycleCount; }
    std::int64_t records() const { return recordCount; }
    std::int64_t failedCycles() const { return failedCount; }
    std::int64_t reconnections() const { return reconnectionCount; }
    bool everSucceeded() const { return succeededOnce; }
    // The longest time between two records, the silence after the last record up to
    // the latest cycle included; zero before the first record.
    Clock::duration longestGap() const;
    // When the last record came; false before the first.
    bool lastRecord(Clock::time_point& at) const;
    // The silence that the last return to a successful recvData ended: from the first
    // cycle without a record to that return. The plug-in's "streams again after N ms"
    // counts the same stretch, from its first reading that failed or repeated.
    Clock::duration lastSilence() const { return silence; }

private:
    std::int64_t cycleCount = 0;
    std::int64_t recordCount = 0;
    std::int64_t failedCount = 0;
    std::int64_t reconnectionCount = 0;
    bool succeededOnce = false;
    bool recorded = false;
    Clock::time_point lastRecordAt{};
    Clock::time_point lastCycleAt{};
    Clock::duration longest{};
    bool quiet = true; // no record since quietSince
    Clock::time_point quietSince{};
    Clock::duration silence{};
    bool failing = false;
    bool warned = false;
    Clock::time_point failingSince{};
};
