// The simulated sensor library: answers the seven sensor calls as up to four orientation
// sensors on serial ports 1 to 4 would, and lets tests steer it through the birdsim_ calls.
// Here: the library's state under one lock, and its exported calls; its parts are the
// sensor (SimSensor), its blocks (SimReadings), the motion (SimMotion), the clock
// (SimClock), the noise (ReadingNoise), faults (FaultInjection), replay (ReplayPlayer),
// and where a reading comes from (ReadingSource).
#include "birdsim.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <iterator>
#include <mutex>

#include "bird/BirdLibrary.h"
#include "sim/FaultInjection.h"
#include "sim/ReadingNoise.h"
#include "sim/ReadingSource.h"
#include "sim/ReplayPlayer.h"
#include "sim/SimClock.h"
#include "sim/SimMotion.h"
#include "sim/SimSensor.h"

namespace {

struct State {
    SimSensor sensors[bird::maxSensors];
    IndexRecord records[bird::maxSensors];
    FaultInjection faults;
    SimClock clock;
    ReadingNoise noise;
    ReplayPlayer replay;
    SimMotion motion;
    // Milliseconds of each index's last reading call: the recorded time of a replayed
    // reading, else the clock's; -1 before the first.
    std::int64_t readingMs[bird::maxSensors] = {-1, -1, -1, -1};

    // The awake sensor a call names, or null when the call fails before reaching one.
    SimSensor* enter(BirdSimCall call, std::int32_t deviceIndex) {
        if (faults.injectedFailure(call) || !validIndex(deviceIndex)) {
            return nullptr;
        }
        SimSensor& sensor = sensors[deviceIndex];
        return sensor.awake ? &sensor : nullptr;
    }

    // As enter, but null for a sensor lost by an unplug too: it answers nothing.
    SimSensor* answering(BirdSimCall call, std::int32_t deviceIndex) {
        SimSensor* sensor = enter(call, deviceIndex);
        return sensor && !sensor->lost ? sensor : nullptr;
    }

    // A serial port opens once: an awake sensor, lost or not, holds it.
    bool portTaken(std::uint16_t port) const {
        return std::any_of(std::begin(sensors), std::end(sensors), [port](const SimSensor& sensor) {
            return sensor.awake && sensor.port == port;
        });
    }

    static bool validIndex(std::int32_t deviceIndex) {
        return deviceIndex >= 0 && deviceIndex < bird::maxSensors;
    }
};

std::mutex simMutex;
State state;

using Lock = std::lock_guard<std::mutex>;

// One of the calls that need an answering sensor: under the lock, 0 when the call
// fails before reaching one (or without its block), else what `action` does, 1.
template <typename Action>
std::int32_t onAnsweringSensor(BirdSimCall call, std::int32_t deviceIndex, const void* block,
                               Action action) {
    Lock lock(simMutex);
    SimSensor* sensor = state.answering(call, deviceIndex);
    if (sensor == nullptr || block == nullptr) {
        return 0;
    }
    action(*sensor);
    return 1;
}

// The same for a call without a block.
template <typename Action>
std::int32_t onAnsweringSensor(BirdSimCall call, std::int32_t deviceIndex, Action action) {
    const bool noBlock = true;
    return onAnsweringSensor(call, deviceIndex, &noBlock, action);
}

} // namespace

std::int32_t _3dbirdWakeUp(std::int32_t deviceIndex, std::uint16_t serialPort, std::int32_t a,
                           std::int32_t b) {
    Lock lock(simMutex);
    if (state.faults.injectedFailure(birdsimWakeUp) || !State::validIndex(deviceIndex) ||
        !state.faults.portAnswers(serialPort) || state.portTaken(serialPort)) {
        return 0;
    }
    state.sensors[deviceIndex].wake(deviceIndex, serialPort, state.clock.now());
    state.records[deviceIndex].noteWakeUp(serialPort, a, b);
    return 1;
}

std::int32_t _3dbirdGetDeviceConfig(std::int32_t deviceIndex, std::uint8_t* config) {
    Lock lock(simMutex);
    const SimSensor* sensor = state.answering(birdsimGetDeviceConfig, deviceIndex);
    if (sensor == nullptr || config == nullptr || state.faults.configReadFails(sensor->port)) {
        return 0;
    }
    std::memcpy(config, sensor->config.data(), bird::configSize);
    return 1;
}

std::int32_t _3dbirdSetDeviceConfig(std::int32_t deviceIndex, std::uint8_t* config) {
    return onAnsweringSensor(birdsimSetDeviceConfig, deviceIndex, config, [&](SimSensor& sensor) {
        std::memcpy(sensor.config.data(), config, bird::configSize);
        state.records[deviceIndex].noteConfig(sensor.config);
    });
}

std::int32_t _3dbirdResetOrientation(std::int32_t deviceIndex) {
    return onAnsweringSensor(birdsimResetOrientation, deviceIndex,
                             [](SimSensor& sensor) { sensor.motionStart = state.clock.now(); });
}

std::int32_t _3dbirdStartStream(std::int32_t deviceIndex) {
    return onAnsweringSensor(birdsimStartStream, deviceIndex,
                             [](SimSensor& sensor) { sensor.startStream(state.clock.now()); });
}

std::int32_t _3dbirdGetMostRecentReading(std::int32_t deviceIndex, std::uint8_t* reading) {
    Lock lock(simMutex);
    SimSensor* sensor = state.enter(birdsimGetMostRecentReading, deviceIndex);
    const SimClock::Duration now = state.clock.now();
    // A replayed read answers as recorded, streaming or not.
    std::int32_t replayed = 0;
    if (reading && State::validIndex(deviceIndex) &&
        replayedReading(state.replay, state.noise, state.records[deviceIndex], sensor, now, reading,
                        replayed)) {
        state.readingMs[deviceIndex] = state.replay.playedTime(state.records[deviceIndex].port);
        return replayed;
    }
    if (State::validIndex(deviceIndex)) {
        state.readingMs[deviceIndex] =
            std::chrono::duration_cast<std::chrono::milliseconds>(now).count();
    }
    if (!sensor || !sensor->streaming || !reading) {
        return 0;
    }
    if (sensor->lost) {
        return sensor->lostReading(reading);
    }
    float angles[3];
    generatedAngles(state.motion, state.noise, state.records[deviceIndex], *sensor, deviceIndex,
                    now, angles);
    return sensor->answer(angles, now, reading);
}

std::int32_t _3dbirdShutDown(std::int32_t deviceIndex) {
    Lock lock(simMutex);
    SimSensor* sensor = state.enter(birdsimShutDown, deviceIndex);
    if (!sensor) {
        return 0;
    }
    *sensor = SimSensor{};
    return 1;
}

std::int64_t bird_readingTime(std::int32_t deviceIndex) {
    Lock lock(simMutex);
    return State::validIndex(deviceIndex) ? state.readingMs[deviceIndex] : -1;
}

void birdsim_reset() {
    Lock lock(simMutex);
    state = State{};
}

void birdsim_setReading(std::int32_t deviceIndex, float angle1, float angle2, float angle3) {
    Lock lock(simMutex);
    if (State::validIndex(deviceIndex)) {
        state.records[deviceIndex].fix(angle1, angle2, angle3);
    }
}

void birdsim_clearReading(std::int32_t deviceIndex) {
    Lock lock(simMutex);
    if (State::validIndex(deviceIndex)) {
        state.records[deviceIndex].fixed = false;
    }
}

void birdsim_failCall(std::int32_t call, std::int32_t times) {
    Lock lock(simMutex);
    state.faults.failCall(call, times);
}

std::int32_t birdsim_callCount(std::int32_t call) {
    Lock lock(simMutex);
    return state.faults.callCount(call);
}

std::int32_t birdsim_lastConfig(std::int32_t deviceIndex, std::uint8_t* block) {
    Lock lock(simMutex);
    return State::validIndex(deviceIndex) ? state.records[deviceIndex].writtenConfig(block) : 0;
}

std::int32_t birdsim_wakeUpArgs(std::int32_t deviceIndex, std::uint16_t* port, std::int32_t* a,
                                std::int32_t* b) {
    Lock lock(simMutex);
    return State::validIndex(deviceIndex) ? state.records[deviceIndex].wakeUpArgs(port, a, b) : 0;
}

void birdsim_setPortPresent(std::uint16_t port, std::int32_t present) {
    Lock lock(simMutex);
    state.faults.setPortPresent(port, present != 0);
}

void birdsim_failConfigRead(std::uint16_t port, std::int32_t fails) {
    Lock lock(simMutex);
    state.faults.failConfigRead(port, fails != 0);
}

void birdsim_unplug(std::uint16_t port, std::int32_t unplugged) {
    Lock lock(simMutex);
    if (state.faults.unplug(port)) {
        for (SimSensor& sensor : state.sensors) {
            sensor.unplug(port, unplugged == birdsimReadingsRepeat);
        }
    }
}

void birdsim_replug(std::uint16_t port) {
    Lock lock(simMutex);
    state.faults.replug(port);
}

std::int32_t birdsim_isAwake(std::int32_t deviceIndex) {
    Lock lock(simMutex);
    return State::validIndex(deviceIndex) && state.sensors[deviceIndex].awake ? 1 : 0;
}

std::int32_t birdsim_isStreaming(std::int32_t deviceIndex) {
    Lock lock(simMutex);
    return State::validIndex(deviceIndex) && state.sensors[deviceIndex].streaming ? 1 : 0;
}

void birdsim_setClock(std::int64_t milliseconds) {
    Lock lock(simMutex);
    state.clock.set(milliseconds);
}

std::int64_t birdsim_clock() {
    Lock lock(simMutex);
    return std::chrono::ceil<std::chrono::milliseconds>(state.clock.now()).count();
}

void birdsim_setNoise(float degreesRms) {
    Lock lock(simMutex);
    state.noise.set(degreesRms);
}

void birdsim_replayClear() {
    Lock lock(simMutex);
    state.replay = ReplayPlayer{};
}

void birdsim_replayAdd(std::uint16_t port, std::int32_t milliseconds, std::int32_t result,
                       float angle1, float angle2, float angle3) {
    Lock lock(simMutex);
    const float angles[3] = {angle1, angle2, angle3};
    state.replay.add(port, milliseconds, result, angles);
}

void birdsim_replayStart(std::int32_t timed, std::int32_t loop) {
    Lock lock(simMutex);
    state.replay.start(timed != 0, loop != 0, state.clock.now());
}

std::int32_t birdsim_replayFinished() {
    Lock lock(simMutex);
    bool any = false;
    for (std::int32_t index = 0; index < bird::maxSensors; ++index) {
        // A sensor lost with its port is still played to, awake or not.
        const std::uint16_t port = state.records[index].port;
        if (!state.records[index].woken || !state.replay.plays(port)) {
            continue;
        }
        if (!state.replay.playedOut(port)) {
            return 0;
        }
        any = true;
    }
    return any ? 1 : 0;
}

void birdsim_setTransmitter(float ax, float ay, float az, float degrees) {
    Lock lock(simMutex);
    state.motion.setTransmitter(ax, ay, az, degrees);
}

void birdsim_setMount(float ax, float ay, float az, float degrees) {
    Lock lock(simMutex);
    state.motion.setMount(ax, ay, az, degrees);
}

void birdsim_setMotion(std::int32_t motion) {
    Lock lock(simMutex);
    state.motion.setKind(motion);
}
