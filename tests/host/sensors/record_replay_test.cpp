// trackhost --record and --replay, run as a user runs them: the built program in a
// process of its own, so that the recording sensor library is loaded ahead of the
// plug-in exactly as it is in use.
#include "platform/platform.h"
#include "tests/fixtures/RunProgram.h"
#include "tests/fixtures/TestFiles.h"
#include "tests/fixtures/TestFolder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace {

// CSV rows without their time field. The other fields are the records' fields decoded
// one to one (fixed-point values with all five decimals), so equal rows mean records
// equal byte for byte but for the time (bytes 8-15 and the clock buffer, 44-55).
std::vector<std::string> rowsWithoutTime(const std::string& csv) {
    std::vector<std::string> rows;
    for (const std::string& line : textLines(csv)) {
        const std::size_t second = line.find(',', line.find(',') + 1);
        const std::size_t third = line.find(',', second + 1);
        rows.push_back(line.substr(0, second) + line.substr(third));
    }
    return rows;
}

struct RecordReplay : ::testing::Test {
    // Runs trackhost with `args`; its own messages land in `err`, without the notice
    // that the sensor library is the simulator, the devices' summary lines and the
    // values the quiet plug-in still writes (no ": " in them).
    int trackhost(const std::string& args) {
        const std::string errFile = files.name("-err.txt");
        const int code = runShell(programCommand("trackhost") + " --quiet " + args + " >" +
                                  files.name("-out.txt") + " 2>" + errFile);
        err.clear();
        for (const std::string& line : textLines(readText(errFile))) {
            if (line.find(": ") != line.npos && line.find(" is the simulator") == line.npos &&
                line.find(" failed cycles, ") == line.npos) {
                err += line + "\n";
            }
        }
        return code;
    }

    TestFiles files;
    std::string err;
};

// The start-up note of a replay of the recordings these tests write.
std::string replaying(const std::string& recording) {
    return "trackhost: replaying " + recording + ", recorded at 2026-12-07T11:05:54.123Z\n";
}

// The head's poses are smoothed: the filter times them by the readings' times.
const char* const twoSensors = "[head]\nport 1\nposition 0 5.5 0\ntransmitterrotation 0 1 0 90\n"
                               "calibration smoothing 0.5 0.1 1.0\n"
                               "[wand]\nport 3\nsensoroffset 1 0 0 0.5 feet\n";

} // namespace

// Replayed at other rates: one recorded reading per reading call, whatever the timing,
// smoothed as the recorded run was. A slower rate is warned of.
TEST_F(RecordReplay, ReplayedRunGivesTheRecordedRecords) {
    const std::string config = files.write("-sensors.conf", twoSensors);
    const std::string recording = files.name("-recording.txt");
    const std::string recorded = files.name("-recorded.csv");
    ASSERT_EQ(trackhost("--record " + recording + " --sim-noise 0.2 --rate 100 --cycles 20 " +
                        "--format csv --output " + recorded + " " + config),
              0)
        << err;
    const std::vector<std::string> file = textLines(readText(recording));
    ASSERT_EQ(file.size(), 3u + 40u);
    EXPECT_EQ(file[0], "trackhost-recording 1");
    EXPECT_EQ(file[1], "ports 1 3");
    EXPECT_EQ(file[2].substr(0, 6) + file[2].substr(file[2].size() - 1), "start Z");

    const std::vector<std::string> expected = rowsWithoutTime(readText(recorded));
    // Noise makes every pose of the wand new, and most of the head's: a smoothed
    // reading taken in the same millisecond as the one before (cycles that catch up
    // on a loaded machine) repeats its pose.
    EXPECT_GT(expected.size(), 1u + 20u);
    const std::string replayed = files.name("-replayed.csv");
    const std::string end =
        "trackhost: replaying " + recording + ", recorded at " + file[2].substr(6) + "\n";
    const std::string runOut = "trackhost: the recording " + recording +
                               " has run out; the run ends (--loop plays it again)\n";
    for (const char* rate : {"--rate 25 ", "--rate 400 ", ""}) {
        ASSERT_EQ(trackhost("--replay " + recording + " " + rate + "--cycles 20 --format csv " +
                            "--output " + replayed + " " + config),
                  0)
            << err;
        // Twenty readings a port: the recording runs out with the twentieth cycle.
        const bool warned =
            err.rfind("trackhost: warning: --rate 25.0 replays " + recording + " ", 0) == 0;
        EXPECT_EQ(warned, rate == std::string("--rate 25 ")) << err;
        EXPECT_EQ(err.substr(err.find("trackhost: replaying")), end + runOut) << rate;
        EXPECT_EQ(rowsWithoutTime(readText(replayed)), expected) << rate;
    }
}

// Without --loop or a limit, the run ends when the recording does; timed, its
// readings lie far enough apart that a late cycle skips none.
TEST_F(RecordReplay, ARunEndsWhenItsRecordingRunsOut) {
    const std::string config = files.write("-one.conf", "[d]\nport 2\n");
    const std::string recording =
        files.write("-three.txt", "trackhost-recording 1\nports 2\nstart 2026-12-07T11:05:54.123Z\n"
                                  "0 2 1 0.1 0 0\n300 2 1 0.2 0 0\n600 2 1 0.3 0 0\n");
    for (const char* timed : {"", "--replay-timed "}) {
        EXPECT_EQ(trackhost("--replay " + recording + " --rate 100 " + timed + config), 0);
        EXPECT_EQ(err, replaying(recording) + "trackhost: the recording " + recording +
                           " has run out; the run ends (--loop plays it again)\n");
        EXPECT_EQ(textLines(readText(files.name("-out.txt"))).size(), 4u) << timed;
    }
}

// A recording that cannot be created is refused (status 2); one that cannot be written
// stops the run with status 5; one without a sensor library where the plug-in looks
// for it says where that was, and why (status 4).
TEST_F(RecordReplay, UnwritableRecordingIsRefusedOrStopsTheRunWithStatus5) {
    const std::string config = files.write("-one.conf", "[d]\n");
    EXPECT_EQ(trackhost("--record no-such-folder/r.txt --cycles 1 " + config), 2);
    EXPECT_EQ(err, "trackhost: cannot write no-such-folder/r.txt (No such file or directory)\n");
    if (std::ifstream("/dev/full")) {
        EXPECT_EQ(trackhost("--record /dev/full --rate 1000 " + config), 5);
        EXPECT_EQ(err, "trackhost: cannot write /dev/full (No space left on device)\n");
    }
    // On Windows the plug-in's sensor library is the one beside trackhost, wherever
    // the plug-in lies.
    if (platform::posixSystem()) {
        const TestFolder elsewhere("elsewhere");
        const std::string name = platform::libraryFileName("tracker_3dbird");
        const std::string plugin = elsewhere.absolute(name);
        elsewhere.copy(platform::executableFolder() + name, name);
        const std::string sensors = elsewhere.absolute(platform::libraryFileName("3dbird"));
        EXPECT_EQ(trackhost("--record " + files.name("-r.txt") + " --cycles 1 --plugin " + plugin +
                            " " + config),
                  4);
        EXPECT_EQ(err.substr(0, err.find(" (")),
                  "trackhost: cannot load the sensor library " + sensors);
        EXPECT_EQ(err.substr(err.find(")")), "), where the plug-in " + plugin + " looks for it\n")
            << err;
        EXPECT_NE(err.find("No such file or directory"), std::string::npos) << err;
    }
}

TEST_F(RecordReplay, BadRecordingsAreRefusedAndUnusedPortsWarned) {
    const std::string config = files.write("-port2.conf", "[d]\nport 2\n");
    const std::string header = "trackhost-recording 1\nports 1 2\nstart 2026-12-07T11:05:54.123Z\n";
    // No device plays the simulator's own motion in a replay.
    for (const std::string& readings : {std::string(), std::string("0 1 1 0 0 0\n")}) {
        const std::string none = files.write("-none.txt", header + readings);
        EXPECT_EQ(trackhost("--replay " + none + " --cycles 1 " + config), 3);
        EXPECT_EQ(err, none + ": no readings for port 2\n");
    }

    const std::string cut = files.write("-cut.txt", header + "0 2 1 0.5 0");
    EXPECT_EQ(trackhost("--replay " + cut + " --cycles 1 " + config), 3);
    EXPECT_EQ(err, cut + ":4: the line is cut off (the file ends without a line end)\n");

    const std::string good = files.write("-good.txt", header + "0 1 1 0 0 0\n0 2 0 0 0 0\n");
    // The recorded failed read, looped, fails every cycle: the device never delivers.
    EXPECT_EQ(trackhost("--replay " + good + " --loop --cycles 3 " + config), 6);
    EXPECT_EQ(err, replaying(good) + "trackhost: warning: " + good +
                       " records port 1, which no device of " + config +
                       " uses\ntrackhost: device [d]: delivered no record: recvData failed in "
                       "every cycle\n");
}

namespace {

// Twenty readings of port 2, 10 ms apart, each turned further.
std::string twentyReadings() {
    std::string text = "trackhost-recording 1\nports 2\nstart 2026-12-07T11:05:54.123Z\n";
    for (int i = 0; i < 20; ++i) {
        text += std::to_string(10 * i) + " 2 1 0." + std::to_string(10 + i) + " 0 0\n";
    }
    return text;
}

} // namespace

// A cable pulled during a replay hides the readings of its time, and the recording
// still runs out: a device without reconnect delivers the five readings before it.
// The noise asked for jitters the replayed readings.
TEST_F(RecordReplay, SimulatedDropOutsAndNoiseActOnTheReplay) {
    const std::string config = files.write("-one.conf", "[d]\nport 2\n");
    const std::string recording = files.write("-twenty.txt", twentyReadings());
    EXPECT_EQ(trackhost("--replay " + recording + " --rate 100 --sim-dropout 2:0.05:0.1 " +
                        "--seconds 5 --format csv " + config),
              0);
    EXPECT_EQ(err, replaying(recording) +
                       "trackhost: simulator: sensor on port 2 unplugged\n"
                       "trackhost: simulator: sensor on port 2 plugged back in\n"
                       "trackhost: device [d] does not wake its sensor again by itself; "
                       "\"reconnect SECONDS\" in its section would\n"
                       "trackhost: the recording " +
                       recording + " has run out; the run ends (--loop plays it again)\n");
    EXPECT_EQ(textLines(readText(files.name("-out.txt"))).size(), 1u + 5u);

    const std::vector<std::string> plain =
        (trackhost("--replay " + recording + " --format csv " + config),
         rowsWithoutTime(readText(files.name("-out.txt"))));
    const std::vector<std::string> noisy =
        (trackhost("--replay " + recording + " --sim-noise 1 --format csv " + config),
         rowsWithoutTime(readText(files.name("-out.txt"))));
    ASSERT_EQ(plain.size(), 1u + 20u);
    ASSERT_EQ(noisy.size(), plain.size());
    for (std::size_t row = 1; row < plain.size(); ++row) {
        EXPECT_NE(noisy[row], plain[row]);
    }
}

// The cycles of a drop-out are all recorded, those while the device's reconnection
// has its sensor shut down as failed reads: the replay, one reading per call or at
// the recorded times, shows the outage as it happened.
TEST_F(RecordReplay, ADropOutIsRecordedWholeAndReplaysAsItHappened) {
    // On a loaded machine: the calibration makes the cycles late.
    const std::string config =
        files.write("-reconnect.conf", "[d]\nport 2\nreconnect 1\ncalibration testcalib 0 late\n");
    const std::string recording = files.name("-dropout.txt");
    // The device's summary line without the longest gap, which is timed by the clock.
    const auto summary = [&] {
        for (const std::string& line : textLines(readText(files.name("-err.txt")))) {
            if (line.find(" failed cycle") != line.npos) {
                return line.substr(0, line.find(", longest gap")) + line.substr(line.rfind(", "));
            }
        }
        return std::string();
    };
    ASSERT_EQ(trackhost("--record " + recording + " --rate 50 --cycles 130 --sim-dropout " +
                        "2:0.2:1.5 --output " + files.name("-live.txt") + " " + config),
              0)
        << err;
    const std::string live = summary();
    EXPECT_EQ(live.rfind("trackhost: device [d]: 130 cycles, ", 0), 0u) << live;
    EXPECT_EQ(live.substr(live.size() - 12), ", 1 recovery") << live;
    // Recorded on the cycles' schedule, however late a cycle ran.
    const std::vector<std::string> lines = textLines(readText(recording));
    ASSERT_EQ(lines.size(), 3u + 130u);
    for (std::size_t line = 4; line < lines.size(); ++line) {
        EXPECT_EQ((std::stoi(lines[line]) - std::stoi(lines[3])) % 20, 0) << lines[line];
    }
    ASSERT_EQ(trackhost("--replay " + recording + " --rate 50 " + config), 0) << err;
    EXPECT_EQ(summary(), live);
    ASSERT_EQ(trackhost("--replay " + recording + " --replay-timed --rate 50 " + config), 0) << err;
    // At the recorded times the cycles meet the readings on the schedule: the outage
    // (about 100 cycles) moves by the time the devices took to start, and its ends by
    // a cycle at most; an outage missed or met twice would be 100 off.
    const auto failed = [](const std::string& line) {
        const std::size_t end = line.find(" failed cycle");
        return std::stoi(line.substr(line.rfind(' ', end - 1) + 1));
    };
    const std::string timed = summary();
    EXPECT_GT(failed(live), 90) << live;
    EXPECT_NEAR(failed(timed), failed(live), 2) << timed;
    EXPECT_EQ(timed.substr(timed.size() - 12), ", 1 recovery") << timed;
}

// Without --rate a replay runs at the rate it was recorded at, so a still stretch
// (1.8 s of the alignment's motion) stays shorter than the reconnect period, as live.
TEST_F(RecordReplay, AReplayRunsAtItsRecordingsRate) {
    const std::string config = files.write("-still.conf", "[d]\nport 2\nreconnect 2\n");
    const std::string recording = files.name("-still.txt");
    for (const std::string& run :
         {"--record " + recording + " --sim-motion align --rate 100 --seconds 3",
          "--replay " + recording}) {
        ASSERT_EQ(trackhost(run + " --output " + files.name("-poses.txt") + " " + config), 0)
            << err;
        const std::string summary = readText(files.name("-err.txt"));
        EXPECT_NE(summary.find(", 0 failed cycles, "), std::string::npos) << run << summary;
        EXPECT_NE(summary.find(", 0 recoveries"), std::string::npos) << run << summary;
    }
}
