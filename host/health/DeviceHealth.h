// What trackhost sees of one device's receive cycles: how many, how many records,
// how many failed, the gaps between records, silences and recoveries. trackhost
// cannot look inside the device, so everything here comes from recvData's results.
#pragma once

#include <chrono>
#include <cstdint>

class DeviceHealth {
public:
    using Clock = std::chrono::steady_clock;

    // recvData failing this long in a row is a silence the user is told about.
    static constexpr Clock::duration silenceWarning = std::chrono::seconds(2);
    // A return to a successful recvData after failing this long counts as a recovery
    // (whoever brought the device back: the plug-in's reconnection or the sensor
    // itself); a device that failed from its first cycle on has nothing to return to.
    static constexpr Clock::duration recoveryRun = std::chrono::seconds(1);

    // What a cycle changed that the user is told at once.
    enum class Change { none, silent, receivingAgain };

    // One receive cycle at `now`: whether recvData succeeded and how many records it
    // delivered.
    Change cycle(Clock::time_point now, bool succeeded, std::int64_t records);

    std::int64_t cycles() const { return cycleCount; }
    std::int64_t records() const { return recordCount; }
    std::int64_t failedCycles() const { return failedCount; }
    std::int64_t recoveries() const { return recoveryCount; }
    bool everSucceeded() const { return failedCount < cycleCount; }
    // False while recvData fails, from its first failed cycle on: the device is failing
    // or silent. A device that answers without a record holds still, and answers.
    bool answering() const { return state != State::failing && state != State::silent; }
    // The longest time between two records; false before the second.
    bool longestGap(Clock::duration& gap) const;
    // The silence of a device whose recvData still fails at the latest cycle, from
    // its last record to that cycle: it never came back. Zero for one that answers,
    // and before the first record.
    Clock::duration finalSilence() const;
    // When the last record came; false before the first.
    bool lastRecord(Clock::time_point& at) const;
    // The silence that the last return to a successful recvData ended: from the first
    // cycle without a record to that return. The plug-in's "streams again after N ms"
    // counts the same stretch, from its first reading that failed or repeated.
    Clock::duration lastSilence() const { return silence; }

private:
    // Where the device stands after its latest cycle.
    enum class State {
        quiet,     // recvData succeeds, without a record since quietSince; or no cycle yet
        receiving, // the latest cycle delivered records
        failing,   // recvData fails since failingSince, not yet for silenceWarning
        silent,    // recvData fails since failingSince, and the user was told
    };

    Change failedCycle(Clock::time_point now);
    Change succeededCycle(Clock::time_point now, std::int64_t records, bool returning);

    std::int64_t cycleCount = 0;
    std::int64_t recordCount = 0;
    std::int64_t failedCount = 0;
    std::int64_t recoveryCount = 0;
    State state = State::quiet;
    Clock::time_point lastRecordAt{};
    Clock::time_point lastCycleAt{};
    Clock::duration longest{};
    bool gapSeen = false;           // a second record came, so longest is a gap
    Clock::time_point quietSince{}; // the first cycle without a record, while not receiving
    Clock::time_point failingSince{};
    Clock::duration silence{};
};
