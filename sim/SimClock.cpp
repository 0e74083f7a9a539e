// The simulator's time.
#include "sim/SimClock.h"

SimClock::Duration SimClock::now() const {
    if (frozenMs >= 0) {
        return std::chrono::milliseconds(frozenMs);
    }
    return Clock::now() - epoch;
}

void SimClock::set(std::int64_t milliseconds) {
    if (milliseconds < 0 && frozenMs >= 0) {
        // Run on from where the clock stood, so readings stay continuous.
        epoch = Clock::now() - std::chrono::milliseconds(frozenMs);
    }
    frozenMs = milliseconds < 0 ? -1 : milliseconds;
}
