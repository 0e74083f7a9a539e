// Fuzzes the reader of recordings that trackhost --replay plays. Whatever the text,
// the reader either fails with a line inside the text, or gives readings that the
// simulator can play: ports from the header (1 to the sensor limit), times that never
// decrease.
#include "bird/BirdLibrary.h"
#include "host/recording/RecordingReader.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    Recording recording;
    FileError error;
    if (parseRecordingText(text, "fuzz.txt", recording, error)) {
        std::int32_t last = 0;
        for (const RecordedReading& read : recording.readings) {
            check(read.port >= 1 && read.port <= bird::maxSensors && read.milliseconds >= last);
            check(std::find(recording.ports.begin(), recording.ports.end(), read.port) !=
                  recording.ports.end());
            last = read.milliseconds;
        }
    } else {
        const std::size_t lines =
            static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1;
        check(error.line >= 1 && error.line <= lines && !error.message.empty());
    }
    return 0;
}
