// A recording of sensor readings, as `trackhost --record` writes it and `--replay`
// plays it back through the simulated sensor library.
//
//   trackhost-recording 1             format name and version
//   ports 1 2                         the serial ports whose sensors were woken
//   start 2026-12-07T11:05:54.123Z    when the recording started (UTC)
//   MS PORT RESULT ANGLE1 ANGLE2 ANGLE3
//
// One line per reading call: milliseconds since the start, the sensor's port, the
// call's result and the three angles in radians, each in a form that reads back as
// the exact float.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/input/FileError.h"

constexpr int recordingVersion = 1;

struct RecordedReading {
    std::int32_t milliseconds;
    std::uint16_t port;
    std::int32_t result;
    float angles[3];
};

struct Recording {
    std::vector<std::uint16_t> ports;
    std::string start;
    std::vector<RecordedReading> readings;
};

// Reads and checks a whole recording; false with `error` ("FILE:LINE: message") on the
// first problem: a file that cannot be read, another format or version, a header
// that ends early, a malformed or truncated reading line.
bool readRecording(const std::string& fileName, Recording& recording, FileError& error);
bool parseRecordingText(const std::string& text, const std::string& fileName, Recording& recording,
                        FileError& error);
