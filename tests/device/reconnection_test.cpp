// The "reconnect" option: when a stream counts as lost, when attempts are due, when
// it is back; then the device's side of it, through its options and a loss.
#include "device/Reconnection.h"

#include "sim/birdsim.h"
#include "tests/fixtures/Deadline.h"
#include "tests/fixtures/DeviceFixture.h"
#include "tests/fixtures/TestCalibLibrary.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <vector>

namespace {

using Step = Reconnection::Step;

struct Readings {
    std::uint8_t block[bird::readingSize] = {};
    // A reading that differs from every earlier one.
    const std::uint8_t* fresh() {
        ++block[12];
        return block;
    }
};

} // namespace

// A host's calls every 100 ms from 0, as a host at 10 Hz makes them.
constexpr std::int64_t spacing = 100;

TEST(Reconnection, FailedOrRepeatedReadingsForAWholePeriodAreALoss) {
    for (const bool repeat : {false, true}) {
        SCOPED_TRACE(repeat);
        Readings readings;
        Reconnection reconnection(1000);
        EXPECT_EQ(reconnection.afterReading(true, readings.fresh(), 0), Step::deliver);
        const Step stale = repeat ? Step::deliver : Step::failed;
        for (std::int64_t at = 100; at < 1100; at += spacing) {
            ASSERT_EQ(reconnection.afterReading(repeat, readings.block, at), stale) << at;
        }
        EXPECT_EQ(reconnection.afterReading(repeat, readings.block, 1100), Step::declareLoss);
        EXPECT_TRUE(reconnection.lost());
    }
}

TEST(Reconnection, OneNewReadingRestartsTheCount) {
    Readings readings;
    Reconnection reconnection(1000);
    for (std::int64_t at = 0; at < 900; at += spacing) {
        ASSERT_EQ(reconnection.afterReading(false, readings.block, at), Step::failed) << at;
    }
    EXPECT_EQ(reconnection.afterReading(true, readings.fresh(), 900), Step::deliver);
    for (std::int64_t at = 1000; at < 2000; at += spacing) {
        ASSERT_EQ(reconnection.afterReading(false, readings.block, at), Step::failed) << at;
    }
    EXPECT_EQ(reconnection.afterReading(false, readings.block, 2000), Step::declareLoss);
}

TEST(Reconnection, WhileLostOneAttemptPerPeriodUntilANewReading) {
    Readings readings;
    Reconnection reconnection(500);
    reconnection.afterReading(true, readings.fresh(), 0);
    for (std::int64_t at = 100; at < 600; at += spacing) {
        ASSERT_EQ(reconnection.afterReading(false, readings.block, at), Step::failed) << at;
    }
    ASSERT_EQ(reconnection.afterReading(false, readings.block, 600), Step::declareLoss);
    for (std::int64_t at = 700; at < 1100; at += spacing) {
        EXPECT_EQ(reconnection.afterReading(false, readings.block, at), Step::wait) << at;
    }
    EXPECT_EQ(reconnection.afterReading(true, readings.block, 1100), Step::attempt)
        << "the last good reading again is no recovery";
    EXPECT_EQ(reconnection.afterReading(false, readings.block, 1200), Step::wait);
    // Plugged back in between two attempts: back at the first new reading.
    EXPECT_EQ(reconnection.afterReading(true, readings.fresh(), 1300), Step::recovered);
    EXPECT_EQ(reconnection.lostFor(1300), 1200) << "from the first failed reading";
    EXPECT_FALSE(reconnection.lost());
    EXPECT_EQ(reconnection.afterReading(true, readings.fresh(), 1400), Step::deliver);
}

// A call that runs late moves neither the loss nor an attempt to another call, early
// or late: each falls to the call nearest its due time, as on an idle machine. The
// first failed reading runs 30 ms late, the call before an attempt 40 ms late, and a
// stall of 2.5 s brings one attempt, not two.
TEST(Reconnection, ALateCallMovesNeitherTheLossNorAnAttempt) {
    Readings readings;
    Reconnection reconnection(1000);
    std::vector<std::int64_t> declared;
    std::vector<std::int64_t> attempts;
    // The call due at `at`, `lateBy` ms late.
    const auto call = [&](std::int64_t at, std::int64_t lateBy) {
        const Step step = reconnection.afterReading(false, readings.block, at + lateBy);
        if (step == Step::declareLoss || step == Step::attempt) {
            (step == Step::declareLoss ? declared : attempts).push_back(at);
        }
    };
    reconnection.afterReading(true, readings.fresh(), 0);
    for (std::int64_t at = 100; at <= 4000; at += spacing) {
        call(at, at == 100 ? 30 : at == 2000 ? 40 : 0);
    }
    for (std::int64_t at = 6500; at <= 7500; at += spacing) {
        call(at, 0);
    }
    EXPECT_EQ(declared, std::vector<std::int64_t>{1100});
    EXPECT_EQ(attempts, (std::vector<std::int64_t>{2100, 3100, 6500, 7500}));
    EXPECT_EQ(reconnection.afterReading(true, readings.fresh(), 7600), Step::recovered);
    EXPECT_EQ(reconnection.lostFor(7600), 7470) << "from the late first failed reading";
}

TEST(Reconnection, FailedAttemptsAreCountedAndReportedAtMostOncePerSpacing) {
    Readings readings;
    Reconnection reconnection(1000);
    for (const std::int64_t lossAt : {1000, 30000}) {
        reconnection.afterReading(true, readings.fresh(), lossAt - 1100);
        for (std::int64_t at = lossAt - 1000; at < lossAt; at += spacing) {
            reconnection.afterReading(false, readings.block, at);
        }
        ASSERT_EQ(reconnection.afterReading(false, readings.block, lossAt), Step::declareLoss);
        std::int64_t attempts = 0;
        std::int64_t reports = 0;
        for (std::int64_t at = lossAt + spacing; at <= lossAt + 11000; at += spacing) {
            if (reconnection.afterReading(false, readings.block, at) != Step::attempt) {
                continue;
            }
            ++attempts;
            EXPECT_EQ(at, lossAt + attempts * 1000);
            EXPECT_EQ(reconnection.failedAttempts(), attempts);
            if (reconnection.reportDue(at)) {
                ++reports;
                EXPECT_TRUE(attempts == 1 || attempts == 11)
                    << "after " << attempts << " failed attempts";
            }
        }
        EXPECT_EQ(attempts, 11);
        EXPECT_EQ(reports, 2) << "a new loss reports at once again";
    }
}

using Reconnect = DeviceFixture;

TEST_F(Reconnect, OptionIsReadLikeTheOthersAndShownInTheDeviceBlock) {
    HostConfig good;
    good.add("Reconnect", {"1.5"});
    ASSERT_EQ(initWith(good), 1) << output;
    EXPECT_NE(output.find("C3DBird: INFO: RESET                 : No\n"
                          "C3DBird: INFO: RECONNECT             : 1500 ms\n"
                          "C3DBird: INFO: NUMBER OF DEVICES     : 1\n"),
              std::string::npos)
        << output;

    HostConfig bad;
    bad.add("reconnect", {"-1"}, 3);
    bad.add("reconnect", {"soon"}, 4);
    bad.add("reconnect", {}, 5);
    bad.add("reconnect", {"1", "2"}, 6);
    bad.add("reconnect", {"0"}, 7);
    EXPECT_EQ(initWith(bad), -1);
    EXPECT_EQ(errors(), "C3DBird: Invalid arg found for Reconnect at line 3.\n"
                        "C3DBird: Invalid arg found for Reconnect at line 4.\n"
                        "C3DBird: Incomplete option line found for Reconnect at line 5.\n"
                        "C3DBird: Too many args found for Reconnect at line 6.\n");
    EXPECT_EQ(bad.record()->lines[4].used, 1) << "0 is accepted and leaves it off";
    EXPECT_EQ(output.find("RECONNECT"), std::string::npos);
}

// A loss makes the first attempt at once; stop during the loss still shuts the
// sensor down and ends the calibration library.
TEST_F(Reconnect, StopDuringALossShutsDownAndEndsTheCalibration) {
    HostConfig config;
    config.add("reconnect", {"0.001"});
    config.add("calibration", {platform::libraryFileName("testcalib")});
    runWith(config);
    ASSERT_EQ(cycle(), 1);
    birdsim_unplug(1, birdsimReadingsFail);
    const std::int32_t wakeUps = birdsim_callCount(birdsimWakeUp);
    CaptureStdout out;
    ASSERT_TRUE(waitUntil([&] {
        EXPECT_EQ(cycle(), -1);
        EXPECT_EQ(maskBytes(mask), "00 00 00 00");
        return birdsim_callCount(birdsimWakeUp) != wakeUps;
    })) << "no reconnection attempt";
    EXPECT_EQ(linesAfter(out.text(), "C3DBird: WARNING: "),
              "C3DBird: Sensor on port 1 stopped answering; reconnecting.\n");
    const TestCalibLibrary calibration;
    EXPECT_TRUE(device->stop());
    EXPECT_EQ(birdsim_isAwake(0), 0);
    EXPECT_EQ(calibration.calls(2), 1);
}

// Each loss ends in a different step of the attempts; the second attempt says why the
// first failed, and the third, within 10 s, says nothing. The mask, all bits set
// before each cycle, comes back cleared throughout.
TEST_F(Reconnect, FailedAttemptsAreSaidWithTheirCause) {
    const struct {
        BirdSimCall failing; // besides the readings
        const char* cause;
    } losses[] = {
        {birdsimWakeUp, "wake-up failed"},
        {birdsimGetDeviceConfig, "configuration failed"},
        {birdsimStartStream, "start failed"},
        {birdsimGetMostRecentReading, "no new reading since the restart"},
    };
    HostConfig config;
    config.add("reconnect", {"0.001"});
    for (const auto& loss : losses) {
        SCOPED_TRACE(loss.cause);
        runWith(config);
        ASSERT_EQ(cycle(), 1);
        birdsim_failCall(birdsimGetMostRecentReading, -1);
        birdsim_failCall(loss.failing, -1);
        const std::int32_t wakeUps = birdsim_callCount(birdsimWakeUp);
        CaptureStdout out;
        while (birdsim_callCount(birdsimWakeUp) < wakeUps + 3) {
            std::memset(mask, 0xFF, sizeof mask);
            ASSERT_EQ(device->recvData(mask, 0), -1);
            ASSERT_EQ(maskBytes(mask), "00 00 00 00");
        }
        EXPECT_EQ(linesAfter(out.text(), "C3DBird: WARNING: "),
                  "C3DBird: Sensor on port 1 stopped answering; reconnecting.\n"
                  "C3DBird: Sensor on port 1 still not answering after 1 attempt (" +
                      std::string(loss.cause) + ").\n");
        birdsim_failCall(loss.failing, 0);
        birdsim_failCall(birdsimGetMostRecentReading, 0);
        device->stop();
    }
}

// "reconnect 0" alone: init succeeds without a RECONNECT line, and failing readings
// never shut the sensor down nor wake it again.
TEST_F(Reconnect, ZeroLeavesItOff) {
    HostConfig config;
    config.add("reconnect", {"0"});
    runWith(config);
    EXPECT_EQ(output.find("RECONNECT"), std::string::npos) << output;
    birdsim_failCall(birdsimGetMostRecentReading, -1);
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(20);
    while (std::chrono::steady_clock::now() < until) {
        ASSERT_EQ(cycle(), -1);
    }
    EXPECT_EQ(birdsim_callCount(birdsimWakeUp), 1);
    EXPECT_EQ(birdsim_callCount(birdsimShutDown), 0);
    EXPECT_TRUE(birdsim_isStreaming(0));
}
