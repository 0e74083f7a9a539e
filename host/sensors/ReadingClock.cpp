// The times of the readings a run takes, live, recorded or replayed.
#include "host/sensors/ReadingClock.h"

#include "host/sensors/SimulatorControl.h"
#include "sim/birdsim.h"

ReadingClock::ReadingClock(const SensorSession& session) : session(session) {
    if (!session.replaysPerCall()) {
        return;
    }
    std::uint16_t port = 0;
    const SimulatorControl simulator;
    const auto wakeUpArgs = simulator.function<decltype(birdsim_wakeUpArgs)>("birdsim_wakeUpArgs");
    if (wakeUpArgs == nullptr || !wakeUpArgs(0, &port, nullptr, nullptr)) {
        return;
    }
    for (const RecordedReading& reading : session.replayed().readings) {
        if (reading.port == port) {
            replayed.push_back(reading.milliseconds);
        }
    }
    if (replayed.size() >= 2) {
        pace = static_cast<double>(replayed.back() - replayed.front()) / 1000.0 /
               static_cast<double>(replayed.size() - 1);
    }
}

double ReadingClock::at(std::int64_t cycle, double elapsed) {
    // Whole milliseconds apart, worked out alike for a recording and its replay.
    const auto since = [](std::int64_t first, std::int64_t milliseconds) {
        return static_cast<double>(milliseconds - first) / 1000.0;
    };
    if (!replayed.empty()) {
        const auto count = static_cast<std::int64_t>(replayed.size());
        if (cycle < count) {
            return since(replayed.front(), replayed[static_cast<std::size_t>(cycle)]);
        }
        return since(replayed.front(), replayed.back()) +
               static_cast<double>(cycle - count + 1) * pace;
    }
    std::int64_t milliseconds = 0;
    if (session.recordedTime(0, milliseconds)) {
        if (firstRecorded < 0) {
            firstRecorded = milliseconds;
        }
        return since(firstRecorded, milliseconds);
    }
    return elapsed;
}
