// One simulated sensor from wake-up to shut-down.
#include "sim/SimSensor.h"

#include <algorithm>
#include <cstring>

void SimSensor::wake(std::int32_t deviceIndex, std::uint16_t serialPort, SimClock::Duration now) {
    *this = SimSensor{};
    awake = true;
    port = serialPort;
    config = powerOnConfig(deviceIndex, serialPort);
    motionStart = now;
}

void SimSensor::startStream(SimClock::Duration now) {
    if (!streaming) {
        streaming = true;
        streamStart = now;
    }
}

void SimSensor::unplug(std::uint16_t cablePort, bool repeat) {
    if (awake && port == cablePort && !lost) {
        lost = true;
        repeats = repeat;
    }
}

std::int32_t SimSensor::lostReading(std::uint8_t* reading) const {
    if (!repeats || !hasReading) {
        return 0;
    }
    std::memcpy(reading, lastReading, bird::readingSize);
    return 1;
}

std::int32_t SimSensor::answer(const float angles[3], SimClock::Duration now,
                               std::uint8_t* reading) {
    using Seconds = std::chrono::duration<double>;
    // Not negative when a test has set the clock back.
    const double streamed = std::max(0.0, Seconds(now - streamStart).count());
    fillReading(angles, streamed, measurementRate(config), lastReading);
    hasReading = true;
    std::memcpy(reading, lastReading, sizeof lastReading);
    return 1;
}

void SimSensor::keep(const std::uint8_t* reading) {
    std::memcpy(lastReading, reading, sizeof lastReading);
    hasReading = true;
}

void IndexRecord::noteConfig(const ConfigBlock& written) {
    lastConfig = written;
    configWritten = true;
}

std::int32_t IndexRecord::writtenConfig(std::uint8_t* block) const {
    if (!configWritten || !block) {
        return 0;
    }
    std::memcpy(block, lastConfig.data(), bird::configSize);
    return 1;
}

void IndexRecord::fix(float angle1, float angle2, float angle3) {
    fixed = true;
    fixedAngles[0] = angle1;
    fixedAngles[1] = angle2;
    fixedAngles[2] = angle3;
}

void IndexRecord::noteWakeUp(std::uint16_t wokenPort, std::int32_t wokenA, std::int32_t wokenB) {
    woken = true;
    port = wokenPort;
    a = wokenA;
    b = wokenB;
}

std::int32_t IndexRecord::wakeUpArgs(std::uint16_t* wokenPort, std::int32_t* wokenA,
                                     std::int32_t* wokenB) const {
    if (!woken) {
        return 0;
    }
    if (wokenPort) {
        *wokenPort = port;
    }
    if (wokenA) {
        *wokenA = a;
    }
    if (wokenB) {
        *wokenB = b;
    }
    return 1;
}
