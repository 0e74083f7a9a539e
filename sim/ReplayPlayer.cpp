// Playback of a recording through the simulated sensors.
#include "sim/ReplayPlayer.h"

#include <algorithm>
#include <cstring>
#include <iterator>

void ReplayPlayer::add(std::uint16_t port, std::int32_t milliseconds, std::int32_t result,
                       const float angles[3]) {
    if (port < 1 || port > bird::maxSensors) {
        return;
    }
    // Kept in time order, which the timed replay's search relies on.
    std::vector<Reading>& list = readings[port];
    if (!list.empty()) {
        milliseconds = std::max(milliseconds, list.back().milliseconds);
    }
    list.push_back({milliseconds, result, {angles[0], angles[1], angles[2]}});
}

void ReplayPlayer::start(bool timedPlay, bool loopPlay, SimClock::Duration now) {
    active = true;
    timed = timedPlay;
    loop = loopPlay;
    startedAt = now;
    std::fill(std::begin(next), std::end(next), std::size_t{0});
    std::fill(std::begin(lastTakenMs), std::end(lastTakenMs), -1LL);
    std::fill(std::begin(loopStartMs), std::end(loopStartMs), std::int64_t{0});
    std::fill(std::begin(playedMs), std::end(playedMs), std::int64_t{-1});
}

std::int64_t ReplayPlayer::loopLength(std::uint16_t port) const {
    return static_cast<std::int64_t>(readings[port].back().milliseconds) + 1;
}

const ReplayPlayer::Reading* ReplayPlayer::take(std::uint16_t port, SimClock::Duration now) {
    const std::vector<Reading>& list = readings[port];
    if (timed) {
        auto elapsed =
            std::chrono::duration_cast<std::chrono::milliseconds>(now - startedAt).count();
        if (loop) {
            loopStartMs[port] = elapsed - elapsed % loopLength(port);
            elapsed %= loopLength(port);
        }
        if (elapsed <= list.back().milliseconds) {
            // The last reading recorded at or before `elapsed` (the first one while
            // its time has not come), by binary search: the readings are in time order.
            const auto due = std::upper_bound(
                list.begin() + 1, list.end(), elapsed,
                [](long long ms, const Reading& read) { return ms < read.milliseconds; });
            return &*(due - 1);
        }
    } else {
        if (next[port] == list.size() && loop) {
            next[port] = 0;
            loopStartMs[port] += loopLength(port);
        }
        if (next[port] < list.size()) {
            return &list[next[port]++];
        }
    }
    // Past the end: the last successful reading stays.
    for (std::size_t i = list.size(); i-- > 0;) {
        if (list[i].result != 0) {
            return &list[i];
        }
    }
    return &list.back();
}

bool ReplayPlayer::play(std::uint16_t port, SimClock::Duration now, std::uint8_t* reading,
                        std::int32_t& result) {
    if (!plays(port)) {
        return false;
    }
    const Reading* played = take(port, now);
    playedMs[port] = loopStartMs[port] + played->milliseconds;
    lastTakenMs[port] =
        std::chrono::duration_cast<std::chrono::milliseconds>(now - startedAt).count();
    if (played->result != 0) {
        std::uint8_t block[bird::readingSize] = {};
        std::memcpy(block, played->angles, sizeof played->angles);
        std::memcpy(reading, block, sizeof block);
    }
    result = played->result;
    return true;
}

std::int64_t ReplayPlayer::playedTime(std::uint16_t port) const {
    return plays(port) ? playedMs[port] : -1;
}

bool ReplayPlayer::playedOut(std::uint16_t port) const {
    const std::vector<Reading>& list = readings[port];
    if (loop || list.empty()) {
        return false;
    }
    return timed ? lastTakenMs[port] >= list.back().milliseconds : next[port] >= list.size();
}
