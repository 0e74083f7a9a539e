// The receive cycle's plain steps: a reading becomes a pose, the pose is placed
// through calibration, fixed position and transforms, and encoded. The golden
// records pin the narrowings to float of the transforms down to the record's bytes:
// large offsets and positions make a float step show in the fixed-point fields.
#include "device/ReceiveCycle.h"

#include "host/HostConfig.h"
#include "support/TraData.h"
#include "tests/support/CaptureStdout.h"
#include "tests/support/TestHost.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

void readingOf(float a, float b, float c, std::uint8_t (&block)[36]) {
    const float angles[] = {a, b, c};
    std::memset(block, 0, sizeof block);
    std::memcpy(block, angles, sizeof angles);
}

// The six pose fields of the record as "FF F7 41 E3 / ...".
std::string recordBytes(const TrackerPose& pose) {
    TraData record;
    encodePose(record, pose);
    std::string text;
    for (const std::int32_t field :
         {record.x, record.y, record.z, record.angle1, record.angle2, record.angle3}) {
        text += (text.empty() ? "" : " / ") + fieldBytes(field);
    }
    return text;
}

} // namespace

TEST(ReceiveSteps, ReadingBecomesDegreesWithCaveSigns) {
    std::uint8_t block[36];
    readingOf(0.1f, 0.2f, 0.3f, block);
    EXPECT_EQ(recordBytes(poseFromReading(block, true)),
              "00 00 00 00 / 00 00 00 00 / 00 00 00 00 / FF F7 41 E3 / 00 11 7C 3B / FF E5 C5 A7");
    EXPECT_EQ(recordBytes(poseFromReading(block, false)),
              "00 00 00 00 / 00 00 00 00 / 00 00 00 00 / 00 08 BE 1D / 00 11 7C 3B / 00 1A 3A 59");
}

TEST(ReceiveSteps, GoldenRecordsThroughRotatedTransmitterAndSensor) {
    const CLoggerH logger = plainLogger("dev");
    CTraCommonH table(&logger, {true, 1, true});
    ASSERT_TRUE(table.createEntries(1));
    ASSERT_TRUE(table.setEntry(1, 1, nullptr, nullptr, nullptr));
    HostConfig config;
    config.add("transmitterrotation", {"1", "2", "3", "35"});
    config.add("transmitteroffset", {"125", "-50", "200"});
    config.add("sensorrotation", {"1", "-0.3", "0.7", "0.2", "-70"});
    config.add("sensoroffset", {"1", "310", "-220", "135"});
    {
        CaptureStdout quiet;
        ASSERT_TRUE(table.parseOptions(config.record()));
    }
    // x, y, z, angle1, angle2, angle3 of each record; odd ones with the fixed position.
    const char* const golden[] = {
        "01 04 7A FE / 00 56 60 F7 / FE E3 A5 10 / 00 93 78 A6 / FF 9D 86 CF / 00 2D C6 89",
        "10 19 84 73 / F8 CE 63 56 / FE 6C A2 B6 / 00 77 83 0E / 00 2C 47 1A / 00 31 4C E9",
        "FF B0 3B F8 / FD B7 FE 97 / 02 0C 1C 11 / 00 50 B5 89 / 00 32 48 DA / FF 76 48 1E",
        "0F BD 10 42 / F8 90 7A 2D / 02 AD CC 22 / FF B0 0E 37 / 00 07 2C 5D / 00 1B 8D 48",
        "03 06 FD DF / FF 02 64 89 / 01 7F 22 72 / 00 EB CB 94 / 00 0D 81 A3 / FF 39 C2 70",
        "0E 3F 9A C6 / F7 4D B3 66 / FF 69 2D A2 / 01 11 36 02 / FF F4 19 7F / FF CB 57 06",
        "02 1E FE 0A / 01 7F 10 BA / 02 02 67 FC / FF F0 3E 47 / FF F3 A4 30 / 00 80 05 78",
        "10 38 9E 7C / FA 30 2B 0B / FE A1 85 61 / FF 38 64 53 / FF C3 91 EE / FF 10 77 AB",
        "03 12 94 72 / FF 9B 1A D1 / 01 C9 9C F8 / 00 DE BD 2E / FF FC AE 47 / FF 28 31 7A",
        "0D 43 71 3A / F9 BA BF 7E / 02 1B 13 7E / 00 08 30 6F / 00 3D F0 16 / FE F0 19 C0",
        "02 FE DB 34 / 00 8A FD C9 / 01 49 DF F9 / 00 7C 7F B3 / 00 4B F4 23 / 00 B6 41 B4",
        "0D F8 F9 34 / F8 82 49 A1 / 02 87 44 23 / FF 58 20 A8 / 00 51 0C 15 / 00 2C 53 D7",
        "03 0E 42 DF / FF 98 DC 57 / 01 D9 40 7C / 00 DC 7F DB / 00 18 6D 41 / FF 1E 99 96",
        "0F EC 9A DB / F8 F6 5F 50 / 02 B5 0D 0B / 00 8F C9 9F / 00 37 A4 E5 / FF 1C A4 EE",
        "01 FB 7F DC / FE 9D CD EE / FF 70 81 8C / 01 12 05 84 / FF C9 DF 92 / FF 7A B5 C8",
        "0F 82 6A C1 / F8 E7 9B 79 / FE 30 FD 2E / 00 A0 19 B1 / 00 64 6F 63 / 00 56 6C 1E",
        "01 DF B0 C7 / FD 97 05 D5 / 00 FA 0A 7E / 00 D1 51 9F / FF FB 11 D1 / FF 91 EB 4D",
        "11 62 B3 C9 / F8 F9 E3 F7 / 00 54 E3 4E / 00 8F 7B C0 / FF A0 64 83 / FF AD 07 E5",
        "FE 5B A0 3C / FF F2 E5 B5 / 01 0B 68 95 / FF 13 BF 71 / FF A6 1E 11 / 00 14 14 1A",
        "10 3C 37 73 / FB 4D C9 16 / FF FC BA 50 / 00 21 4B C3 / FF DA 8D 69 / 00 88 5D B0",
        "03 12 E7 27 / FF 6A E4 C2 / 01 B7 EB 2F / 00 E2 2A BD / 00 09 3C 52 / FF 2B 0E 0A",
        "0C D3 B1 F4 / F8 7C 67 59 / 01 19 C0 21 / FF 13 01 DF / 00 3B 7E 64 / 00 26 7F 67",
        "FF 99 2F 2A / FD 96 D4 A9 / 01 24 B4 1A / FF 33 45 C2 / FF FD DE 40 / FF CA B3 6E",
        "0F 62 CB F7 / F9 2C 9C 6E / FE 23 5C 11 / 00 99 49 D8 / 00 03 84 E2 / 00 32 45 F2",
    };
    const float fixed[3] = {1500.5f, -2000.25f, 800.75f};
    std::uint32_t state = 12345;
    const auto next = [&state] {
        state = state * 1103515245u + 12345u;
        return static_cast<float>((state >> 8) % 62832) / 10000.0f - 3.1416f;
    };
    // Readings spread over every angle's range, from a fixed sequence.
    for (int i = 0; i < 24; ++i) {
        std::uint8_t block[36];
        const float a = next(), b = next() / 2, c = next();
        readingOf(a, b, c, block);
        TrackerPose pose = poseFromReading(block, true);
        ASSERT_TRUE(placePose(pose, table, 1, i % 2 ? fixed : nullptr));
        EXPECT_EQ(recordBytes(pose), golden[i]) << "record " << i;
    }
}
