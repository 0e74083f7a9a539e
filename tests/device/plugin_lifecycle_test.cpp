// The built plug-in with a calibration library through whole lifecycles, the
// good one and ones whose init fails after it has built its table and loaded
// the library. The test script runs these under valgrind's leak check.
#include "device/CBase.h"
#include "host/plugin/PluginLibrary.h"

#include "platform/platform.h"
#include "sim/birdsim.h"
#include "tests/fixtures/CaptureFd.h"
#include "tests/fixtures/PlainLogger.h"
#include "tests/fixtures/TestHost.h"

#include <gtest/gtest.h>

namespace {

struct PluginLifecycle : ::testing::Test {
    void SetUp() override {
        ASSERT_TRUE(plugin.loaded()) << plugin.problem();
        birdsim_reset();
    }

    PluginLibrary plugin{PluginLibrary::defaultPath()};
    CLoggerH logger = plainLogger("tracker");
    TestHost host;
};

const std::string calibration = platform::libraryFileName("testcalib");

} // namespace

TEST_F(PluginLifecycle, CalibratedDeviceFromCreateToDelete) {
    HostConfig config("wand");
    config.add("port", {"2"});
    config.add("calibration", {calibration, "0.5", "extra"});
    config.add("transmitteroffset", {"1", "2", "3"});
    CaptureFd out;
    CBase* device = plugin.createDev(config.record(), &logger);
    const InitInfo info = host.initInfo();
    ASSERT_EQ(device->init(&info), 1) << out.text();
    ASSERT_EQ(device->configure(), 2);
    ASSERT_TRUE(device->start());
    int delivered = 0;
    for (int c = 1; c <= 50; ++c) {
        birdsim_setClock(20 * c);
        std::uint8_t mask[4] = {};
        ASSERT_EQ(device->recvData(mask, 0), 1);
        if (mask[3] == 1) {
            ++delivered;
            TraData record;
            ASSERT_TRUE(host.storage.readSlot(1, record));
            EXPECT_EQ(hostValue(record.x), 150000) << "offset 1 after the library's 0.5";
            EXPECT_EQ(hostValue(record.z), 300000);
        }
    }
    EXPECT_GT(delivered, 40) << "the sensor moves, so nearly every cycle delivers";
    EXPECT_TRUE(device->stop());
    EXPECT_TRUE(plugin.deleteDev(device));
}

TEST_F(PluginLifecycle, FailedInitsAreCleanedUpByDelete) {
    HostConfig unknownOption;
    unknownOption.add("calibration", {calibration});
    unknownOption.add("speed", {"9"});
    HostConfig badTransform;
    badTransform.add("calibration", {calibration, "1"});
    badTransform.add("sensoroffset", {"1", "x", "0", "0"});
    HostConfig noEntryPoints;
    noEntryPoints.add("calibration", {platform::libraryFileName("3dbird")});
    CaptureFd out;
    for (HostConfig* config : {&unknownOption, &badTransform, &noEntryPoints}) {
        CBase* device = plugin.createDev(config->record(), &logger);
        const InitInfo info = host.initInfo();
        EXPECT_EQ(device->init(&info), -1);
        EXPECT_EQ(device->configure(), 2) << "the sensor was woken before init failed";
        EXPECT_TRUE(device->start());
        std::uint8_t mask[4] = {};
        device->recvData(mask, 0);
        device->stop();
        EXPECT_TRUE(plugin.deleteDev(device));
    }
    EXPECT_EQ(birdsim_callCount(birdsimWakeUp), 3);
}
