// smoothing: a calibration library for the tracker plug-in that takes the jitter out
// of the three angles with the One Euro filter and leaves the position alone.
//
//   calibration <library> [minCutoff [beta [derivativeCutoff]]]
//
// minCutoff in Hz (default 0.5), beta in Hz per degree per second (default 0.1),
// derivativeCutoff in Hz (default 1.0). The sample spacing comes from the readings'
// times, which the plug-in hands to calib_evaluate_at, so that a replay filters as
// the recorded run did at any rate; calib_evaluate, for a host that calls it alone,
// reads a monotonic clock instead. calib_check, which the plug-in never calls, lets
// a host refuse bad arguments before a run. tracker_calibration.h declares the five
// entry points and exports them.
#include "OneEuroFilter.h"

#include <tracker_calibration.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace {

// The filters of one device.
struct Slot {
    bool inUse = false;
    OneEuroFilter angles[3];
};

// One slot per device that may use the library at once; a process can wake at most
// four sensors. A context is a slot's index plus one; 0 leaves poses unchanged.
constexpr std::int32_t slotCount = 4;
Slot slots[slotCount];
std::mutex slotsMutex; // devices may be initialised and stopped on several threads

struct Argument {
    const char* name;
    double OneEuroParameters::*field;
    bool zeroAllowed;
};
constexpr Argument arguments[] = {
    {"minCutoff", &OneEuroParameters::minCutoff, false},
    {"beta", &OneEuroParameters::beta, true},
    {"derivativeCutoff", &OneEuroParameters::derivativeCutoff, false},
};
constexpr std::int32_t argumentCount = 3;

// Why an argument is refused: one line, without the library's name.
struct Refusal {
    char text[200] = {};
};

// Reads the arguments over the defaults; false with the reason in `refusal`.
bool readArguments(const char* const* args, std::int32_t count, OneEuroParameters& parameters,
                   Refusal& refusal) {
    if (count > argumentCount) {
        std::snprintf(refusal.text, sizeof refusal.text,
                      "argument %d \"%s\" is one too many; the arguments are minCutoff beta "
                      "derivativeCutoff",
                      static_cast<int>(argumentCount + 1), args[argumentCount]);
        return false;
    }
    for (std::int32_t i = 0; i < count; ++i) {
        const Argument& argument = arguments[i];
        const char* text = args[i] != nullptr ? args[i] : "";
        char* end = nullptr;
        const double value = std::strtod(text, &end);
        if (*text == '\0') {
            std::snprintf(refusal.text, sizeof refusal.text, "%s (argument %d) is missing",
                          argument.name, static_cast<int>(i + 1));
            return false;
        }
        if (end == text || *end != '\0' || !std::isfinite(value) || value < 0.0 ||
            (value == 0.0 && !argument.zeroAllowed)) {
            std::snprintf(refusal.text, sizeof refusal.text,
                          "%s (argument %d) \"%s\" is not a number %s", argument.name,
                          static_cast<int>(i + 1), text,
                          argument.zeroAllowed ? "of at least 0" : "above 0");
            return false;
        }
        parameters.*argument.field = value;
    }
    return true;
}

double monotonicSeconds() {
    using Seconds = std::chrono::duration<double>;
    return Seconds(std::chrono::steady_clock::now().time_since_epoch()).count();
}

} // namespace

extern "C" {

// Takes 0 to 3 arguments. Answers the context for the other calls, or 0 when an
// argument is wrong or all four slots are taken: the plug-in accepts any answer, so a
// device with context 0 gets its poses unchanged. The reason goes to standard error.
std::int32_t calib_init(const char* const* args, std::int32_t count) {
    OneEuroParameters parameters;
    Refusal refusal;
    if (!readArguments(args, count, parameters, refusal)) {
        std::fprintf(stderr, "smoothing: %s; poses pass unchanged\n", refusal.text);
        return 0;
    }
    const std::lock_guard<std::mutex> lock(slotsMutex);
    for (std::int32_t i = 0; i < slotCount; ++i) {
        if (!slots[i].inUse) {
            slots[i].inUse = true;
            for (OneEuroFilter& filter : slots[i].angles) {
                filter = OneEuroFilter(parameters);
            }
            return i + 1;
        }
    }
    std::fprintf(stderr, "smoothing: all %d slots in use; poses pass unchanged\n",
                 static_cast<int>(slotCount));
    return 0;
}

// Not called by the plug-in: a host calls it before any device starts, so that bad
// arguments stop a run instead of leaving the poses unfiltered. Answers 1 when
// calib_init would take the arguments, else 0 with the reason in `message`.
std::int32_t calib_check(const char* const* args, std::int32_t count, char* message,
                         std::int32_t size) {
    OneEuroParameters parameters;
    Refusal refusal;
    if (readArguments(args, count, parameters, refusal)) {
        return 1;
    }
    if (message != nullptr && size > 0) {
        std::snprintf(message, static_cast<std::size_t>(size), "%s", refusal.text);
    }
    return 0;
}

// pose: x, y, z in feet (left alone), then angle1, angle2, angle3 in degrees; seconds:
// when the sensor took the reading, on a steady clock.
void calib_evaluate_at(std::int32_t context, float* pose, double seconds) {
    if (context < 1 || context > slotCount || pose == nullptr) {
        return;
    }
    // A slot changes only between calib_init and calib_exit of its own device.
    Slot& slot = slots[context - 1];
    for (int i = 0; i < 3; ++i) {
        pose[3 + i] = static_cast<float>(slot.angles[i].filter(pose[3 + i], seconds));
    }
}

void calib_evaluate(std::int32_t context, float* pose) {
    calib_evaluate_at(context, pose, monotonicSeconds());
}

void calib_exit(std::int32_t context) {
    if (context < 1 || context > slotCount) {
        return;
    }
    const std::lock_guard<std::mutex> lock(slotsMutex);
    slots[context - 1].inUse = false;
}
}
