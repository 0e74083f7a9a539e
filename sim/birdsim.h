// Control interface of the simulated sensor library, for tests and benchmarks.
#pragma once

#include <cstdint>

#include "platform/export.h"

// The seven sensor calls, as counted and failed by the simulator.
enum BirdSimCall : std::int32_t {
    birdsimWakeUp = 0,
    birdsimGetDeviceConfig,
    birdsimSetDeviceConfig,
    birdsimResetOrientation,
    birdsimStartStream,
    birdsimGetMostRecentReading,
    birdsimShutDown,
    birdsimCallCount
};

// What the readings of a sensor do once its cable is pulled (birdsim_unplug).
enum BirdSimUnplugged : std::int32_t {
    birdsimReadingsFail = 0,  // every reading fails
    birdsimReadingsRepeat = 1 // every reading answers the last one unchanged
};

// What the simulated sensors' bodies do when no reading is fixed (birdsim_setMotion).
enum BirdSimMotion : std::int32_t {
    birdsimMotionWave = 0, // smooth turns about all three axes, the default
    // The three poses of an alignment, in 10.4 s from the motion's start: level and
    // facing -Z from 0.8 s to 2.6 s, turned left by 70 degrees about the vertical
    // from 3.8 s to 5.6 s, tilted nose up by 50 degrees from 7.6 s to 9.4 s, and
    // back at the front from 10.4 s; then again every 12 s, from the front.
    birdsimMotionAlign = 1
};

extern "C" {
// The sensor library's optional clock (bird::readingTimeName in bird/BirdLibrary.h):
// the milliseconds of the last reading call of a device index, the recorded time of a
// replayed reading (counted on through each loop) or else the simulator's clock; -1
// before the first call.
TRACKER_EXPORT std::int64_t bird_readingTime(std::int32_t deviceIndex);
// Back to the state of a freshly loaded library: no sensor awake, no failures,
// counters zero, default motion.
TRACKER_EXPORT void birdsim_reset();
// Fixes the reading of a device index to three angles in radians, until
// birdsim_clearReading or birdsim_reset; otherwise the angles follow the clock.
TRACKER_EXPORT void birdsim_setReading(std::int32_t deviceIndex, float angle1, float angle2,
                                       float angle3);
TRACKER_EXPORT void birdsim_clearReading(std::int32_t deviceIndex);
// Makes the next `times` calls of `call` fail (-1: every call until cleared with 0).
TRACKER_EXPORT void birdsim_failCall(std::int32_t call, std::int32_t times);
// How often `call` was made since the last reset, failed calls included.
TRACKER_EXPORT std::int32_t birdsim_callCount(std::int32_t call);
// Copies the 20-byte block last written for a device index; 0 when none was written.
TRACKER_EXPORT std::int32_t birdsim_lastConfig(std::int32_t deviceIndex, std::uint8_t* block);
// The arguments of the last successful wake-up of a device index; 0 when none.
TRACKER_EXPORT std::int32_t birdsim_wakeUpArgs(std::int32_t deviceIndex, std::uint16_t* port,
                                               std::int32_t* a, std::int32_t* b);
// Whether a sensor answers on a serial port (1 to 4 answer after a reset).
TRACKER_EXPORT void birdsim_setPortPresent(std::uint16_t port, std::int32_t present);
// Whether the sensor on a serial port answers its wake-up but fails every read of its
// configuration block (none after a reset).
TRACKER_EXPORT void birdsim_failConfigRead(std::uint16_t port, std::int32_t fails);
// Pulls the cable of the sensor on a serial port: from then on a wake-up on the port
// fails, and a sensor awake on it is lost: its readings fail or repeat (`unplugged`,
// a BirdSimUnplugged), every other call but the shut-down fails, and it keeps the port
// until it is shut down.
TRACKER_EXPORT void birdsim_unplug(std::uint16_t port, std::int32_t unplugged);
// Plugs the cable back in: the port answers wake-ups again. A sensor lost by the
// unplug stays lost, as a power-cycled sensor forgets its set-up; it takes a shut-down
// and a new wake-up.
TRACKER_EXPORT void birdsim_replug(std::uint16_t port);
// 1 while a device index is awake (woken and not shut down), or streaming; else 0.
TRACKER_EXPORT std::int32_t birdsim_isAwake(std::int32_t deviceIndex);
TRACKER_EXPORT std::int32_t birdsim_isStreaming(std::int32_t deviceIndex);
// Stops the simulator's clock at `milliseconds` after the last reset, which fixes the
// motion and the reading's counters; a negative value lets the clock run on from there.
// A host that sets it before each cycle has the readings taken, and timed, on its own
// schedule however late a cycle runs.
TRACKER_EXPORT void birdsim_setClock(std::int64_t milliseconds);
// The simulator's clock: milliseconds since the last reset, rounded up, so that the
// clock stopped at this time stands after every call made so far.
TRACKER_EXPORT std::int64_t birdsim_clock();
// Adds jitter to the angles the sensors report (their motion, a fixed reading or a
// replayed one): a normal deviate of `degreesRms` per angle, from a generator that
// restarts with each reset, so a run's noise is the same every time. 0 (after a
// reset) adds none.
TRACKER_EXPORT void birdsim_setNoise(float degreesRms);
// A sensor mounted crooked behind a turned transmitter: from then on every sensor
// reports its body's motion as a plug-in with CAVE coordinates sees it only after
// "transmitterrotation AX AY AZ DEGREES" and "sensorrotation 1 AX AY AZ DEGREES" with
// these values. An axis of zero length turns nothing. Fixed readings and replayed ones
// are not turned.
TRACKER_EXPORT void birdsim_setTransmitter(float ax, float ay, float az, float degrees);
TRACKER_EXPORT void birdsim_setMount(float ax, float ay, float az, float degrees);
// The bodies' motion, a BirdSimMotion; it starts from its beginning at each wake-up
// and orientation reset.
TRACKER_EXPORT void birdsim_setMotion(std::int32_t motion);
// Replay of a recording: birdsim_replayClear, birdsim_replayAdd for each recorded
// reading in order, then birdsim_replayStart. A sensor woken on a port with recorded
// readings then answers its reading calls with them (result and angles in radians):
// one per call in order, or with `timed` nonzero the one due at the milliseconds
// since birdsim_replayStart: the last one recorded at or before them (a reading
// added with a time before its port's previous one is taken at that one's time).
// Past the end it holds the last successful reading, or starts over with `loop`
// nonzero. Ports without readings keep their motion. A pulled cable does not stop
// the recording: a reading call of an index once woken on the port takes the next
// reading still, and fails (or repeats) as the unplugged sensor's call does.
TRACKER_EXPORT void birdsim_replayClear();
TRACKER_EXPORT void birdsim_replayAdd(std::uint16_t port, std::int32_t milliseconds,
                                      std::int32_t result, float angle1, float angle2,
                                      float angle3);
TRACKER_EXPORT void birdsim_replayStart(std::int32_t timed, std::int32_t loop);
// 1 once every device index woken on a port with recorded readings has played them
// all (never with `loop`); 0 before, and when no index was woken on such a port.
TRACKER_EXPORT std::int32_t birdsim_replayFinished();
}
