// The simulated sensor library behaves like a sensor: wake-up rules, configuration,
// streaming, motion, shut-down, injected failures and concurrent use.
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cmath>
#include <cstring>
#include <thread>
#include <vector>

#include "bird/BirdLibrary.h"
#include "sim/birdsim.h"

namespace {

using Config = std::array<std::uint8_t, bird::configSize>;

struct Angles {
    float a[3];
};

class BirdSim : public ::testing::Test {
protected:
    void SetUp() override { birdsim_reset(); }

    static void wakeAndStream(std::int32_t index) {
        ASSERT_EQ(1, _3dbirdWakeUp(index, static_cast<std::uint16_t>(index + 1), 1000, 1000));
        ASSERT_EQ(1, _3dbirdStartStream(index));
    }

    static Angles read(std::int32_t index) {
        std::uint8_t block[bird::readingSize];
        EXPECT_EQ(1, _3dbirdGetMostRecentReading(index, block));
        Angles angles;
        std::memcpy(angles.a, block, sizeof angles.a);
        return angles;
    }

    // Every call naming the index except the wake-up; all must fail for an unknown index.
    static void expectUnknown(std::int32_t index) {
        std::uint8_t block[bird::readingSize] = {};
        EXPECT_EQ(0, _3dbirdGetDeviceConfig(index, block));
        EXPECT_EQ(0, _3dbirdSetDeviceConfig(index, block));
        EXPECT_EQ(0, _3dbirdResetOrientation(index));
        EXPECT_EQ(0, _3dbirdStartStream(index));
        EXPECT_EQ(0, _3dbirdGetMostRecentReading(index, block));
        EXPECT_EQ(0, _3dbirdShutDown(index));
    }
};

TEST_F(BirdSim, WakeUpRefusesBadIndexAndAbsentPort) {
    EXPECT_EQ(0, _3dbirdWakeUp(-1, 1, 1000, 1000));
    EXPECT_EQ(0, _3dbirdWakeUp(4, 1, 1000, 1000));
    EXPECT_EQ(0, _3dbirdWakeUp(0, 0, 1000, 1000));
    EXPECT_EQ(0, _3dbirdWakeUp(0, 5, 1000, 1000));
    birdsim_setPortPresent(3, 0);
    EXPECT_EQ(0, _3dbirdWakeUp(0, 3, 1000, 1000));
    EXPECT_EQ(0, birdsim_wakeUpArgs(0, nullptr, nullptr, nullptr));
    expectUnknown(0);
    EXPECT_EQ(1, _3dbirdWakeUp(3, 4, 1000, 1000));
}

TEST_F(BirdSim, WakeUpMakesOnlyThatIndexKnownAndRecordsArguments) {
    ASSERT_EQ(1, _3dbirdWakeUp(2, 4, 1000, 999));
    std::uint16_t port = 0;
    std::int32_t a = 0, b = 0;
    ASSERT_EQ(1, birdsim_wakeUpArgs(2, &port, &a, &b));
    EXPECT_EQ(4, port);
    EXPECT_EQ(1000, a);
    EXPECT_EQ(999, b);
    EXPECT_EQ(1, birdsim_isAwake(2));
    EXPECT_EQ(1, _3dbirdResetOrientation(2));
    expectUnknown(1);
}

TEST_F(BirdSim, ConfigRoundTripWritesOnlyTheBlock) {
    ASSERT_EQ(1, _3dbirdWakeUp(0, 1, 1000, 1000));
    std::uint8_t buffer[bird::configSize + 4];
    std::memset(buffer, 0xEE, sizeof buffer);
    ASSERT_EQ(1, _3dbirdGetDeviceConfig(0, buffer));
    EXPECT_EQ(0xEE, buffer[bird::configSize]);
    // The two things a host changes must start out different from what it writes.
    EXPECT_NE(bird::noResetValue, buffer[bird::resetFlagByte]);
    EXPECT_NE(0, buffer[bird::referenceFrameByte] | buffer[bird::referenceFrameByte + 1]);

    Config none{};
    EXPECT_EQ(0, birdsim_lastConfig(0, none.data()));
    buffer[bird::resetFlagByte] = bird::noResetValue;
    buffer[bird::referenceFrameByte] = buffer[bird::referenceFrameByte + 1] = 0;
    ASSERT_EQ(1, _3dbirdSetDeviceConfig(0, buffer));
    Config back{}, last{};
    ASSERT_EQ(1, _3dbirdGetDeviceConfig(0, back.data()));
    ASSERT_EQ(1, birdsim_lastConfig(0, last.data()));
    EXPECT_EQ(0, std::memcmp(buffer, back.data(), bird::configSize));
    EXPECT_EQ(back, last);

    // A new wake-up powers the sensor on afresh; the record of what was written stays.
    ASSERT_EQ(1, _3dbirdShutDown(0));
    ASSERT_EQ(1, _3dbirdWakeUp(0, 1, 1000, 1000));
    ASSERT_EQ(1, _3dbirdGetDeviceConfig(0, back.data()));
    EXPECT_NE(bird::noResetValue, back[bird::resetFlagByte]);
    EXPECT_EQ(1, birdsim_lastConfig(0, last.data()));
}

TEST_F(BirdSim, ReadingsOnlyWhileStreaming) {
    ASSERT_EQ(1, _3dbirdWakeUp(0, 1, 1000, 1000));
    std::uint8_t buffer[bird::readingSize + 4];
    EXPECT_EQ(0, _3dbirdGetMostRecentReading(0, buffer));
    EXPECT_EQ(0, birdsim_isStreaming(0));
    birdsim_setClock(1000);
    ASSERT_EQ(1, _3dbirdStartStream(0));
    EXPECT_EQ(1, birdsim_isStreaming(0));
    birdsim_setClock(1500);
    std::memset(buffer, 0xEE, sizeof buffer);
    EXPECT_EQ(1, _3dbirdGetMostRecentReading(0, buffer));
    EXPECT_EQ(0xEE, buffer[bird::readingSize]);
    // Sample number at the power-on rate of 100 Hz, then milliseconds since the start.
    std::uint32_t counters[2];
    std::memcpy(counters, buffer + 12, sizeof counters);
    EXPECT_EQ(50u, counters[0]);
    EXPECT_EQ(500u, counters[1]);
}

TEST_F(BirdSim, FixedReadingGivesExactFloatsAtTheirOffsets) {
    wakeAndStream(0);
    wakeAndStream(1);
    birdsim_setReading(0, 0.5f, -1.25f, 3.0e-7f);
    std::uint8_t block[bird::readingSize];
    ASSERT_EQ(1, _3dbirdGetMostRecentReading(0, block));
    float value;
    std::memcpy(&value, block + 0, 4);
    EXPECT_EQ(0.5f, value);
    std::memcpy(&value, block + 4, 4);
    EXPECT_EQ(-1.25f, value);
    std::memcpy(&value, block + 8, 4);
    EXPECT_EQ(3.0e-7f, value);
    EXPECT_NE(0.5f, read(1).a[0]);
    birdsim_clearReading(0);
    EXPECT_NE(0.5f, read(0).a[0]);
}

TEST_F(BirdSim, MotionIsBoundedSmoothAndDiffersPerIndex) {
    birdsim_setClock(0);
    wakeAndStream(0);
    wakeAndStream(1);
    Angles previous = read(0);
    for (std::int32_t ms = 20; ms <= 120000; ms += 20) {
        birdsim_setClock(ms);
        const Angles now = read(0), other = read(1);
        bool moved = false;
        for (int i = 0; i < 3; ++i) {
            ASSERT_LT(std::fabs(now.a[i]), 1.0f) << ms;
            ASSERT_LT(std::fabs(now.a[i] - previous.a[i]), 0.05f) << ms;
            moved = moved || now.a[i] != previous.a[i];
        }
        ASSERT_TRUE(moved) << ms;
        ASSERT_NE(0, std::memcmp(&now, &other, sizeof now)) << ms;
        previous = now;
    }
}

TEST_F(BirdSim, MotionStartsFromZeroAtOrientationReset) {
    birdsim_setClock(1234);
    wakeAndStream(0);
    birdsim_setClock(5678);
    ASSERT_NE(0.0f, read(0).a[0]);
    ASSERT_EQ(1, _3dbirdResetOrientation(0));
    const Angles zero = read(0);
    EXPECT_EQ(0.0f, zero.a[0]);
    EXPECT_EQ(0.0f, zero.a[1]);
    EXPECT_EQ(0.0f, zero.a[2]);
}

TEST_F(BirdSim, MotionFollowsTheRealClock) {
    wakeAndStream(0);
    const Angles before = read(0);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_NE(before.a[0], read(0).a[0]);
}

TEST_F(BirdSim, ShutDownForgetsTheSensorUntilWokenAgain) {
    wakeAndStream(0);
    ASSERT_EQ(1, _3dbirdShutDown(0));
    EXPECT_EQ(0, birdsim_isAwake(0));
    expectUnknown(0);
    ASSERT_EQ(1, _3dbirdWakeUp(0, 1, 1000, 1000));
    EXPECT_EQ(0, birdsim_isStreaming(0));
}

TEST_F(BirdSim, InjectedFailuresTakeTheNextCallsAndStillCount) {
    birdsim_failCall(birdsimWakeUp, 2);
    EXPECT_EQ(0, _3dbirdWakeUp(0, 1, 1000, 1000));
    EXPECT_EQ(0, _3dbirdWakeUp(0, 1, 1000, 1000));
    expectUnknown(0);
    EXPECT_EQ(1, _3dbirdWakeUp(0, 1, 1000, 1000));
    EXPECT_EQ(3, birdsim_callCount(birdsimWakeUp));

    birdsim_failCall(birdsimResetOrientation, -1);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(0, _3dbirdResetOrientation(0));
    }
    birdsim_failCall(birdsimResetOrientation, 0);
    EXPECT_EQ(1, _3dbirdResetOrientation(0));
    EXPECT_EQ(7, birdsim_callCount(birdsimResetOrientation)); // one from expectUnknown
    EXPECT_EQ(1, birdsim_isAwake(0));                         // a failed call leaves it awake
}

TEST_F(BirdSim, ResetReturnsToTheLoadedState) {
    birdsim_setPortPresent(1, 0);
    birdsim_failCall(birdsimStartStream, -1);
    birdsim_setReading(0, 1.0f, 1.0f, 1.0f);
    ASSERT_EQ(1, _3dbirdWakeUp(1, 2, 1000, 1000));
    birdsim_reset();
    EXPECT_EQ(0, birdsim_callCount(birdsimWakeUp));
    EXPECT_EQ(0, birdsim_isAwake(1));
    EXPECT_EQ(0, birdsim_wakeUpArgs(1, nullptr, nullptr, nullptr));
    birdsim_setClock(1000);
    wakeAndStream(0);
    EXPECT_NE(1.0f, read(0).a[0]);
}

TEST_F(BirdSim, APortOpensOnceUntilItsSensorIsShutDown) {
    ASSERT_EQ(1, _3dbirdWakeUp(0, 1, 1000, 1000));
    EXPECT_EQ(0, _3dbirdWakeUp(1, 1, 1000, 1000));
    EXPECT_EQ(0, _3dbirdWakeUp(0, 1, 1000, 1000));
    EXPECT_EQ(1, birdsim_isAwake(0)) << "a refused wake-up leaves the sensor as it was";
    ASSERT_EQ(1, _3dbirdShutDown(0));
    EXPECT_EQ(1, _3dbirdWakeUp(1, 1, 1000, 1000));
}

TEST_F(BirdSim, UnpluggedSensorIsLostUntilShutDownAndWokenAgain) {
    wakeAndStream(0);
    wakeAndStream(1);
    birdsim_unplug(1, birdsimReadingsFail);
    std::uint8_t block[bird::readingSize] = {};
    EXPECT_EQ(0, _3dbirdGetMostRecentReading(0, block));
    EXPECT_EQ(0, _3dbirdGetDeviceConfig(0, block));
    EXPECT_EQ(0, _3dbirdSetDeviceConfig(0, block));
    EXPECT_EQ(0, _3dbirdResetOrientation(0));
    EXPECT_EQ(0, _3dbirdStartStream(0));
    EXPECT_EQ(0, _3dbirdWakeUp(2, 1, 1000, 1000));
    read(1); // the other port goes on

    // Plugged back in, the port answers again, but the lost sensor holds it until shut down.
    birdsim_replug(1);
    EXPECT_EQ(0, _3dbirdGetMostRecentReading(0, block));
    EXPECT_EQ(0, _3dbirdWakeUp(2, 1, 1000, 1000));
    ASSERT_EQ(1, _3dbirdShutDown(0));
    wakeAndStream(0);
    read(0);
}

TEST_F(BirdSim, UnpluggedSensorCanRepeatItsLastReading) {
    birdsim_setClock(1000);
    wakeAndStream(0);
    wakeAndStream(1);
    std::uint8_t last[bird::readingSize], again[bird::readingSize];
    ASSERT_EQ(1, _3dbirdGetMostRecentReading(0, last));
    birdsim_unplug(1, birdsimReadingsRepeat);
    birdsim_unplug(2, birdsimReadingsRepeat);
    birdsim_setClock(3000);
    for (int i = 0; i < 2; ++i) {
        ASSERT_EQ(1, _3dbirdGetMostRecentReading(0, again));
        EXPECT_EQ(0, std::memcmp(last, again, sizeof last));
    }
    EXPECT_EQ(0, _3dbirdGetMostRecentReading(1, again)) << "no reading to repeat";
    EXPECT_EQ(0, _3dbirdWakeUp(2, 1, 1000, 1000));
    birdsim_reset();
    EXPECT_EQ(1, _3dbirdWakeUp(0, 1, 1000, 1000)) << "a reset plugs every port in";
}

TEST_F(BirdSim, FourDevicesReadConcurrently) {
    std::vector<std::thread> threads;
    for (std::int32_t index = 0; index < 4; ++index) {
        wakeAndStream(index);
        birdsim_setReading(index, static_cast<float>(index), 0.0f, 0.0f);
        threads.emplace_back([index] {
            for (int i = 0; i < 2000; ++i) {
                ASSERT_EQ(static_cast<float>(index), read(index).a[0]);
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(8000, birdsim_callCount(birdsimGetMostRecentReading));
}

} // namespace

// A recording of port 2 played to index 1; port 1 (index 0) keeps its motion.
TEST_F(BirdSim, ReplayAnswersRecordedReadingsThenHoldsOrLoops) {
    birdsim_setClock(0);
    wakeAndStream(0);
    wakeAndStream(1);
    birdsim_replayAdd(2, 0, 1, 0.5f, 0.0f, 0.0f);
    birdsim_replayAdd(2, 10, 0, 0.0f, 0.0f, 0.0f);
    birdsim_replayAdd(2, 20, 1, 0.25f, -1.0f, 2.0f);
    birdsim_replayStart(0, 0);
    std::uint8_t block[bird::readingSize];
    const auto first = [&] {
        const std::int32_t result = _3dbirdGetMostRecentReading(1, block);
        float angle = 0.0f;
        std::memcpy(&angle, block, sizeof angle);
        return result == 0 ? -99.0f : angle;
    };
    // One recorded reading per call, whatever the clock; a failed read stays failed.
    EXPECT_EQ((std::vector<float>{0.5f, -99.0f, 0.25f, 0.25f, 0.25f}),
              (std::vector<float>{first(), first(), first(), first(), first()}));
    EXPECT_EQ(-1.0f, read(1).a[1]);
    EXPECT_EQ(0.0f, read(0).a[0]); // motion from zero at clock 0

    birdsim_replayStart(0, 1);
    EXPECT_EQ((std::vector<float>{0.5f, -99.0f, 0.25f, 0.5f}),
              (std::vector<float>{first(), first(), first(), first()}));

    // Timed: the reading due at the milliseconds since the start.
    birdsim_replayStart(1, 0);
    std::vector<float> timed;
    for (std::int32_t ms : {5, 15, 20, 500}) {
        birdsim_setClock(ms);
        timed.push_back(first());
    }
    EXPECT_EQ((std::vector<float>{0.5f, -99.0f, 0.25f, 0.25f}), timed);
    birdsim_replayStart(1, 1);
    birdsim_setClock(500 + 21 + 12); // one period of 21 ms on, then 12 ms in
    EXPECT_EQ(-99.0f, first());
}

// A long recording with two readings at each time from 7 ms on: at every millisecond
// the timed replay answers the last reading recorded by then, the first one before
// its time, the last one after the end.
TEST_F(BirdSim, TimedReplayAnswersTheLastReadingRecordedByThen) {
    birdsim_setClock(0);
    wakeAndStream(0);
    constexpr int count = 600;
    const auto timeOf = [](int i) { return 7 + 3 * (i / 2); };
    for (int i = 0; i < count; ++i) {
        birdsim_replayAdd(1, timeOf(i), 1, static_cast<float>(i), 0.0f, 0.0f);
    }
    birdsim_replayStart(1, 0);
    int due = 0;
    for (std::int32_t ms = 0; ms <= timeOf(count - 1) + 5; ++ms) {
        while (due + 1 < count && timeOf(due + 1) <= ms) {
            ++due;
        }
        birdsim_setClock(ms);
        ASSERT_EQ(static_cast<float>(due), read(0).a[0]) << "at " << ms << " ms";
    }
}

TEST_F(BirdSim, NoiseHasTheRmsAskedForAndRepeatsAfterReset) {
    wakeAndStream(0);
    birdsim_setReading(0, 0.0f, 0.0f, 0.0f);
    birdsim_setNoise(0.2f);
    double squares = 0.0;
    const float firstNoise = read(0).a[0];
    for (int i = 0; i < 3000; ++i) {
        squares += std::pow(read(0).a[i % 3], 2.0);
    }
    EXPECT_NEAR(std::sqrt(squares / 3000) * 57.29578, 0.2, 0.01);
    birdsim_reset();
    wakeAndStream(0);
    birdsim_setReading(0, 0.0f, 0.0f, 0.0f);
    EXPECT_EQ(0.0f, read(0).a[0]);
    birdsim_setNoise(0.2f);
    EXPECT_EQ(firstNoise, read(0).a[0]);
}

// A recording played one reading per call goes on while the cable is out: each call
// takes the next reading and fails as the lost sensor's call does (or repeats its last
// replayed reading), shut down or not, so the recording's end still comes.
TEST_F(BirdSim, ReplayGoesOnThroughAPulledCable) {
    wakeAndStream(0);
    for (int i = 0; i < 6; ++i) {
        birdsim_replayAdd(1, 10 * i, 1, static_cast<float>(i), 0.0f, 0.0f);
    }
    birdsim_replayStart(0, 0);
    std::uint8_t block[bird::readingSize];
    EXPECT_EQ(0.0f, read(0).a[0]);
    birdsim_unplug(1, birdsimReadingsRepeat);
    EXPECT_EQ(0.0f, read(0).a[0]) << "the last replayed reading, repeated";
    ASSERT_EQ(1, _3dbirdShutDown(0));
    EXPECT_EQ(0, _3dbirdGetMostRecentReading(0, block));
    EXPECT_EQ(0, birdsim_replayFinished());
    birdsim_replug(1);
    wakeAndStream(0);
    EXPECT_EQ(3.0f, read(0).a[0]);
    EXPECT_EQ(4.0f, read(0).a[0]);
    EXPECT_EQ(5.0f, read(0).a[0]);
    EXPECT_EQ(1, birdsim_replayFinished());
}

// The alignment's script holds the front, the turn left and the tilt up, and repeats
// every 12 s from the front, so that a viewer opened late sees it too.
TEST_F(BirdSim, AlignMotionHoldsItsPosesAndRepeatsEveryTwelveSeconds) {
    birdsim_setClock(0);
    wakeAndStream(0);
    birdsim_setMotion(birdsimMotionAlign);
    const auto at = [](std::int32_t ms) {
        birdsim_setClock(ms);
        const Angles angles = read(0);
        return std::vector<float>(angles.a, angles.a + 3);
    };
    const std::vector<float> front = at(2000), left = at(4500), up = at(8500);
    EXPECT_EQ(front, (std::vector<float>{0.0f, 0.0f, 0.0f}));
    // The plug-in negates the first reading angle: azimuth 70, elevation 50.
    EXPECT_NEAR(left[0], -70.0f * 0.017453292f, 1e-6f);
    EXPECT_NEAR(up[1], 50.0f * 0.017453292f, 1e-6f);
    EXPECT_EQ(at(11000), front);
    for (std::int32_t pass = 1; pass <= 2; ++pass) {
        EXPECT_EQ(at(12000 * pass), front) << pass;
        EXPECT_EQ(at(12000 * pass + 2000), front) << pass;
        EXPECT_EQ(at(12000 * pass + 4500), left) << pass;
        EXPECT_EQ(at(12000 * pass + 8500), up) << pass;
    }
}
