// The sensor library 3dbird: its seven entry points and the blocks they fill.
// The plug-in imports them by name; the vendor's library, the simulator in sim/ and
// the recording sensor library in host/recording/ export them.
// Every call answers nonzero on success; all but the wake-up name the sensor by
// the device index it was woken under.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/export.h"

// The library that defines the entry points is built with BIRD_LIBRARY_BUILD.
#if defined(BIRD_LIBRARY_BUILD)
#define BIRD_API TRACKER_EXPORT
#elif defined(_WIN32)
#define BIRD_API __declspec(dllimport)
#else
#define BIRD_API
#endif

namespace bird {
// Sensors one process may wake: device indices 0 to maxSensors - 1, on serial ports
// 1 to maxSensors.
constexpr std::int32_t maxSensors = 4;
constexpr std::size_t configSize = 20; // the configuration block
constexpr std::size_t readingSize =
    36; // the reading block: three float angles (radians) at 0, 4, 8
constexpr std::size_t resetFlagByte = 5; // set to 26 when no orientation reset is wanted
constexpr std::uint8_t noResetValue = 26;
constexpr std::size_t referenceFrameByte = 8; // 16-bit word at bytes 8 and 9
} // namespace bird

namespace bird {
// Optional, and looked up by name in the library that answers the reading calls: the
// time the last reading call of a device index took its reading, in milliseconds on
// the library's own steady clock (never decreasing for an index), or -1 when it cannot
// tell. The simulator answers a replayed reading's recorded time and the recording
// library the time it writes with the reading, so that a replay hands a calibration
// library the recorded times; a library without it leaves the plug-in to its own clock.
constexpr char readingTimeName[] = "bird_readingTime";
using ReadingTimeFn = std::int64_t (*)(std::int32_t deviceIndex);
} // namespace bird

extern "C" {
BIRD_API std::int32_t _3dbirdWakeUp(std::int32_t deviceIndex, std::uint16_t serialPort,
                                    std::int32_t a, std::int32_t b);
BIRD_API std::int32_t _3dbirdGetDeviceConfig(std::int32_t deviceIndex, std::uint8_t* config);
BIRD_API std::int32_t _3dbirdSetDeviceConfig(std::int32_t deviceIndex, std::uint8_t* config);
BIRD_API std::int32_t _3dbirdResetOrientation(std::int32_t deviceIndex);
BIRD_API std::int32_t _3dbirdStartStream(std::int32_t deviceIndex);
BIRD_API std::int32_t _3dbirdGetMostRecentReading(std::int32_t deviceIndex, std::uint8_t* reading);
BIRD_API std::int32_t _3dbirdShutDown(std::int32_t deviceIndex);
}
