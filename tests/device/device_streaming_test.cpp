// Device configuration and streaming: configure, start, stop, sendData.
#include "device/C3DBird.h"

#include "platform/platform.h"
#include "sim/birdsim.h"
#include "tests/fixtures/DeviceFixture.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <memory>

namespace {

using Block = std::array<std::uint8_t, bird::configSize>;

struct DeviceStreaming : DeviceFixture {
    // Inits a fresh device and reads the block its sensor answers at power-on.
    void initAndReadConfig(HostConfig& config) {
        ASSERT_EQ(initWith(config), 1) << output;
        ASSERT_EQ(_3dbirdGetDeviceConfig(device->deviceIndexValue(), powerOn.data()), 1);
    }
    Block written() const {
        Block block{};
        EXPECT_EQ(birdsim_lastConfig(device->deviceIndexValue(), block.data()), 1);
        return block;
    }

    Block powerOn{};
};

} // namespace

TEST_F(DeviceStreaming, ConfigureWithoutResetAndWithCaveCoordinates) {
    HostConfig config;
    initAndReadConfig(config);
    CaptureStdout out;
    EXPECT_EQ(device->configure(), 2);
    Block expected = powerOn;
    expected[5] = 26;
    expected[8] = 0;
    expected[9] = 0;
    EXPECT_EQ(written(), expected);
    EXPECT_EQ(birdsim_callCount(birdsimResetOrientation), 0);
    EXPECT_EQ(out.text(), "");
}

TEST_F(DeviceStreaming, ConfigureWithResetAndWithoutCaveCoordinatesWritesTheBlockAsRead) {
    HostConfig config;
    config.add("reset", {"on"});
    config.add("cavecoord", {"off"});
    initAndReadConfig(config);
    EXPECT_EQ(device->configure(), 2);
    EXPECT_EQ(written(), powerOn);
    EXPECT_EQ(birdsim_callCount(birdsimResetOrientation), 1);

    birdsim_failCall(birdsimResetOrientation, 1);
    CaptureStdout out;
    EXPECT_EQ(device->configure(), 0);
    EXPECT_EQ(out.text(), "C3DBird: ERROR: C3DBird: Resetting failed.\n");
    EXPECT_TRUE(birdsim_isAwake(0)) << "a failed reset does not shut the sensor down";
}

TEST_F(DeviceStreaming, ConfigureFailuresShutTheSensorDown) {
    HostConfig config;
    initAndReadConfig(config);
    {
        birdsim_failCall(birdsimGetDeviceConfig, 1);
        CaptureStdout out;
        EXPECT_EQ(device->configure(), -1);
        EXPECT_EQ(out.text(), "C3DBird: ERROR: C3DBird: could not get 3DBIRD config.\n");
        EXPECT_FALSE(birdsim_isAwake(0));
    }
    initAndReadConfig(config);
    birdsim_failCall(birdsimSetDeviceConfig, 1);
    CaptureStdout out;
    EXPECT_EQ(device->configure(), -1);
    EXPECT_EQ(out.text(), "C3DBird: ERROR: C3DBird: could not set 3DBIRD config.\n");
    EXPECT_FALSE(birdsim_isAwake(1));
}

TEST_F(DeviceStreaming, StartStreamsOrShutsDownSilently) {
    HostConfig config;
    initAndReadConfig(config);
    CaptureStdout out;
    EXPECT_TRUE(device->start());
    EXPECT_TRUE(birdsim_isStreaming(0));
    birdsim_failCall(birdsimStartStream, 1);
    EXPECT_FALSE(device->start());
    EXPECT_FALSE(birdsim_isAwake(0));
    EXPECT_EQ(out.text(), "");
}

TEST_F(DeviceStreaming, StopWithoutCalibrationIsAlwaysTrue) {
    HostConfig config;
    initAndReadConfig(config);
    EXPECT_TRUE(device->stop()) << "even if the sensor never streamed";
    EXPECT_FALSE(birdsim_isAwake(0));
    EXPECT_EQ(birdsim_callCount(birdsimShutDown), 1);
}

TEST_F(DeviceStreaming, StopEndsTheCalibrationLibrary) {
    HostConfig config;
    config.add("calibration", {platform::libraryFileName("testcalib_noexit"), "1"});
    initAndReadConfig(config);
    EXPECT_FALSE(device->stop()) << "the library has no calib_exit";
    EXPECT_FALSE(birdsim_isAwake(device->deviceIndexValue())) << "shut down all the same";

    HostConfig complete;
    complete.add("calibration", {platform::libraryFileName("testcalib")});
    initAndReadConfig(complete);
    EXPECT_TRUE(device->stop());
}

TEST_F(DeviceStreaming, SendDataIsRefused) {
    HostConfig config;
    device = std::make_unique<C3DBird>(config.record(), &logger);
    CaptureStdout out;
    EXPECT_EQ(device->sendData(0, 0), -1);
    EXPECT_EQ(device->sendData(-7, 12345), -1);
    EXPECT_EQ(out.text(), "C3DBird: WARNING: C3DBird: Can not send any data.\n"
                          "C3DBird: WARNING: C3DBird: Can not send any data.\n");
}
