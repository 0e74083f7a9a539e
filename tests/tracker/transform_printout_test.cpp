// Transform printout: the exact text, what is left out, and the stream format it
// leaves behind.
#include "tracker/CTraCommonH.h"

#include "host/plugin/HostConfig.h"
#include "tests/fixtures/CaptureStdout.h"
#include "tests/fixtures/PlainLogger.h"

#include <gtest/gtest.h>

#include <iostream>
#include <string>

namespace {

class TransformPrintout : public ::testing::Test {
protected:
    void SetUp() override {
        resetStdoutFormat();
        ASSERT_TRUE(table.createEntries(1));
        ASSERT_TRUE(table.setEntry(1, 1, nullptr, nullptr, nullptr));
    }
    void TearDown() override { resetStdoutFormat(); }

    void apply(HostConfig& config) {
        CaptureStdout cap;
        ASSERT_TRUE(table.parseOptions(config.record())) << cap.text();
    }
    std::string print(bool printCave = true) {
        CaptureStdout cap;
        EXPECT_TRUE(table.printTransforms(printCave));
        return cap.text();
    }

    CLoggerH logger = plainLogger("dev");
    CTraCommonH table{&logger};
};

} // namespace

TEST_F(TransformPrintout, FullSettingsPrintExactly) {
    HostConfig config;
    config.add("cavecoord", {"on"});
    config.add("transmitteroffset", {"1", "2", "3"});
    config.add("transmitterrotation", {"0", "1", "0", "90"});
    config.add("sensoroffset", {"1", "0", "0", "0.5"});
    config.add("calibration", {"mycal.dll", "0.5"});
    apply(config);

    const std::string rotation =
        " [0][0]: 0.000 [0][1]: 0.000 [0][2]:-1.000\n"
        "dev: INFO:                       : [1][0]: 0.000 [1][1]: 1.000 [1][2]: 0.000\n"
        "dev: INFO:                       : [2][0]: 1.000 [2][1]: 0.000 [2][2]: 0.000\n"
        "\n";
    const std::string sensor =
        " 1 [0][0]: 1.000 [0][1]: 0.000 [0][2]: 0.000\n"
        "dev: INFO:                       : 1 [1][0]: 0.000 [1][1]: 1.000 [1][2]: 0.000\n"
        "dev: INFO:                       : 1 [2][0]: 0.000 [2][1]: 0.000 [2][2]: 1.000\n"
        "\n";
    const std::string tail = "dev: INFO: TRANSMITTER ROTATION  :" + rotation +
                             "dev: INFO: TRANSMITTER TRANSFORM :" + rotation +
                             "dev: INFO: TRACKER ORDER         : <Real tra> -> <Output tra>\n"
                             "dev: INFO:                       : 1->1\n"
                             "dev: INFO: SENSOR OFFSET         : 1 X:0.000 Y:0.000 Z:0.500\n"
                             "dev: INFO: SENSOR TRANSFORM      :" +
                             sensor +
                             "dev: INFO: CALIBRATION LIBRARY   : name:mycal.dll\n"
                             "dev: INFO:                       : arg[0]:0.5\n";
    EXPECT_EQ(print(), "dev: INFO: CAVE COORDINATES      : Used\n"
                       "dev: INFO: TRANSMITTER OFFSET    : X:1 Y:2 Z:3\n" +
                           tail);
    // Fixed notation with three decimals stays on the stream from the first matrix on.
    EXPECT_EQ(print(false), "dev: INFO: TRANSMITTER OFFSET    : X:1.000 Y:2.000 Z:3.000\n" + tail);
}

TEST_F(TransformPrintout, NothingSetPrintsCaveAndOrderOnly) {
    table.setEntry(1, 0, nullptr, nullptr, nullptr);
    EXPECT_EQ(print(), "dev: INFO: CAVE COORDINATES      : Unused\n"
                       "dev: INFO: TRACKER ORDER         : <Real tra> -> <Output tra>\n"
                       "dev: INFO:                       :\n");
    EXPECT_EQ(print(false), "dev: INFO: TRACKER ORDER         : <Real tra> -> <Output tra>\n"
                            "dev: INFO:                       :\n");
}

TEST_F(TransformPrintout, OffsetAloneShowsIdentityTransform) {
    HostConfig config;
    config.add("transmitteroffset", {"0.25", "0", "0"});
    apply(config);
    const std::string text = print(false);
    EXPECT_EQ(text.rfind("dev: INFO: TRANSMITTER OFFSET    : X:0.25 Y:0 Z:0\n"
                         "dev: INFO: TRANSMITTER TRANSFORM : [0][0]: 1.000 [0][1]: 0.000",
                         0),
              0u)
        << text;
    EXPECT_EQ(text.find("ROTATION"), std::string::npos);
}

TEST_F(TransformPrintout, WideElementsPushTheLine) {
    HostConfig config;
    config.add("sensorrotationmatrix",
               {"1", "-1", "10", "100", "-4e-8", "-10", "0", "0", "0", "1"});
    apply(config);
    const std::string text = print(false);
    EXPECT_NE(text.find("SENSOR ROTATION       : 1 [0][0]:-1.000 [0][1]:10.000 [0][2]:100.000\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find(": 1 [1][0]:-0.000 [1][1]:-10.000 [1][2]: 0.000\n"), std::string::npos);
}

TEST_F(TransformPrintout, EntriesWithoutOrderAreSkippedButCounted) {
    CTraCommonH table(&logger, {false, 3, false});
    ASSERT_TRUE(table.createEntries(3));
    HostConfig config;
    config.add("order", {"3", "1"});
    config.add("sensoroffset", {"2", "1", "1", "1"});
    config.add("sensoroffset", {"3", "0", "0", "2"});
    CaptureStdout cap;
    ASSERT_TRUE(table.parseOptions(config.record()));
    table.setIdOffset(4);
    cap.clear();
    table.printTransforms(false);
    const std::string text = cap.text();
    EXPECT_NE(text.find(":                       : 1->6 3->5\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("SENSOR OFFSET         : 2"), std::string::npos);
    EXPECT_NE(text.find("SENSOR OFFSET         : 3 X:0 Y:0 Z:2\n"), std::string::npos);
}

TEST_F(TransformPrintout, LoggerOffStillWritesValuesAndSeparators) {
    logger.enabled = 0;
    CTraCommonH quiet(&logger);
    ASSERT_TRUE(quiet.createEntries(1));
    const Matrix4 offset = offsetMatrix(0, 0, 2);
    ASSERT_TRUE(quiet.setEntry(1, 1, &offset, nullptr, nullptr));
    HostConfig config;
    config.add("calib", {"missing-calibration", "a"});
    quiet.parseOptions(config.record());
    CaptureStdout cap;
    quiet.printTransforms();
    // The CAVE and order heading lines are the logger's own, line ends included.
    EXPECT_EQ(cap.text(), " 1->1\n 1 X:0 Y:0 Z:2\n"
                          " 1 [0][0]: 1.000 [0][1]: 0.000 [0][2]: 0.000\n"
                          " 1 [1][0]: 0.000 [1][1]: 1.000 [1][2]: 0.000\n"
                          " 1 [2][0]: 0.000 [2][1]: 0.000 [2][2]: 1.000\n"
                          "\n name:missing-calibration\n arg[0]:a\n");
}
