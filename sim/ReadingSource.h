// Where a simulated sensor's reading comes from: the recording a port plays, or the
// simulator's own motion (or a fixed reading) for the device index, each with the
// simulator's noise.
#pragma once

#include <cstdint>

#include "sim/ReadingNoise.h"
#include "sim/ReplayPlayer.h"
#include "sim/SimClock.h"
#include "sim/SimMotion.h"
#include "sim/SimSensor.h"

// A reading call of a device index woken on a port that plays a recording takes the
// recording's next reading, whatever became of the sensor since, so that the
// recording keeps its pace through a pulled cable and its end comes. An answering
// sensor answers it with the noise; a lost one fails or repeats its last reading,
// and one that is not awake (null) fails. False when the port plays nothing.
bool replayedReading(ReplayPlayer& replay, ReadingNoise& noise, const IndexRecord& record,
                     SimSensor* sensor, SimClock::Duration now, std::uint8_t* reading,
                     std::int32_t& result);

// The simulator's own angles for device index `deviceIndex` at `now`: its body's
// motion since `sensor` started, or its fixed reading, with the noise.
void generatedAngles(const SimMotion& motion, ReadingNoise& noise, const IndexRecord& record,
                     const SimSensor& sensor, std::int32_t deviceIndex, SimClock::Duration now,
                     float angles[3]);
