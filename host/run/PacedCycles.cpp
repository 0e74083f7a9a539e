// Cycles at a steady rate until their limit or a stop request.
#include "host/run/PacedCycles.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

std::atomic<bool> stopFlag{false};

// Sleeps until `due`, waking early when a stop is requested.
void waitUntil(Clock::time_point due) {
    while (!hostStopRequested()) {
        const Clock::time_point now = Clock::now();
        if (now >= due) {
            return;
        }
        std::this_thread::sleep_until(std::min(due, now + std::chrono::milliseconds(50)));
    }
}

} // namespace

void requestHostStop() {
    stopFlag.store(true);
}

bool hostStopRequested() {
    return stopFlag.load();
}

std::int64_t cycleLimit(const PaceSettings& pace) {
    std::int64_t limit = pace.cycles;
    if (pace.seconds >= 0.0) {
        const auto bySeconds =
            static_cast<std::int64_t>(std::ceil(pace.seconds * pace.rate - 1e-9));
        limit = limit < 0 ? bySeconds : std::min(limit, bySeconds);
    }
    return limit;
}

Clock::duration cycleOffset(std::int64_t cycle, double rate) {
    return std::chrono::round<Clock::duration>(
        std::chrono::duration<double>(static_cast<double>(cycle) / rate));
}

void runPaced(double rate, std::int64_t limit,
              const std::function<bool(std::int64_t cycle, double elapsed)>& cycle) {
    const Clock::time_point begin = Clock::now();
    for (std::int64_t number = 0; limit < 0 || number < limit; ++number) {
        if (number > 0) {
            waitUntil(begin + cycleOffset(number, rate));
        }
        if (hostStopRequested()) {
            return;
        }
        const double elapsed = std::chrono::duration<double>(Clock::now() - begin).count();
        if (!cycle(number, elapsed)) {
            return;
        }
    }
}
