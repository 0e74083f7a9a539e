// The two blocks a simulated sensor answers: the configuration block it reports after
// wake-up, and the reading block it fills at each reading call.
#pragma once

#include <array>
#include <cstdint>

#include "bird/BirdLibrary.h"

using ConfigBlock = std::array<std::uint8_t, bird::configSize>;

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
ConfigBlock powerOnConfig(std::int32_t deviceIndex, std::uint16_t port);
std::uint8_t measurementRate(const ConfigBlock& config);

// The reading block; multi-byte fields in the machine's byte order.
//   0-11   three float angles in radians
//   12-15  sample number since the stream started, counted at the configured rate (uint32)
//   16-19  milliseconds since the stream started (uint32)
//   20-35  reserved (0)
// `streamedSeconds` is not negative; the counters wrap like a device's.
void fillReading(const float angles[3], double streamedSeconds, std::uint8_t rateHz,
                 std::uint8_t (&block)[bird::readingSize]);
