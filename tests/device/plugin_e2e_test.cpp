// The built plug-in driven the way a host drives it: loaded by path, createDev,
// the seven operations through CBase, deleteDev.
#include "device/CBase.h"
#include "host/plugin/PluginLibrary.h"

#include "platform/platform.h"
#include "sim/birdsim.h"
#include "tests/fixtures/CaptureFd.h"
#include "tests/fixtures/PlainLogger.h"
#include "tests/fixtures/TestHost.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

struct PluginEndToEnd : ::testing::Test {
    void SetUp() override {
        ASSERT_TRUE(plugin.loaded());
        birdsim_reset();
    }
    PluginLibrary plugin{PluginLibrary::defaultPath()};
    CLoggerH logger = plainLogger("tracker");
    TestHost host;
};

} // namespace

TEST_F(PluginEndToEnd, LifecycleDeliversRecordsByteForByte) {
    HostConfig config("wand");
    config.add("port", {"2"});
    config.add("transmitteroffset", {"1", "2", "3"});
    CaptureFd out;
    CBase* device = plugin.createDev(config.record(), &logger);
    ASSERT_NE(device, nullptr);
    const InitInfo info = host.initInfo();
    ASSERT_EQ(device->init(&info), 1) << out.text();
    ASSERT_EQ(device->configure(), 2);
    ASSERT_TRUE(device->start());

    birdsim_setReading(0, 0.1f, 0.2f, 0.3f);
    std::uint8_t mask[4] = {};
    ASSERT_EQ(device->recvData(mask, 0), 1);
    EXPECT_EQ(maskBytes(mask), "00 00 00 01");
    TraData record;
    ASSERT_TRUE(host.storage.readSlot(1, record));
    EXPECT_EQ(hostValue(record.traID), 1u);
    // The transmitter offset alone moves the position; the angles pass through
    // the identity rotation with the factor K x G.
    EXPECT_EQ(hostValue(record.x), 100000);
    EXPECT_EQ(hostValue(record.y), 200000);
    EXPECT_EQ(hostValue(record.z), 300000);

    EXPECT_EQ(device->sendData(0, 0), -1);
    EXPECT_TRUE(device->printInfo());
    EXPECT_TRUE(device->stop());
    EXPECT_TRUE(plugin.deleteDev(device));
    EXPECT_FALSE(plugin.deleteDev(nullptr));
    EXPECT_NE(out.text().find("tracker: INFO: DEVICE NAME           : wand\n"), std::string::npos);
}

TEST_F(PluginEndToEnd, CaveCoordinatesGiveTheDocumentedBytes) {
    for (const char* cave : {"on", "off"}) {
        birdsim_reset();
        HostConfig config;
        config.add("cavecoord", {cave});
        TestHost fresh;
        CaptureFd out;
        CBase* device = plugin.createDev(config.record(), nullptr);
        const InitInfo info = fresh.initInfo();
        ASSERT_EQ(device->init(&info), 1) << out.text();
        ASSERT_EQ(device->configure(), 2);
        ASSERT_TRUE(device->start());
        birdsim_setReading(std::string(cave) == "on" ? 0 : 1, 0.1f, 0.2f, 0.3f);
        std::uint8_t mask[4] = {};
        ASSERT_EQ(device->recvData(mask, 0), 1);
        TraData record;
        ASSERT_TRUE(fresh.storage.readSlot(1, record));
        if (std::string(cave) == "on") {
            EXPECT_EQ(fieldBytes(record.angle1), "FF F7 41 E3");
            EXPECT_EQ(fieldBytes(record.angle2), "00 11 7C 3B");
            EXPECT_EQ(fieldBytes(record.angle3), "FF E5 C5 A7");
        } else {
            EXPECT_EQ(fieldBytes(record.angle1), "00 08 BE 1D");
            EXPECT_EQ(fieldBytes(record.angle2), "00 11 7C 3B");
            EXPECT_EQ(fieldBytes(record.angle3), "00 1A 3A 59");
        }
        EXPECT_TRUE(device->stop());
        EXPECT_TRUE(plugin.deleteDev(device));
    }
}

TEST_F(PluginEndToEnd, DeviceWithoutInitFreesOnlyItsOwnParts) {
    HostConfig config;
    CLoggerH debugLogger = plainLogger("tracker", 1);
    CaptureFd out;
    CBase* device = plugin.createDev(config.record(), &debugLogger);
    debugLogger.setName("changed by the host");
    EXPECT_TRUE(plugin.deleteDev(device));
    EXPECT_EQ(out.text(), "tracker: DEBUG: C3DBird: \"constructor\" called.\n"
                          "tracker: DEBUG: C3DBird: \"destructor\" called.\n");
    EXPECT_EQ(birdsim_callCount(birdsimWakeUp), 0);
}

// Four devices on their own threads cycle into one storage while the host
// copies the slots under the lock: no record is ever seen half written.
TEST_F(PluginEndToEnd, ConcurrentDevicesNeverTearARecord) {
    constexpr int devices = 4;
    constexpr int cycles = 3000;
    const auto configs = sensorConfigs("sensor", 0, devices);
    std::vector<CBase*> created;
    CaptureFd out;
    const InitInfo info = host.initInfo();
    for (const auto& config : configs) {
        CBase* device = plugin.createDev(config->record(), nullptr);
        ASSERT_EQ(device->init(&info), 1);
        ASSERT_TRUE(device->start());
        created.push_back(device);
    }
    std::atomic<int> running{devices};
    std::atomic<bool> readerStarted{false};
    std::atomic<long> torn{0};
    std::atomic<long> seen{0};
    std::thread reader([&] {
        readerStarted = true;
        // At least one pass after the writers have finished.
        bool last = false;
        while (!last) {
            last = running.load() == 0;
            for (std::uint32_t id = 1; id <= devices; ++id) {
                TraData record;
                if (!host.storage.readSlot(id, record) || record.traID == 0) {
                    continue;
                }
                ++seen;
                // Every reading has three equal angles, so a whole record has
                // angle1 = -angle2 = angle3 (CAVE coordinates on).
                if (hostValue(record.angle1) != -hostValue(record.angle2) ||
                    hostValue(record.angle3) != hostValue(record.angle1) ||
                    hostValue(record.traID) != id) {
                    ++torn;
                }
            }
        }
    });
    std::vector<std::thread> workers;
    for (int i = 0; i < devices; ++i) {
        workers.emplace_back([&, i] {
            std::uint8_t mask[4];
            while (!readerStarted.load()) {
                std::this_thread::yield();
            }
            for (int c = 1; c <= cycles; ++c) {
                const float angle = 0.0001f * static_cast<float>(c * (i + 1));
                birdsim_setReading(i, angle, angle, angle);
                created[static_cast<std::size_t>(i)]->recvData(mask, 0);
            }
            --running;
        });
    }
    for (auto& worker : workers) {
        worker.join();
    }
    reader.join();
    EXPECT_EQ(torn.load(), 0);
    EXPECT_GT(seen.load(), 0);
    for (CBase* device : created) {
        device->stop();
        plugin.deleteDev(device);
    }
}
