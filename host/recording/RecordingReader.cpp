// Reading and checking a recording file.
#include "host/recording/RecordingReader.h"

#include "host/input/TextFile.h"

#include <utility>

bool parseRecordingText(const std::string& text, const std::string& fileName, Recording& recording,
                        FileError& error) {
    recording = Recording{};
    RecordingHeader header;
    RecordingProblem problem;
    if (!readRecordingText(text, header, recording.readings, problem)) {
        error = FileError{fileName, problem.line, problem.message};
        return false;
    }
    recording.ports = std::move(header.ports);
    recording.start = std::move(header.start);
    return true;
}

double recordedRate(const Recording& recording) {
    const std::vector<RecordedReading>& readings = recording.readings;
    if (readings.empty()) {
        return 0.0;
    }
    const std::uint16_t port = readings.front().port;
    std::size_t count = 0;
    std::int32_t last = readings.front().milliseconds;
    for (const RecordedReading& read : readings) {
        if (read.port == port) {
            ++count;
            last = read.milliseconds;
        }
    }
    const std::int32_t span = last - readings.front().milliseconds;
    return span > 0 ? static_cast<double>(count - 1) * 1000.0 / span : 0.0;
}

bool readRecording(const std::string& fileName, Recording& recording, FileError& error) {
    // Hours of readings of four sensors at a high rate fit well within this.
    constexpr std::size_t limit = std::size_t{256} * 1024 * 1024;
    std::string text;
    error = FileError{fileName, 0, {}};
    if (!readWholeFile(fileName, limit, text, error.message)) {
        return false;
    }
    return parseRecordingText(text, fileName, recording, error);
}
