// trackhost with every name it is given in a folder named in other scripts: the
// names reach the system as they were typed, whatever the ANSI code page of
// Windows, and its messages give them back byte for byte.
#include "platform/platform.h"
#include "tests/fixtures/RunProgram.h"
#include "tests/fixtures/TestFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct UnicodePaths : testing::Test {
    // A name with a blank, quoted for the shell.
    static std::string quoted(const std::string& name) { return "\"" + name + "\""; }

    TestFolder folder{"東京 Jürgen"};
};

} // namespace

// Named by its full path there, the library loads for --check and for a run: its
// calib_evaluate adds its argument to x.
TEST_F(UnicodePaths, ACalibrationLibraryThereLoadsByItsPath) {
    const std::string library = platform::libraryFileName("較正");
    folder.copy(platform::libraryFileName("testcalib"), library);
    const std::string config = folder.write("設定.conf", "[head]\nport 1\ncalibration \"" +
                                                             folder.absolute(library) + "\" 2\n");
    ProgramRun run = runProgram("trackhost", "--check " + quoted(config));
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, config + ": 1 section, no problems\n");

    run = runProgram("trackhost", "--quiet --cycles 1 --format csv " + quoted(config));
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> rows = textLines(run.out);
    ASSERT_EQ(rows.size(), 2u) << run.out;
    EXPECT_EQ(rows[1].substr(0, 7), "head,1,");
    EXPECT_NE(rows[1].find(",2.00000,0.00000,0.00000,"), std::string::npos) << rows[1];

    const std::string missing = folder.path(platform::libraryFileName("無い"));
    folder.write("設定.conf", "[head]\ncalibration \"" + missing + "\"\n");
    run = runProgram("trackhost", "--check " + quoted(config));
    EXPECT_EQ(run.status, 3);
    EXPECT_EQ(
        run.err.rfind(config + ":2: calibration library \"" + missing + "\" cannot be loaded (", 0),
        0u)
        << run.err;
}

TEST_F(UnicodePaths, ARunRecordsThereAndItsRecordingReplays) {
    const std::string config = folder.write("設定.conf", "[head]\nport 1\n[hand]\nport 2\n");
    const std::string output = folder.path("出力.csv");
    const std::string recording = folder.path("記録 1.txt");
    ProgramRun run = runProgram("trackhost", "--quiet --sim-noise 0.2 --cycles 3 --format csv "
                                             "--output " +
                                                 quoted(output) + " --record " + quoted(recording) +
                                                 " " + quoted(config));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(textLines(readText(output)).size(), 1u + 6u);
    const std::vector<std::string> recorded = textLines(readText(recording));
    ASSERT_EQ(recorded.size(), 3u + 6u);
    EXPECT_EQ(recorded[1], "ports 1 2");

    run = runProgram("trackhost",
                     "--quiet --format csv --replay " + quoted(recording) + " " + quoted(config));
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(textLines(run.out).size(), 1u + 6u) << run.out;
    EXPECT_NE(run.err.find("trackhost: replaying " + recording + ", recorded at " +
                           recorded[2].substr(6) + "\ntrackhost: the recording " + recording +
                           " has run out; the run ends (--loop plays it again)\n"),
              std::string::npos)
        << run.err;
}

// Its full name, and on Windows its name in other letter case, are the same file
// as the name the configuration is read by.
TEST_F(UnicodePaths, TwoNamesOfOneFileThereClash) {
    const std::string config = folder.write("設定.conf", "[head]\n");
    std::vector<std::string> others{folder.absolute("設定.conf")};
    if (!posixShell()) {
        others.push_back("東京 JÜRGEN\\設定.CONF");
    }
    for (const std::string& other : others) {
        const ProgramRun run =
            runProgram("trackhost", "--cycles 1 --output " + quoted(other) + " " + quoted(config));
        EXPECT_EQ(run.status, 2) << other;
        EXPECT_EQ(run.err,
                  "trackhost: --output and the configuration are the same file (" + config + ")\n");
        EXPECT_EQ(readText(config), "[head]\n");
    }
    if (!posixShell()) {
        // Two new files whose names differ in letter case alone are one file there too.
        const ProgramRun run = runProgram(
            "trackhost", "--cycles 1 --output " + quoted(folder.absolute("neu.csv")) +
                             " --record " + quoted("東京 JÜRGEN\\NEU.CSV") + " " + quoted(config));
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.err, "trackhost: --output and --record are the same file (東京 "
                           "JÜRGEN\\NEU.CSV)\n");
    }
}
