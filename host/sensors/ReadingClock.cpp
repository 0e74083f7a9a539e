// The times of the readings a run takes, live or replayed.
#include "host/sensors/ReadingClock.h"

#include "host/sensors/SimulatorControl.h"

ReadingClock::ReadingClock(const SensorSettings& sensors, const Recording& recording) {
    if (sensors.replayFile.empty() || sensors.replayTimed) {
        return;
    }
    std::uint16_t port = 0;
    const SimulatorControl simulator;
    const auto wakeUpArgs =
        simulator
            .function<std::int32_t (*)(std::int32_t, std::uint16_t*, std::int32_t*, std::int32_t*)>(
                "birdsim_wakeUpArgs");
    if (wakeUpArgs == nullptr || !wakeUpArgs(0, &port, nullptr, nullptr)) {
        return;
    }
    for (const RecordedReading& reading : recording.readings) {
        if (reading.port == port) {
            recorded.push_back(reading.milliseconds / 1000.0);
        }
    }
    if (recorded.size() >= 2) {
        pace = (recorded.back() - recorded.front()) / static_cast<double>(recorded.size() - 1);
    }
}

double ReadingClock::at(std::int64_t cycle, double elapsed) const {
    if (recorded.empty()) {
        return elapsed;
    }
    const auto count = static_cast<std::int64_t>(recorded.size());
    if (cycle < count) {
        return recorded[static_cast<std::size_t>(cycle)];
    }
    return recorded.back() + static_cast<double>(cycle - count + 1) * pace;
}
