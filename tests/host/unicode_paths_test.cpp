// trackhost with every name it is given in a folder named in other scripts: the
// names reach the system as they were typed, whatever the ANSI code page of
// Windows, and its messages give them back byte for byte.
#include "platform/platform.h"
#include "tests/fixtures/RunProgram.h"
#include "tests/fixtures/TestFolder.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <utility>
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

namespace {

// A configuration's lines but those that start with one of `keywords`.
std::vector<std::string> linesWithout(const std::string& text,
                                      const std::vector<std::string>& keywords) {
    std::vector<std::string> kept;
    for (const std::string& line : textLines(text)) {
        bool dropped = false;
        for (const std::string& keyword : keywords) {
            dropped = dropped || line.rfind(keyword + " ", 0) == 0;
        }
        if (!dropped) {
            kept.push_back(line);
        }
    }
    return kept;
}

} // namespace

// The set-up path a user walks, there: sensors on ports 2 and 3, each mounted crooked
// behind a turned transmitter, are found and written into a new configuration; it is
// checked, given fixed positions, each section aligned with --write; then a run has
// both read 0 0 0 at the front, at the positions the file gave before the alignment,
// and every other line of the file is as it was.
TEST_F(UnicodePaths, TheSetUpPathFromProbeToAnAlignedRun) {
    const std::string sim = " --sim-ports 2,3 --sim-transmitter 0:1:0:90 --sim-mount 1:1:0:35 ";
    const std::string config = folder.path("最初.conf");
    ProgramRun run = runProgram("trackhost", "--probe --sim-ports 2,3 --write " + quoted(config));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("trackhost: port 2: a sensor answers\n"), std::string::npos) << run.err;
    std::string text = readText(config);
    for (const auto& [port, position] : {std::make_pair("port 2\n", "position 0 5.5 -2\n"),
                                         std::make_pair("port 3\n", "position 1 4 0.5\n")}) {
        ASSERT_NE(text.find(port), std::string::npos) << text;
        text.insert(text.find(port) + 7, position);
    }
    folder.write("最初.conf", text);
    run = runProgram("trackhost", "--check " + quoted(config));
    EXPECT_EQ(run.err, config + ": 2 sections, no problems\n");

    for (const char* section : {"port2", "port3"}) {
        run = runProgram("trackhost", std::string("--quiet --align ") + section + sim +
                                          "--sim-motion align --write " + quoted(config));
        ASSERT_EQ(run.status, 0) << run.err;
    }
    const std::string aligned = readText(config);
    const std::vector<std::string> rotations{"transmitterrotation", "sensorrotation", "position"};
    EXPECT_EQ(linesWithout(aligned, rotations), linesWithout(text, rotations)) << aligned;

    // At the front from 0.8 s to 2.6 s of the motion.
    run = runProgram("trackhost", "--quiet --format csv --seconds 2 --rate 5" + sim +
                                      "--sim-motion align " + quoted(config));
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> rows = textLines(run.out);
    ASSERT_GE(rows.size(), 3u) << run.out;
    for (std::size_t row = rows.size() - 2; row < rows.size(); ++row) {
        std::istringstream fields(rows[row]);
        std::string device;
        std::string field;
        std::getline(fields, device, ',');
        std::vector<double> values;
        while (std::getline(fields, field, ',')) {
            values.push_back(std::stod(field));
        }
        ASSERT_EQ(values.size(), 8u) << rows[row];
        const std::vector<double> expected =
            device == "port2" ? std::vector<double>{0, 5.5, -2} : std::vector<double>{1, 4, 0.5};
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(values[2 + i], expected[i], 1e-3) << rows[row];
            EXPECT_NEAR(values[5 + i], 0.0, 0.2) << rows[row];
        }
    }
}
