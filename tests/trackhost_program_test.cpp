// trackhost as a user runs it, through the shell: records alone on standard
// output and every message on standard error, failed writes reported with their
// own status, a reader that goes away ending the run cleanly, an exception told
// with its own status, and --version.
#include "tests/support/RunProgram.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

namespace {

std::size_t count(const std::string& text, const std::string& part) {
    std::size_t found = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++found;
    }
    return found;
}

struct TrackhostProgram : testing::Test {
    void SetUp() override {
        name = testing::UnitTest::GetInstance()->current_test_info()->name();
        config = name + ".conf";
        std::ofstream(config) << "[head]\nposition 1 2 3\n[hand]\nport 2\n";
    }
    void TearDown() override { std::remove(config.c_str()); }

    std::string name;
    std::string config;
};

} // namespace

TEST_F(TrackhostProgram, RecordsAloneOnStandardOutputEveryMessageOnStandardError) {
    ProgramRun run = runProgram(
        "trackhost",
        "--format csv --cycles 3 --debug 1 --no-date --no-time --no-thread-id " + config);
    ASSERT_EQ(run.status, 0) << run.err;
    std::vector<std::string> rows = textLines(run.out);
    ASSERT_GE(rows.size(), 3u) << run.out;
    EXPECT_EQ(rows[0], "device,id,time,x,y,z,angle1,angle2,angle3");
    for (std::size_t i = 1; i < rows.size(); ++i) {
        EXPECT_TRUE(rows[i].rfind("head,1,", 0) == 0 || rows[i].rfind("hand,2,", 0) == 0)
            << rows[i];
        EXPECT_EQ(std::count(rows[i].begin(), rows[i].end(), ','), 8) << rows[i];
    }
    EXPECT_NE(run.err.find("head: INFO: DEVICE NAME           : head\n"), std::string::npos);
    EXPECT_NE(run.err.find("hand: DEBUG: C3DBird: \"destructor\" called.\n"), std::string::npos);
    EXPECT_NE(run.err.find(" is the simulator: every pose is simulated"), std::string::npos);

    // The values the plug-in prints after its line heads, even with its logger off.
    run = runProgram("trackhost", "--format json --cycles 1 --quiet " + config);
    rows = textLines(run.out);
    ASSERT_EQ(rows.size(), 2u) << run.out;
    for (const std::string& row : rows) {
        EXPECT_EQ(row.substr(0, 11), "{\"device\":\"") << row;
    }

    // With --output the records go to the file and the plug-in keeps standard output.
    const std::string csv = name + ".csv";
    run = runProgram("trackhost", "--format csv --cycles 1 --output " + csv + " " + config);
    EXPECT_EQ(textLines(readText(csv)).size(), 3u);
    std::remove(csv.c_str());
    EXPECT_NE(run.out.find("INFO: DEVICE NAME"), std::string::npos);
    EXPECT_EQ(run.err.find("INFO"), std::string::npos);
}

TEST_F(TrackhostProgram, FailedWritesHaveTheirStatusAndAClosedPipeEndsTheRunCleanly) {
    const ProgramRun run = runProgram("trackhost", "--cycles 3 --output /dev/full " + config);
    EXPECT_EQ(run.status, 5);
    EXPECT_NE(run.err.find("trackhost: cannot write /dev/full (No space left on device)\n"),
              std::string::npos)
        << run.err;
    if (!posixShell()) {
        GTEST_SKIP() << "standard output to /dev/full and head need a POSIX shell";
    }
    const std::string trackhost = programCommand("trackhost") + " ";
    const std::string err = name + "-err.txt";
    EXPECT_EQ(runShell(trackhost + "--cycles 3 " + config + " >/dev/full 2>" + err), 5);
    EXPECT_NE(readText(err).find("trackhost: cannot write standard output (No space left on "
                                 "device)\n"),
              std::string::npos)
        << readText(err);

    // trackhost | head -n 3: the run ends when head does, long before its limit.
    const std::string out = name + "-out.txt";
    const std::string status = name + "-status.txt";
    runShell("{ " + trackhost + "--rate 1000 --seconds 30 --debug 1 --format csv " + config +
             " 2>" + err + "; echo $? >" + status + "; } | head -n 3 >" + out);
    EXPECT_EQ(readText(status), "0\n");
    EXPECT_EQ(textLines(readText(out)).size(), 3u);
    const std::string messages = readText(err);
    EXPECT_EQ(messages.find("cannot write"), std::string::npos) << messages;
    EXPECT_EQ(count(messages, "C3DBird: \"stop\" called."), 2u) << messages;
    EXPECT_EQ(count(messages, "C3DBird: \"destructor\" called."), 2u) << messages;
    for (const std::string& file : {err, out, status}) {
        std::remove(file.c_str());
    }
}

// An exception that reaches trackhost (here from a plug-in that throws, as none
// may) is told with its own status instead of ending the process unannounced.
TEST_F(TrackhostProgram, AnExceptionEndsTheRunWithAMessageAndItsStatus) {
    if (!posixShell()) {
        GTEST_SKIP() << "an exception crosses from a library only where the runtime is shared";
    }
    const ProgramRun run = runProgram("trackhost", "--plugin ./libthrowing_plugin.so " + config);
    EXPECT_EQ(run.status, 8) << run.err;
    EXPECT_EQ(run.err, "trackhost: out of memory\n");
    EXPECT_EQ(run.out, "");
}

TEST_F(TrackhostProgram, VersionComesFromTheProject) {
    const ProgramRun run = runProgram("trackhost", "--version");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "trackhost " TRACKER_VERSION "\n");
}

TEST_F(TrackhostProgram, CheckReportsAMissingCalibrationLibraryOnStandardErrorAlone) {
    std::ofstream(config) << "[head]\ncalibration nosuch 1 2\n";
    ProgramRun run = runProgram("trackhost", "--check " + config);
    EXPECT_EQ(run.status, 3);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err.rfind(config + ":2: calibration library \"nosuch\" cannot be loaded (", 0),
              0u)
        << run.err;
    EXPECT_EQ(textLines(run.err).size(), 1u) << run.err;

    // With --verbose standard output holds the settings and nothing else.
    run = runProgram("trackhost", "--check --verbose " + config);
    EXPECT_EQ(run.status, 3);
    const std::vector<std::string> lines = textLines(run.out);
    ASSERT_EQ(lines.size(), 11u) << run.out;
    EXPECT_EQ(lines[0],
              "[head] at " + config + ":1 (init would refuse it: see the problems reported)");
    EXPECT_EQ(lines[10], "  calibration            nosuch 1 2");
}
