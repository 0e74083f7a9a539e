// The simulator's time since the last reset, which a test may stop at a moment of its
// choice (birdsim_setClock) and let run on from there.
#pragma once

#include <chrono>
#include <cstdint>

class SimClock {
public:
    using Clock = std::chrono::steady_clock;
    // Simulator times, in whole clock ticks so that equal moments subtract to exactly zero.
    using Duration = Clock::duration;

    Duration now() const;
    // Stops the clock at `milliseconds`; a negative value lets it run on from where it stood.
    void set(std::int64_t milliseconds);

private:
    Clock::time_point epoch = Clock::now();
    std::int64_t frozenMs = -1; // the clock stands still at this time when not negative
};
