// The recording format: what the recorder writes, the replay reads back exactly.
#include "host/recording/RecordingFormat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

TEST(RecordingFormat, WrittenTextReadsBackToTheExactReadings) {
    const RecordingHeader written{{1, 3}, recordingStartTime(1796630220, 5)};
    std::string text = recordingHeaderText(written);
    EXPECT_EQ(text, "trackhost-recording 1\nports 1 3\nstart 2026-12-07T07:57:00.005Z\n");

    char line[recordingLineSize];
    const float angles[3] = {0.1f, -3.1415925f, 1e-45f};
    text.append(line, writeRecordingLine(7, 3, 1, angles, line));
    const float odd[3] = {NAN, -INFINITY, 0.0f};
    text.append(line, writeRecordingLine(2147483647, 1, -1, odd, line));
    EXPECT_EQ(text.substr(text.find("\n7 ") + 1),
              "7 3 1 0.1 -3.1415925 1e-45\n2147483647 1 -1 nan -inf 0\n");

    RecordingHeader header;
    std::vector<RecordingReading> readings;
    RecordingProblem problem;
    ASSERT_TRUE(readRecordingText(text, header, readings, problem)) << problem.message;
    EXPECT_EQ(header.ports, written.ports);
    EXPECT_EQ(header.start, written.start);
    ASSERT_EQ(readings.size(), 2u);
    EXPECT_EQ(readings[0].milliseconds, 7);
    EXPECT_EQ(readings[0].port, 3);
    EXPECT_EQ(readings[0].result, 1);
    EXPECT_EQ(std::memcmp(readings[0].angles, angles, sizeof angles), 0);
    EXPECT_EQ(readings[1].result, -1);
    EXPECT_TRUE(std::isnan(readings[1].angles[0]));
    EXPECT_EQ(readings[1].angles[1], -INFINITY);
}
