// trackhost --align: the rotations it finds for sensors mounted crooked behind turned
// transmitters, read back through the plug-in's own option reader and transforms;
// its steps on noisy readings; its refusals and their statuses; its command line.
#include "host/HostOptions.h"
#include "host/align/AlignLines.h"
#include "host/align/AlignProcedure.h"
#include "tests/fixtures/RunProgram.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <regex>
#include <sstream>

namespace {

// A transmitter turned by X and a sensor mounted so that it takes the rotation M to
// set right: a body turned by R is measured as X^-1 R M^-1.
struct Mount {
    Vector3 transmitterAxis;
    double transmitterDegrees;
    Vector3 mountAxis;
    double mountDegrees;
};

Rotation3 measured(const Mount& mount, const Rotation3& body) {
    return transposed(axisAngleRotation(mount.transmitterAxis, mount.transmitterDegrees)) * body *
           transposed(axisAngleRotation(mount.mountAxis, mount.mountDegrees));
}

const Rotation3 front = identityRotation();
const Rotation3 turnedLeft = axisAngleRotation({0, 1, 0}, 70);
const Rotation3 tiltedUp = axisAngleRotation({1, 0, 0}, 50);

TrackerPose poseOf(const Rotation3& orientation) {
    double angles[3];
    poseAngles(orientation, angles);
    TrackerPose pose{};
    pose.angle1 = static_cast<float>(angles[0]);
    pose.angle2 = static_cast<float>(angles[1]);
    pose.angle3 = static_cast<float>(angles[2]);
    return pose;
}

Rotation3 rotationOf(const TrackerPose& pose) {
    return poseRotation(pose.angle1, pose.angle2, pose.angle3);
}

// The rotation of an option line's last four numbers: AX AY AZ ANGLE.
Rotation3 lineRotation(const std::string& line) {
    std::istringstream words(line);
    std::vector<double> numbers;
    std::string word;
    while (words >> word) {
        numbers.push_back(std::atof(word.c_str()));
    }
    const std::size_t n = numbers.size();
    return axisAngleRotation({numbers[n - 4], numbers[n - 3], numbers[n - 2]}, numbers[n - 1]);
}

class AlignMounts : public testing::TestWithParam<Mount> {};

} // namespace

// The printed lines, read and applied by the plug-in's code, turn the measured
// orientation of any pose of the body back into the body's own.
// The rotations the tests below build their inputs with, against matrices worked out
// by hand: the quarter turns about each axis, the pose's Ry Rx Rz order, the axis and
// angle read back, the distance and the nearest rotation of a scaled one.
TEST(Rotation3, KnownMatricesAnglesAndAxes) {
    const auto expectMatrix = [](const Rotation3& rotation, const double(&expected)[3][3]) {
        for (int r = 0; r < 3; ++r) {
            for (int c = 0; c < 3; ++c) {
                EXPECT_NEAR(rotation.m[r][c], expected[r][c], 1e-12) << r << "," << c;
            }
        }
    };
    const double ry90[3][3] = {{0, 0, 1}, {0, 1, 0}, {-1, 0, 0}};
    const double rx90[3][3] = {{1, 0, 0}, {0, 0, -1}, {0, 1, 0}};
    const double rz90[3][3] = {{0, -1, 0}, {1, 0, 0}, {0, 0, 1}};
    expectMatrix(axisAngleRotation({0, 2, 0}, 90), ry90);
    expectMatrix(poseRotation(90, 0, 0), ry90);
    expectMatrix(poseRotation(0, 90, 0), rx90);
    expectMatrix(poseRotation(0, 0, 90), rz90);
    expectMatrix(poseRotation(90, 90, 0), {{0, 1, 0}, {0, 0, -1}, {-1, 0, 0}});
    // 120 degrees about (1, 1, 1) takes x to y, y to z, z to x.
    expectMatrix(axisAngleRotation({1, 1, 1}, 120), {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}});
    expectMatrix(nearestRotation({{{0, 0, 1.3}, {0, 1.3, 0}, {-1.3, 0, 0}}}), ry90);

    Vector3 axis;
    double degrees = 0.0;
    rotationAxisAngle(poseRotation(0, 0, 90), axis, degrees);
    EXPECT_NEAR(degrees, 90.0, 1e-9);
    EXPECT_NEAR(axis[2], 1.0, 1e-12);
    rotationAxisAngle(axisAngleRotation({0, 0, -1}, 180), axis, degrees);
    EXPECT_NEAR(degrees, 180.0, 1e-9);
    EXPECT_NEAR(std::fabs(axis[2]), 1.0, 1e-9);
    EXPECT_NEAR(rotationDistance(poseRotation(0, 30, 0), identityRotation()), 30.0, 1e-9);

    double angles[3];
    poseAngles(poseRotation(-120, 35, 170), angles);
    EXPECT_NEAR(angles[0], -120.0, 1e-9);
    EXPECT_NEAR(angles[1], 35.0, 1e-9);
    EXPECT_NEAR(angles[2], 170.0, 1e-9);
}

TEST_P(AlignMounts, PrintedLinesThroughThePluginGiveTheBodysOrientation) {
    const Mount& mount = GetParam();
    const AlignFit fit = fitAlignment(
        {measured(mount, front), measured(mount, turnedLeft), measured(mount, tiltedUp)});
    ASSERT_EQ(fit.problem, AlignProblem::none);
    EXPECT_NEAR(fit.turn, 70.0, 1e-6);
    EXPECT_NEAR(fit.tilt, 50.0, 1e-6);
    EXPECT_NEAR(fit.residual, 0.0, 1e-6);

    const std::vector<std::string> lines = alignLines(fit);
    ASSERT_EQ(lines.size(), 2u);
    const std::string number = " -?[0-9]+\\.[0-9]{6}";
    EXPECT_TRUE(std::regex_match(lines[0], std::regex("transmitterrotation(" + number + "){4}")))
        << lines[0];
    EXPECT_TRUE(std::regex_match(lines[1], std::regex("sensorrotation 1(" + number + "){4}")))
        << lines[1];

    const LineTransforms plugin(lines);
    ASSERT_TRUE(plugin.valid());
    const Rotation3 bodies[] = {front, turnedLeft, tiltedUp, poseRotation(-130, 35, 80),
                                poseRotation(20, -75, -160)};
    for (const Rotation3& body : bodies) {
        const TrackerPose aligned = plugin.apply(poseOf(measured(mount, body)));
        EXPECT_LT(rotationDistance(rotationOf(aligned), body), 0.001)
            << aligned.angle1 << " " << aligned.angle2 << " " << aligned.angle3;
    }

    // The transmitter rotation turns a fixed position too; the position line printed
    // with the lines, put into the pose as the receive cycle does, keeps the records
    // where they were, to their 0.00001 feet.
    const float position[3] = {2.0f, 5.5f, -3.25f};
    double kept[3];
    float turned[3];
    EXPECT_EQ(keptPosition(lines, position, position, kept, turned),
              mount.transmitterDegrees != 0.0);
    const std::string line = positionLine(kept);
    ASSERT_TRUE(std::regex_match(line, std::regex("position(" + number + "){3}"))) << line;
    std::istringstream words(line.substr(std::strlen("position")));
    TrackerPose fixed = poseOf(measured(mount, front));
    words >> fixed.x >> fixed.y >> fixed.z;
    fixed = plugin.apply(fixed);
    EXPECT_NEAR(fixed.x, position[0], 1e-5);
    EXPECT_NEAR(fixed.y, position[1], 1e-5);
    EXPECT_NEAR(fixed.z, position[2], 1e-5);
}

INSTANTIATE_TEST_SUITE_P(
    FixedMounts, AlignMounts,
    testing::Values(Mount{{0, 1, 0}, 0, {0, 1, 0}, 0},     // nothing to set right
                    Mount{{0, 1, 0}, 90, {1, 0, 0}, 30},   // transmitter turned on its stand
                    Mount{{1, 1, 0}, 180, {0, 0, 1}, 180}, // half turns
                    Mount{{-2, 1, 3}, 123.4, {0.3, -1, 0.2}, 77})); // crooked everywhere

TEST(AlignFit, PosesThatCannotGiveTheRotationsAreRefused) {
    const Mount mount{{0, 1, 0}, 40, {1, 0, 0}, 10};
    const auto fit = [&](const Rotation3& left, const Rotation3& up) {
        return fitAlignment({measured(mount, front), measured(mount, left), measured(mount, up)});
    };
    EXPECT_EQ(fit(axisAngleRotation({0, 1, 0}, 15), tiltedUp).problem, AlignProblem::smallTurn);
    // Turned further instead of tilted.
    const AlignFit turned = fit(turnedLeft, axisAngleRotation({0.1, 1, 0}, 110));
    EXPECT_EQ(turned.problem, AlignProblem::tiltAboutTurnAxis);
    EXPECT_NEAR(turned.axisSeparation, 5.7, 0.1);
    EXPECT_EQ(fit(turnedLeft, axisAngleRotation({1, 0, 0}, 12)).problem, AlignProblem::smallTilt);
    // A tilt 3 degrees off perpendicular is fitted, and the residual says so.
    EXPECT_NEAR(fit(turnedLeft, axisAngleRotation({1, std::tan(0.05236), 0}, 50)).residual, 3.0,
                0.01);
}

// Jittering readings at 30 a second: each pose is taken once held still for a
// second, the front held again between the second and third step is passed over,
// and the means of the held seconds give the rotations to well within 0.2 degrees.
TEST(AlignProcedure, StepsTakeStillPosesOfNoisyReadings) {
    const Mount mount{{1, 0, 1}, 60, {0, 1, 1}, 25};
    std::mt19937 random(7);
    std::normal_distribution<double> noise(0.0, 0.05);
    AlignProcedure procedure;
    std::vector<AlignProcedure::Event> events;
    const std::pair<double, Rotation3> script[] = {
        {1.5, front}, {1.5, turnedLeft}, {1.5, front}, {1.5, tiltedUp}};
    int reading = 0;
    for (const auto& [seconds, body] : script) {
        for (int i = 0; i < seconds * 30; ++i, ++reading) {
            TrackerPose pose = poseOf(measured(mount, body));
            pose.angle1 += static_cast<float>(noise(random));
            pose.angle2 += static_cast<float>(noise(random));
            pose.angle3 += static_cast<float>(noise(random));
            const AlignProcedure::Event event = procedure.add(reading / 30.0, rotationOf(pose));
            if (event != AlignProcedure::Event::none) {
                events.push_back(event);
            }
        }
    }
    using Event = AlignProcedure::Event;
    EXPECT_EQ(events, (std::vector<Event>{Event::captured, Event::captured, Event::finished}));
    ASSERT_EQ(procedure.fit().problem, AlignProblem::none);
    const Rotation3 transmitter =
        axisAngleRotation(mount.transmitterAxis, mount.transmitterDegrees);
    const Rotation3 sensor = axisAngleRotation(mount.mountAxis, mount.mountDegrees);
    EXPECT_LT(rotationDistance(procedure.fit().transmitter, transmitter), 0.05);
    EXPECT_LT(rotationDistance(procedure.fit().sensor, sensor), 0.05);
}

// Still is within half a degree over a second: a sensor turning half a degree a
// second stays within it (its fifths' means lie 0.2 degrees from the second's mean,
// inside the quarter degree), one turning a degree a second does not (0.4 degrees),
// however long it turns.
TEST(AlignProcedure, ASlowTurnIsNotStillAndAHoldWithinHalfADegreeIs) {
    const auto captured = [](double degreesPerSecond) {
        AlignProcedure procedure;
        for (int reading = 0; reading < 90; ++reading) {
            const double seconds = reading / 30.0;
            if (procedure.add(seconds, axisAngleRotation({0, 1, 0}, degreesPerSecond * seconds)) !=
                AlignProcedure::Event::none) {
                return true;
            }
        }
        return false;
    };
    EXPECT_TRUE(captured(0.0));
    EXPECT_TRUE(captured(0.5));
    EXPECT_TRUE(captured(-0.5));
    EXPECT_FALSE(captured(1.0));
    EXPECT_FALSE(captured(-1.0));
}

namespace {

std::vector<const char*> argsOf(std::initializer_list<const char*> args) {
    return args;
}

ParseResult parse(std::vector<const char*> args, HostOptions& options, std::string& error) {
    return parseHostOptions(static_cast<int>(args.size()), args.data(), options, error);
}

} // namespace

TEST(AlignOptions, SectionIsOptionalAndSimulatorSetUpIsRead) {
    HostOptions options;
    std::string error;
    ASSERT_EQ(parse(argsOf({"--align", "head", "--rate", "50", "my.conf"}), options, error),
              ParseResult::run);
    EXPECT_TRUE(options.align);
    EXPECT_EQ(options.alignSection, "head");
    EXPECT_EQ(options.run.configFile, "my.conf");
    for (auto args : {argsOf({"--align", "my.conf"}), argsOf({"my.conf", "--align"}),
                      argsOf({"--align", "--seconds", "9", "my.conf"})}) {
        HostOptions alone;
        ASSERT_EQ(parse(args, alone, error), ParseResult::run) << error;
        EXPECT_EQ(alone.alignSection, "");
        EXPECT_EQ(alone.run.configFile, "my.conf");
    }
    HostOptions sim;
    ASSERT_EQ(parse(argsOf({"--align=hand", "--sim-mount", "1:0:0:30",
                            "--sim-transmitter=0:1:0:-90", "--sim-motion", "align", "my.conf"}),
                    sim, error),
              ParseResult::run)
        << error;
    EXPECT_EQ(sim.alignSection, "hand");
    EXPECT_TRUE(sim.run.sensors.simMount.set);
    EXPECT_EQ(sim.run.sensors.simMount.degrees, 30.0);
    EXPECT_EQ(sim.run.sensors.simTransmitter.axis[1], 1.0);
    EXPECT_EQ(sim.run.sensors.simTransmitter.degrees, -90.0);
    EXPECT_EQ(sim.run.sensors.simMotion, SimMotion::align);

    const auto refused = [&](std::vector<const char*> args) {
        HostOptions any;
        EXPECT_EQ(parse(args, any, error), ParseResult::error);
        return error;
    };
    EXPECT_EQ(refused({"--align", "--check", "a.conf"}), "--align does not go with --check");
    EXPECT_EQ(refused({"--align", "--cycles", "5", "a.conf"}),
              "--align does not go with --cycles: its time limit is --seconds");
    EXPECT_EQ(refused({"--align=", "a.conf"}), "--align= wants a section name");
    for (const char* bad : {"0:0:0:30", "1:0:0", "1:0:0:x", "1:0:0:30:1"}) {
        EXPECT_EQ(refused({"--sim-mount", bad, "a.conf"}),
                  std::string("--sim-mount wants AX:AY:AZ:ANGLE, an axis of non-zero length and "
                              "degrees, not \"") +
                      bad + "\"");
    }
    EXPECT_EQ(refused({"--sim-motion", "circle", "a.conf"}),
              "--sim-motion wants wave or align, not \"circle\"");
}

// --write names the configuration --align writes, with or without a section before
// it, or the new file of --probe, which needs no configuration; --sim-ports lists
// ports 1 to 4 once each.
TEST(AlignOptions, WriteNamesTheConfigurationAndSimPortsTheSensors) {
    HostOptions options;
    std::string error;
    ASSERT_EQ(parse(argsOf({"--align", "head", "--write", "my.conf"}), options, error),
              ParseResult::run)
        << error;
    EXPECT_EQ(options.alignSection, "head");
    EXPECT_EQ(options.run.configFile, "my.conf");
    EXPECT_EQ(options.writeFile, "my.conf");
    HostOptions probe;
    ASSERT_EQ(parse(argsOf({"--probe", "--sim-ports", "3,1:no-config"}), probe, error),
              ParseResult::run)
        << error;
    const SimPorts& ports = probe.run.sensors.simPorts;
    EXPECT_TRUE(ports.set && ports.present[0] && !ports.present[1] && ports.present[2]);
    EXPECT_TRUE(ports.noConfig[0] && !ports.noConfig[2]);

    const auto refused = [&](std::vector<const char*> args) {
        HostOptions any;
        EXPECT_EQ(parse(args, any, error), ParseResult::error);
        return error;
    };
    EXPECT_EQ(refused({"--align", "--write", "a.conf", "b.conf"}),
              "--align --write FILE aligns FILE itself; \"b.conf\" is a second configuration file");
    EXPECT_EQ(refused({"--write", "a.conf", "b.conf"}), "--write needs --align or --probe");
    EXPECT_EQ(refused({"--probe", "--seconds", "2"}), "--probe does not go with --seconds");
    for (const char* bad : {"5", "1,1", "2,", "2:off", ""}) {
        EXPECT_EQ(refused({"--probe", "--sim-ports", bad}),
                  std::string("--sim-ports wants ports from 1 to 4 separated by commas, each "
                              "perhaps with :no-config, or none, not \"") +
                      bad + "\"");
    }
}

namespace {

// trackhost --align as a user runs it, in bin/, on a configuration of its own and on
// recordings written here: 30 readings a second of a body held in turn at given
// orientations, as the mounted sensor measures them.
struct AlignProgram : testing::Test {
    void SetUp() override {
        name = testing::UnitTest::GetInstance()->current_test_info()->name();
        config = name + ".conf";
        recording = name + ".rec";
        std::ofstream(config) << "[head]\nsensorrotation 1 0 0 1 45\n[hand]\nport 2\n";
    }
    void TearDown() override {
        std::remove(config.c_str());
        std::remove(recording.c_str());
    }

    // Each entry: seconds held and the body's orientation; nullptr readings fail.
    void record(const Mount& mount,
                const std::vector<std::pair<double, const Rotation3*>>& script) {
        std::ofstream file(recording);
        file << "trackhost-recording 1\nports 1\nstart 2026-12-07T11:10:11.033Z\n";
        int reading = 0;
        for (const auto& [seconds, body] : script) {
            for (int i = 0; i < seconds * 30; ++i, ++reading) {
                file << reading * 100 / 3 << " 1 ";
                if (body == nullptr) {
                    file << "0 0 0 0\n";
                    continue;
                }
                double angles[3];
                poseAngles(measured(mount, *body), angles);
                // The reading's radians; the plug-in's CAVE coordinates negate the first
                // and third angle.
                char text[100];
                std::snprintf(
                    text, sizeof text, "1 %.9g %.9g %.9g\n", -angles[0] * 3.141592653589793 / 180,
                    angles[1] * 3.141592653589793 / 180, -angles[2] * 3.141592653589793 / 180);
                file << text;
            }
        }
    }

    std::string name;
    std::string config;
    std::string recording;
};

const Mount crooked{{0, 1, 0}, 90, {1, 0, 0}, 30};

} // namespace

// The simulated sensor behind a turned transmitter, jittering 0.05 degrees, walks
// through the three poses: the lines on standard output are the ones the simulator
// was set up to need, within 0.2 degrees, and nothing else is there. Its recording,
// which ends with the reading that completed the third pose, replays to the same
// poses and lines at any rate.
TEST_F(AlignProgram, SimulatedCrookedSensorGetsItsLinesLiveAndFromItsRecording) {
    const ProgramRun run =
        runProgram("trackhost", "--align head --sim-transmitter 0:1:0:90 --sim-mount 1:0:0:30 "
                                "--sim-motion align --sim-noise 0.05 --rate 40 --record " +
                                    recording + " " + config);
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> lines = textLines(run.out);
    ASSERT_EQ(lines.size(), 2u) << run.out;
    EXPECT_EQ(lines[0].rfind("transmitterrotation ", 0), 0u);
    EXPECT_EQ(lines[1].rfind("sensorrotation 1 ", 0), 0u);
    EXPECT_LT(rotationDistance(lineRotation(lines[0]), axisAngleRotation({0, 1, 0}, 90)), 0.2);
    EXPECT_LT(rotationDistance(lineRotation(lines[1]), axisAngleRotation({1, 0, 0}, 30)), 0.2);
    for (const char* said :
         {"--align reads [head] without its rotation line " /* the section's own */,
          "step 1 of 3: hold the tracked object level", "step 2 of 3: turn it left",
          "step 3 of 3: bring it back to the front, tilt it nose up", "trackhost:   front",
          "trackhost: residual: the turn and tilt axes were "}) {
        EXPECT_NE(run.err.find(said), std::string::npos) << said << "\n" << run.err;
    }
    const auto heldPoses = [](const std::string& err) {
        std::string poses;
        for (const std::string& line : textLines(err)) {
            poses += line.find("held still") != std::string::npos ? line + "\n" : "";
        }
        return poses;
    };
    for (const char* rate : {"300", "90"}) {
        const ProgramRun replay = runProgram("trackhost", "--align head --replay " + recording +
                                                              " --rate " + rate + " " + config);
        EXPECT_EQ(replay.status, 0) << rate << "\n" << replay.err;
        EXPECT_EQ(replay.out, run.out) << rate;
        EXPECT_EQ(heldPoses(replay.err), heldPoses(run.err)) << rate;
    }
}

// A recording is played one reading per call, with its own times: any rate gives the
// same lines, and those are exact for exact readings.
TEST_F(AlignProgram, RecordingGivesTheSameLinesAtAnyRate) {
    record(crooked, {{1.5, &front}, {1.5, &turnedLeft}, {0.5, &front}, {1.5, &tiltedUp}});
    const ProgramRun fast =
        runProgram("trackhost", "--align head --replay " + recording + " --rate 300 " + config);
    ASSERT_EQ(fast.status, 0) << fast.err;
    const ProgramRun slow =
        runProgram("trackhost", "--align head --replay " + recording + " --rate 45 " + config);
    EXPECT_EQ(slow.out, fast.out) << slow.err;
    const std::vector<std::string> lines = textLines(fast.out);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_LT(rotationDistance(lineRotation(lines[0]), axisAngleRotation({0, 1, 0}, 90)), 0.001);
    EXPECT_LT(rotationDistance(lineRotation(lines[1]), axisAngleRotation({1, 0, 0}, 30)), 0.001);
}

namespace {

// The x y z of [head]'s record in one cycle of a run of `config`, to two decimals.
std::string headPosition(const std::string& config) {
    const ProgramRun run = runProgram("trackhost", "--cycles 1 --format csv " + config);
    for (const std::string& row : textLines(run.out)) {
        std::istringstream fields(row);
        std::string field;
        std::string xyz;
        for (int i = 0; std::getline(fields, field, ','); ++i) {
            xyz += i >= 3 && i <= 5 ? field.substr(0, field.size() - 3) + (i < 5 ? " " : "") : "";
        }
        if (row.rfind("head,", 0) == 0) {
            return xyz;
        }
    }
    return run.err;
}

std::string bytesOf(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> crLfLines(const std::string& text) {
    std::vector<std::string> lines;
    for (std::size_t at = 0; at <= text.size();) {
        const std::size_t end = std::min(text.find("\r\n", at), text.size());
        lines.push_back(text.substr(at, end - at));
        at = end + 2;
    }
    return lines;
}

} // namespace

// --align --write puts the lines into the section's own place, the middle of three,
// in a CR LF file whose last line has no line break: the section's rotation line
// replaced where it stands, its position line too, since the transmitter rotation
// turns a fixed position, and the missing line after its last option line; every
// other byte as it was, the old file kept as .bak. A second alignment keeps the
// records where the first put them.
TEST_F(AlignProgram, WrittenLinesGoIntoTheSectionAndKeepAFixedPositionWhereItWas) {
    const std::string text = "# three\r\n[left]\r\nport 2\r\n\r\n[head]\r\nport 1\r\n"
                             "position 24 66 0 inches\r\nsensorrotation 1 0 0 1 45\r\n\r\n"
                             "# the right hand\r\n[right]\r\nport 3";
    std::ofstream(config, std::ios::binary) << text;
    EXPECT_EQ(headPosition(config), "2.00 5.50 0.00");
    record(crooked, {{1.5, &front}, {1.5, &turnedLeft}, {1.5, &tiltedUp}});
    const std::string align =
        "--align head --replay " + recording + " --rate 300 --write " + config;
    ProgramRun run = runProgram("trackhost", align);
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> printed = textLines(run.out);
    ASSERT_EQ(printed.size(), 3u) << run.out;
    EXPECT_EQ(bytesOf(config + ".bak"), text);
    const std::string written = bytesOf(config);
    std::vector<std::string> expected = crLfLines(text);
    expected[6] = printed[2];
    expected[7] = printed[1];
    expected.insert(expected.begin() + 8, printed[0]);
    EXPECT_EQ(crLfLines(written), expected) << written;
    for (const std::string& said :
         {config + ":7: " + printed[2] + " (was: position 24 66 0 inches)\n",
          config + ":8: " + printed[1] + " (was: sensorrotation 1 0 0 1 45)\n",
          config + ":9: " + printed[0] + " (added)\n",
          "trackhost: wrote [head] into " + config + "; its old content is " + config + ".bak\n"}) {
        EXPECT_NE(run.err.find(said), std::string::npos) << said << run.err;
    }
    EXPECT_EQ(headPosition(config), "2.00 5.50 0.00");
    const ProgramRun check = runProgram("trackhost", "--check " + config);
    EXPECT_EQ(check.err, config + ": 3 sections, no problems\n");

    run = runProgram("trackhost", align);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(textLines(run.out).size(), 2u) << run.out;
    EXPECT_EQ(headPosition(config), "2.00 5.50 0.00");
    std::remove((config + ".bak").c_str());
}

// Standard output that is the configuration: appended to (>>), its lines would land
// in the last section; emptied by the shell (> for >>), it is told as such. A
// configuration that cannot be written is found before the sensor wakes; one whose
// old content cannot be kept stays as it was. Each is a usage error.
TEST_F(AlignProgram, AConfigurationThatCannotTakeTheLinesStaysAsItWas) {
    const std::string before = readText(config);
    const std::string trackhost = programCommand("trackhost") + " --align head --sim-motion align ";
    const std::string err = name + ".err";
    EXPECT_EQ(runShell(trackhost + config + " >>" + config + " 2>" + err), 2);
    EXPECT_EQ(readText(err), "trackhost: standard output is " + config +
                                 " itself: lines appended there land in its last section; "
                                 "--align --write " +
                                 config + " puts them into the aligned section's own place\n");
    EXPECT_EQ(readText(config), before);
    EXPECT_EQ(runShell(trackhost + config + " >" + config + " 2>" + err), 2);
    EXPECT_EQ(readText(err), "trackhost: " + config +
                                 " is empty: standard output is the same file, which the shell "
                                 "emptied (>) before trackhost started; nothing is written\n");
    std::remove(err.c_str());

    std::ofstream(config) << before;
    // The old content's copy cannot be written where a folder has its name.
    ASSERT_EQ(runShell(posixShell() ? "mkdir " + config + ".bak" : "mkdir " + config + ".bak"), 0);
    record(crooked, {{1.5, &front}, {1.5, &turnedLeft}, {1.5, &tiltedUp}});
    ProgramRun run = runProgram("trackhost", "--align head --replay " + recording +
                                                 " --rate 300 --write " + config);
    EXPECT_EQ(run.status, 2) << run.err;
    EXPECT_NE(run.err.find("; " + config + " is as it was\n"), std::string::npos) << run.err;
    EXPECT_EQ(readText(config), before);
    runShell("rmdir " + config + ".bak");

    const std::string folder = name + "-folder";
    runShell("mkdir " + folder);
    const std::string locked = folder + (posixShell() ? "/" : "\\") + "locked.conf";
    std::ofstream(locked) << before;
    if (posixShell()) {
        runShell("chmod a-w " + folder);
    } else {
        runShell("attrib +r " + locked);
    }
    // An administrator writes into a read-only folder all the same.
    const bool stillWritable = std::ofstream(locked + ".x").good();
    std::remove((locked + ".x").c_str());
    run = runProgram("trackhost", "--align head --sim-motion align --seconds 1 --write " + locked);
    if (!stillWritable) {
        EXPECT_EQ(run.status, 2) << run.err;
        EXPECT_NE(run.err.find("trackhost: cannot write " + locked), std::string::npos) << run.err;
        EXPECT_EQ(run.err.find("step 1"), std::string::npos) << run.err;
    }
    EXPECT_EQ(readText(locked), before);
    runShell(posixShell() ? "chmod u+w " + folder + " && rm -r " + folder
                          : "attrib -r " + locked + " && rmdir /s /q " + folder);
}

TEST_F(AlignProgram, UnfitPosesSilentSensorsAndUnnamedSectionsAreRefused) {
    const auto align = [&](const std::string& options) {
        return runProgram("trackhost", "--align " + options + " " + config);
    };
    const Rotation3 small = axisAngleRotation({0, 1, 0}, 15);
    record(crooked, {{1.5, &front}, {1.5, &small}});
    ProgramRun run = align("head --rate 300 --replay " + recording);
    EXPECT_EQ(run.status, 8);
    EXPECT_NE(run.err.find("trackhost: --align: the turn was 15.0 degrees, less than 20; turn the "
                           "object left by 45 to 120 degrees\n"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(run.out, "");

    const Rotation3 further = axisAngleRotation({0, 1, 0}, 120);
    record(crooked, {{1.5, &front}, {1.5, &turnedLeft}, {1.5, &further}});
    run = align("head --rate 300 --replay " + recording);
    EXPECT_EQ(run.status, 8);
    EXPECT_NE(run.err.find("the object was turned, not tilted"), std::string::npos) << run.err;

    // A tilt 10 degrees off the left-right axis still gives lines, with a warning.
    const Rotation3 askew = axisAngleRotation({1, std::tan(0.17453293), 0}, 50);
    record(crooked, {{1.5, &front}, {1.5, &turnedLeft}, {1.5, &askew}});
    run = align("head --rate 300 --replay " + recording);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(textLines(run.out).size(), 2u);
    EXPECT_NE(run.err.find("trackhost: residual: the turn and tilt axes were 10.000 degrees from "
                           "perpendicular\ntrackhost: warning: the axes should be perpendicular"),
              std::string::npos)
        << run.err;

    // More time cannot help a recording that ends before the third pose.
    record(crooked, {{1.5, &front}, {1.5, &turnedLeft}});
    run = align("head --rate 300 --replay " + recording);
    EXPECT_EQ(run.status, 8);
    EXPECT_NE(run.err.find("trackhost: --align: the recording ended at step 3 (up), before a "
                           "still pose came; replay a recording that holds all three poses\n"),
              std::string::npos)
        << run.err;

    // The simulator's default motion never holds still, and the user is told what does.
    run = align("head --seconds 1.5");
    EXPECT_EQ(run.status, 8);
    EXPECT_NE(run.err.find("trackhost: --align: no still pose came in time at step 1 (front); "
                           "hold the object still for a second at each step, or give it more "
                           "--seconds\ntrackhost: the simulated sensor never holds still by "
                           "itself; --sim-motion align makes it hold the three poses\n"),
              std::string::npos)
        << run.err;

    record(crooked, {{0.5, nullptr}});
    run = align("head --seconds 1 --rate 300 --replay " + recording);
    EXPECT_EQ(run.status, 6);
    EXPECT_NE(run.err.find("trackhost: device [head]: delivered no record; --align needs its "
                           "sensor's readings\n"),
              std::string::npos)
        << run.err;

    run = align("");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find(" has 2 sections; name the one to align: --align SECTION\n"),
              std::string::npos)
        << run.err;
    run = align("feet");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find(" has no section [feet]\n"), std::string::npos) << run.err;
}
