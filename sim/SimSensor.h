// One simulated sensor as the sensor calls see it, from wake-up to shut-down, and what
// the control calls set or record for its device index, which a wake-up does not touch.
#pragma once

#include <cstdint>

#include "bird/BirdLibrary.h"
#include "sim/SimClock.h"
#include "sim/SimReadings.h"

struct SimSensor {
    bool awake = false;
    bool streaming = false;
    std::uint16_t port = 0;
    // Unplugged while awake: answers nothing but readings (failed or repeated) and the
    // shut-down, and keeps its port until shut down.
    bool lost = false;
    bool repeats = false;
    bool hasReading = false;
    std::uint8_t lastReading[bird::readingSize] = {};
    ConfigBlock config{};
    SimClock::Duration motionStart{}; // when the motion last started from zero
    SimClock::Duration streamStart{};

    // Freshly woken on `serialPort` with the power-on configuration; its motion starts
    // from zero at `now`.
    void wake(std::int32_t deviceIndex, std::uint16_t serialPort, SimClock::Duration now);
    // Starting again while streaming keeps the running stream and its sample numbers.
    void startStream(SimClock::Duration now);
    // The cable on `cablePort` is pulled: an awake sensor on it is lost from now on, and
    // its readings then fail or, with `repeat`, repeat the last one.
    void unplug(std::uint16_t cablePort, bool repeat);
    // The reading of a lost sensor: 0, or 1 with the last reading repeated.
    std::int32_t lostReading(std::uint8_t* reading) const;
    // Answers `angles` with the stream's counters at `now` and keeps the reading for
    // repeats; 1.
    std::int32_t answer(const float angles[3], SimClock::Duration now, std::uint8_t* reading);
    // Keeps a reading answered from elsewhere (a replay) for repeats.
    void keep(const std::uint8_t* reading);
};

// What the control calls set or record for a device index.
struct IndexRecord {
    bool fixed = false;
    float fixedAngles[3] = {};
    bool configWritten = false;
    ConfigBlock lastConfig{};
    bool woken = false;
    std::uint16_t port = 0;
    std::int32_t a = 0;
    std::int32_t b = 0;

    // A written configuration, and birdsim_lastConfig: it, or 0 when none was written.
    void noteConfig(const ConfigBlock& written);
    std::int32_t writtenConfig(std::uint8_t* block) const;
    // birdsim_setReading
    void fix(float angle1, float angle2, float angle3);
    // A successful wake-up on `wokenPort` with the arguments `wokenA` and `wokenB`.
    void noteWakeUp(std::uint16_t wokenPort, std::int32_t wokenA, std::int32_t wokenB);
    // birdsim_wakeUpArgs: the last successful wake-up's arguments; 0 when none.
    std::int32_t wakeUpArgs(std::uint16_t* wokenPort, std::int32_t* wokenA,
                            std::int32_t* wokenB) const;
};
