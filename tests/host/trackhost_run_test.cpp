// trackhost's run against the simulated sensors: the built plug-in loaded by path,
// decoded records, exit codes, and a clean stop whatever way the run ends.
// Each test runs in a process of its own: a process wakes at most four sensors.
#include "host/HostRun.h"
#include "host/report/ExitCode.h"
#include "host/run/PacedCycles.h"
#include "host/sensors/SimulatorControl.h"

#include "bird/BirdLibrary.h"
#include "platform/platform.h"
#include "sim/birdsim.h"
#include "tests/fixtures/CaptureFd.h"
#include "tests/fixtures/CaptureStdout.h"
#include "tests/fixtures/Deadline.h"
#include "tests/fixtures/RunProgram.h"
#include "tests/fixtures/TestFiles.h"
#include "tests/fixtures/TestFolder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>
#include <thread>

namespace {

std::string readFile(const std::string& name) {
    std::ifstream file(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::vector<std::string> splitAt(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::istringstream stream(text);
    std::string part;
    while (std::getline(stream, part, separator)) {
        parts.push_back(part);
    }
    return parts;
}

struct HostRunTest : ::testing::Test {
    void SetUp() override { birdsim_reset(); }

    // Runs the host on `options` plus the configuration file; the plug-in's own
    // messages land in `pluginOutput`, the records in `out` or in `output`.
    int run(std::vector<const char*> args, const std::string& file, PoseOutput* output = nullptr) {
        args.push_back(file.c_str());
        HostOptions options;
        std::string error;
        EXPECT_EQ(parseHostOptions(static_cast<int>(args.size()), args.data(), options, error),
                  ParseResult::run)
            << error;
        options.status = statusLines;
        CaptureFd capture;
        const int code = output != nullptr ? runHost(options, *output, err, listener)
                                           : runHost(options, out, err, listener);
        pluginOutput = capture.text();
        return code;
    }

    // The CSV rows after the header, split into fields.
    std::vector<std::vector<std::string>> csvRows() const {
        std::vector<std::vector<std::string>> rows;
        const std::vector<std::string> lines = splitAt(out.str(), '\n');
        for (std::size_t i = 1; i < lines.size(); ++i) {
            rows.push_back(splitAt(lines[i], ','));
        }
        return rows;
    }
    // The six values of a CSV row.
    static std::vector<std::string> pose(const std::vector<std::string>& row) {
        return std::vector<std::string>(row.begin() + 3, row.end());
    }

    // The start-up line that says the poses are not measured.
    const std::string simulatorNote = "trackhost: the sensor library " +
                                      platform::libraryFileName("3dbird") +
                                      " is the simulator: every pose is simulated, none is "
                                      "measured\n";
    TestFiles files;          // the configuration file of each test
    bool statusLines = false; // as trackhost does when standard error is no terminal
    PoseListener* listener = nullptr;
    std::ostringstream out;
    std::ostringstream err;
    std::string pluginOutput;
};

} // namespace

TEST_F(HostRunTest, ShortRunPrintsEachNewPoseDecodedAndStopsTheSensor) {
    const std::string file = files.writeConfig("[arm]\nport 2\nposition 1 2 3\n");
    birdsim_setReading(0, 0.1f, 0.2f, 0.3f);
    ASSERT_EQ(run({"--format", "csv", "--cycles", "3", "--rate", "100"}, file), exitSuccess)
        << err.str() << pluginOutput;
    // The reading stays the same, so only the first cycle delivers.
    const auto rows = csvRows();
    ASSERT_EQ(rows.size(), 1u) << out.str();
    ASSERT_EQ(rows[0].size(), 9u);
    EXPECT_EQ(rows[0][0] + "," + rows[0][1], "arm,1");
    // Radians to degrees, the first and third angle negated (CAVE coordinates).
    EXPECT_EQ(pose(rows[0]), (std::vector<std::string>{"1.00000", "2.00000", "3.00000", "-5.72957",
                                                       "11.45915", "-17.18873"}));
    EXPECT_NEAR(std::stod(rows[0][2]), static_cast<double>(std::time(nullptr)), 5.0);
    EXPECT_EQ(rows[0][2].size() - rows[0][2].find('.'), 4u) << "milliseconds: " << rows[0][2];
    EXPECT_EQ(birdsim_callCount(birdsimGetMostRecentReading), 3);
    EXPECT_EQ(birdsim_callCount(birdsimShutDown), 1);
    EXPECT_EQ(birdsim_isAwake(0), 0);
    // One record has no gap between records, and the device answered to the end.
    EXPECT_EQ(err.str(), simulatorNote + "trackhost: device [arm]: 3 cycles, 1 record, 0 failed "
                                         "cycles, longest gap between records -, 0 recoveries\n");
}

TEST_F(HostRunTest, SecondsTimesRateCyclesRunAtTheRate) {
    const std::string file = files.writeConfig("[moving]\nposition 0 5 0\n");
    const auto begin = std::chrono::steady_clock::now();
    ASSERT_EQ(run({"--format", "csv", "--seconds", "0.3", "--rate", "10"}, file), exitSuccess);
    EXPECT_GE(std::chrono::steady_clock::now() - begin, std::chrono::milliseconds(190));
    EXPECT_EQ(birdsim_callCount(birdsimGetMostRecentReading), 3);
    // The simulated sensor turns, so every cycle delivers a new pose.
    EXPECT_EQ(csvRows().size(), 3u) << out.str();
}

TEST_F(HostRunTest, InterruptStopsAndDeletesEveryDevice) {
    const std::string file = files.writeConfig("[one]\nport 1\nposition 1 1 1\n[two]\nport 2\n");
    int code = -1;
    std::atomic<bool> ended{false};
    std::thread host([&] {
        code = run({"--rate", "200", "--debug", "1"}, file);
        ended = true;
    });
    const bool reading =
        waitUntil([&] { return ended || birdsim_callCount(birdsimGetMostRecentReading) >= 4; });
    requestHostStop();
    if (!reading || ended) {
        host.join();
        FAIL() << "the run did not read, or ended by itself: " << err.str();
    }
    EXPECT_TRUE(birdsim_isStreaming(0) && birdsim_isStreaming(1));
    host.join();
    EXPECT_EQ(code, exitSuccess) << err.str();
    EXPECT_FALSE(birdsim_isAwake(0) || birdsim_isAwake(1));
    EXPECT_EQ(birdsim_callCount(birdsimShutDown), 2);
    const std::string destructor = "C3DBird: \"destructor\" called.";
    const std::size_t first = pluginOutput.find(destructor);
    ASSERT_NE(first, std::string::npos);
    EXPECT_NE(pluginOutput.find(destructor, first + 1), std::string::npos);
}

TEST_F(HostRunTest, FileAndPluginErrorsExitBeforeAnySensorWakes) {
    const std::string file = files.writeConfig("[a]\nport 1\nposition 1 \"2 3\n");
    EXPECT_EQ(run({}, file), exitConfiguration);
    const std::string other = platform::libraryFileName("boresight");
    EXPECT_EQ(run({"--plugin", other.c_str()}, files.writeConfig("[d]\n")), exitDevice);
    EXPECT_EQ(err.str(), file + ":3: unterminated quote\ntrackhost: " + other +
                             " exports no createDev and deleteDev; it is not a tracker plug-in\n");
    EXPECT_EQ(birdsim_callCount(birdsimWakeUp), 0);
}

TEST_F(HostRunTest, FiveSectionsAndAMissingPluginAreRefusedBeforeAnySensorWakes) {
    const std::string file = files.writeConfig("[a]\n[b]\nport 2\n[c]\nport 3\n[d]\nport 4\n[e]\n");
    EXPECT_EQ(run({}, file), exitConfiguration);
    EXPECT_EQ(err.str(),
              file + ":8: more than 4 device sections: one process wakes at most 4 sensors\n" +
                  file +
                  ":8: section [e] is on port 1 (it has no port line), as section [a] at line 1 "
                  "is; a port has one sensor, so init of [e] would fail\n");
    err.str("");
    // Told first, with the system's reason, also where a recording would bind the
    // sensor library before the plug-in loads.
    const std::string missing = "no-such-folder/" + platform::libraryFileName("no_such_plugin");
    const std::string recording = files.name("-r.txt");
    for (const std::vector<const char*>& more :
         {std::vector<const char*>{}, {"--record", recording.c_str()}}) {
        std::vector<const char*> args{"--plugin", missing.c_str()};
        args.insert(args.end(), more.begin(), more.end());
        err.str("");
        EXPECT_EQ(run(args, files.writeConfig("[d]\n")), exitDevice);
        const std::string expected = "trackhost: cannot load the plug-in " + missing + " (";
        EXPECT_EQ(err.str().substr(0, expected.size()), expected);
        EXPECT_NE(err.str().find("No such file or directory)\n"), std::string::npos) << err.str();
        EXPECT_EQ(birdsim_callCount(birdsimWakeUp), 0);
    }
}

// A run goes through the checker of --check first: its problems stop the run before
// any sensor wakes, with the status --check gives; its warnings are told once and the
// run goes on.
TEST_F(HostRunTest, TheCheckersProblemsStopTheRunAndItsWarningsAreToldOnce) {
    std::string file = files.writeConfig("[head]\n[hand]\ncalibration smoothing 0\n");
    EXPECT_EQ(run({"--cycles", "1"}, file), exitConfiguration);
    EXPECT_EQ(err.str(), file +
                             ":2: section [hand] is on port 1 (it has no port line), as section "
                             "[head] at line 1 is; a port has one sensor, so init of [hand] would "
                             "fail\n" +
                             file +
                             ":3: calibration library \"smoothing\" refuses its arguments: "
                             "minCutoff (argument 1) \"0\" is not a number above 0\n");
    EXPECT_EQ(birdsim_callCount(birdsimWakeUp), 0);

    err.str("");
    // Two sections of one name: warned of, and their summaries tell them apart.
    file = files.writeConfig("[head]\nposition 0 5,5 0\nreconnect 2s\n[head]\nport 2\n");
    ASSERT_EQ(run({"--format", "csv", "--cycles", "2"}, file), exitSuccess) << err.str();
    EXPECT_EQ(
        err.str(),
        file + ":2: warning: decimal comma in \"5,5\" of position: it reads as 5; write 5.5\n" +
            file + ":3: warning: text after the number in \"2s\" of reconnect: it reads as 2\n" +
            file + ":4: warning: a second section [head]; the first is at line 1\n" +
            simulatorNote + "trackhost: device [head] at " + file +
            ":1: 2 cycles, 2 records, 0 failed cycles, longest gap between records 0.033 s, 0 "
            "recoveries\ntrackhost: device [head] at " +
            file +
            ":4: 2 cycles, 2 records, 0 failed cycles, longest gap between records 0.033 s, 0 "
            "recoveries\n");
    EXPECT_EQ(pose(csvRows().at(0)).at(1), "5.00000");
}

// The output file is created or emptied only once every device came through
// init, and never when it is the configuration file itself.
TEST_F(HostRunTest, OutputFileIsTouchedOnlyOnceEveryDeviceCameThroughInit) {
    const std::string keep = "HostRunTest-keep.txt";
    std::ofstream(keep, std::ios::binary) << "precious\n";
    PoseOutput precious(keep);
    EXPECT_EQ(run({}, "missing.conf", &precious), exitConfiguration);
    std::string file = files.writeConfig("[bad]\nport 2\n");
    birdsim_setPortPresent(2, 0);
    EXPECT_EQ(run({"--cycles", "1"}, file, &precious), exitDevice);
    EXPECT_EQ(readFile(keep), "precious\n");
    std::remove(keep.c_str());

    const std::string text = "[d]\nport 1\n";
    file = files.writeConfig(text);
    PoseOutput itself("./" + file);
    EXPECT_EQ(run({"--cycles", "1"}, file, &itself), exitUsage);
    EXPECT_EQ(readFile(file), text);
    EXPECT_EQ(birdsim_callCount(birdsimWakeUp), 1) << "the failed wake-up of [bad] alone";

    // An output that cannot be opened is refused before any sensor wakes.
    PoseOutput nowhere("no-such-folder/poses.csv");
    EXPECT_EQ(run({"--cycles", "1"}, file, &nowhere), exitUsage);
    EXPECT_EQ(birdsim_callCount(birdsimWakeUp), 1);
    EXPECT_EQ(err.str(),
              "missing.conf: cannot read the file (No such file or directory)\n" + simulatorNote +
                  "trackhost: device [bad] at " + file + ":1: init failed\n" +
                  "trackhost: --output and the configuration are the same file (" + file + ")\n" +
                  "trackhost: cannot write no-such-folder/poses.csv (No such file or directory)\n");
}

// A file to write that cannot be, the records' or the recording, is one usage error,
// told before the plug-in loads: nothing is created and no sensor wakes.
TEST_F(HostRunTest, AFileToWriteThatCannotBeIsRefusedBeforeAnySensorWakes) {
    const std::string file = files.writeConfig("[d]\n");
    EXPECT_EQ(run({"--cycles", "1", "--record", "no-such-folder/r.txt"}, file), exitUsage);
    PoseOutput folder(".");
    EXPECT_EQ(run({"--cycles", "1"}, file, &folder), exitUsage);
    EXPECT_EQ(err.str(),
              "trackhost: cannot write no-such-folder/r.txt (No such file or directory)\n"
              "trackhost: cannot write . (Is a directory)\n");
    EXPECT_EQ(pluginOutput, "");
    EXPECT_EQ(birdsim_callCount(birdsimWakeUp), 0);
}

// A file written is never one read, nor one written twice, under whatever name;
// nothing is touched, no sensor wakes and no calibration library is loaded.
TEST_F(HostRunTest, AFileWrittenIsNeverAFileRead) {
    // The library the run would load, and --output aims at, is a copy of the test's own:
    // a refusal that broke would overwrite the copy, never the build's library.
    const TestFolder copies("HostRunTest-copies");
    const std::string libraryName = platform::libraryFileName("testcalib");
    std::filesystem::copy_file(std::filesystem::u8path(platform::executableFolder() + libraryName),
                               std::filesystem::u8path(copies.path(libraryName)));
    const std::string library = copies.absolute(libraryName);
    const std::string text = "[d]\ncalibration \"" + library + "\"\n";
    std::ofstream("testcalib-loads.txt").close();
    const std::string file = files.writeConfig(text);
    const std::string recording = "HostRunTest-recording.txt";
    std::ofstream(recording) << "trackhost-recording 1\nports 1\nstart 2026-12-07T11:05:54.123Z\n";
    PoseOutput toRecording("./" + recording);
    PoseOutput toNewFile("new.csv");
    PoseOutput toLibrary(library);
    const std::string record = "--record=./" + file;
    EXPECT_EQ(run({record.c_str()}, file), exitUsage);
    EXPECT_EQ(run({"--replay", recording.c_str()}, file, &toRecording), exitUsage);
    EXPECT_EQ(run({"--record", "./new.csv"}, file, &toNewFile), exitUsage);
    EXPECT_EQ(run({"--cycles", "1"}, file, &toLibrary), exitUsage);
    EXPECT_EQ(err.str().substr(0, err.str().rfind('(')),
              "trackhost: --record and the configuration are the same file (" + file + ")\n" +
                  "trackhost: --output and --replay are the same file (" + recording + ")\n" +
                  "trackhost: --output and --record are the same file (./new.csv)\n" +
                  "trackhost: --output and the calibration library of [d] are the same file ");
    if (platform::posixSystem()) {
        const std::string link = "HostRunTest-link.conf";
        std::remove(link.c_str());
        ASSERT_EQ(runShell("ln -s " + file + " " + link), 0);
        const std::string option = "--record=" + link;
        EXPECT_EQ(run({option.c_str()}, file), exitUsage);
        std::remove(link.c_str());
    }
    EXPECT_EQ(readFile(file), text);
    EXPECT_EQ(readFile(recording).substr(0, 21), "trackhost-recording 1");
    EXPECT_FALSE(std::ifstream("new.csv"));
    EXPECT_EQ(birdsim_callCount(birdsimWakeUp), 0);
    EXPECT_EQ(readFile("testcalib-loads.txt"), "");
    std::remove(recording.c_str());
    std::remove("testcalib-loads.txt");
}

TEST_F(HostRunTest, FailedDeviceStepsExitWith4AndStopTheOthers) {
    std::string file = files.writeConfig("[good]\nport 1\n[bad]\nport 2\n");
    birdsim_setPortPresent(2, 0);
    EXPECT_EQ(run({"--no-date", "--no-time", "--no-thread-id"}, file), exitDevice);
    std::string expected =
        simulatorNote + "trackhost: device [bad] at " + file + ":3: init failed\n";
    // The plug-in's own message tells why.
    EXPECT_NE(pluginOutput.find("bad: ERROR: C3DBird: could not initialize 3DBIRD.\n"),
              std::string::npos)
        << pluginOutput;
    EXPECT_EQ(birdsim_isAwake(0), 0);

    file = files.writeConfig("[d]\n");
    birdsim_failCall(birdsimGetDeviceConfig, 1);
    EXPECT_EQ(run({}, file), exitDevice);
    birdsim_failCall(birdsimStartStream, 1);
    EXPECT_EQ(run({}, file), exitDevice);
    expected += simulatorNote + "trackhost: device [d] at " + file + ":1: configure failed\n" +
                simulatorNote + "trackhost: device [d] at " + file + ":1: start failed\n";
    EXPECT_EQ(err.str(), expected);
    EXPECT_EQ(out.str(), "");
}

TEST_F(HostRunTest, LoggerSwitchesAndQuietReachThePlugin) {
    const std::string file = files.writeConfig("[arm]\n");
    ASSERT_EQ(
        run({"--no-date", "--no-time", "--no-thread-id", "--debug", "1", "--cycles", "0"}, file),
        exitSuccess);
    EXPECT_EQ(pluginOutput.substr(0, 38), "arm: DEBUG: C3DBird: \"constructor\" cal");
    EXPECT_NE(pluginOutput.find("\narm: INFO: DEVICE NAME           : arm\n"), std::string::npos);

    ASSERT_EQ(run({"--quiet", "--cycles", "0"}, file), exitSuccess);
    EXPECT_EQ(pluginOutput.find("INFO"), std::string::npos);
    EXPECT_EQ(birdsim_isAwake(1), 0);
}

// The calibration example as written: "boresight" names this platform's library.
TEST_F(HostRunTest, BoresightExampleMovesEveryPose) {
    birdsim_setReading(0, 0.0f, 0.0f, 0.0f);
    ASSERT_EQ(run({"--format", "csv", "--cycles", "2"},
                  std::string(TRACKER_SOURCE_DIR) + "/examples/calibration/boresight.conf"),
              exitSuccess)
        << pluginOutput;
    const auto rows = csvRows();
    ASSERT_EQ(rows.size(), 1u) << out.str();
    EXPECT_EQ(pose(rows[0]), (std::vector<std::string>{"0.00000", "5.50000", "0.00000", "-90.00000",
                                                       "5.00000", "0.00000"}));
}

// The smoothing example names its library by the bare name both builds complete.
TEST_F(HostRunTest, SmoothingExampleRunsOnEveryBuild) {
    EXPECT_EQ(
        run({"--sim-noise", "0.2", "--cycles", "2"},
            std::string(TRACKER_SOURCE_DIR) + "/examples/calibration/smoothing/smoothing.conf"),
        exitSuccess)
        << err.str();
}

// The examples the README runs: four sensors in all.
TEST_F(HostRunTest, ExampleConfigurationsRun) {
    const std::string examples = std::string(TRACKER_SOURCE_DIR) + "/examples/";
    ASSERT_EQ(run({"--format", "csv", "--cycles", "1"}, examples + "demo.conf"), exitSuccess);
    auto rows = csvRows();
    ASSERT_EQ(rows.size(), 1u) << out.str();
    // The fixed position through the transmitter's offset (0, 0, -1 foot) and its
    // turn about the vertical axis.
    EXPECT_EQ(std::vector<std::string>(rows[0].begin() + 3, rows[0].begin() + 6),
              (std::vector<std::string>{"0.00000", "5.50000", "-1.00000"}));

    // Tracker IDs follow the sections in file order.
    out.str("");
    ASSERT_EQ(run({"--format", "csv", "--cycles", "1"}, examples + "multi.conf"), exitSuccess);
    rows = csvRows();
    ASSERT_EQ(rows.size(), 3u) << out.str();
    EXPECT_EQ(rows[0][0] + rows[0][1] + rows[1][0] + rows[1][1] + rows[2][0] + rows[2][1],
              "head1left-hand2right-hand3");
}

// The rows of one device, and whether `text` holds `part`.
std::size_t rowsOf(const std::vector<std::vector<std::string>>& rows, const std::string& device) {
    std::size_t count = 0;
    for (const auto& row : rows) {
        count += row[0] == device ? 1 : 0;
    }
    return count;
}
bool holds(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// Unplugged before cycle 10 of 30 and never reconnected: the other sensor goes on
// delivering every cycle; with readings that repeat, the cycles succeed without records.
// A cable still out when the run ends is plugged back in.
TEST_F(HostRunTest, ScriptedDropOutStopsOneSensorOnly) {
    const std::string file = files.writeConfig("[steady]\nport 1\n[pulled]\nport 2\n");
    ASSERT_EQ(
        run({"--format", "csv", "--rate", "100", "--cycles", "30", "--sim-dropout", "2:0.1:0.05"},
            file),
        exitSuccess)
        << err.str();
    auto rows = csvRows();
    EXPECT_EQ(rowsOf(rows, "steady"), 30u);
    EXPECT_EQ(rowsOf(rows, "pulled"), 10u);
    const std::string said = err.str().substr(simulatorNote.size());
    const std::string pulled = "trackhost: simulator: sensor on port 2 unplugged\n"
                               "trackhost: simulator: sensor on port 2 plugged back in\n";
    EXPECT_EQ(said.substr(0, pulled.size()), pulled);
    EXPECT_TRUE(holds(said, "device [steady]: 30 cycles, 30 records, 0 failed cycles, ")) << said;
    EXPECT_TRUE(holds(said, "device [pulled]: 30 cycles, 10 records, 20 failed cycles, longest "
                            "gap between records 0.010 s, silent for its last 0.200 s, 0 "
                            "recoveries\n"))
        << said;

    out.str("");
    err.str("");
    ASSERT_EQ(run({"--format", "csv", "--rate", "100", "--cycles", "30", "--sim-dropout",
                   "2:0.1:60:repeat"},
                  file),
              exitSuccess);
    rows = csvRows();
    EXPECT_EQ(rowsOf(rows, "steady"), 30u);
    EXPECT_EQ(rowsOf(rows, "pulled"), 10u);
    EXPECT_TRUE(holds(err.str(), "sensor on port 2 unplugged (its readings repeat the last one)"));
    EXPECT_TRUE(holds(err.str(), "device [pulled]: 30 cycles, 10 records, 0 failed cycles, "));
    EXPECT_FALSE(holds(err.str(), "plugged back in"));
    EXPECT_EQ(_3dbirdWakeUp(0, 2, 1000, 1000), 1) << "port 2 answers again";
}

// What the viewer is told of each device: one whose recvData fails has stopped
// answering, told once, and answers again when recvData succeeds; one whose readings
// repeat holds still and answers all along.
TEST_F(HostRunTest, TheListenerIsToldWhenADeviceStopsAnsweringAndWhenItAnswersAgain) {
    struct Answering : PoseListener {
        std::vector<std::string> said;
        void poseDelivered(const PoseRow&) override {}
        void deviceAnswering(const std::string& device, bool answering) override {
            said.push_back(device + (answering ? " answers" : " lost"));
        }
    } told;
    listener = &told;
    const std::string file = files.writeConfig("[still]\nport 1\n[pulled]\nport 2\n");
    ASSERT_EQ(run({"--rate", "100", "--cycles", "30", "--sim-dropout", "1:0.05:60:repeat",
                   "--sim-dropout", "2:0.1:0.05"},
                  file),
              exitSuccess);
    EXPECT_EQ(told.said, std::vector<std::string>{"pulled lost"});

    told.said.clear();
    birdsim_failCall(birdsimGetMostRecentReading, 3);
    ASSERT_EQ(run({"--rate", "100", "--cycles", "10"}, files.writeConfig("[flaky]\n")),
              exitSuccess);
    EXPECT_EQ(told.said, (std::vector<std::string>{"flaky lost", "flaky answers"}));
}

// A sensor plugged back in needs a new wake-up: a device without reconnect stays
// silent, and trackhost says what would bring it back, once, right after the replug.
TEST_F(HostRunTest, AReplugNamesTheDevicesThatDoNotReconnect) {
    const std::string file =
        files.writeConfig("[plain]\nport 1\n[off]\nport 2\nreconnect 0\n[back]\nport 3\n"
                          "reconnect 0.05\n");
    ASSERT_EQ(run({"--rate", "100", "--cycles", "20", "--sim-dropout", "1:0.02:0.03",
                   "--sim-dropout", "2:0.03:0.03", "--sim-dropout", "3:0.04:0.03"},
                  file),
              exitSuccess)
        << err.str();
    const std::string hint = "] does not wake its sensor again by itself; \"reconnect SECONDS\" "
                             "in its section would\n";
    const std::string said = linesAfter(err.str(), "trackhost: ");
    EXPECT_EQ(said.substr(0, said.find("device [plain]: 20 cycles")),
              simulatorNote.substr(std::strlen("trackhost: ")) +
                  "simulator: sensor on port 1 unplugged\n"
                  "simulator: sensor on port 2 unplugged\n"
                  "simulator: sensor on port 3 unplugged\n"
                  "simulator: sensor on port 1 plugged back in\n"
                  "device [plain" +
                  hint +
                  "simulator: sensor on port 2 plugged back in\n"
                  "device [off" +
                  hint + "simulator: sensor on port 3 plugged back in\n")
        << err.str();
}

// A drop-out on a port no section uses, or one to repeat a reading before there is
// one, is refused before any sensor wakes; one that would start after the run is
// warned of.
TEST_F(HostRunTest, DropoutsMustMeetASectionAndTheRun) {
    const std::string file = files.writeConfig("[a]\n[b]\nport 3\n");
    EXPECT_EQ(run({"--cycles", "5", "--sim-dropout", "1:0:1", "--sim-dropout", "2:0:1"}, file),
              exitUsage);
    EXPECT_EQ(err.str(),
              "trackhost: --sim-dropout 2:0:1: no section of " + file + " uses port 2\n");
    EXPECT_EQ(birdsim_callCount(birdsimWakeUp), 0);
    // Unplugged before the first reading, the sensor has none to repeat.
    err.str("");
    EXPECT_EQ(run({"--cycles", "5", "--sim-dropout", "1:0:5:REPEAT"}, file), exitUsage);
    EXPECT_EQ(err.str(), "trackhost: --sim-dropout 1:0:5:repeat: the sensor has no reading yet to "
                         "repeat; unplug it after the first cycle, or without :repeat\n");
    EXPECT_EQ(birdsim_callCount(birdsimWakeUp), 0);

    err.str("");
    ASSERT_EQ(run({"--cycles", "5", "--rate", "100", "--sim-dropout", "3:0.04:1:repeat",
                   "--sim-dropout", "1:0.05:1"},
                  file),
              exitSuccess);
    EXPECT_EQ(linesAfter(err.str(), "trackhost: warning: "),
              "--sim-dropout 1:0.05:1 starts after the run ends (0.05 s): nothing is unplugged\n");
}

// A device whose recvData fails for 2 s is told of at once, and again when it receives;
// one that never receives ends the run with status 6, unless the run had no cycles.
TEST_F(HostRunTest, SilentDevicesAreToldWhileRunningAndOneThatNeverReceivesFails) {
    const std::string file = files.writeConfig("[quiet]\n");
    birdsim_setReading(0, 0.1f, 0.2f, 0.3f);
    birdsim_failCall(birdsimGetMostRecentReading, 210);
    ASSERT_EQ(run({"--format", "csv", "--rate", "100", "--cycles", "215"}, file), exitSuccess);
    const std::string said = err.str();
    const std::size_t silent =
        said.find("trackhost: device [quiet]: no record for 2 seconds; recvData keeps failing\n");
    const std::size_t again = said.find("trackhost: device [quiet]: receiving again after ");
    ASSERT_NE(silent, std::string::npos) << said;
    ASSERT_NE(again, std::string::npos) << said;
    EXPECT_LT(silent, again);
    EXPECT_EQ(said.find("no record for", again), std::string::npos) << "told once";
    EXPECT_TRUE(holds(said, "215 cycles, 1 record, 210 failed cycles, longest gap between "
                            "records -, 0 recoveries\n"))
        << said;

    err.str("");
    birdsim_failCall(birdsimGetMostRecentReading, -1);
    EXPECT_EQ(run({"--cycles", "3"}, file), exitNoRecord);
    EXPECT_TRUE(
        holds(err.str(), "trackhost: device [quiet]: 3 cycles, 0 records, 3 failed cycles"));
    EXPECT_TRUE(holds(err.str(),
                      "trackhost: device [quiet]: delivered no record: recvData failed in every "
                      "cycle\n"));
    err.str("");
    EXPECT_EQ(run({"--cycles", "0"}, file), exitSuccess);
    EXPECT_EQ(err.str(), simulatorNote);
}

namespace {

// Holds up the cycle of the first record, then fails the next `failures` readings.
struct LateFirstCycle : PoseListener {
    explicit LateFirstCycle(std::int32_t failures) : failures(failures) {}
    void poseDelivered(const PoseRow&) override {
        if (failures > 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            birdsim_failCall(birdsimGetMostRecentReading, failures);
            failures = 0;
        }
    }
    std::int32_t failures;
};

} // namespace

// Two seconds of failed cycles are a silence however late their first one ran: the
// device's health goes by the cycles' schedule, so that one outage is told alike in
// every run, to the millisecond.
TEST_F(HostRunTest, SilenceIsCountedOnTheCyclesScheduleNotTheirLateness) {
    const std::string file = files.writeConfig("[late]\n");
    LateFirstCycle late(201);
    listener = &late;
    ASSERT_EQ(run({"--rate", "100", "--cycles", "210"}, file), exitSuccess);
    EXPECT_EQ(linesAfter(err.str(), "trackhost: device [late]: "),
              "no record for 2 seconds; recvData keeps failing\n"
              "receiving again after 2.010 s without a record\n"
              "210 cycles, 9 records, 201 failed cycles, longest gap between records 2.020 s, 1 "
              "recovery\n");
}

TEST(PacedCycles, CyclesAWholeNumberOfSecondsApartAreExactlyThatFarApart) {
    for (const double rate : {3.0, 7.0, 12.5, 30.0, 60.0, 144.0, 1024.0, 10000.0}) {
        const auto perTwoSeconds = static_cast<std::int64_t>(2 * rate);
        for (std::int64_t cycle = 0; cycle < 5000; cycle += 7) {
            ASSERT_EQ(cycleOffset(cycle + perTwoSeconds, rate) - cycleOffset(cycle, rate),
                      std::chrono::seconds(2))
                << rate << " " << cycle;
        }
    }
}

// A loaded machine: the cycles after each pose of device "one" run 0, 20 or 40 ms late.
struct LateCycles : PoseListener {
    void poseDelivered(const PoseRow& pose) override {
        if (pose.device == "one") {
            std::this_thread::sleep_for(std::chrono::milliseconds(20 * (poses++ % 3)));
        }
    }
    int poses = 0;
};

// Four devices with "reconnect 1" at 10 Hz, on a loaded machine; the sensor on port 2
// is unplugged from 0.5 s to 3 s, half a period from the attempts at 2.5 s and 3.5 s.
// It is declared lost once, woken again by itself at 3.5 s and goes on under its
// tracker ID; the other three deliver in every cycle throughout.
TEST_F(HostRunTest, ASensorThatDropsOutComesBackByItselfAndTheOthersGoOn) {
    LateCycles late;
    listener = &late;
    const std::string file =
        files.writeConfig("[one]\nport 1\nreconnect 1\n[two]\nport 2\nreconnect 1\n"
                          "[three]\nport 3\nreconnect 1\n[four]\nport 4\nreconnect 1\n");
    ASSERT_EQ(
        run({"--format", "csv", "--rate", "10", "--cycles", "45", "--sim-dropout", "2:0.5:2.5"},
            file),
        exitSuccess)
        << err.str();
    const auto rows = csvRows();
    for (const char* steady : {"one", "three", "four"}) {
        EXPECT_EQ(rowsOf(rows, steady), 45u) << steady;
    }
    // Records of "two": every cycle before the cable is pulled, none while the stream
    // is lost, and again with ID 2 from the cycle after the attempt at 3.5 s.
    std::vector<double> times;
    for (const auto& row : rows) {
        if (row[0] == "two") {
            EXPECT_EQ(row[1], "2");
            times.push_back(std::stod(row[2]));
        }
    }
    ASSERT_EQ(times.size(), 5u + 9u);
    double gap = 0;
    for (std::size_t i = 1; i < times.size(); ++i) {
        gap = std::max(gap, times[i] - times[i - 1]);
    }
    EXPECT_NEAR(gap, 3.2, 0.09);
    // Lost at 1.5 s; the attempt at 2.5 s says why the first failed, the one at 3.5 s
    // is within 10 s of that.
    EXPECT_EQ(linesAfter(pluginOutput, "WARNING: "),
              "C3DBird: Sensor on port 2 stopped answering; reconnecting.\n"
              "C3DBird: Sensor on port 2 still not answering after 1 attempt (wake-up failed).\n");
    const std::string back = linesAfter(pluginOutput, "INFO: C3DBird: Sensor on port");
    EXPECT_EQ(back.rfind(" 2 streams again after ", 0), 0u) << back;
    // The plug-in and trackhost give the outage one figure, however late its cycles
    // ran: from the first failed reading to the first new one, 3.1 s on the schedule.
    EXPECT_EQ(back, " 2 streams again after 3100 ms.\n");
    EXPECT_EQ(linesAfter(err.str(), "device [two]: receiving again after "),
              "3.100 s without a record\n")
        << err.str();
    // Each attempt shuts the sensor down and wakes it; only the one after the replug
    // gets on to the configuration and the stream.
    EXPECT_EQ(birdsim_callCount(birdsimWakeUp), birdsim_callCount(birdsimShutDown));
    EXPECT_GE(birdsim_callCount(birdsimWakeUp), 4 + 2);
    EXPECT_EQ(birdsim_callCount(birdsimGetDeviceConfig), 5);
    EXPECT_EQ(birdsim_callCount(birdsimStartStream), 5);
    EXPECT_TRUE(holds(err.str(), "device [two]: 45 cycles, 14 records, 31 failed cycles, "))
        << err.str();
}

TEST(SimulatorControl, ReachesTheSimulatorThisProcessLoaded) {
    const SimulatorControl simulator;
    ASSERT_TRUE(simulator.present());
    const auto callCount = simulator.function<decltype(birdsim_callCount)>("birdsim_callCount");
    ASSERT_NE(callCount, nullptr);
    EXPECT_EQ(callCount(birdsimWakeUp), birdsim_callCount(birdsimWakeUp));
    EXPECT_EQ(simulator.function<void()>("no_such_call"), nullptr);
}
