// A simulated reading, replayed or generated.
#include "sim/ReadingSource.h"

#include <chrono>
#include <cstring>

#include "bird/BirdLibrary.h"

bool replayedReading(ReplayPlayer& replay, ReadingNoise& noise, const IndexRecord& record,
                     SimSensor* sensor, SimClock::Duration now, std::uint8_t* reading,
                     std::int32_t& result) {
    std::uint8_t block[bird::readingSize] = {};
    if (!record.woken || !replay.play(record.port, now, block, result)) {
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
    motion.reading(deviceIndex, Seconds(now - sensor.motionStart).count(), angles);
    for (int i = 0; i < 3; ++i) {
        angles[i] = record.fixed ? record.fixedAngles[i] : angles[i];
        noise.add(angles[i]);
    }
}
