// Faults from outside the device: sensor calls that fail at each step of the
// lifecycle, calibration libraries that are missing or incomplete, a storage
// that is full, an abandoned mutex, a host that is not ready, and option
// records that break their bounds. Each case checks what the host is told and
// what the rest of the lifecycle does; the sanitizer builds check that nothing
// leaks on the way. Each test runs in a process of its own.
#include "device/C3DBird.h"

#include "device/PluginEntry.h"
#include "platform/platform.h"
#include "sim/birdsim.h"
#include "support/CConfigH.h"
#include "tests/fixtures/CaptureFd.h"
#include "tests/fixtures/DeviceFixture.h"
#include "tests/fixtures/TestCalibLibrary.h"
#include "tests/fixtures/allocation_count.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <thread>

namespace {

enum CalibCall : std::int32_t { calibInit = 0, calibEvaluate = 1, calibExit = 2 };

struct FaultInjection : DeviceFixture {
    void SetUp() override {
        DeviceFixture::SetUp();
        ASSERT_EQ(calib.calls(calibInit), 0);
    }

    // A device that moves x by 0.5 through the test calibration library.
    static void calibrated(HostConfig& config) {
        config.add("calibration", {platform::libraryFileName("testcalib"), "0.5"});
    }
    // The traID of a slot as the host reads it: 0 while nothing was delivered there.
    std::uint32_t slotId(std::uint32_t id) { return hostValue(slot(id).traID); }

    TestCalibLibrary calib;
};

const std::string deviceError = "C3DBird: ERROR: ";

} // namespace

// The host goes on with the lifecycle after init failed at the wake-up: every
// step fails or does nothing, and the calibration library was never loaded.
TEST_F(FaultInjection, WakeUpFailureLeavesNothingToDrive) {
    HostConfig config;
    calibrated(config);
    birdsim_failCall(birdsimWakeUp, 1);
    EXPECT_EQ(initWith(config), -1);
    EXPECT_EQ(output, "C3DBird: ERROR: C3DBird: could not initialize 3DBIRD.\n");

    CaptureStdout out;
    EXPECT_EQ(device->configure(), -1);
    EXPECT_FALSE(device->start());
    EXPECT_EQ(cycle(), -1);
    EXPECT_EQ(maskBytes(mask), "EE EE EE EE") << "no tracker table, so the mask is left alone";
    EXPECT_TRUE(device->stop());
    EXPECT_EQ(out.text(), "C3DBird: ERROR: C3DBird: could not get 3DBIRD config.\n");
    EXPECT_EQ(birdsim_callCount(birdsimWakeUp), 1);
    EXPECT_FALSE(birdsim_isAwake(0));
    EXPECT_EQ(calib.calls(calibInit), 0);
    EXPECT_EQ(calib.calls(calibExit), 0);
    EXPECT_EQ(host.storage.count(), 0u) << "no tracker ID was reserved";
}

// After a failed get or set of the configuration the sensor is down: it cannot
// stream, no cycle reaches the calibration or the storage, and stop still ends
// the calibration library.
TEST_F(FaultInjection, ConfigurationFailuresLeaveASensorThatDeliversNothing) {
    const std::pair<BirdSimCall, const char*> cases[] = {
        {birdsimGetDeviceConfig, "C3DBird: could not get 3DBIRD config.\n"},
        {birdsimSetDeviceConfig, "C3DBird: could not set 3DBIRD config.\n"}};
    std::int32_t exits = 0;
    for (const auto& [call, message] : cases) {
        HostConfig config;
        calibrated(config);
        ASSERT_EQ(initWith(config), 1) << output;
        const std::int32_t index = device->deviceIndexValue();
        birdsim_failCall(call, 1);
        CaptureStdout out;
        EXPECT_EQ(device->configure(), -1);
        EXPECT_EQ(linesAfter(out.text(), deviceError), message);
        std::uint8_t block[bird::configSize];
        EXPECT_EQ(birdsim_lastConfig(index, block), 0) << "no block reached the sensor";

        EXPECT_FALSE(device->start());
        EXPECT_FALSE(birdsim_isStreaming(index));
        EXPECT_EQ(cycle(), -1);
        EXPECT_EQ(maskBytes(mask), "00 00 00 00");
        EXPECT_EQ(calib.calls(calibEvaluate), 0);
        EXPECT_TRUE(device->stop());
        EXPECT_EQ(calib.calls(calibExit), ++exits);
    }
    EXPECT_EQ(slotId(1), 0u);
    EXPECT_EQ(slotId(2), 0u);
}

// A failed orientation reset leaves the sensor configured: it streams and delivers.
TEST_F(FaultInjection, ResetFailureStillStreams) {
    HostConfig config;
    config.add("reset", {"on"});
    calibrated(config);
    ASSERT_EQ(initWith(config), 1) << output;
    birdsim_failCall(birdsimResetOrientation, 1);
    {
        CaptureStdout out;
        EXPECT_EQ(device->configure(), 0);
    }
    EXPECT_TRUE(device->start());
    birdsim_setReading(0, 0.1f, 0.2f, 0.3f);
    EXPECT_EQ(cycle(), 1);
    EXPECT_EQ(maskBytes(mask), "00 00 00 01");
    EXPECT_EQ(slotId(1), 1u);
    EXPECT_EQ(calib.calls(calibEvaluate), 1);
    EXPECT_TRUE(device->stop());
    EXPECT_FALSE(birdsim_isAwake(0));
}

TEST_F(FaultInjection, StreamStartFailureDeliversNothingUntilStop) {
    HostConfig config;
    calibrated(config);
    ASSERT_EQ(initWith(config), 1) << output;
    ASSERT_EQ(device->configure(), 2);
    birdsim_failCall(birdsimStartStream, 1);
    CaptureStdout out;
    EXPECT_FALSE(device->start());
    EXPECT_FALSE(device->start()) << "the sensor was shut down; it does not come back";
    EXPECT_EQ(birdsim_callCount(birdsimShutDown), 2);
    birdsim_setReading(0, 0.1f, 0.2f, 0.3f);
    EXPECT_EQ(cycle(), -1);
    EXPECT_EQ(maskBytes(mask), "00 00 00 00");
    EXPECT_EQ(calib.calls(calibEvaluate), 0);
    EXPECT_TRUE(device->stop());
    EXPECT_EQ(calib.calls(calibExit), 1);
    EXPECT_EQ(out.text(), "") << "a failed start is silent";
    EXPECT_EQ(slotId(1), 0u);
}

// While the library gives no reading, every cycle fails before the calibration
// and the storage; the first reading afterwards is delivered.
TEST_F(FaultInjection, ReadingFailuresSkipCalibrationAndStorage) {
    HostConfig config;
    calibrated(config);
    runWith(config);
    birdsim_setReading(0, 0.1f, 0.2f, 0.3f);
    birdsim_failCall(birdsimGetMostRecentReading, -1);
    CaptureStdout out;
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(cycle(), -1);
        EXPECT_EQ(maskBytes(mask), "00 00 00 00");
    }
    EXPECT_EQ(calib.calls(calibEvaluate), 0);
    EXPECT_EQ(slotId(1), 0u);
    birdsim_failCall(birdsimGetMostRecentReading, 0);
    EXPECT_EQ(cycle(), 1);
    EXPECT_EQ(maskBytes(mask), "00 00 00 01");
    EXPECT_EQ(slotId(1), 1u);
    EXPECT_EQ(calib.calls(calibEvaluate), 1);
    EXPECT_EQ(out.text(), "");
}

// The result of the shut-down is not used: stop, a failed start and a failed
// configure answer as they would if it had succeeded, and nothing more is logged.
TEST_F(FaultInjection, ShutDownFailureIsNotReported) {
    HostConfig config;
    calibrated(config);
    runWith(config);
    birdsim_failCall(birdsimShutDown, -1);
    {
        CaptureStdout out;
        EXPECT_TRUE(device->stop());
        EXPECT_EQ(out.text(), "");
    }
    EXPECT_EQ(calib.calls(calibExit), 1) << "the library is ended all the same";
    EXPECT_TRUE(birdsim_isAwake(0)) << "the library kept the sensor";

    // The kept sensors hold their ports, so each further device names a port of its own.
    HostConfig plain;
    plain.add("port", {"2"});
    ASSERT_EQ(initWith(plain), 1) << output;
    ASSERT_EQ(device->configure(), 2);
    birdsim_failCall(birdsimStartStream, 1);
    CaptureStdout out;
    EXPECT_FALSE(device->start());
    EXPECT_EQ(out.text(), "");

    HostConfig third;
    third.add("port", {"3"});
    ASSERT_EQ(initWith(third), 1) << output;
    birdsim_failCall(birdsimGetDeviceConfig, 1);
    EXPECT_EQ(device->configure(), -1);
    EXPECT_EQ(out.text(), "C3DBird: ERROR: C3DBird: could not get 3DBIRD config.\n");
    EXPECT_EQ(birdsim_callCount(birdsimShutDown), 3);
}

// A library that cannot be loaded fails init with the loader's errors; one that
// loads but exports no calib_init fails it silently (the reason is a DEBUG
// line). Either way the sensor stays woken with its tracker ID reserved, and
// stop shuts it down and answers false.
TEST_F(FaultInjection, CalibrationLibraryMissingOrWithoutEntryPoints) {
    const std::string missing = platform::libraryFileName("no_such_calibration");
    HostConfig unloadable;
    unloadable.add("calibration", {missing});
    EXPECT_EQ(initWith(unloadable), -1);
    EXPECT_EQ(linesAfter(output, deviceError), "CDynamicLibH: Can not load the library " + missing +
                                                   "\n"
                                                   "CDynamicLibH: Library has not been loaded.\n");
    EXPECT_TRUE(birdsim_isAwake(0));
    {
        CaptureStdout out;
        EXPECT_FALSE(device->stop());
        EXPECT_EQ(out.text(), "C3DBird: ERROR: CDynamicLibH: Library has not been loaded.\n");
    }
    EXPECT_FALSE(birdsim_isAwake(0));

    // The sensor library exports none of the three entry points.
    HostConfig notCalibration;
    notCalibration.add("calibration", {platform::libraryFileName("3dbird"), "x"});
    EXPECT_EQ(initWith(notCalibration), -1);
    EXPECT_EQ(linesAfter(output, deviceError), "");
    EXPECT_TRUE(birdsim_isAwake(1));
    CaptureStdout out;
    EXPECT_FALSE(device->stop());
    EXPECT_EQ(out.text(), "");
    EXPECT_FALSE(birdsim_isAwake(1));
    EXPECT_EQ(host.storage.count(), 2u);
}

// A storage whose 32 slots are taken refuses the new count; init goes on, and
// the device's tracker ID 33 is never looked up or written.
TEST_F(FaultInjection, FullStorageRefusesTheCountAndNothingIsWrittenPastIt) {
    *host.storage.storage()->numOfData = CDataStorage::maxRecords;
    HostConfig config;
    runWith(config);
    EXPECT_NE(output.find("host: ERROR: CDataStorage: The new number is too big.\n"),
              std::string::npos)
        << output;
    EXPECT_EQ(host.storage.count(), 32u);
    EXPECT_EQ(device->tracker()->idOffset(), 32u);
    birdsim_setReading(0, 0.1f, 0.2f, 0.3f);
    CaptureStdout out;
    EXPECT_EQ(cycle(), 1);
    EXPECT_EQ(maskBytes(mask), "00 00 00 00");
    EXPECT_EQ(out.text(), "");
    for (std::uint32_t id = 1; id <= CDataStorage::maxRecords; ++id) {
        EXPECT_EQ(slotId(id), 0u) << "slot " << id;
    }
}

// With DEBUG on, a cycle whose sensors all fall past the full storage says so.
TEST_F(FaultInjection, WithDebugOnACycleThatDeliversNothingSaysSo) {
    *host.storage.storage()->numOfData = CDataStorage::maxRecords;
    logger.debugLevel = 1;
    HostConfig config;
    runWith(config);
    birdsim_setReading(0, 0.1f, 0.2f, 0.3f);
    CaptureStdout out;
    EXPECT_EQ(cycle(), 1);
    EXPECT_EQ(maskBytes(mask), "00 00 00 00");
    EXPECT_EQ(linesAfter(out.text(), "WARNING: "), "C3DBird: No valid data received.\n");
}

// A host thread ended while it held the storage's mutex: the next lock reports
// it, the device goes on as the owner and releases the mutex, so the host can
// take it again.
TEST_F(FaultInjection, AbandonedMutexIsReportedAndReleased) {
    const auto abandon = [this] {
        std::thread([this] {
            platform::ErrorCode error = 0;
            ASSERT_TRUE(platform::waitMutex(host.storage.mutex()->handle, error));
        }).join();
    };
    const auto hostCanLock = [this] {
        bool locked = false;
        std::thread([this, &locked] {
            CaptureStdout quiet;
            locked = host.storage.storage()->lock();
            host.storage.storage()->unlock();
        }).join();
        return locked;
    };
    const std::string report = "host: ERROR: CMutexH: Locking mutex: ";

    abandon();
    HostConfig config;
    ASSERT_EQ(initWith(config), 1) << output;
    EXPECT_EQ(output.rfind(report), output.find(report)) << "one report: " << output;
    EXPECT_NE(output.find(report), std::string::npos) << output;
    EXPECT_EQ(host.storage.count(), 1u);
    EXPECT_TRUE(hostCanLock());

    ASSERT_TRUE(device->start());
    birdsim_setReading(0, 0.1f, 0.2f, 0.3f);
    abandon();
    CaptureStdout out;
    EXPECT_EQ(cycle(), 1);
    EXPECT_EQ(out.text().compare(0, report.size(), report), 0) << out.text();
    EXPECT_EQ(maskBytes(mask), "00 00 00 01");
    EXPECT_EQ(slotId(1), 1u);
    EXPECT_TRUE(hostCanLock());
}

// init does not read the ready flag; the cycles hold every record back while
// the flag is zero or missing, before the calibration and the storage.
TEST_F(FaultInjection, ReadyFlagZeroOrMissingHoldsBackEveryRecord) {
    HostConfig config;
    calibrated(config);
    host.ready = 0;
    runWith(config);
    birdsim_setReading(0, 0.1f, 0.2f, 0.3f);
    EXPECT_EQ(cycle(), -1);
    EXPECT_EQ(maskBytes(mask), "00 00 00 00");
    EXPECT_EQ(calib.calls(calibEvaluate), 0);
    EXPECT_EQ(slotId(1), 0u);
    host.ready = 1;
    EXPECT_EQ(cycle(), 1);
    EXPECT_EQ(slotId(1), 1u);

    HostConfig plain;
    plain.add("port", {"2"});
    device = std::make_unique<C3DBird>(plain.record(), &logger);
    InitInfo info = host.initInfo();
    info.readyFlag = nullptr;
    CaptureStdout out;
    ASSERT_EQ(device->init(&info), 1);
    ASSERT_TRUE(device->start());
    birdsim_setReading(1, 0.1f, 0.2f, 0.3f);
    EXPECT_EQ(cycle(), -1);
    EXPECT_EQ(maskBytes(mask), "00 00 00 00");
    EXPECT_EQ(slotId(2), 0u);
}

// Mended: a repeated init that failed for want of a storage left the earlier
// tracker table without a storage, and the next cycle dereferenced null.
TEST_F(FaultInjection, CyclesAfterAFailedInitWithoutStorageDoNotReachAStorage) {
    HostConfig config;
    runWith(config);
    InitInfo info = host.initInfo();
    info.dataStorage = nullptr;
    CaptureStdout out;
    EXPECT_EQ(device->init(&info), -1);
    out.clear();
    birdsim_setReading(0, 0.1f, 0.2f, 0.3f);
    EXPECT_EQ(cycle(), 1);
    EXPECT_EQ(out.text(), "C3DBird: ERROR: C3DBird: TraData storage not found\n");
    EXPECT_EQ(maskBytes(mask), "00 00 00 00");
    EXPECT_EQ(slotId(1), 0u);
}

// Refused records: the refusal comes before any line is applied, and lines
// beyond lineCount are never looked at.
TEST_F(FaultInjection, HostileRecordsAreRefusedBeforeAnyLineIsApplied) {
    HostConfig config;
    config.add("port", {"2"}, 1);
    config.add("reset", {"on"}, 2);
    config.record()->lines[1].optionName = nullptr;
    EXPECT_EQ(initWith(config), -1);
    EXPECT_EQ(output, "C3DBird: ERROR: C3DBird: Option line at line 2 has an empty text.\n");
    EXPECT_EQ(device->serialPortValue(), 1);
    EXPECT_EQ(config.record()->lines[0].used, 0);

    config.record()->lineCount = 1;
    ASSERT_EQ(initWith(config), 1) << "line 2 is outside the record: " << output;
    EXPECT_EQ(device->serialPortValue(), 2);

    device = std::make_unique<C3DBird>(nullptr, &logger);
    CaptureStdout out;
    const InitInfo info = host.initInfo();
    EXPECT_EQ(device->init(&info), -1);
    HostConfig nameless;
    nameless.record()->deviceName = nullptr;
    C3DBird unnamed(nameless.record(), &logger);
    EXPECT_EQ(unnamed.init(&info), -1);
    EXPECT_EQ(out.text(), "C3DBird: ERROR: C3DBird: Option record is empty.\n"
                          "C3DBird: ERROR: C3DBird: Option record is empty.\n");
    EXPECT_EQ(birdsim_callCount(birdsimWakeUp), 1);
}

// Memory runs out at each allocation of a device's life through the entry points
// in turn: the host gets the failure result of the step that ran out and its
// ERROR line, never an exception. An empty option record makes three allocations
// after the wake-up; failing each costs one of the process's four sensors, and the
// last, whole life takes the fourth.
TEST_F(FaultInjection, OutOfMemoryAnywhereIsAFailureResultNeverAnException) {
    HostConfig config;
    const InitInfo info = host.initInfo();
    for (long n = 1;; ++n) {
        CaptureFd out;
        const long before = allocationCount();
        failAllocation(n);
        CBase* created = createDev(config.record(), &logger);
        const char* failed = created == nullptr ? "createDev" : nullptr;
        if (failed == nullptr && created->init(&info) != 1) {
            failed = "init";
        }
        if (failed == nullptr && created->configure() != 2) {
            failed = "configure";
        }
        if (failed == nullptr && !created->start()) {
            failed = "start";
        }
        if (failed == nullptr && created->recvData(mask, 0) != 1) {
            failed = "recvData";
        }
        // As a careful host does after any failure: the sensor's port is free again.
        if (created != nullptr && !created->stop() && failed == nullptr) {
            failed = "stop";
        }
        deleteDev(created);
        failAllocation(0);
        const bool ranOut = allocationCount() - before >= n;
        const std::string text = out.text();
        if (!ranOut) {
            EXPECT_EQ(failed, nullptr) << text;
            EXPECT_GT(n, 3) << "createDev and init allocate";
            break;
        }
        ASSERT_NE(failed, nullptr) << "allocation " << n << " failed unnoticed:\n" << text;
        EXPECT_NE(text.find(deviceError + "C3DBird: Out of memory in \"" + failed + "\".\n"),
                  std::string::npos)
            << "allocation " << n << ":\n"
            << text;
    }
}

// Without a logger of the host's, the failure is told on one named after the device.
TEST_F(FaultInjection, OutOfMemoryInCreateDevWithoutALoggerIsStillTold) {
    HostConfig config;
    std::string text;
    CBase* created = nullptr;
    {
        CaptureFd out;
        failAllocation(1);
        created = createDev(config.record(), nullptr);
        failAllocation(0);
        text = out.text();
    }
    EXPECT_EQ(created, nullptr);
    // The default line head: time, the name and the process ID.
    const std::string line = "]: ERROR: C3DBird: Out of memory in \"createDev\".\n";
    EXPECT_NE(text.find(" C3DBird["), std::string::npos) << text;
    EXPECT_EQ(text.substr(text.size() - std::min(text.size(), line.size())), line);
}

// A line longer than its room, when memory runs out for the rest, is cut, not lost.
TEST_F(FaultInjection, ALongLogLineIsCutWhenMemoryRunsOut) {
    const std::string tail(300, 'x');
    std::string text;
    {
        CaptureFd out;
        failAllocation(1);
        logger.error("long: ") << tail << " end";
        failAllocation(0);
        text = out.text();
    }
    EXPECT_EQ(text.size(), 256u);
    EXPECT_EQ(text.rfind(deviceError + "long: xxx", 0), 0u) << text;
    EXPECT_EQ(text.substr(text.size() - 2), "x\n");
}
