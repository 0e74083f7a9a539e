// The receive cycle: readings into records in the host's storage and the UpdateMask.
#include "device/C3DBird.h"
#include "device/ReadingTime.h"

#include "platform/platform.h"
#include "sim/birdsim.h"
#include "tests/fixtures/DeviceFixture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <memory>

using ReceiveCycle = DeviceFixture;

TEST_F(ReceiveCycle, CaveCoordinatesNegateTheFirstAndThirdAngle) {
    HostConfig config;
    runWith(config);
    birdsim_setReading(0, 0.1f, 0.2f, 0.3f);
    ASSERT_EQ(cycle(), 1);
    EXPECT_EQ(maskBytes(mask), "00 00 00 01");
    const TraData record = slot(1);
    EXPECT_EQ(hostValue(record.traID), 1u);
    EXPECT_EQ(fieldBytes(record.angle1), "FF F7 41 E3");
    EXPECT_EQ(fieldBytes(record.angle2), "00 11 7C 3B");
    EXPECT_EQ(fieldBytes(record.angle3), "FF E5 C5 A7");
    EXPECT_EQ(hostValue(record.x), 0);
    EXPECT_EQ(record.reserved1, 0u);
    EXPECT_EQ(record.reserved2, 0u);
    EXPECT_EQ(hostValue(static_cast<std::uint32_t>(record.microseconds)) % 1000, 0u);
}

TEST_F(ReceiveCycle, WithoutCaveCoordinatesTheAnglesKeepTheirSign) {
    HostConfig config;
    config.add("cavecoordinates", {"no"});
    runWith(config);
    birdsim_setReading(0, 0.1f, 0.2f, 0.3f);
    ASSERT_EQ(cycle(), 1);
    const TraData record = slot(1);
    EXPECT_EQ(hostValue(record.angle1), 572957);
    EXPECT_EQ(hostValue(record.angle2), 1145915);
    EXPECT_EQ(hostValue(record.angle3), 1718873);
}

TEST_F(ReceiveCycle, AnUnchangedPoseIsDeliveredOnce) {
    HostConfig config;
    config.add("position", {"1", "2", "3"});
    runWith(config);
    birdsim_setReading(0, 0.1f, 0.0f, 0.0f);
    ASSERT_EQ(cycle(), 1);
    EXPECT_EQ(maskBytes(mask), "00 00 00 01");
    const TraData first = slot(1);
    EXPECT_EQ(hostValue(first.x), 100000);
    EXPECT_EQ(hostValue(first.z), 300000);

    CaptureStdout out;
    ASSERT_EQ(cycle(), 1);
    EXPECT_EQ(maskBytes(mask), "00 00 00 00");
    EXPECT_EQ(out.text(), "") << "no warning for an unchanged pose";
    const TraData second = slot(1);
    EXPECT_EQ(std::memcmp(&first, &second, sizeof first), 0) << "the slot keeps its time";
}

TEST_F(ReceiveCycle, AllZeroFirstPoseIsNotDelivered) {
    HostConfig config;
    runWith(config);
    birdsim_setReading(0, 0.0f, 0.0f, 0.0f);
    ASSERT_EQ(cycle(), 1);
    EXPECT_EQ(maskBytes(mask), "00 00 00 00");
    EXPECT_EQ(hostValue(slot(1).traID), 0u) << "the slot was never written";
}

TEST_F(ReceiveCycle, NoReadingOrHostNotReady) {
    HostConfig config;
    runWith(config);
    birdsim_setReading(0, 0.1f, 0.2f, 0.3f);
    host.ready = 0;
    EXPECT_EQ(cycle(), -1);
    EXPECT_EQ(maskBytes(mask), "00 00 00 00") << "the mask is cleared first";
    EXPECT_EQ(birdsim_callCount(birdsimGetMostRecentReading), 1) << "the reading was taken";
    host.ready = 1;
    birdsim_failCall(birdsimGetMostRecentReading, 1);
    EXPECT_EQ(cycle(), -1);
    EXPECT_EQ(maskBytes(mask), "00 00 00 00");
    EXPECT_EQ(cycle(), 1);
}

TEST_F(ReceiveCycle, MaskBitsFollowTheTrackerId) {
    const std::pair<std::uint32_t, const char*> cases[] = {
        {3, "00 00 00 04"}, {9, "00 00 01 00"}, {32, "80 00 00 00"}};
    for (const auto& [id, expected] : cases) {
        birdsim_reset();
        TestHost fresh;
        *fresh.storage.storage()->numOfData = id - 1;
        HostConfig config;
        device = std::make_unique<C3DBird>(config.record(), &logger);
        CaptureStdout out;
        const InitInfo info = fresh.initInfo();
        ASSERT_EQ(device->init(&info), 1);
        ASSERT_TRUE(device->start());
        birdsim_setReading(device->deviceIndexValue(), 0.1f, 0.2f, 0.3f);
        ASSERT_EQ(device->recvData(mask, 0), 1);
        EXPECT_EQ(maskBytes(mask), expected) << "ID " << id;
        TraData record;
        ASSERT_TRUE(fresh.storage.readSlot(id, record));
        EXPECT_EQ(hostValue(record.traID), id);
    }
}

TEST_F(ReceiveCycle, MissingSlotIsReportedAndNotMarked) {
    HostConfig config;
    runWith(config);
    *host.storage.storage()->numOfData = 0; // the host shrank its storage
    birdsim_setReading(0, 0.1f, 0.2f, 0.3f);
    {
        CaptureStdout out;
        ASSERT_EQ(cycle(), 1);
        EXPECT_EQ(out.text(), "C3DBird: ERROR: C3DBird: TraData storage not found\n");
        EXPECT_EQ(maskBytes(mask), "00 00 00 00") << "no record was written for the ID";
    }
    CaptureStdout out;
    ASSERT_EQ(cycle(), 1);
    EXPECT_EQ(out.text(), "") << "the unchanged pose is not tried again";
}

TEST_F(ReceiveCycle, TransformsDoNotAccumulateWithoutFixedPosition) {
    HostConfig config;
    config.add("transmitteroffset", {"10", "0", "0"});
    runWith(config);
    for (int i = 0; i < 3; ++i) {
        birdsim_setReading(0, 0.01f * static_cast<float>(i + 1), 0.0f, 0.0f);
        ASSERT_EQ(cycle(), 1);
        EXPECT_EQ(hostValue(slot(1).x), 1000000) << "cycle " << i;
    }
}

TEST_F(ReceiveCycle, SensorTranslationAloneTakesEffect) {
    HostConfig config;
    config.add("sensortranslation", {"1", "1", "2", "3"});
    config.add("position", {"1", "2", "3"});
    runWith(config);
    birdsim_setReading(0, 0.0f, 0.0f, 0.0f);
    ASSERT_EQ(cycle(), 1);
    const TraData record = slot(1);
    EXPECT_EQ(hostValue(record.x), 200000);
    EXPECT_EQ(hostValue(record.y), 400000);
    EXPECT_EQ(hostValue(record.z), 600000);
}

TEST_F(ReceiveCycle, CalibrationSeesThePoseBeforeTheFixedPosition) {
    HostConfig config;
    config.add("calibration", {platform::libraryFileName("testcalib"), "0.5"});
    runWith(config);
    birdsim_setReading(0, 0.1f, 0.2f, 0.3f);
    ASSERT_EQ(cycle(), 1);
    EXPECT_EQ(hostValue(slot(1).x), 50000) << "the library moved x by 0.5 from zero";
    birdsim_setReading(0, 0.2f, 0.2f, 0.3f);
    ASSERT_EQ(cycle(), 1);
    EXPECT_EQ(hostValue(slot(1).x), 50000) << "x starts from zero in every cycle";
}

// A calibration that moves the pose beyond what a record holds fails the cycle, as
// such a reading does, and is told once.
TEST_F(ReceiveCycle, ACalibratedPoseNoRecordHoldsFailsTheCycleAndIsToldOnce) {
    HostConfig config;
    config.add("calibration", {platform::libraryFileName("testcalib"), "1e30"});
    runWith(config);
    CaptureStdout out;
    EXPECT_EQ(cycle(), -1);
    EXPECT_EQ(cycle(), -1);
    EXPECT_EQ(maskBytes(mask), "00 00 00 00");
    EXPECT_EQ(out.text(), "C3DBird: WARNING: C3DBird: Sensor on port 1's pose came out of "
                          "calibration and transforms as a value that is not a number a record "
                          "can hold; such a reading fails.\n");
}

// A reading's time is the sensor library's where it tells one, else the plug-in's own
// steady clock.
TEST(ReadingTime, TheSensorLibrarysTimeElseThePluginsClock) {
    birdsim_reset();
    birdsim_setClock(1234);
    std::uint8_t reading[bird::readingSize];
    _3dbirdGetMostRecentReading(0, reading);
    EXPECT_EQ(readingMilliseconds(0), 1234);
    EXPECT_DOUBLE_EQ(readingSeconds(0), 1.234);
    using namespace std::chrono;
    const auto before = duration<double>(steady_clock::now().time_since_epoch()).count();
    EXPECT_GE(readingSeconds(-1), before);
    EXPECT_GE(readingMilliseconds(-1), static_cast<std::int64_t>(before * 1000));
    birdsim_reset();
}

TEST_F(ReceiveCycle, CalibrationWithoutEvaluateFailsEveryCycle) {
    HostConfig config;
    config.add("calibration", {platform::libraryFileName("testcalib_noeval")});
    runWith(config);
    birdsim_setReading(0, 0.1f, 0.2f, 0.3f);
    CaptureStdout out;
    EXPECT_EQ(cycle(), -1);
    EXPECT_EQ(cycle(), -1);
    EXPECT_EQ(out.text(), "");
    EXPECT_EQ(maskBytes(mask), "00 00 00 00");
}

TEST_F(ReceiveCycle, DebugOutputNamesTheIds) {
    HostConfig config;
    logger.debugLevel = 1;
    runWith(config);
    birdsim_setReading(0, 0.1f, 0.2f, 0.3f);
    CaptureStdout out;
    ASSERT_EQ(cycle(), 1);
    EXPECT_EQ(out.text(), "C3DBird: DEBUG: C3DBird: \"recvData\" called.\n"
                          "C3DBird: DEBUG: C3DBird: Checking the data format.\n"
                          "C3DBird: DEBUG: C3DBird: rawID: 1 newTraID: 1\n"
                          "C3DBird: DEBUG: C3DBird: TraData storage found\n");
}

TEST_F(ReceiveCycle, AfterAnEarlyInitFailureNothingIsDelivered) {
    HostConfig config;
    config.add("port", {"9"});
    device = std::make_unique<C3DBird>(config.record(), &logger);
    CaptureStdout out;
    const InitInfo info = host.initInfo();
    ASSERT_EQ(device->init(&info), -1);
    ASSERT_EQ(_3dbirdWakeUp(0, 1, 1000, 1000), 1);
    ASSERT_EQ(_3dbirdStartStream(0), 1);
    std::memset(mask, 0xEE, sizeof mask);
    EXPECT_EQ(device->recvData(mask, 0), -1) << "no sensor was woken for this device";
    EXPECT_EQ(maskBytes(mask), "EE EE EE EE") << "without a tracker table the mask is left alone";
    EXPECT_EQ(birdsim_callCount(birdsimGetMostRecentReading), 1);
}

// 374.81 rad is 21475.03 degrees, beyond the 21474.83647 a field holds; 374.8 rad
// (21474.46 degrees) fits. With the transmitter rotation, 1e30 rad would come out of
// the transforms as some angle within +-180.
TEST_F(ReceiveCycle, AnAngleNoRecordHoldsFailsTheReadingAndIsToldOnce) {
    HostConfig config;
    config.add("transmitterrotation", {"0", "1", "0", "30"});
    runWith(config);
    CaptureStdout out;
    for (const float angle : {std::nanf(""), INFINITY, -INFINITY, 1e30f, 374.81f, -374.81f}) {
        birdsim_setReading(0, 0.1f, angle, 0.3f);
        EXPECT_EQ(cycle(), -1) << angle;
        EXPECT_EQ(maskBytes(mask), "00 00 00 00") << angle;
        EXPECT_EQ(hostValue(slot(1).traID), 0u) << "no record for " << angle;
    }
    EXPECT_EQ(out.text(), "C3DBird: WARNING: C3DBird: Sensor on port 1 gave an angle that is "
                          "not a number a record can hold; such a reading fails.\n");
    birdsim_setReading(0, 0.1f, 374.8f, 0.3f);
    EXPECT_EQ(cycle(), 1) << "a reading within the record's range is delivered";
}
