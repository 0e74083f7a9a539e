// The time of the reading that a receive cycle takes, in seconds from the first
// cycle's reading. Live, the time since the cycles began; while recording, the time
// the recording writes with the reading; with a recording played one reading per
// call, the time it was recorded at, and past its end the recording's own pace; so
// that what follows from the readings' times comes out alike live, in the recording's
// replay and at any rate.
#pragma once

#include <cstdint>
#include <vector>

#include "host/sensors/SensorSession.h"

class ReadingClock {
public:
    // Once the devices are awake; the readings are those of the first device.
    explicit ReadingClock(const SensorSession& session);

    // After cycle `cycle` (from 0), which began `elapsed` seconds after the first, has
    // taken its reading.
    double at(std::int64_t cycle, double elapsed);

private:
    const SensorSession& session;
    std::vector<std::int64_t> replayed; // milliseconds of each recorded reading
    double pace = 0.1;                  // seconds between two replayed readings past the end
    std::int64_t firstRecorded = -1;    // milliseconds of the first reading recorded here
};
