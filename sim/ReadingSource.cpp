// A simulated reading, replayed or generated.
#include "sim/ReadingSource.h"

#include <algorithm>
#include <chrono>
#include <cstring>

#include "bird/BirdLibrary.h"

bool replayedReading(ReplayPlayer& replay, ReadingNoise& noise, const IndexRecord& record,
                     SimSensor* sensor, SimClock::Duration now, std::uint8_t* reading,
                     std::int32_t& result) {
    // Most reading calls play nothing: they leave before the block is filled.
    if (!record.woken || !replay.plays(record.port)) {
        return false;
    }
    std::uint8_t block[bird::readingSize] = {};
    if (!replay.play(record.port, now, block, result)) {
        return false;
    }
    if (sensor == nullptr || sensor->lost) {
        result = sensor != nullptr ? sensor->lostReading(reading) : 0;
        return true;
    }
    if (result != 0) {
        float angles[3];
        std::memcpy(angles, block, sizeof angles);
        for (float& angle : angles) {
            noise.add(angle);
        }
        std::memcpy(block, angles, sizeof angles);
        sensor->keep(block);
        std::memcpy(reading, block, sizeof block);
    }
    return true;
}

void generatedAngles(const SimMotion& motion, ReadingNoise& noise, const IndexRecord& record,
                     const SimSensor& sensor, std::int32_t deviceIndex, SimClock::Duration now,
                     float angles[3]) {
    using Seconds = std::chrono::duration<double>;
    // A fixed reading leaves the motion, and its sines, out of every reading call.
    if (record.fixed) {
        std::copy(record.fixedAngles, record.fixedAngles + 3, angles);
    } else {
        motion.reading(deviceIndex, Seconds(now - sensor.motionStart).count(), angles);
    }
    for (int i = 0; i < 3; ++i) {
        noise.add(angles[i]);
    }
}
