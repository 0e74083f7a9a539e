// boresight: a calibration library for the tracker plug-in that adds fixed angle
// offsets (a boresight correction) and an optional position offset to every pose.
//
//   calibration <library> angle1 angle2 angle3 [x y z]
//
// angle1 to angle3 in degrees, -360 to 360; x y z in feet, -1000 to 1000. The
// plug-in calls calib_init once per device with these arguments, calib_evaluate for
// every new reading, before the fixed position and the transforms, and calib_exit
// when the device stops. calib_check, which the plug-in never calls, lets a host
// refuse bad arguments before a run. tracker_calibration.h declares the four and
// exports them.
#include <tracker_calibration.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace {

// The offsets of one device.
struct Offsets {
    bool inUse;
    float angles[3];   // degrees
    float position[3]; // feet
};

// One slot per device that may use the library at once; a process can wake at
// most four sensors. A context is a slot's index plus one, so 0 means "none".
constexpr std::int32_t slotCount = 4;
Offsets slots[slotCount];
std::mutex slotsMutex; // devices may be initialised and stopped on several threads

// Reads one argument as a decimal number within `limit` either side of 0; false when
// it is not one. A NaN fails the comparison, and an infinity or 1e39 (infinite as a
// float) lies beyond any limit.
bool readNumber(const char* text, double limit, float& value) {
    char* end = nullptr;
    const double read = std::strtod(text, &end);
    if (end == text || *end != '\0' || !(read >= -limit && read <= limit)) {
        return false;
    }
    value = static_cast<float>(read);
    return true;
}

// The arguments' names, units and ranges.
struct Argument {
    const char* name;
    double limit;
    const char* unit;
};
constexpr Argument arguments[] = {
    {"angle1", 360.0, "degrees"}, {"angle2", 360.0, "degrees"}, {"angle3", 360.0, "degrees"},
    {"x", 1000.0, "feet"},        {"y", 1000.0, "feet"},        {"z", 1000.0, "feet"},
};

// Why the arguments are refused: one line, without the library's name.
struct Refusal {
    char text[200] = {};
};

// Reads 3 or 6 numbers into `offsets`; false with the reason in `refusal`.
bool readOffsets(const char* const* args, std::int32_t count, Offsets& offsets, Refusal& refusal) {
    if (count != 3 && count != 6) {
        std::snprintf(refusal.text, sizeof refusal.text,
                      "expected angle1 angle2 angle3 [x y z], got %d arguments",
                      static_cast<int>(count));
        return false;
    }
    for (std::int32_t i = 0; i < count; ++i) {
        float& value = i < 3 ? offsets.angles[i] : offsets.position[i - 3];
        const Argument& argument = arguments[i];
        if (!readNumber(args[i], argument.limit, value)) {
            std::snprintf(refusal.text, sizeof refusal.text,
                          "%s (argument %d) \"%s\" is not a number from -%g to %g %s",
                          argument.name, static_cast<int>(i + 1), args[i], argument.limit,
                          argument.limit, argument.unit);
            return false;
        }
    }
    return true;
}

} // namespace

extern "C" {

// Takes 3 or 6 arguments. Answers the context for the other calls, or 0 when the
// arguments are wrong or all four slots are taken; a device with context 0 gets
// its poses unchanged. The reason goes to standard error.
std::int32_t calib_init(const char* const* args, std::int32_t count) {
    Offsets offsets{true, {0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.0f}};
    Refusal refusal;
    if (!readOffsets(args, count, offsets, refusal)) {
        std::fprintf(stderr, "boresight: %s; poses pass unchanged\n", refusal.text);
        return 0;
    }
    const std::lock_guard<std::mutex> lock(slotsMutex);
    for (std::int32_t i = 0; i < slotCount; ++i) {
        if (!slots[i].inUse) {
            slots[i] = offsets;
            return i + 1;
        }
    }
    std::fprintf(stderr, "boresight: all %d slots in use; poses pass unchanged\n",
                 static_cast<int>(slotCount));
    return 0;
}

// Not called by the plug-in: a host calls it before any device starts, so that bad
// arguments stop a run instead of leaving the poses uncorrected. Answers 1 when
// calib_init would take the arguments, else 0 with the reason in `message`.
std::int32_t calib_check(const char* const* args, std::int32_t count, char* message,
                         std::int32_t size) {
    Offsets offsets{};
    Refusal refusal;
    if (readOffsets(args, count, offsets, refusal)) {
        return 1;
    }
    if (message != nullptr && size > 0) {
        std::snprintf(message, static_cast<std::size_t>(size), "%s", refusal.text);
    }
    return 0;
}

// pose: x, y, z in feet, then angle1, angle2, angle3 in degrees.
void calib_evaluate(std::int32_t context, float* pose) {
    if (context < 1 || context > slotCount || pose == nullptr) {
        return;
    }
    // A slot changes only between calib_init and calib_exit of its own device.
    const Offsets& offsets = slots[context - 1];
    for (int i = 0; i < 3; ++i) {
        pose[i] += offsets.position[i];
        pose[3 + i] += offsets.angles[i];
    }
}

void calib_exit(std::int32_t context) {
    if (context < 1 || context > slotCount) {
        return;
    }
    const std::lock_guard<std::mutex> lock(slotsMutex);
    slots[context - 1].inUse = false;
}
}
