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
