// The simulated sensor library: answers the seven sensor calls as up to four orientation
// sensors on serial ports 1 to 4 would, and lets tests steer it through the birdsim_ calls.
#include "birdsim.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstring>
#include <iterator>
#include <mutex>
#include <random>
#include <vector>

#include "platform/BirdLibrary.h"

namespace {

using ConfigBlock = std::array<std::uint8_t, bird::configSize>;
using Clock = std::chrono::steady_clock;

void putLe16(std::uint8_t* at, std::uint32_t value) {
    at[0] = static_cast<std::uint8_t>(value);
    at[1] = static_cast<std::uint8_t>(value >> 8);
}

void putLe32(std::uint8_t* at, std::uint32_t value) {
    putLe16(at, value);
    putLe16(at + 2, value >> 16);
}

// The configuration block a sensor answers after wake-up; multi-byte fields little-endian.
//   0      output format: 2, three Euler angles
//   1      measurement rate in Hz (100); the reading's sample number counts at this rate
//   2      filter mode: 1, adaptive
//   3      filter strength (4)
//   4      flags (0)
//   5      orientation reset mode: 1, reset on request (the host writes 26 for no reset)
//   6      serial port the sensor was woken on
//   7      device index
//   8-9    reference frame: 0x0101 the sensor's own frame (the host writes 0 for its frame)
//   10-11  firmware version, major then minor (3, 2)
//   12-15  serial number (51000 + port)
//   16-17  line speed in hundreds of baud (1152)
//   18-19  reserved (0)
// The simulator stores whatever the host writes back and reads only the measurement rate.
constexpr std::size_t rateByte = 1;

ConfigBlock powerOnConfig(std::int32_t deviceIndex, std::uint16_t port) {
    ConfigBlock block{};
    block[0] = 2;
    block[rateByte] = 100;
    block[2] = 1;
    block[3] = 4;
    block[bird::resetFlagByte] = 1;
    block[6] = static_cast<std::uint8_t>(port);
    block[7] = static_cast<std::uint8_t>(deviceIndex);
    putLe16(&block[bird::referenceFrameByte], 0x0101);
    block[10] = 3;
    block[11] = 2;
    putLe32(&block[12], 51000u + port);
    putLe16(&block[16], 1152);
    return block;
}

// Without a fixed reading each sensor turns smoothly about all three axes: per angle two
// sines that start at zero, so the motion restarts from the zero orientation at wake-up and
// at each orientation reset. The amplitudes add up to less than 0.8 rad per angle.
struct Wave {
    double amplitude; // radians
    double period;    // seconds
};
constexpr Wave motion[3][2] = {
    {{0.55, 7.0}, {0.20, 2.3}},
    {{0.35, 5.0}, {0.10, 1.7}},
    {{0.25, 4.1}, {0.10, 3.3}},
};

float motionAngle(std::int32_t deviceIndex, int angle, double seconds) {
    constexpr double twoPi = 6.283185307179586;
    // Each index moves at its own pace and every other one the other way round.
    const double pace = 1.0 + 0.15 * deviceIndex;
    const double sign = deviceIndex % 2 == 0 ? 1.0 : -1.0;
    double sum = 0.0;
    for (const Wave& wave : motion[angle]) {
        sum += wave.amplitude * std::sin(twoPi * seconds / (wave.period * pace));
    }
    return static_cast<float>(sign * sum);
}

// A 3x3 rotation for column vectors, m[row][column], in double precision: the
// simulator's own, so that it checks the plug-in's transforms rather than sharing them.
struct Turn {
    double m[3][3];
};

Turn multiply(const Turn& a, const Turn& b) {
    Turn product{};
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            product.m[r][c] = a.m[r][0] * b.m[0][c] + a.m[r][1] * b.m[1][c] + a.m[r][2] * b.m[2][c];
        }
    }
    return product;
}

Turn transposed(const Turn& a) {
    Turn t{};
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            t.m[r][c] = a.m[c][r];
        }
    }
    return t;
}

// Right-handed turn by `radians` about an axis; a zero axis turns nothing.
Turn axisTurn(double ax, double ay, double az, double radians) {
    double length = std::sqrt(ax * ax + ay * ay + az * az);
    if (length == 0.0) {
        ax = length = 1.0;
        radians = 0.0;
    }
    const double n[3] = {ax / length, ay / length, az / length};
    const double c = std::cos(radians);
    const double s = std::sin(radians);
    const double t = 1.0 - c;
    return {{{c + t * n[0] * n[0], t * n[0] * n[1] - s * n[2], t * n[0] * n[2] + s * n[1]},
             {t * n[0] * n[1] + s * n[2], c + t * n[1] * n[1], t * n[1] * n[2] - s * n[0]},
             {t * n[0] * n[2] - s * n[1], t * n[1] * n[2] + s * n[0], c + t * n[2] * n[2]}}};
}

// The orientation of azimuth a (about Y), elevation e (about X) and roll r (about Z),
// in radians: Ry(a) Rx(e) Rz(r).
Turn eulerTurn(double a, double e, double r) {
    return multiply(axisTurn(0, 1, 0, a), multiply(axisTurn(1, 0, 0, e), axisTurn(0, 0, 1, r)));
}

void eulerAngles(const Turn& t, float angles[3]) {
    const double(&m)[3][3] = t.m;
    angles[0] = static_cast<float>(std::atan2(m[0][2], m[2][2]));
    angles[1] = static_cast<float>(std::atan2(-m[1][2], std::hypot(m[0][2], m[2][2])));
    angles[2] = static_cast<float>(std::atan2(m[1][0], m[1][1]));
}

// The alignment's script: azimuth and elevation of the body in degrees at `seconds`.
void alignPose(double seconds, double& azimuth, double& elevation) {
    // From 0 to 1 over [from, to], smoothly.
    const auto ramp = [seconds](double from, double to) {
        const double u = std::min(1.0, std::max(0.0, (seconds - from) / (to - from)));
        return 0.5 - 0.5 * std::cos(3.141592653589793 * u);
    };
    constexpr double turn = 70.0;
    constexpr double tilt = 50.0;
    // Settling at the front, the turn and back, the tilt and back.
    azimuth = 15.0 * (1.0 - ramp(0.0, 0.8)) + turn * (ramp(2.6, 3.8) - ramp(5.6, 6.6));
    elevation = -10.0 * (1.0 - ramp(0.0, 0.8)) + tilt * (ramp(6.6, 7.6) - ramp(9.4, 10.4));
}

struct Sensor {
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
    // Simulator times, in whole clock ticks so that equal moments subtract to exactly zero.
    Clock::duration motionStart{}; // when the motion last started from zero
    Clock::duration streamStart{};
};

// What the control calls set or record for a device index; a wake-up does not touch it.
struct IndexRecord {
    bool fixed = false;
    float fixedAngles[3] = {};
    bool configWritten = false;
    ConfigBlock lastConfig{};
    bool woken = false;
    std::uint16_t port = 0;
    std::int32_t a = 0;
    std::int32_t b = 0;
};

// A recording being played back, per serial port.
struct ReplayReading {
    std::int32_t milliseconds;
    std::int32_t result;
    float angles[3];
};

struct Replay {
    bool active = false;
    bool timed = false;
    bool loop = false;
    Clock::duration start{};
    std::vector<ReplayReading> readings[bird::maxSensors + 1];
    std::size_t next[bird::maxSensors + 1] = {};
    // Milliseconds since the start at which each port last took a reading; -1: none.
    long long lastTakenMs[bird::maxSensors + 1] = {};

    // The reading a call on `port` gets at simulator time `now`; null when the port
    // has no recorded readings.
    const ReplayReading* take(std::uint16_t port, Clock::duration now) {
        if (!active || port < 1 || port > bird::maxSensors || readings[port].empty()) {
            return nullptr;
        }
        const std::vector<ReplayReading>& list = readings[port];
        if (timed) {
            auto elapsed =
                std::chrono::duration_cast<std::chrono::milliseconds>(now - start).count();
            if (loop) {
                elapsed %= static_cast<long long>(list.back().milliseconds) + 1;
            }
            if (elapsed <= list.back().milliseconds) {
                // The last reading recorded at or before `elapsed` (the first one while
                // its time has not come), by binary search: the readings are in time order.
                const auto due = std::upper_bound(
                    list.begin() + 1, list.end(), elapsed,
                    [](long long ms, const ReplayReading& read) { return ms < read.milliseconds; });
                return &*(due - 1);
            }
        } else {
            if (next[port] == list.size() && loop) {
                next[port] = 0;
            }
            if (next[port] < list.size()) {
                return &list[next[port]++];
            }
        }
        // Past the end: the last successful reading stays.
        for (std::size_t i = list.size(); i-- > 0;) {
            if (list[i].result != 0) {
                return &list[i];
            }
        }
        return &list.back();
    }
};

// Every reading recorded for `port` has been played: one per call up to the last,
// or, timed, a call at or after the last one's time. Never with `loop`.
bool playedOut(const Replay& replay, std::uint16_t port) {
    const std::vector<ReplayReading>& list = replay.readings[port];
    if (replay.loop || list.empty()) {
        return false;
    }
    return replay.timed ? replay.lastTakenMs[port] >= list.back().milliseconds
                        : replay.next[port] >= list.size();
}

struct State {
    Sensor sensors[bird::maxSensors];
    IndexRecord records[bird::maxSensors];
    bool portAbsent[bird::maxSensors + 1] = {}; // every port answers after a reset
    bool unplugged[bird::maxSensors + 1] = {};
    std::int32_t failuresLeft[birdsimCallCount] = {}; // -1: every call
    std::int32_t calls[birdsimCallCount] = {};
    Clock::time_point epoch = Clock::now();
    std::int32_t frozenMs = -1; // the clock stands still at this time when not negative
    float noiseRadians = 0.0f;
    std::mt19937 noiseSource;
    std::normal_distribution<float> noise;
    Replay replay;
    // The body's motion and the turns of transmitter and mount (birdsim_setMotion,
    // birdsim_setTransmitter, birdsim_setMount); the readings are turned when one is set.
    std::int32_t motion = birdsimMotionWave;
    bool mounted = false;
    Turn transmitterInverse = axisTurn(1, 0, 0, 0);
    Turn mountInverse = axisTurn(1, 0, 0, 0);

    // Simulator time since the last reset.
    Clock::duration now() const {
        if (frozenMs >= 0) {
            return std::chrono::milliseconds(frozenMs);
        }
        return Clock::now() - epoch;
    }

    // Counts the call and tells whether an injected failure takes it.
    bool injectedFailure(BirdSimCall call) {
        ++calls[call];
        std::int32_t& left = failuresLeft[call];
        if (left == 0) {
            return false;
        }
        if (left > 0) {
            --left;
        }
        return true;
    }

    // The awake sensor a call names, or null when the call fails before reaching one.
    Sensor* enter(BirdSimCall call, std::int32_t deviceIndex) {
        if (injectedFailure(call) || !validIndex(deviceIndex)) {
            return nullptr;
        }
        Sensor& sensor = sensors[deviceIndex];
        return sensor.awake ? &sensor : nullptr;
    }

    // As enter, but null for a sensor lost by an unplug too: it answers nothing.
    Sensor* answering(BirdSimCall call, std::int32_t deviceIndex) {
        Sensor* sensor = enter(call, deviceIndex);
        return sensor && !sensor->lost ? sensor : nullptr;
    }

    // A serial port opens once: an awake sensor, lost or not, holds it.
    bool portTaken(std::uint16_t port) const {
        return std::any_of(std::begin(sensors), std::end(sensors), [port](const Sensor& sensor) {
            return sensor.awake && sensor.port == port;
        });
    }

    static bool validIndex(std::int32_t deviceIndex) {
        return deviceIndex >= 0 && deviceIndex < bird::maxSensors;
    }
};

std::mutex simMutex;
State state;

// The reading of a device index's body `seconds` into its motion, in radians. The
// orientation the plug-in sees with CAVE coordinates negates the first and third
// reading angle.
void motionReading(std::int32_t deviceIndex, double seconds, float angles[3]) {
    if (state.motion != birdsimMotionAlign && !state.mounted) {
        for (int i = 0; i < 3; ++i) {
            angles[i] = motionAngle(deviceIndex, i, seconds);
        }
        return;
    }
    constexpr double radians = 0.017453292519943295;
    Turn body;
    if (state.motion == birdsimMotionAlign) {
        double azimuth = 0.0;
        double elevation = 0.0;
        alignPose(seconds, azimuth, elevation);
        body = eulerTurn(azimuth * radians, elevation * radians, 0.0);
    } else {
        body =
            eulerTurn(-motionAngle(deviceIndex, 0, seconds), motionAngle(deviceIndex, 1, seconds),
                      -motionAngle(deviceIndex, 2, seconds));
    }
    eulerAngles(multiply(state.transmitterInverse, multiply(body, state.mountInverse)), angles);
    angles[0] = -angles[0];
    angles[2] = -angles[2];
}

using Lock = std::lock_guard<std::mutex>;

} // namespace

std::int32_t _3dbirdWakeUp(std::int32_t deviceIndex, std::uint16_t serialPort, std::int32_t a,
                           std::int32_t b) {
    Lock lock(simMutex);
    if (state.injectedFailure(birdsimWakeUp) || !State::validIndex(deviceIndex) || serialPort < 1 ||
        serialPort > bird::maxSensors || state.portAbsent[serialPort] ||
        state.unplugged[serialPort] || state.portTaken(serialPort)) {
        return 0;
    }
    Sensor& sensor = state.sensors[deviceIndex];
    sensor = Sensor{};
    sensor.awake = true;
    sensor.port = serialPort;
    sensor.config = powerOnConfig(deviceIndex, serialPort);
    sensor.motionStart = state.now();
    IndexRecord& record = state.records[deviceIndex];
    record.woken = true;
    record.port = serialPort;
    record.a = a;
    record.b = b;
    return 1;
}

namespace {

// One of the calls that need an answering sensor: under the lock, 0 when the call
// fails before reaching one (or without its block), else what `action` does, 1.
template <typename Action>
std::int32_t onAnsweringSensor(BirdSimCall call, std::int32_t deviceIndex, const void* block,
                               Action action) {
    Lock lock(simMutex);
    Sensor* sensor = state.answering(call, deviceIndex);
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

std::int32_t _3dbirdGetDeviceConfig(std::int32_t deviceIndex, std::uint8_t* config) {
    return onAnsweringSensor(birdsimGetDeviceConfig, deviceIndex, config, [&](Sensor& sensor) {
        std::memcpy(config, sensor.config.data(), bird::configSize);
    });
}

std::int32_t _3dbirdSetDeviceConfig(std::int32_t deviceIndex, std::uint8_t* config) {
    return onAnsweringSensor(birdsimSetDeviceConfig, deviceIndex, config, [&](Sensor& sensor) {
        std::memcpy(sensor.config.data(), config, bird::configSize);
        IndexRecord& record = state.records[deviceIndex];
        record.lastConfig = sensor.config;
        record.configWritten = true;
    });
}

std::int32_t _3dbirdResetOrientation(std::int32_t deviceIndex) {
    return onAnsweringSensor(birdsimResetOrientation, deviceIndex,
                             [](Sensor& sensor) { sensor.motionStart = state.now(); });
}

// Starting again while streaming keeps the running stream and its sample numbers.
std::int32_t _3dbirdStartStream(std::int32_t deviceIndex) {
    return onAnsweringSensor(birdsimStartStream, deviceIndex, [](Sensor& sensor) {
        if (!sensor.streaming) {
            sensor.streaming = true;
            sensor.streamStart = state.now();
        }
    });
}

// The reading block; multi-byte fields in the machine's byte order.
//   0-11   three float angles in radians
//   12-15  sample number since the stream started, counted at the configured rate (uint32)
//   16-19  milliseconds since the stream started (uint32)
//   20-35  reserved (0)
namespace {

// A replayed reading for the sensor's port, as recorded, with its recorded result;
// false when the recording has none due (or no replay runs).
bool replayedReading(std::int32_t deviceIndex, Clock::duration now, std::uint8_t* reading,
                     std::int32_t& result) {
    const std::uint16_t port = state.records[deviceIndex].port;
    const ReplayReading* replayed = state.replay.take(port, now);
    if (replayed == nullptr) {
        return false;
    }
    state.replay.lastTakenMs[port] =
        std::chrono::duration_cast<std::chrono::milliseconds>(now - state.replay.start).count();
    if (replayed->result != 0) {
        std::uint8_t block[bird::readingSize] = {};
        std::memcpy(block, replayed->angles, sizeof replayed->angles);
        std::memcpy(reading, block, sizeof block);
    }
    result = replayed->result;
    return true;
}

// An unplugged sensor: its reads fail, or repeat the last reading.
std::int32_t unpluggedReading(const Sensor& sensor, std::uint8_t* reading) {
    if (!sensor.repeats || !sensor.hasReading) {
        return 0;
    }
    std::memcpy(reading, sensor.lastReading, bird::readingSize);
    return 1;
}

// The simulator's own motion (or fixed angles), with its noise and the stream's
// counters.
std::int32_t generatedReading(std::int32_t deviceIndex, Sensor& sensor, Clock::duration now,
                              std::uint8_t* reading) {
    using Seconds = std::chrono::duration<double>;
    const double moving = Seconds(now - sensor.motionStart).count();
    const IndexRecord& record = state.records[deviceIndex];
    float angles[3];
    motionReading(deviceIndex, moving, angles);
    for (int i = 0; i < 3; ++i) {
        angles[i] = record.fixed ? record.fixedAngles[i] : angles[i];
        if (state.noiseRadians > 0.0f) {
            angles[i] += state.noiseRadians * state.noise(state.noiseSource);
        }
    }
    // Not negative when a test has set the clock back; the counters wrap like a device's.
    const double streamed = std::max(0.0, Seconds(now - sensor.streamStart).count());
    const std::uint32_t counters[2] = {
        static_cast<std::uint32_t>(static_cast<std::uint64_t>(streamed * sensor.config[rateByte])),
        static_cast<std::uint32_t>(static_cast<std::uint64_t>(streamed * 1000.0))};
    std::uint8_t block[bird::readingSize] = {};
    std::memcpy(block, angles, sizeof angles);
    std::memcpy(block + sizeof angles, counters, sizeof counters);
    std::memcpy(reading, block, sizeof block);
    std::memcpy(sensor.lastReading, block, sizeof block);
    sensor.hasReading = true;
    return 1;
}

} // namespace

std::int32_t _3dbirdGetMostRecentReading(std::int32_t deviceIndex, std::uint8_t* reading) {
    Lock lock(simMutex);
    Sensor* sensor = state.enter(birdsimGetMostRecentReading, deviceIndex);
    const Clock::duration now = state.now();
    // A replayed read answers as recorded, streaming or not.
    std::int32_t replayed = 0;
    if (sensor && reading && !sensor->lost &&
        replayedReading(deviceIndex, now, reading, replayed)) {
        return replayed;
    }
    if (!sensor || !sensor->streaming || !reading) {
        return 0;
    }
    return sensor->lost ? unpluggedReading(*sensor, reading)
                        : generatedReading(deviceIndex, *sensor, now, reading);
}

std::int32_t _3dbirdShutDown(std::int32_t deviceIndex) {
    Lock lock(simMutex);
    Sensor* sensor = state.enter(birdsimShutDown, deviceIndex);
    if (!sensor) {
        return 0;
    }
    *sensor = Sensor{};
    return 1;
}

void birdsim_reset() {
    Lock lock(simMutex);
    state = State{};
}

void birdsim_setReading(std::int32_t deviceIndex, float angle1, float angle2, float angle3) {
    Lock lock(simMutex);
    if (!State::validIndex(deviceIndex)) {
        return;
    }
    IndexRecord& record = state.records[deviceIndex];
    record.fixed = true;
    record.fixedAngles[0] = angle1;
    record.fixedAngles[1] = angle2;
    record.fixedAngles[2] = angle3;
}

void birdsim_clearReading(std::int32_t deviceIndex) {
    Lock lock(simMutex);
    if (State::validIndex(deviceIndex)) {
        state.records[deviceIndex].fixed = false;
    }
}

void birdsim_failCall(std::int32_t call, std::int32_t times) {
    Lock lock(simMutex);
    if (call >= 0 && call < birdsimCallCount) {
        state.failuresLeft[call] = times < 0 ? -1 : times;
    }
}

std::int32_t birdsim_callCount(std::int32_t call) {
    Lock lock(simMutex);
    return call >= 0 && call < birdsimCallCount ? state.calls[call] : 0;
}

std::int32_t birdsim_lastConfig(std::int32_t deviceIndex, std::uint8_t* block) {
    Lock lock(simMutex);
    if (!State::validIndex(deviceIndex) || !state.records[deviceIndex].configWritten || !block) {
        return 0;
    }
    std::memcpy(block, state.records[deviceIndex].lastConfig.data(), bird::configSize);
    return 1;
}

std::int32_t birdsim_wakeUpArgs(std::int32_t deviceIndex, std::uint16_t* port, std::int32_t* a,
                                std::int32_t* b) {
    Lock lock(simMutex);
    if (!State::validIndex(deviceIndex) || !state.records[deviceIndex].woken) {
        return 0;
    }
    const IndexRecord& record = state.records[deviceIndex];
    if (port) {
        *port = record.port;
    }
    if (a) {
        *a = record.a;
    }
    if (b) {
        *b = record.b;
    }
    return 1;
}

void birdsim_setPortPresent(std::uint16_t port, std::int32_t present) {
    Lock lock(simMutex);
    if (port >= 1 && port <= bird::maxSensors) {
        state.portAbsent[port] = present == 0;
    }
}

void birdsim_unplug(std::uint16_t port, std::int32_t unplugged) {
    Lock lock(simMutex);
    if (port < 1 || port > bird::maxSensors) {
        return;
    }
    state.unplugged[port] = true;
    for (Sensor& sensor : state.sensors) {
        if (sensor.awake && sensor.port == port && !sensor.lost) {
            sensor.lost = true;
            sensor.repeats = unplugged == birdsimReadingsRepeat;
        }
    }
}

void birdsim_replug(std::uint16_t port) {
    Lock lock(simMutex);
    if (port >= 1 && port <= bird::maxSensors) {
        state.unplugged[port] = false;
    }
}

std::int32_t birdsim_isAwake(std::int32_t deviceIndex) {
    Lock lock(simMutex);
    return State::validIndex(deviceIndex) && state.sensors[deviceIndex].awake ? 1 : 0;
}

std::int32_t birdsim_isStreaming(std::int32_t deviceIndex) {
    Lock lock(simMutex);
    return State::validIndex(deviceIndex) && state.sensors[deviceIndex].streaming ? 1 : 0;
}

void birdsim_setClock(std::int32_t milliseconds) {
    Lock lock(simMutex);
    if (milliseconds < 0 && state.frozenMs >= 0) {
        // Run on from where the clock stood, so readings stay continuous.
        state.epoch = Clock::now() - std::chrono::milliseconds(state.frozenMs);
    }
    state.frozenMs = milliseconds < 0 ? -1 : milliseconds;
}

void birdsim_setNoise(float degreesRms) {
    Lock lock(simMutex);
    state.noiseRadians = degreesRms > 0.0f ? degreesRms * 0.017453292f : 0.0f;
}

void birdsim_replayClear() {
    Lock lock(simMutex);
    state.replay = Replay{};
}

void birdsim_replayAdd(std::uint16_t port, std::int32_t milliseconds, std::int32_t result,
                       float angle1, float angle2, float angle3) {
    Lock lock(simMutex);
    if (port >= 1 && port <= bird::maxSensors) {
        // Kept in time order, which the timed replay's search relies on.
        std::vector<ReplayReading>& list = state.replay.readings[port];
        if (!list.empty()) {
            milliseconds = std::max(milliseconds, list.back().milliseconds);
        }
        list.push_back({milliseconds, result, {angle1, angle2, angle3}});
    }
}

void birdsim_replayStart(std::int32_t timed, std::int32_t loop) {
    Lock lock(simMutex);
    state.replay.active = true;
    state.replay.timed = timed != 0;
    state.replay.loop = loop != 0;
    state.replay.start = state.now();
    std::fill(std::begin(state.replay.next), std::end(state.replay.next), std::size_t{0});
    std::fill(std::begin(state.replay.lastTakenMs), std::end(state.replay.lastTakenMs), -1LL);
}

std::int32_t birdsim_replayFinished() {
    Lock lock(simMutex);
    bool any = false;
    for (std::int32_t index = 0; index < bird::maxSensors; ++index) {
        const std::uint16_t port = state.records[index].port;
        if (!state.replay.active || !state.sensors[index].awake || port < 1 ||
            port > bird::maxSensors || state.replay.readings[port].empty()) {
            continue;
        }
        if (!playedOut(state.replay, port)) {
            return 0;
        }
        any = true;
    }
    return any ? 1 : 0;
}

void birdsim_setTransmitter(float ax, float ay, float az, float degrees) {
    Lock lock(simMutex);
    state.transmitterInverse = transposed(axisTurn(ax, ay, az, degrees * 0.017453292519943295));
    state.mounted = true;
}

void birdsim_setMount(float ax, float ay, float az, float degrees) {
    Lock lock(simMutex);
    state.mountInverse = transposed(axisTurn(ax, ay, az, degrees * 0.017453292519943295));
    state.mounted = true;
}

void birdsim_setMotion(std::int32_t motion) {
    Lock lock(simMutex);
    state.motion = motion == birdsimMotionAlign ? birdsimMotionAlign : birdsimMotionWave;
}
