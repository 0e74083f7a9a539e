// Reading recordings: exact floats, and every malformed file refused with its line.
#include "host/recording/RecordingReader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

namespace {

const std::string header = "trackhost-recording 1\nports 1 3\nstart 2026-12-07T11:05:54.123Z\n";

std::string problem(const std::string& text) {
    Recording recording;
    FileError error;
    return parseRecordingText(text, "r.txt", recording, error) ? "" : formatError(error);
}

} // namespace

TEST(Recording, ReadsEveryReadingWithItsExactFloats) {
    Recording recording;
    FileError error;
    ASSERT_TRUE(parseRecordingText(header + "0 1 1 0.1 -3.1415925 1e-45\r\n7 3 0 nan -inf 0\n",
                                   "r.txt", recording, error))
        << formatError(error);
    EXPECT_EQ(recording.ports, (std::vector<std::uint16_t>{1, 3}));
    EXPECT_EQ(recording.start, "2026-12-07T11:05:54.123Z");
    ASSERT_EQ(recording.readings.size(), 2u);
    const RecordedReading& read = recording.readings[0];
    EXPECT_EQ(read.angles[0], 0.1f);
    EXPECT_EQ(read.angles[1], -3.1415925f);
    EXPECT_EQ(read.angles[2], 1e-45f); // the smallest float, kept
    EXPECT_EQ(recording.readings[1].milliseconds, 7);
    EXPECT_EQ(recording.readings[1].port, 3);
    EXPECT_EQ(recording.readings[1].result, 0);
    EXPECT_TRUE(std::isnan(recording.readings[1].angles[0])); // a sensor's answer, kept
    EXPECT_EQ(recording.readings[1].angles[1], -INFINITY);
}

TEST(Recording, MalformedFilesAreRefusedWithFileAndLine) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", "r.txt:1: the header ends early; expected \"trackhost-recording 1\""},
        {"trackhost-recording 2\n",
         "r.txt:1: recording format version 2; this trackhost reads version 1"},
        {"time ms port\n",
         "r.txt:1: not a trackhost recording (no \"trackhost-recording 1\" line)"},
        {"trackhost-recording 1\nports 1\n",
         "r.txt:3: the header ends early; expected \"start TIME\""},
        {"trackhost-recording 1\nports 5\n", "r.txt:2: port \"5\" is not 1 to 4"},
        {"trackhost-recording 1\nports 3 1\n",
         "r.txt:2: port \"1\" comes after port 3; the ports are listed once each, ascending"},
        {"trackhost-recording 1\nports 1\nstart yesterday\n",
         "r.txt:3: start time \"yesterday\" is not a UTC time such as 2026-12-07T11:05:54.123Z"},
        {"trackhost-recording 1\nports 1\nstart 2026-13-07T11:05:54.123Z\n",
         "r.txt:3: start time \"2026-13-07T11:05:54.123Z\" is not a UTC time such as "
         "2026-12-07T11:05:54.123Z"},
        {"trackhost-recording 1\nports 1\nstart 2026-12-07T11:05:54.123Z\x1b[31m\n",
         "r.txt:3: start time \"2026-12-07T11:05:54.123Z\\x1b[31m\" is not a UTC time such as "
         "2026-12-07T11:05:54.123Z"},
        {header + "0 1 1 0.1 0.2",
         "r.txt:4: the line is cut off (the file ends without a line end)"},
        {header + "0 1 1 0.1 0.2\n",
         "r.txt:4: a reading has 6 fields (ms port result angle1 angle2 angle3), this line 5"},
        {header + "0 2 1 0 0 0\n", "r.txt:4: port \"2\" is not in the header's ports"},
        {header + "9 1 1 0 0 0\n8 1 1 0 0 0\n",
         "r.txt:5: time \"8\" is not a whole number of milliseconds from 9 on"},
        {header + "0 1 yes 0 0 0\n", "r.txt:4: result \"yes\" is not a whole number"},
        {header + "0 1 1 0 0,5 0\n", "r.txt:4: angle2 \"0,5\" is not a number"},
        {header + "0 1 1 0 0 0.5x\n", "r.txt:4: angle3 \"0.5x\" is not a number"},
        {header + "0 1 1 0 0 0\n" + std::string("1 1\0 1 0 0 0\n", 13),
         "r.txt:5: NUL byte in the line"},
    };
    for (const auto& [text, message] : cases) {
        EXPECT_EQ(problem(text), message) << text;
    }
    Recording recording;
    FileError error;
    EXPECT_FALSE(readRecording("no-such-recording.txt", recording, error));
    EXPECT_EQ(formatError(error).rfind("no-such-recording.txt: cannot read the file (", 0), 0u)
        << "with the system's reason";
    // A folder is refused like an unreadable file, not read until the runtime throws.
    EXPECT_FALSE(readRecording(".", recording, error));
    EXPECT_EQ(formatError(error), ".: cannot read the file (Is a directory)");
}
