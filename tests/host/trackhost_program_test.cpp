// trackhost as a user runs it, through the shell: records alone on standard
// output and every message on standard error, failed writes reported with their
// own status, a reader that goes away ending the run cleanly, an exception told
// with its own status, and --version.
#include "platform/platform.h"
#include "tests/fixtures/RunProgram.h"
#include "tests/fixtures/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
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

// The names of standard output a user may give: "-", and on POSIX /dev/stdout.
std::vector<std::string> standardOutputNames() {
    std::vector<std::string> names = {"-"};
    if (posixShell()) {
        names.push_back("/dev/stdout");
    }
    return names;
}

struct TrackhostProgram : testing::Test {
    void SetUp() override {
        config = files.writeConfig("[head]\nposition 1 2 3\n[hand]\nport 2\n");
    }

    TestFiles files;
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
    const std::string csv = files.name(".csv");
    run = runProgram("trackhost", "--format csv --cycles 1 --output " + csv + " " + config);
    EXPECT_EQ(textLines(readText(csv)).size(), 3u);
    EXPECT_NE(run.out.find("INFO: DEVICE NAME"), std::string::npos);
    EXPECT_EQ(run.err.find("INFO"), std::string::npos);
}

// "-", and on POSIX /dev/stdout, are standard output: the records alone go there.
TEST_F(TrackhostProgram, StandardOutputByAnyNameCarriesTheRecordsAlone) {
    for (const std::string& output : standardOutputNames()) {
        const ProgramRun run =
            runProgram("trackhost", "--format csv --cycles 2 --output " + output + " " + config);
        EXPECT_EQ(run.status, 0) << run.err;
        const std::vector<std::string> rows = textLines(run.out);
        ASSERT_EQ(rows.size(), 5u) << output << ":\n" << run.out;
        EXPECT_EQ(rows[0], "device,id,time,x,y,z,angle1,angle2,angle3");
        EXPECT_NE(run.err.find("INFO: DEVICE NAME"), std::string::npos) << run.err;
    }
    EXPECT_FALSE(std::ifstream("-"));
}

// A recording is a file of its own: standard output by any name is refused, and no
// file "-" is made.
TEST_F(TrackhostProgram, ARecordingToStandardOutputIsRefused) {
    for (const std::string& name : standardOutputNames()) {
        const ProgramRun run =
            runProgram("trackhost", "--cycles 2 --record " + name + " " + config);
        EXPECT_EQ(run.status, 2) << name;
        EXPECT_EQ(run.err, "trackhost: --record " + name +
                               " is standard output; a recording needs a file of its own "
                               "(--replay plays it from there)\n");
        EXPECT_EQ(run.out, "");
    }
    EXPECT_FALSE(std::ifstream("-"));
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
    const std::string err = files.name("-err.txt");
    EXPECT_EQ(runShell(trackhost + "--cycles 3 " + config + " >/dev/full 2>" + err), 5);
    EXPECT_NE(readText(err).find("trackhost: cannot write standard output (No space left on "
                                 "device)\n"),
              std::string::npos)
        << readText(err);

    // trackhost | head -n 3: the run ends when head does, long before its limit.
    const std::string out = files.name("-out.txt");
    const std::string status = files.name("-status.txt");
    runShell("{ " + trackhost + "--rate 1000 --seconds 30 --debug 1 --format csv " + config +
             " 2>" + err + "; echo $? >" + status + "; } | head -n 3 >" + out);
    EXPECT_EQ(readText(status), "0\n");
    EXPECT_EQ(textLines(readText(out)).size(), 3u);
    const std::string messages = readText(err);
    EXPECT_EQ(messages.find("cannot write"), std::string::npos) << messages;
    EXPECT_EQ(count(messages, "C3DBird: \"stop\" called."), 2u) << messages;
    EXPECT_EQ(count(messages, "C3DBird: \"destructor\" called."), 2u) << messages;
}

// --quiet leaves nothing of the plug-in on either channel, not even the values it
// writes after its line heads itself.
TEST_F(TrackhostProgram, QuietLeavesNothingOfThePlugin) {
    for (const std::string& output : {std::string(), "--output " + files.name(".csv") + " "}) {
        const ProgramRun run = runProgram("trackhost", "--quiet --cycles 1 " + output + config);
        EXPECT_EQ(run.status, 0) << run.err;
        for (const std::string& line : textLines(run.err)) {
            EXPECT_EQ(line.rfind("trackhost: ", 0), 0u) << line;
        }
        EXPECT_EQ(run.out.empty(), !output.empty()) << run.out;
    }
}

// A hang-up ends a run as Ctrl-C does: the summary, then every device stopped and deleted.
TEST_F(TrackhostProgram, AHangUpEndsTheRunCleanly) {
    if (!posixShell()) {
        GTEST_SKIP() << "Windows has no hang-up signal";
    }
    const std::string out = files.name("-out.txt");
    const std::string err = files.name("-err.txt");
    const std::string status = files.name("-status.txt");
    // The output exists before trackhost starts, so that counting its lines never
    // fails and the hang-up waits for records, long after the handler is in place.
    runShell(": >" + out + "; " + programCommand("trackhost") + " --debug 1 --seconds 60 " +
             config + " >" + out + " 2>" + err + " & pid=$!; i=0; while [ $(wc -l <" + out +
             ") -lt 3 ] && [ $i -lt 200 ]; do sleep 0.05; i=$((i+1)); done; kill -HUP $pid; "
             "wait $pid; echo $? >" +
             status);
    EXPECT_EQ(readText(status), "0\n");
    const std::string messages = readText(err);
    EXPECT_NE(messages.find("trackhost: device [head]: "), std::string::npos) << messages;
    EXPECT_EQ(count(messages, "C3DBird: \"stop\" called."), 2u) << messages;
    EXPECT_EQ(count(messages, "C3DBird: \"destructor\" called."), 2u) << messages;
}

// An exception that reaches trackhost (here from a plug-in that throws, as none
// may) is told with its own status instead of ending the process unannounced.
TEST_F(TrackhostProgram, AnExceptionEndsTheRunWithAMessageAndItsStatus) {
    if (!posixShell()) {
        GTEST_SKIP() << "an exception crosses from a library only where the runtime is shared";
    }
    const ProgramRun run = runProgram("trackhost", "--plugin ./libthrowing_plugin.so " + config);
    EXPECT_EQ(run.status, 9) << run.err;
    EXPECT_EQ(run.err, "trackhost: out of memory\n");
    EXPECT_EQ(run.out, "");
}

TEST_F(TrackhostProgram, VersionComesFromTheProject) {
    const ProgramRun run = runProgram("trackhost", "--version");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "trackhost " TRACKER_VERSION "\n");
}

TEST_F(TrackhostProgram, CheckReportsAMissingCalibrationLibraryOnStandardErrorAlone) {
    files.writeConfig("[head]\ncalibration nosuch 1 2\n");
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
    ASSERT_EQ(lines.size(), 12u) << run.out;
    EXPECT_EQ(lines[0],
              "[head] at " + config + ":1 (init would refuse it: see the problems reported)");
    EXPECT_EQ(lines[11], "  calibration            nosuch 1 2");
}

// The files trackhost runs on are never written: written over while they are mapped,
// they would end the run with a bus error and leave nothing to load next time. A copy
// of trackhost with its plug-in and sensor libraries runs here, so that a fault would
// cost the copies only.
TEST_F(TrackhostProgram, TheFilesTrackhostLoadsAreNeverWritten) {
    namespace fs = std::filesystem;
    const std::string bin = platform::executableFolder();
    const std::string separator = bin.substr(bin.size() - 1);
    const std::string folder = "TheFilesTrackhostLoadsAreNeverWritten-bin";
    const std::string program = platform::posixSystem() ? "trackhost" : "trackhost.exe";
    const std::string plugin = platform::libraryFileName("tracker_3dbird");
    const std::string sensors = platform::libraryFileName("3dbird");
    const std::string recording = "record" + separator + sensors;
    fs::remove_all(folder);
    fs::create_directories(folder + separator + "record");
    for (const std::string& file : {program, plugin, sensors, recording}) {
        fs::copy_file(bin + file, folder + separator + file);
    }
    const struct {
        const char* option;
        std::string file;
        const char* role;
    } clashes[] = {{"--record", sensors, "the sensor library"},
                   {"--output", plugin, "the plug-in"},
                   {"--output", recording, "the recording sensor library"},
                   {"--record", program, "trackhost itself"}};
    for (const auto& clash : clashes) {
        const std::string file = folder + separator + clash.file;
        const std::uintmax_t size = fs::file_size(file);
        const std::string err = files.name("-err.txt");
        EXPECT_EQ(runShell(bin + folder + separator + "trackhost --cycles 1 --quiet " +
                           clash.option + " " + file + " " + config + " 2>" + err),
                  2)
            << clash.file;
        const std::string said = readText(err);
        EXPECT_EQ(said.substr(0, said.find(" (")), std::string("trackhost: ") + clash.option +
                                                       " and " + clash.role + " are the same file")
            << said;
        EXPECT_EQ(fs::file_size(file), size) << clash.file;
    }
    fs::remove_all(folder);
}

// --probe says of each port whether a sensor answers, as it tries it, and prints a
// configuration of those that do, which --check passes; a sensor that wakes but
// whose configuration cannot be read is left out; with none, status 4 and what to
// look at; with --sim-ports in a run, a port without a sensor fails init. --write
// refuses a file that exists.
TEST_F(TrackhostProgram, ProbeFindsTheSensorsThatAnswerAndWritesANewFileOnly) {
    ProgramRun run = runProgram("trackhost", "--probe --sim-ports 2,3:no-config");
    ASSERT_EQ(run.status, 0) << run.err;
    for (const char* said :
         {"trackhost: port 1: no sensor answers\n", "trackhost: port 2: a sensor answers\n",
          "trackhost: port 3: a sensor wakes but its configuration cannot be "
          "read; it is left out (look at its power and cable)\n"}) {
        EXPECT_NE(run.err.find(said), std::string::npos) << said << run.err;
    }
    // The machine's ports, whatever it has.
    EXPECT_TRUE(run.err.find("trackhost: serial port ") != std::string::npos ||
                run.err.find("trackhost: the system lists no serial port\n") != std::string::npos)
        << run.err;
    EXPECT_NE(run.out.find("\n[port2]\nport 2\n"), std::string::npos) << run.out;
    EXPECT_EQ(count(run.out, "\n["), 1u) << run.out;
    const std::string probed = files.write("-probed.conf", run.out);
    run = runProgram("trackhost", "--check " + probed);
    EXPECT_EQ(run.err, probed + ": 1 section, no problems\n");

    run = runProgram("trackhost", "--probe --sim-ports none");
    EXPECT_EQ(run.status, 4);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("trackhost: no sensor answered on ports 1, 2, 3, 4; look at each "
                           "sensor's cable and power, and at its port's number (the sensor "
                           "library reaches ports 1 to 4)\n"),
              std::string::npos)
        << run.err;
    run = runProgram("trackhost", "--cycles 1 --sim-ports 1 " + config);
    EXPECT_EQ(run.status, 4) << run.err;

    run = runProgram("trackhost", "--probe --write " + config);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err,
              "trackhost: " + config + " exists; --probe --write writes a new file only\n");
    EXPECT_EQ(readText(config), "[head]\nposition 1 2 3\n[hand]\nport 2\n");
}
