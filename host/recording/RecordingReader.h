// A recording of sensor readings, as `trackhost --record` writes it and `--replay`
// plays it back through the simulated sensor library; its text is read by the
// recording format's reader (RecordingFormat.h), which also describes it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/input/FileError.h"
#include "host/recording/RecordingFormat.h"

using RecordedReading = RecordingReading;

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
// The reading calls per second the recording was made at, from the first port's
// readings; 0 when they span no time.
double recordedRate(const Recording& recording);
