// The time of the reading that a receive cycle takes, in seconds. Live, and with a
// recording played at its recorded times, the time since the cycles began. A
// recording played one reading per call keeps its own times, and past its end its
// last reading stays at the recording's own pace, so that what follows from the
// readings' times comes out alike at any rate.
#pragma once

#include <cstdint>
#include <vector>

#include "host/recording/RecordingReader.h"
#include "host/sensors/SensorSettings.h"

class ReadingClock {
public:
    // Once the devices are awake: the recording's times are those of the port of the
    // simulator's first device.
    ReadingClock(const SensorSettings& sensors, const Recording& recording);

    // The reading of cycle `cycle` (from 0), taken `elapsed` seconds after the first.
    double at(std::int64_t cycle, double elapsed) const;

private:
    std::vector<double> recorded;
    double pace = 0.1; // seconds between two readings past the end
};
