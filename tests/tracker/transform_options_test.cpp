// Transform options: units, the number and tracker-ID rules, error reports and what
// each failure leaves behind.
#include "tracker/CTraCommonH.h"

#include "host/plugin/HostConfig.h"
#include "tests/fixtures/CaptureStdout.h"
#include "tests/fixtures/PlainLogger.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

class TransformOptions : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(table.createEntries(1)); }

    bool parse() { return parse(table); }
    bool parse(CTraCommonH& on) {
        CaptureStdout cap;
        const bool result = on.parseOptions(config.record());
        output = cap.text();
        return result;
    }
    bool used(std::uint32_t index) const { return config.record()->lines[index].used != 0; }

    const CLoggerH logger = plainLogger("dev");
    CTraCommonH table{&logger};
    HostConfig config;
    std::string output;
};

} // namespace

TEST_F(TransformOptions, PreconditionsAreReported) {
    CTraCommonH empty(&logger);
    CaptureStdout cap;
    EXPECT_FALSE(empty.parseOptions(config.record()));
    EXPECT_FALSE(table.parseOptions(nullptr));
    EXPECT_TRUE(table.parseOptions(config.record()));
    EXPECT_EQ(cap.text(), "dev: ERROR: CTraCommonH: lookup is Null.\n"
                          "dev: ERROR: CTraCommonH: config is empty.\n");
}

TEST_F(TransformOptions, UnitWordsConvertToFeet) {
    config.add("transmitteroffset", {"1", "2", "3", "INCHES"});
    config.add("SensorTranslation", {"0x1", "1", "0", "0", "m"});
    config.add("sensoroffset", {"1", "1", "2", "3", "Cm"});
    ASSERT_TRUE(parse()) << output;
    EXPECT_TRUE(used(0) && used(1) && used(2));
    const float inch = 1.0f / 12.0f;
    EXPECT_EQ(table.transmitterOffset().m[3], inch);
    EXPECT_EQ(table.transmitterOffset().m[11], 3 * inch);
    EXPECT_EQ(table.transmitterTransform().m[13], 2 * inch);

    const TrackerEntry& entry = table.entry(1);
    EXPECT_EQ(entry.translation[0], 3.28084f);
    EXPECT_EQ(entry.transform.m[14], 3 * 0.0328084f); // from the offset, not the translation
    EXPECT_EQ(entry.transform.m[12], 0.0328084f);
}

TEST_F(TransformOptions, TransmitterOffsetSkipsOnlyAllZero) {
    config.add("transmitteroffset", {"0", "0", "0"});
    ASSERT_TRUE(parse());
    EXPECT_TRUE(used(0));
    EXPECT_FALSE(table.transmitterOffsetSet());

    config.add("transmitteroffset", {"1", "-1", "0"});
    config.add("transmitteroffset", {"0", "0", "0", "feet"});
    ASSERT_TRUE(parse());
    EXPECT_TRUE(used(1) && used(2));
    EXPECT_TRUE(table.transmitterOffsetSet());
    EXPECT_EQ(table.transmitterTransform().m[12], 1.0f);
    EXPECT_EQ(table.transmitterTransform().m[13], -1.0f);
}

TEST_F(TransformOptions, NumbersReadAsDecimalPrefixes) {
    config.add("transmitterrotationmatrix",
               {"12abc", "  7", "", "-x", "0x10", "1e2", ".5", "-2.5E-1", "1e"});
    ASSERT_TRUE(parse()) << output;
    const float* m = table.transmitterTransform().m;
    const float expected[] = {12, 7, 0, 0, 0, 100, 0.5f, -0.25f, 1};
    const int index[] = {0, 1, 2, 4, 5, 6, 8, 9, 10};
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(m[index[i]], expected[i]) << "value " << i;
    }
}

TEST_F(TransformOptions, BadLinesAreReportedAndStoreNothing) {
    const struct {
        const char* option;
        std::vector<std::string> args;
        const char* report;
    } cases[] = {
        {"transmitteroffset", {"1", "2"}, "Incomplete option line found for TransmitterOffset"},
        {"transmitteroffset",
         {"1", "2", "3", "yards"},
         "Invalid string found for TransmitterOffset"},
        {"sensoroffset", {"1", "1", "2", "3", "yards"}, "Invalid unit found for SensorOffset"},
        {"sensoroffset",
         {"1", "1", "2", "3", "m", "6", "7"},
         "Too many args found for SensorOffset"},
        {"sensoroffset", {"2", "1", "2", "3"}, "Invalid tracker ID found for SensorOffset"},
        {"sensortranslation", {"0"}, "Invalid tracker ID found for SensorTranslation"},
        {"sensorrotation",
         {"-1", "0", "0", "1", "90"},
         "Invalid tracker ID found for SensorRotation"},
        {"sensorrotation", {"1", "0", "0", "1", "abc"}, "Invalid arg found for SensorRotation"},
        {"transmitterrotation",
         {"e5", "0", "1", "90"},
         "Invalid arg found for TransmitterRotation"},
        {"transmitterrotation",
         {"0", "1", "0", "1e39"},
         "Invalid arg found for TransmitterRotation"},
        {"sensoroffset", {"1", "1e39", "0", "0"}, "Invalid arg found for SensorOffset"},
        {"sensorrotation",
         {"4294967297", "0", "0", "1", "90"},
         "Invalid tracker ID found for SensorRotation"},
        {"calibration",
         {"lib", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11"},
         "Too many args found for Calibration"},
        {"transmitterrotationmatrix",
         {"1", "0", "0", "0", "1", "0", "0", "0"},
         "Incomplete option line found for TransmitterRotationMatrix"},
        {"sensorrotationmatrix",
         {"1", "1", "0", "0", "0", "1", "0", "0", "0", "1e39"},
         "Invalid arg found for SensorRotationMatrix"},
        {"calibration", {}, "Incomplete option line found for Calibration"},
        {"cavecoordinates", {"maybe"}, "Invalid string found for CAVECoord"},
        {"unitorder", {"1"}, "Can not change the order on input connector"},
    };
    for (const auto& bad : cases) {
        SCOPED_TRACE(bad.report);
        CTraCommonH fresh(&logger);
        ASSERT_TRUE(fresh.createEntries(1));
        HostConfig lines;
        lines.add(bad.option, bad.args, 12);
        CaptureStdout cap;
        EXPECT_FALSE(fresh.parseOptions(lines.record()));
        EXPECT_EQ(cap.text(), std::string("dev: ERROR: ") + bad.report + " at line 12.\n");
        EXPECT_FALSE(lines.record()->lines[0].used);
        EXPECT_FALSE(fresh.transmitterOffsetSet() || fresh.transmitterRotationSet() ||
                     fresh.entry(1).offsetSet || fresh.entry(1).rotationSet);
        EXPECT_EQ(fresh.calib(), nullptr);
    }
}

TEST_F(TransformOptions, RotationAndOffsetCombineInEitherOrder) {
    config.add("sensorrotationmatrix", {"1", "0", "1", "0", "-1", "0", "0", "0", "0", "1"});
    config.add("sensoroffset", {"1", "4", "5", "6"});
    config.add("transmitteroffset", {"1", "2", "3"});
    config.add("transmitterrotation", {"0", "1", "0", "90"});
    ASSERT_TRUE(parse()) << output;
    const Matrix4 sensor =
        combineTransform(matrixFromNine(0, 1, 0, -1, 0, 0, 0, 0, 1), offsetMatrix(4, 5, 6));
    const Matrix4 transmitter =
        combineTransform(axisAngleMatrix(0, 1, 0, 90), offsetMatrix(1, 2, 3));
    EXPECT_EQ(std::memcmp(&table.entry(1).transform, &sensor, sizeof sensor), 0);
    EXPECT_EQ(std::memcmp(&table.transmitterTransform(), &transmitter, sizeof transmitter), 0);
}

TEST_F(TransformOptions, SensorRotationTakesTheAxisInItsOrder) {
    config.add("sensorrotation", {"1", "1", "2", "3", "40"});
    ASSERT_TRUE(parse()) << output;
    const Matrix4 expected = axisAngleMatrix(1, 2, 3, 40);
    EXPECT_EQ(std::memcmp(&table.entry(1).rotation, &expected, sizeof expected), 0);
}

// After a failed line the geometric options still check their values but look at
// no unit word or angle and store nothing; calibration and CAVE options still act.
TEST_F(TransformOptions, AfterAnErrorGeometricOptionsStoreNothing) {
    config.add("transmitteroffset", {"1", "2"}, 1);
    config.add("sensoroffset", {"1", "1", "2", "3", "yards"}, 2);
    config.add("sensorrotation", {"1", "0", "0", "abc", "90"}, 3);
    config.add("transmitterrotation", {"0", "0", "1", "abc"}, 4);
    config.add("cavecoord", {"ON"}, 5);
    config.add("calib", {"missing-calibration-library"}, 6);
    config.add("transmitteroffset", {"1", "2", "3"}, 7);
    EXPECT_FALSE(parse());
    EXPECT_NE(output.find("dev: ERROR: Incomplete option line found for TransmitterOffset at "
                          "line 1.\ndev: ERROR: Invalid arg found for SensorRotation at line 3.\n"),
              std::string::npos)
        << output;
    EXPECT_EQ(output.find("line 2"), std::string::npos);
    EXPECT_EQ(output.find("line 4"), std::string::npos);
    EXPECT_FALSE(used(0) || used(1) || used(2) || used(3));
    EXPECT_TRUE(used(4) && used(5));
    EXPECT_FALSE(table.entry(1).offsetSet || table.transmitterRotationSet() ||
                 table.transmitterOffsetSet() || used(6));
    EXPECT_TRUE(table.caveCoordinates());
    EXPECT_NE(table.calib(), nullptr);
}

TEST_F(TransformOptions, OrderAndCaveDependOnConnectorKind) {
    CTraCommonH table(&logger, {false, 2, false});
    ASSERT_TRUE(table.createEntries(3));
    config.add("order", {"3", "1", "2"});
    config.add("TrackerOrder", {"1", "4"}, 9);
    config.add("cavecoordinates", {"yes"});
    EXPECT_FALSE(parse(table));
    EXPECT_EQ(output, "dev: ERROR: Invalid tracker ID found for Order at line 9.\n");
    EXPECT_TRUE(used(0));
    EXPECT_FALSE(used(2)); // left for the unknown-option check
    EXPECT_FALSE(table.caveCoordinates());
    EXPECT_EQ(table.entry(1).order, 2u);
    EXPECT_EQ(table.entry(2).order, 0u);
    EXPECT_EQ(table.entry(3).order, 1u);
}

TEST_F(TransformOptions, CalibrationReplacesHandleAndArguments) {
    config.add("calibration", {"first-calibration", "alpha", "beta"});
    config.add("calib", {"second-calibration", "gamma"});
    config.add("calib", {"third-calibration", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10"});
    config.add("calib", {"second-calibration", "gamma"});
    ASSERT_TRUE(parse()) << output;
    EXPECT_TRUE(used(2)) << "ten library arguments are allowed";
    EXPECT_NE(output.find("Can not load the library second-calibration"), std::string::npos);
    ASSERT_NE(table.calib(), nullptr);
    EXPECT_EQ(table.calibLibrary(), "second-calibration");
    EXPECT_EQ(table.calibArgs(), std::vector<std::string>{"gamma"});
}

TEST_F(TransformOptions, RefusedCalibrationKeepsEarlierHandle) {
    config.add("calib", {"kept-calibration", "alpha"}, 1);
    config.add("calib", {"other", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11"}, 2);
    config.add("calib", {std::string(256, 'x')}, 3);
    EXPECT_FALSE(parse());
    EXPECT_NE(output.find("dev: ERROR: Too many args found for Calibration at line 2.\n"
                          "dev: ERROR: Invalid string found for Calibration at line 3.\n"),
              std::string::npos)
        << output;
    ASSERT_NE(table.calib(), nullptr);
    EXPECT_EQ(table.calibLibrary(), "other"); // taken before the argument count is checked
    EXPECT_EQ(table.calibArgs(), std::vector<std::string>{"alpha"});

    HostConfig longest;
    longest.add("calib", {std::string(255, 'y')});
    CaptureStdout cap;
    EXPECT_TRUE(table.parseOptions(longest.record()));
    EXPECT_EQ(table.calibLibrary().size(), 255u);
}
