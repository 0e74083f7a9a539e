// trackhost --check: every problem and likely mistake of a configuration file in
// one pass, sorted by line, and its exit status.
#include "host/ExitCode.h"
#include "host/HostOptions.h"
#include "host/check/ConfigCheck.h"

#include "tests/fixtures/TestFiles.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

// Runs the check on `text` written to a file named after the test.
int check(const std::string& text, std::string& report) {
    TestFiles files;
    std::ostringstream err;
    const int code = runCheck(files.writeConfig(text), err);
    report = err.str();
    return code;
}

} // namespace

TEST(ConfigCheck, WarnsOfValuesThePluginTakesButNobodyMeans) {
    std::string report;
    EXPECT_EQ(check("[head]\n"
                    "port 1,5\n"
                    "position 1,5 12abc -x\n"
                    "transmitterrotation 0 0 0 90\n"
                    "transmitterrotationmatrix 1 0 0 0 1 0 0 0 -1\n"
                    "sensorrotationmatrix 1 2 0 0 0 1 0 0 0 1\n"
                    "sensoroffset 1 0 0 7000 m\n"
                    "[hand]\n"
                    "port 0x1\n"
                    "position -25000 0 0\n"
                    "[head]\n"
                    "port 3\n"
                    "transmitterrotationmatrix 0 1 0 -1 0 0 0 0 1\n"
                    "sensorrotationmatrix 1 1 0 0 0 0.7071068 0.7071068 0 -0.7071068 0.7071068\n"
                    "sensorrotation 1 0 1 0 1e-3\n",
                    report),
              exitSuccess);
    const std::string f = "WarnsOfValuesThePluginTakesButNobodyMeans.conf:";
    EXPECT_EQ(report,
              f + "2: warning: text after the number in \"1,5\" of port: it reads as 1\n" + f +
                  "3: warning: decimal comma in \"1,5\" of position: it reads as 1; write 1.5\n" +
                  f +
                  "3: warning: text after the number in \"12abc\" of position: it reads as 12\n" +
                  f + "3: warning: \"-x\" in position is not a number; it reads as 0\n" + f +
                  "4: warning: transmitterrotation about the axis 0 0 0 turns nothing\n" + f +
                  "5: warning: transmitterrotationmatrix is not a rotation: its determinant is "
                  "-1, not 1 (a mirroring)\n" +
                  f +
                  "6: warning: sensorrotationmatrix is not a rotation: column 1 is not of length "
                  "1\n" +
                  f +
                  "7: warning: the length 22965.9 feet in sensoroffset does not fit a record, "
                  "which holds less than 21474.83648 feet; it wraps\n" +
                  f +
                  "9: warning: section [hand] is on port 1, as section [head] at line 1 is; a "
                  "port has one sensor\n" +
                  f +
                  "10: warning: the length -25000 feet in position does not fit a record, which "
                  "holds less than 21474.83648 feet; it wraps\n" +
                  f + "11: warning: a second section [head]; the first is at line 1\n");
}

TEST(ConfigCheck, ProblemsFailTheCheckWarningsAndTheExamplesDoNot) {
    std::string report;
    EXPECT_EQ(check("[a]\nposition 1,5 0 0\n[b]\nport 2\n[c]\nport 3\n[d]\nport 4\n[e]\n", report),
              exitConfiguration);
    const std::string f = "ProblemsFailTheCheckWarningsAndTheExamplesDoNot.conf:";
    EXPECT_EQ(report, f +
                          "2: warning: decimal comma in \"1,5\" of position: it reads as 1; write "
                          "1.5\n" +
                          f +
                          "9: more than 4 device sections: one process wakes at most 4 "
                          "sensors\n" +
                          f +
                          "9: warning: section [e] is on port 1, as section [a] at line 1 is; a "
                          "port has one sensor\n");
    // File errors as for a run.
    EXPECT_EQ(check("[a]\nport \"1\n", report), exitConfiguration);
    EXPECT_EQ(report, f + "2: unterminated quote\n");
    EXPECT_EQ(check("# nothing\n", report), exitConfiguration);

    for (const char* example : {"demo.conf", "multi.conf", "calibration/boresight.conf"}) {
        std::ostringstream err;
        EXPECT_EQ(runCheck(std::string(TRACKER_SOURCE_DIR) + "/examples/" + example, err),
                  exitSuccess);
        EXPECT_EQ(err.str(), "") << example;
    }
}

TEST(ConfigCheck, ThePluginsOwnProblemsOfEverySectionInOnePass) {
    std::string report;
    EXPECT_EQ(check("[head]\n"
                    "port 7\n"
                    "position 0 5.5 0\n" // good, though the port line failed before it
                    "transmitteroffset 0 0 -1 furlongs\n"
                    "transmitterrotation 0 1 0 90\n" // good too
                    "speed 3\n"
                    "[hand]\n"
                    "port 2\n"
                    "reset maybe\n"
                    "sensoroffset 2 0 0 1\n"
                    "Order 1\n"
                    "colour blue\n",
                    report),
              exitConfiguration);
    const std::string f = "ThePluginsOwnProblemsOfEverySectionInOnePass.conf:";
    EXPECT_EQ(report, f + "2: Port should be between 1 and 4.\n" + f +
                          "4: Invalid string found for TransmitterOffset at line 4.\n" + f +
                          "6: Unknown option \"speed\" found at line 6.\n" + f +
                          "9: Invalid string found for Reset at line 9.\n" + f +
                          "10: Invalid tracker ID found for SensorOffset at line 10.\n" + f +
                          "11: Can not change the order on input connector at line 11.\n" + f +
                          "12: Unknown option \"colour\" found at line 12.\n");
}

TEST(ConfigCheck, VerboseShowsTheSettingsADeviceWouldUse) {
    TestFiles files;
    const std::string file = files.writeConfig("[wand]\n"
                                               "port 3\n"
                                               "reset on\n"
                                               "position 1 2 -0.5\n"
                                               "transmitteroffset 0 0 12 inches\n"
                                               "transmitterrotation 0 1 0 90\n"
                                               "sensortranslation 1 0 0.5 0\n"
                                               "cavecoord off\n");
    std::ostringstream err;
    std::ostringstream out;
    EXPECT_EQ(runCheck(file, err, &out), exitSuccess);
    EXPECT_EQ(err.str(), "");
    EXPECT_EQ(out.str(), "[wand] at " + file +
                             ":1\n"
                             "  port                   3\n"
                             "  reset                  yes\n"
                             "  position               1 2 -0.5 feet\n"
                             "  CAVE coordinates       no\n"
                             "  transmitter offset     0 0 1 feet\n"
                             "  transmitter rotation   0 0 -1 / 0 1 0 / 1 0 0\n"
                             "  sensor offset          none\n"
                             "  sensor rotation        none\n"
                             "  sensor translation     0 0.5 0 feet\n"
                             "  calibration            none\n");
}
