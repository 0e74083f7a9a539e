// Devices of one process on the host's threads: the storage's lock is what keeps
// their sensor indices, tracker IDs and records apart, and their log lines leave
// whole. Run under the thread sanitizer in the test script. Each test runs in a
// process of its own.
#include "device/C3DBird.h"

#include "bird/BirdLibrary.h"
#include "platform/platform.h"
#include "sim/birdsim.h"
#include "tests/fixtures/CaptureFd.h"
#include "tests/fixtures/CaptureStdout.h"
#include "tests/fixtures/DeviceFixture.h"
#include "tests/fixtures/TestHost.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <thread>
#include <vector>

namespace {

struct Concurrency : ::testing::Test {
    void SetUp() override { birdsim_reset(); }

    // Holds each thread until all are ready, so that their calls overlap.
    static void waitForAll(std::atomic<int>& ready, int count) {
        ++ready;
        while (ready.load() < count) {
            std::this_thread::yield();
        }
    }

    TestHost host;
};

} // namespace

TEST_F(Concurrency, DevicesInitialisedAtOnceGetDistinctIndicesAndIds) {
    constexpr int devices = bird::maxSensors;
    const auto configs = sensorConfigs("sensor", 0, devices);
    const auto created = devicesFor(configs);
    std::int32_t results[devices] = {};
    std::atomic<int> ready{0};
    {
        CaptureFd out;
        const InitInfo info = host.initInfo();
        std::vector<std::thread> threads;
        for (int i = 0; i < devices; ++i) {
            threads.emplace_back([&, i] {
                waitForAll(ready, devices);
                results[i] = created[static_cast<std::size_t>(i)]->init(&info);
            });
        }
        for (std::thread& thread : threads) {
            thread.join();
        }
    }
    std::set<std::int32_t> indices;
    std::set<std::uint32_t> ids;
    for (int i = 0; i < devices; ++i) {
        const C3DBird& device = *created[static_cast<std::size_t>(i)];
        ASSERT_EQ(results[i], 1) << "device " << i;
        indices.insert(device.deviceIndexValue());
        ids.insert(device.tracker()->idOffset() + device.tracker()->entry(1).order);
        std::uint16_t port = 0;
        ASSERT_EQ(birdsim_wakeUpArgs(device.deviceIndexValue(), &port, nullptr, nullptr), 1);
        EXPECT_EQ(port, device.serialPortValue()) << "each index woke its own device's port";
    }
    EXPECT_EQ(indices, (std::set<std::int32_t>{0, 1, 2, 3}));
    EXPECT_EQ(ids, (std::set<std::uint32_t>{1, 2, 3, 4}));
    EXPECT_EQ(host.storage.count(), 4u);
    EXPECT_EQ(birdsim_callCount(birdsimWakeUp), 4);
}

// Devices of one process on storages of their own share the process's sensor
// count all the same: no two of them are woken under one index.
TEST_F(Concurrency, DevicesOnSeparateStoragesGetDistinctIndices) {
    constexpr int devices = bird::maxSensors;
    std::vector<std::unique_ptr<TestHost>> hosts;
    for (int i = 0; i < devices; ++i) {
        hosts.push_back(std::make_unique<TestHost>());
    }
    const auto configs = sensorConfigs("sensor", 0, devices);
    const auto created = devicesFor(configs);
    std::int32_t results[devices] = {};
    std::atomic<int> ready{0};
    {
        CaptureFd out;
        std::vector<std::thread> threads;
        for (int i = 0; i < devices; ++i) {
            threads.emplace_back([&, i] {
                const auto at = static_cast<std::size_t>(i);
                const InitInfo info = hosts[at]->initInfo();
                waitForAll(ready, devices);
                results[i] = created[at]->init(&info);
            });
        }
        for (std::thread& thread : threads) {
            thread.join();
        }
    }
    std::set<std::int32_t> indices;
    for (int i = 0; i < devices; ++i) {
        ASSERT_EQ(results[i], 1) << "device " << i;
        indices.insert(created[static_cast<std::size_t>(i)]->deviceIndexValue());
    }
    EXPECT_EQ(indices, (std::set<std::int32_t>{0, 1, 2, 3}));
}

// The host adds devices to the storage while a running device cycles into it
// and the host reads the slots: the count and the slots change only under the lock.
TEST_F(Concurrency, DevicesJoinWhileAnotherCycles) {
    CaptureFd out;
    const InitInfo info = host.initInfo();
    HostConfig firstConfig("first");
    C3DBird first(firstConfig.record(), nullptr);
    ASSERT_EQ(first.init(&info), 1);
    ASSERT_TRUE(first.start());

    std::atomic<bool> running{true};
    std::atomic<long> delivered{0};
    std::thread cycling([&] {
        std::uint8_t mask[4];
        for (int c = 1; running.load() || c < 100; ++c) {
            birdsim_setReading(0, 0.001f * static_cast<float>(c % 1000), 0.0f, 0.0f);
            if (first.recvData(mask, 0) == 1 && mask[3] == 1) {
                ++delivered;
            }
        }
    });
    std::thread reading([&] {
        while (running.load()) {
            TraData record;
            if (host.storage.readSlot(1, record) && record.traID != 0) {
                EXPECT_EQ(hostValue(record.traID), 1u);
            }
        }
    });
    // The devices join once the first one is delivering (or after a while, if it never does).
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (delivered.load() == 0 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::yield();
    }
    const auto configs = sensorConfigs("joined", 1, bird::maxSensors);
    const auto joined = devicesFor(configs);
    for (const auto& device : joined) {
        EXPECT_EQ(device->init(&info), 1);
    }
    running = false;
    cycling.join();
    reading.join();
    EXPECT_GT(delivered.load(), 0);
    EXPECT_EQ(host.storage.count(), 4u);
    for (std::size_t i = 0; i < joined.size(); ++i) {
        EXPECT_EQ(joined[i]->tracker()->idOffset(), i + 1);
    }
    EXPECT_TRUE(first.stop());
}

// Four devices cycling on four threads with every DEBUG line on, written to the
// process's standard output: each line arrives whole, with its own device's name
// and thread, and none is lost.
TEST_F(Concurrency, LogLinesOfDevicesOnSeveralThreadsStayWhole) {
    constexpr int devices = bird::maxSensors;
    constexpr int cycles = 2000;
    std::vector<std::unique_ptr<HostConfig>> configs;
    std::vector<std::unique_ptr<C3DBird>> created;
    const InitInfo info = host.initInfo();
    {
        CaptureFd initOutput;
        for (int i = 0; i < devices; ++i) {
            configs.push_back(std::make_unique<HostConfig>("sensor" + std::to_string(i)));
            configs.back()->add("port", {std::to_string(i + 1)});
            CLoggerH logger = plainLogger(("dev" + std::to_string(i)).c_str(), 1);
            logger.threadIdOn = 1;
            created.push_back(std::make_unique<C3DBird>(configs.back()->record(), &logger));
            ASSERT_EQ(created.back()->init(&info), 1);
            ASSERT_TRUE(created.back()->start());
        }
    }
    std::uint32_t threadIds[devices] = {};
    int delivered[devices] = {};
    std::atomic<int> ready{0};
    std::string text;
    {
        CaptureFd out;
        std::vector<std::thread> threads;
        for (int i = 0; i < devices; ++i) {
            threads.emplace_back([&, i] {
                threadIds[i] = platform::currentThreadId();
                waitForAll(ready, devices);
                std::uint8_t mask[4];
                for (int c = 0; c < cycles; ++c) {
                    if (created[static_cast<std::size_t>(i)]->recvData(mask, 0) == 1 &&
                        mask[3] != 0) {
                        ++delivered[i];
                    }
                }
            });
        }
        for (std::thread& thread : threads) {
            thread.join();
        }
        text = out.text();
        created.clear(); // with its DEBUG lines
    }

    std::map<std::string, int> expected;
    for (int i = 0; i < devices; ++i) {
        const std::string head =
            "dev" + std::to_string(i) + "[" + std::to_string(threadIds[i]) + "]: DEBUG: C3DBird: ";
        expected[head + "\"recvData\" called."] = cycles;
        expected[head + "Checking the data format."] = cycles;
        expected[head + "rawID: 1 newTraID: " + std::to_string(i + 1)] = cycles;
        if (delivered[i] > 0) {
            expected[head + "TraData storage found"] = delivered[i];
        }
    }
    std::map<std::string, int> seen;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        ++seen[line];
    }
    int broken = 0;
    for (const auto& entry : seen) {
        if (expected.count(entry.first) == 0 && broken++ == 0) {
            ADD_FAILURE() << "a broken line: " << entry.first;
        }
    }
    EXPECT_EQ(broken, 0) << "distinct broken lines";
    for (const auto& [line, count] : expected) {
        EXPECT_EQ(seen[line], count) << line;
    }
}
