// The receive cycle's plain steps: a reading becomes a pose, the pose is placed
// through calibration, fixed position and transforms, and encoded. The golden
// records pin the narrowings to float of the transforms down to the record's bytes:
// large offsets and positions make a float step show in the fixed-point fields.
#include "device/ReceiveCycle.h"

#include "host/plugin/HostConfig.h"
#include "support/TraData.h"
#include "tests/fixtures/CaptureStdout.h"
#include "tests/fixtures/PlainLogger.h"
#include "tests/fixtures/TestHost.h"

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

// 0.1f, 0.2f, 0.3f rad x 57.29577951471995 (180 / 3.1415926535) in double, stored as
// float: 5.729578, 11.459156, 17.188734 deg; CAVE coordinates negate the first and the
// third. x 100000 truncated toward zero: -572957 = FF F7 41 E3, 1145915 = 00 11 7C 3B,
// -1718873 = FF E5 C5 A7 (two's complement, network order); without CAVE 572957 =
// 00 08 BE 1D and 1718873 = 00 1A 3A 59. Rounding would end the first two in 958 and
// 916. A reading's position is 0.
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
    // Readings over every angle's range, each with its record's x, y, z, angle1,
    // angle2 and angle3 fields. The position comes from sines and cosines that the
    // platforms' mathematics libraries may round differently in the last place; these
    // readings are ones on which the native and the Windows build agree to the byte.
    //
    // Worked out apart from this code by tests/device/golden_records.py (which
    // golden_records_test runs against this file): the arithmetic redone in double
    // precision, each narrowing a round trip through a 32-bit float, with the C
    // library's sin, cos, atan2 and sqrt. T turns 35 deg about (1, 2, 3) and S -70 deg
    // about (-0.3, 0.7, 0.2): unit axis, sin and cos of angle x 0.01745329f narrowed,
    // each element narrowed. The pose: the reading in degrees with the CAVE signs (as
    // above), at the fixed position (1500.5, -2000.25, 800.75) ft or at 0. Angles from
    // Phi' = T Phi S: angle1 = atan2(-Phi'02, Phi'22) x -57.295776f, angle2 =
    // atan2(-Phi'12, hypot(Phi'22, Phi'02)) x 57.295776f, angle3 = atan2(Phi'10, Phi'11)
    // x 57.295776f. Position: T p + (125, -50, 200) + Phi'' (310, -220, 135) ft, Phi''
    // rebuilt from the new angles. Narrowed where PoseTransform.cpp says f(); each value
    // x 100000, truncated toward zero, in network order.
    // Above each case, its six fields read back (field / 100000); "in double" names the
    // fields that come out otherwise when no f() narrows. A field that lands there says
    // a narrowing point was dropped; a last-place change elsewhere, the order of the
    // arithmetic or the mathematics library; anything larger, a wrong step.
    const struct {
        float reading[3];
        bool fixed;
        const char* golden;
    } cases[] = {
        // 170.70846 56.60919 -186.35504 ft, 96.64678 -64.53553 29.99945 deg
        {{2.99820018f, -0.930449963f, 0.763600111f},
         false,
         "01 04 7A FE / 00 56 60 F7 / FE E3 A5 10 / 00 93 78 A6 / FF 9D 86 CF / 00 2D C6 89"},
        // 2701.07763 -1206.91882 -264.34890 ft, 78.32334 29.01786 32.30953 deg;
        // in double: angle1 78.32335
        {{-1.54259992f, -0.0765999556f, -0.787799835f},
         true,
         "10 19 84 73 / F8 CE 63 56 / FE 6C A2 B6 / 00 77 83 0E / 00 2C 47 1A / 00 31 4C E9"},
        // -52.27528 -382.73385 343.48049 ft, 52.89353 32.95450 -90.25506 deg;
        // in double: x -52.27527
        {{2.78790021f, 1.25864995f, -1.46249986f},
         false,
         "FF B0 3B F8 / FD B7 FE 97 / 02 0C 1C 11 / 00 50 B5 89 / 00 32 48 DA / FF 76 48 1E"},
        // 2640.48706 -1247.49267 449.44418 ft, -52.39241 4.70109 18.05640 deg
        {{-0.21969986f, -0.871399939f, 0.427900076f},
         true,
         "0F BD 10 42 / F8 90 7A 2D / 02 AD CC 22 / FF B0 0E 37 / 00 07 2C 5D / 00 1B 8D 48"},
        // 2390.49414 -1459.02746 -98.84254 ft, 179.05154 -7.79905 -34.51130 deg;
        // in double: z -98.84255
        {{2.39530015f, -0.340649962f, -0.0577998161f},
         true,
         "0E 3F 9A C6 / F7 4D B3 66 / FF 69 2D A2 / 01 11 36 02 / FF F4 19 7F / FF CB 57 06"},
        // 355.85546 251.04570 337.12124 ft, -10.32633 -8.09936 83.90008 deg
        {{2.89600015f, -1.51684999f, 2.41640019f},
         false,
         "02 1E FE 0A / 01 7F 10 BA / 02 02 67 FC / FF F0 3E 47 / FF F3 A4 30 / 00 80 05 78"},
        // 2721.46044 -975.06549 -229.68991 ft, -130.81517 -39.60338 -156.98005 deg;
        // in double: y -975.06542
        {{2.9848001f, 0.408300042f, 1.72120023f},
         true,
         "10 38 9E 7C / FA 30 2B 0B / FE A1 85 61 / FF 38 64 53 / FF C3 91 EE / FF 10 77 AB"},
        // 515.49298 -66.12271 299.90136 ft, 145.97422 -2.17529 -141.43110 deg
        {{-0.403800011f, 1.5108f, -2.60019994f},
         false,
         "03 12 94 72 / FF 9B 1A D1 / 01 C9 9C F8 / 00 DE BD 2E / FF FC AE 47 / FF 28 31 7A"},
        // 2225.23706 -1052.01794 353.28894 ft, 5.36687 40.59158 -178.19200 deg
        {{1.77340007f, 0.238400102f, -2.53339982f},
         true,
         "0D 43 71 3A / F9 BA BF 7E / 02 1B 13 7E / 00 08 30 6F / 00 3D F0 16 / FE F0 19 C0"},
        // 502.56692 91.08937 216.18681 ft, 81.59155 49.77699 119.44372 deg
        {{-0.120999813f, 0.00435006618f, -1.43969989f},
         false,
         "02 FE DB 34 / 00 8A FD C9 / 01 49 DF F9 / 00 7C 7F B3 / 00 4B F4 23 / 00 B6 41 B4"},
        // 2344.20532 -1256.79199 424.19235 ft, -110.01688 53.11509 29.05047 deg;
        // in double: x 2344.20556, angle3 29.05046
        {{1.90170026f, -0.652399957f, -1.29009986f},
         true,
         "0D F8 F9 34 / F8 82 49 A1 / 02 87 44 23 / FF 58 20 A8 / 00 51 0C 15 / 00 2C 53 D7"},
        // 512.66271 -67.59337 310.15036 ft, 144.50651 16.00833 -147.71818 deg
        {{0.449500084f, 1.2233001f, -1.6286999f},
         false,
         "03 0E 42 DF / FF 98 DC 57 / 01 D9 40 7C / 00 DC 7F DB / 00 18 6D 41 / FF 1E 99 96"},
        // 332.59484 -232.12562 -94.04020 ft, 179.58276 -35.47246 -87.35288 deg
        {{2.67490029f, 0.280000091f, 0.723400116f},
         false,
         "01 FB 7F DC / FE 9D CD EE / FF 70 81 8C / 01 12 05 84 / FF C9 DF 92 / FF 7A B5 C8"},
        // 2602.05249 -1190.39111 -303.43890 ft, 104.92337 65.82115 56.63774 deg
        {{-1.47019994f, 0.472350001f, -1.21679986f},
         true,
         "0F 82 6A C1 / F8 E7 9B 79 / FE 30 FD 2E / 00 A0 19 B1 / 00 64 6F 63 / 00 56 6C 1E"},
        // 314.36999 -404.34219 163.86686 ft, 137.17919 -3.23119 -72.14259 deg
        {{2.82080007f, 0.59679997f, -0.0339999199f},
         false,
         "01 DF B0 C7 / FD 97 05 D5 / 00 FA 0A 7E / 00 D1 51 9F / FF FB 11 D1 / FF 91 EB 4D"},
        // -275.49636 -8.58699 175.24885 ft, -154.83023 -58.90543 13.15866 deg;
        // in double: y -8.58697, z 175.24887, angle2 -58.90544
        {{0.452000141f, -1.14084995f, 1.87549996f},
         false,
         "FE 5B A0 3C / FF F2 E5 B5 / 01 0B 68 95 / FF 13 BF 71 / FF A6 1E 11 / 00 14 14 1A"},
        // 2723.81811 -787.88330 -2.14448 ft, 21.82083 -24.54167 89.36880 deg;
        // in double: x 2723.81835, angle2 -24.54166
        {{2.70939994f, -1.5428499f, 1.94460034f},
         true,
         "10 3C 37 73 / FB 4D C9 16 / FF FC BA 50 / 00 21 4B C3 / FF DA 8D 69 / 00 88 5D B0"},
        // 515.70471 -97.71838 288.30511 ft, 148.22077 6.05266 -139.55574 deg
        {{0.847900152f, 1.42509997f, -1.29079986f},
         false,
         "03 12 E7 27 / FF 6A E4 C2 / 01 B7 EB 2F / 00 E2 2A BD / 00 09 3C 52 / FF 2B 0E 0A"},
        // 443.95968 39.97367 -29.98793 ft, 52.23886 -19.53525 42.55132 deg;
        // in double: y 39.97365, z -29.98794, angle3 42.55131
        {{-1.7773999f, -0.822049975f, -0.0626997948f},
         false,
         "02 A5 6D C0 / 00 3C FE B7 / FF D2 3D F7 / 00 4F B5 CE / FF E2 31 0B / 00 40 ED 9C"},
        // 2203.48144 -1355.94958 -13.07238 ft, 17.84288 66.05204 -99.77542 deg;
        // in double: z -13.07233
        {{3.11290002f, 0.991649985f, -1.86019993f},
         true,
         "0D 22 3E F0 / F7 EA FC 32 / FF EC 0D 9A / 00 1B 39 E0 / 00 64 C9 94 / FF 67 C1 3A"},
        // -251.42185 -185.97355 250.42596 ft, -146.24871 -12.09707 9.13464 deg;
        // in double: x -251.42184, y -185.97357, z 250.42605, angle1 -146.24870
        {{1.98849988f, -1.24004996f, -0.230699778f},
         false,
         "FE 80 5C 57 / FE E4 3A 15 / 01 7E 1E A4 / FF 20 D7 99 / FF ED 8A 95 / 00 0D F0 38"},
        // 2754.19555 -1445.77893 143.30203 ft, -137.91526 52.80441 -75.65716 deg
        {{0.958600283f, 0.305250049f, -0.383099794f},
         true,
         "10 6A 91 A3 / F7 61 EA 9B / 00 DA A9 5B / FF 2D 8E DA / 00 50 92 B9 / FF 8C 8E 6C"},
        // -21.28557 -264.95312 -108.41640 ft, -50.93854 56.60169 -115.38612 deg;
        // in double: x -21.28558, z -108.41641
        {{-1.51579988f, 1.4812001f, -1.02609992f},
         false,
         "FF DF 85 53 / FE 6B B6 B0 / FF 5A 91 D8 / FF B2 46 22 / 00 56 5E 09 / FF 4F EF 4C"},
        // 2914.72900 -1094.92529 16.87147 ft, 170.66120 -9.67092 -145.57411 deg;
        // in double: z 16.87146
        {{-2.70539999f, 1.32379997f, 1.73000026f},
         true,
         "11 5F 86 04 / F9 79 46 CF / 00 19 BE 6B / 01 04 68 88 / FF F1 3E 4C / FF 21 DF 1D"},
    };
    const float fixed[3] = {1500.5f, -2000.25f, 800.75f};
    for (const auto& test : cases) {
        std::uint8_t block[36];
        readingOf(test.reading[0], test.reading[1], test.reading[2], block);
        TrackerPose pose = poseFromReading(block, true);
        ASSERT_TRUE(placePose(pose, table, 1, test.fixed ? fixed : nullptr, 0.0));
        EXPECT_EQ(recordBytes(pose), test.golden) << test.reading[0];
    }
}
