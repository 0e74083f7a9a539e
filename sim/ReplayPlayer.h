// Playback of a recording through the simulated sensors: the readings recorded per
// serial port, and which of them a reading call gets, one per call in order or the one
// due at the time since the start; past the end the last successful one, or from the
// beginning again when looping.
#pragma once

#include <cstdint>
#include <vector>

#include "bird/BirdLibrary.h"
#include "sim/SimClock.h"

class ReplayPlayer {
public:
    // Adds a reading recorded on `port` at `milliseconds` with the call's `result`.
    void add(std::uint16_t port, std::int32_t milliseconds, std::int32_t result,
             const float angles[3]);
    // Starts playing from the first reading of every port at simulator time `now`.
    void start(bool timed, bool loop, SimClock::Duration now);
    // Whether a sensor on `port` answers its reading calls from the recording.
    // Inline: every reading call asks it, and without a replay it answers at once.
    bool plays(std::uint16_t port) const {
        return active && port >= 1 && port <= bird::maxSensors && !readings[port].empty();
    }
    // The reading a call on `port` gets at `now`, as recorded, with its recorded result;
    // false when the port plays nothing.
    bool play(std::uint16_t port, SimClock::Duration now, std::uint8_t* reading,
              std::int32_t& result);
    // Every reading recorded for a port that plays has been played: one per call up to
    // the last, or, timed, a call at or after the last one's time. Never when looping.
    bool playedOut(std::uint16_t port) const;
    // The recorded time of the reading `port` played last, in milliseconds, counted on
    // through each loop so that it never goes back; -1 before the first.
    std::int64_t playedTime(std::uint16_t port) const;

private:
    struct Reading {
        std::int32_t milliseconds;
        std::int32_t result;
        float angles[3];
    };

    const Reading* take(std::uint16_t port, SimClock::Duration now);
    // Milliseconds of one pass through the readings of `port` when looping.
    std::int64_t loopLength(std::uint16_t port) const;

    bool active = false;
    bool timed = false;
    bool loop = false;
    SimClock::Duration startedAt{};
    std::vector<Reading> readings[bird::maxSensors + 1];
    std::size_t next[bird::maxSensors + 1] = {};
    // Milliseconds since the start at which each port last took a reading; -1: none.
    long long lastTakenMs[bird::maxSensors + 1] = {};
    std::int64_t loopStartMs[bird::maxSensors + 1] = {}; // the passes before this one
    std::int64_t playedMs[bird::maxSensors + 1] = {};
};
