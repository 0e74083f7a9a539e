// The text of a recording of sensor readings: what the recording sensor library
// writes and what `trackhost --replay` reads, both through these functions.
//
//   trackhost-recording 1             format name and version
//   ports 1 2                         the serial ports whose sensors were woken
//   start 2026-12-07T11:05:54.123Z    when the recording started (UTC)
//   MS PORT RESULT ANGLE1 ANGLE2 ANGLE3
//
// One line per reading call: milliseconds since the start, the sensor's port, the
// call's result and the three angles in radians in their shortest exact decimal
// form, so that each reads back as the exact float. Lines end with LF; a CR before
// it is read as part of the line end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

constexpr int recordingFormatVersion = 1;

struct RecordingHeader {
    std::vector<std::uint16_t> ports;
    std::string start; // "2026-12-07T11:05:54.123Z"
};

struct RecordingReading {
    std::int32_t milliseconds;
    std::uint16_t port;
    std::int32_t result;
    float angles[3];
};

// The first problem of a recording's text: its line (1 for the first) and what is wrong.
struct RecordingProblem {
    unsigned line = 0;
    std::string message;
};

// The start line's time for a wall-clock time in seconds since 1970 and milliseconds.
std::string recordingStartTime(std::time_t seconds, int milliseconds);
// The three header lines, each with its line end.
std::string recordingHeaderText(const RecordingHeader& header);

// Room for any reading line.
constexpr std::size_t recordingLineSize = 160;
// Writes one reading line with its line end into `line` and answers its length.
std::size_t writeRecordingLine(std::int64_t milliseconds, std::uint16_t port, std::int32_t result,
                               const float* angles, char (&line)[recordingLineSize]);

// Reads and checks a recording's whole text; false at the first problem: another
// format or version, a header that ends early, a port outside 1 to the sensor
// limit, a malformed or cut-off reading line, a NUL byte.
bool readRecordingText(const std::string& text, RecordingHeader& header,
                       std::vector<RecordingReading>& readings, RecordingProblem& problem);
