// The entry points of a calibration library for the tracker_3dbird plug-in, in C.
//
// A calibration library corrects each sensor pose before the plug-in puts in the
// fixed position and carries the pose through the transforms. It includes this
// header and defines the functions below under exactly these names; the
// declarations here export them (from a DLL on Windows, with default visibility
// elsewhere) and fix the calling convention, so the definitions need neither.
// calib_init, calib_evaluate and calib_exit are required; calib_check and
// calib_evaluate_at are optional.
//
// Several devices may use one library at once, each with the context its calib_init
// answered, and a host may start and stop them on different threads.
#pragma once

#include <stdint.h>

#if defined(_WIN32)
#define TRACKER_CALIB_EXPORT __declspec(dllexport)
#define TRACKER_CALIB_CALL __cdecl
#else
#define TRACKER_CALIB_EXPORT __attribute__((visibility("default")))
#define TRACKER_CALIB_CALL
#endif

#ifdef __cplusplus
extern "C" {
#endif

// Called once per device, at the end of a successful init, with the arguments that
// follow the library's name on the device's "calibration" line: `count` texts, 0 to
// 10, valid until calib_exit is called. Answers the context, which the plug-in hands
// back to calib_evaluate and calib_exit of this device. Any answer is accepted, 0
// included: a library cannot refuse a device, so on bad arguments it answers a
// context that leaves the poses alone.
TRACKER_CALIB_EXPORT int32_t TRACKER_CALIB_CALL calib_init(const char* const* args, int32_t count);

// Called for every new reading with the device's context and its pose, six floats:
// x, y, z in feet, then angle1 (azimuth, about Y), angle2 (elevation, about X) and
// angle3 (roll, about Z) in degrees. The angles are the sensor's, with angle1 and
// angle3 negated when CAVE coordinates are on; x, y, z are 0. The library may change
// all six in place; a fixed position then replaces x, y, z, and the transforms follow.
TRACKER_CALIB_EXPORT void TRACKER_CALIB_CALL calib_evaluate(int32_t context, float* pose);

// Optional: when the library defines it, the plug-in calls it instead of
// calib_evaluate, with the same context and pose and the time the sensor took the
// reading, in seconds on a steady clock of arbitrary origin that never goes back for
// one device. A replay hands it the times the readings were recorded at, whatever
// its rate, so a library that times its work by them (a filter) reproduces a
// recorded run; one that reads a clock of its own at each call cannot.
TRACKER_CALIB_EXPORT void TRACKER_CALIB_CALL calib_evaluate_at(int32_t context, float* pose,
                                                               double seconds);

// Called once when the device stops, after its sensor is shut down, with the
// device's context; the argument texts of calib_init may be gone by then.
TRACKER_CALIB_EXPORT void TRACKER_CALIB_CALL calib_exit(int32_t context);

// Optional, and never called by the plug-in: a host (trackhost, before a run and
// with --check) hands it the arguments calib_init would get. Answers 1 when
// calib_init would take them, else 0 with a one-line reason written to `message`,
// at most `size` bytes with the closing null. A library without it takes any
// arguments.
TRACKER_CALIB_EXPORT int32_t TRACKER_CALIB_CALL calib_check(const char* const* args, int32_t count,
                                                            char* message, int32_t size);

#ifdef __cplusplus
}
#endif

// The entry points as a loader finds them by name.
typedef int32_t(TRACKER_CALIB_CALL* CalibInitFn)(const char* const* args, int32_t count);
typedef void(TRACKER_CALIB_CALL* CalibEvaluateFn)(int32_t context, float* pose);
typedef void(TRACKER_CALIB_CALL* CalibEvaluateAtFn)(int32_t context, float* pose, double seconds);
typedef void(TRACKER_CALIB_CALL* CalibExitFn)(int32_t context);
typedef int32_t(TRACKER_CALIB_CALL* CalibCheckFn)(const char* const* args, int32_t count,
                                                  char* message, int32_t size);
