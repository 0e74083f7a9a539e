// trackhost --check: every problem and likely mistake of a configuration file in
// one pass, sorted by line, and its exit status.
#include "host/HostOptions.h"
#include "host/check/ConfigCheck.h"
#include "host/report/ExitCode.h"

#include "platform/platform.h"
#include "tests/fixtures/RunProgram.h"
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
                    "port 0x2\n"
                    "position -25000 0 0\n"
                    "reconnect 2,5\n"
                    "[head]\n"
                    "port 3\n"
                    "reconnect 2s\n"
                    "transmitterrotationmatrix 0 1 0 -1 0 0 0 0 1\n"
                    "sensorrotationmatrix 1 1 0 0 0 0.7071068 0.7071068 0 -0.7071068 0.7071068\n"
                    "sensorrotation 1 0 1 0 1e-3\n",
                    report),
              exitSuccess);
    const std::string f = "WarnsOfValuesThePluginTakesButNobodyMeans.conf:";
    EXPECT_EQ(
        report,
        f + "2: warning: text after the number in \"1,5\" of port: it reads as 1\n" + f +
            "3: warning: decimal comma in \"1,5\" of position: it reads as 1; write 1.5\n" + f +
            "3: warning: text after the number in \"12abc\" of position: it reads as 12\n" + f +
            "3: warning: \"-x\" in position is not a number; it reads as 0\n" + f +
            "4: warning: transmitterrotation about the axis 0 0 0 turns nothing\n" + f +
            "5: warning: transmitterrotationmatrix is not a rotation: its determinant is "
            "-1, not 1 (a mirroring)\n" +
            f +
            "5: warning: transmitterrotationmatrix repeats the transmitter rotation of line "
            "4; the last one wins\n" +
            f +
            "6: warning: sensorrotationmatrix is not a rotation: column 1 is not of length "
            "1\n" +
            f +
            "7: warning: the length 22965.9 feet in sensoroffset does not fit a record, "
            "which holds less than 21474.83648 feet; it wraps\n" +
            f +
            "10: warning: the length -25000 feet in position does not fit a record, which "
            "holds less than 21474.83648 feet; it wraps\n" +
            f + "11: warning: decimal comma in \"2,5\" of reconnect: it reads as 2; write 2.5\n" +
            f + "12: warning: a second section [head]; the first is at line 1\n" + f +
            "14: warning: text after the number in \"2s\" of reconnect: it reads as 2\n" + f +
            "17: warning: sensorrotation repeats the sensor rotation of line 16; the last "
            "one wins\n"
            "WarnsOfValuesThePluginTakesButNobodyMeans.conf: 3 sections, no problems, 14 "
            "warnings\n");
}

// A unit written straight after a length's number is text the plug-in passes over:
// the warning names the line's unit and what the length comes to in it.
TEST(ConfigCheck, AUnitAfterALengthsNumberIsNamedWithTheLengthInTheLinesUnit) {
    std::string report;
    EXPECT_EQ(check("[head]\n"
                    "position 0 66in 0\n"
                    "sensoroffset 1 2m 0 0 cm\n"
                    "transmitteroffset 0.5FT 0 0\n"
                    "reconnect 2s\n",
                    report),
              exitSuccess);
    const std::string f = "AUnitAfterALengthsNumberIsNamedWithTheLengthInTheLinesUnit.conf";
    EXPECT_EQ(report, f +
                          ":2: warning: text after the number in \"66in\" of position: it reads "
                          "as 66 feet; 66 inches are 5.5 feet\n" +
                          f +
                          ":3: warning: text after the number in \"2m\" of sensoroffset: it "
                          "reads as 2 cm; 2 meters are 200 cm\n" +
                          f +
                          ":4: warning: text after the number in \"0.5FT\" of "
                          "transmitteroffset: it reads as 0.5 feet\n" +
                          f +
                          ":5: warning: text after the number in \"2s\" of reconnect: it "
                          "reads as 2\n" +
                          f + ": 1 section, no problems, 4 warnings\n");
}

// The plug-in turns by the angle as a 32-bit float: one it holds only coarsely turns
// by something else than written, from 16384 degrees on (16383.5 is held exactly).
TEST(ConfigCheck, AnAngleTheFloatsHoldOnlyCoarselyIsWarnedOf) {
    std::string report;
    EXPECT_EQ(check("[head]\n"
                    "sensorrotation 1 0 1 0 1e30\n"
                    "transmitterrotation 0 1 0 16383.5\n"
                    "[hand]\n"
                    "port 2\n"
                    "transmitterrotation 0 1 0 -20000\n"
                    "sensorrotation 1 1 0 0 16384\n",
                    report),
              exitSuccess);
    const std::string f = "AnAngleTheFloatsHoldOnlyCoarselyIsWarnedOf.conf";
    EXPECT_EQ(report, f +
                          ":2: warning: the angle 1e+30 degrees in sensorrotation is held in the "
                          "plug-in's 32-bit numbers only in steps of 7.55579e+22 degrees, so it "
                          "does not turn as written; give it from -360 to 360\n" +
                          f +
                          ":6: warning: the angle -20000 degrees in transmitterrotation is held "
                          "in the plug-in's 32-bit numbers only in steps of 0.00195312 degrees, "
                          "so it does not turn as written; give it from -360 to 360\n" +
                          f +
                          ":7: warning: the angle 16384 degrees in sensorrotation is held in the "
                          "plug-in's 32-bit numbers only in steps of 0.00195312 degrees, so it "
                          "does not turn as written; give it from -360 to 360\n" +
                          f + ": 2 sections, no problems, 3 warnings\n");
}

// A setting given twice: the plug-in keeps the last, but a zero transmitter offset
// stores nothing.
TEST(ConfigCheck, ASettingGivenTwiceNamesBothLines) {
    std::string report;
    EXPECT_EQ(check("[a]\nport 2\nSerialPort 3\ntransmitteroffset 1 0 0\n"
                    "transmitteroffset 0 0 0 m\nposition 1 2 3\n[b]\nposition 1 2 3\n",
                    report),
              exitSuccess);
    const std::string f = "ASettingGivenTwiceNamesBothLines.conf";
    EXPECT_EQ(report,
              f + ":3: warning: SerialPort repeats the port of line 2; the last one wins\n" + f +
                  ":5: warning: transmitteroffset repeats the transmitter offset of line "
                  "4, but an offset of 0 0 0 changes nothing: the one of line 4 stays\n" +
                  f + ": 2 sections, no problems, 2 warnings\n");
}

// What init is certain to refuse: two sensors on one port (a section without a port
// line is on port 1), arguments the calibration library refuses; a refused unit
// word is followed by the words the plug-in takes.
TEST(ConfigCheck, WhatInitWouldRefuseIsAProblem) {
    std::string report;
    EXPECT_EQ(check("[head]\n"
                    "calibration smoothing 0\n"
                    "[hand]\n"
                    "serialport 0x1\n"
                    "sensortranslation 1 0 0 1 yards\n"
                    "[wand]\n"
                    "calibration boresight 1 2\n",
                    report),
              exitConfiguration);
    const std::string f = "WhatInitWouldRefuseIsAProblem.conf:";
    EXPECT_EQ(report,
              f +
                  "2: calibration library \"smoothing\" refuses its arguments: minCutoff "
                  "(argument 1) \"0\" is not a number above 0\n" +
                  f +
                  "4: section [hand] is on port 1, as section [head] at line 1 is; a port has "
                  "one sensor, so init of [hand] would fail\n" +
                  f + "5: Invalid unit found for SensorTranslation at line 5.\n" + f +
                  "5: note: the unit words are feet, inches, meters or m, cm\n" + f +
                  "6: section [wand] is on port 1 (it has no port line), as section [head] at "
                  "line 1 is; a port has one sensor, so init of [wand] would fail\n" +
                  f +
                  "7: calibration library \"boresight\" refuses its arguments: expected angle1 "
                  "angle2 angle3 [x y z], got 2 arguments\n");
}

// The checker asks a calibration library for every entry point the plug-in calls, as
// init, recvData and stop would: a missing one fails the check, not the run.
TEST(ConfigCheck, ACalibrationLibraryLackingAnEntryPointIsAProblem) {
    std::string report;
    EXPECT_EQ(check("[head]\ncalibration testcalib_noeval\n[hand]\nport 2\n"
                    "calibration testcalib_noexit 1\n[wand]\nport 3\ncalibration testcalib\n",
                    report),
              exitConfiguration);
    const std::string f = "ACalibrationLibraryLackingAnEntryPointIsAProblem.conf:";
    EXPECT_EQ(report, f +
                          "2: calibration library \"testcalib_noeval\" has no calib_evaluate, so "
                          "recvData would fail in every cycle\n" +
                          f +
                          "5: calibration library \"testcalib_noexit\" has no calib_exit, so "
                          "stop would fail\n");
}

// A library named with a relative folder is found from the current folder, as the
// plug-in's loader finds it: the problem says where that was.
TEST(ConfigCheck, ALibraryNotFoundByItsRelativeFolderNamesTheFolderSearched) {
    std::string report;
    EXPECT_EQ(check("[head]\ncalibration ../no-such-folder/mycalib 1\n", report),
              exitConfiguration);
    const std::string f = "ALibraryNotFoundByItsRelativeFolderNamesTheFolderSearched.conf:2: ";
    const std::vector<std::string> lines = textLines(report);
    ASSERT_EQ(lines.size(), 2u) << report;
    const std::string problem =
        f + "calibration library \"../no-such-folder/mycalib\" cannot be loaded (";
    EXPECT_EQ(lines[0].substr(0, problem.size()), problem);
    EXPECT_EQ(lines[1], f +
                            "note: a library name with a folder is found from the current "
                            "folder, " +
                            platform::currentFolder() + ", not from the configuration file's");
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
                          "9: section [e] is on port 1 (it has no port line), as section [a] at "
                          "line 1 is; a port has one sensor, so init of [e] would fail\n");
    // File errors as for a run.
    EXPECT_EQ(check("[a]\nport \"1\n", report), exitConfiguration);
    EXPECT_EQ(report, f + "2: unterminated quote\n");
    EXPECT_EQ(check("# nothing\n", report), exitConfiguration);

    for (const char* example : {"demo.conf", "multi.conf", "calibration/boresight.conf"}) {
        const std::string file = std::string(TRACKER_SOURCE_DIR) + "/examples/" + example;
        std::ostringstream err;
        EXPECT_EQ(runCheck(file, err), exitSuccess);
        const std::string sections =
            example == std::string("multi.conf") ? "3 sections" : "1 section";
        EXPECT_EQ(err.str(), file + ": " + sections + ", no problems\n");
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
                          "4: note: the unit words are feet, inches, meters or m, cm\n" + f +
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
                                               "reconnect 2.5\n"
                                               "position 1 2 -0.5\n"
                                               "transmitteroffset 0 0 12 inches\n"
                                               "transmitterrotation 0 1 0 90\n"
                                               "sensortranslation 1 0 0.5 0\n"
                                               "cavecoord off\n");
    std::ostringstream err;
    std::ostringstream out;
    EXPECT_EQ(runCheck(file, err, &out), exitSuccess);
    EXPECT_EQ(err.str(), file + ": 1 section, no problems\n");
    EXPECT_EQ(out.str(), "[wand] at " + file +
                             ":1\n"
                             "  port                   3\n"
                             "  reset                  yes\n"
                             "  reconnect              2500 ms\n"
                             "  position               1 2 -0.5 feet\n"
                             "  CAVE coordinates       no\n"
                             "  transmitter offset     0 0 1 feet\n"
                             "  transmitter rotation   0 0 -1 / 0 1 0 / 1 0 0\n"
                             "  sensor offset          none\n"
                             "  sensor rotation        none\n"
                             "  sensor translation     0 0.5 0 feet\n"
                             "  calibration            none\n");
}
