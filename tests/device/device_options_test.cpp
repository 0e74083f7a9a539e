// Device init: the device's own options, the sensor wake-up and the tracker IDs.
// Each test runs in a process of its own: a process wakes at most four sensors.
#include "device/C3DBird.h"

#include "sim/birdsim.h"
#include "tests/fixtures/DeviceFixture.h"
#include "tests/fixtures/PlainLogger.h"

#include <gtest/gtest.h>

#include <memory>

using DeviceOptions = DeviceFixture;

TEST_F(DeviceOptions, PortTakesBaseZeroIntegersFromOneToFour) {
    HostConfig config;
    config.add("SerialPort", {"0x3"});
    EXPECT_EQ(initWith(config), 1) << output;
    EXPECT_EQ(device->serialPortValue(), 3);
    std::uint16_t port = 0;
    std::int32_t a = 0;
    std::int32_t b = 0;
    ASSERT_EQ(birdsim_wakeUpArgs(0, &port, &a, &b), 1);
    EXPECT_EQ(port, 3);
    EXPECT_EQ(a, 1000);
    EXPECT_EQ(b, 1000);
    EXPECT_EQ(device->deviceIndexValue(), 0);
}

TEST_F(DeviceOptions, PortOutsideRangeIsRefusedWithoutLineNumber) {
    HostConfig config;
    config.add("port", {"5"}, 4);
    config.add("port", {"0"}, 5);
    config.add("port", {}, 6);
    config.add("port", {"1", "2"}, 7);
    config.add("port", {"4294967297"}, 8); // 1 once narrowed to 32 bits
    EXPECT_EQ(initWith(config), -1);
    EXPECT_EQ(errors(), "C3DBird: Port should be between 1 and 4.\n"
                        "C3DBird: Port should be between 1 and 4.\n"
                        "C3DBird: Incomplete option line found for SerialPort at line 6.\n"
                        "C3DBird: Too many args found for SerialPort at line 7.\n"
                        "C3DBird: Port should be between 1 and 4.\n");
    EXPECT_EQ(birdsim_callCount(birdsimWakeUp), 0) << "no sensor is woken after an option error";
}

TEST_F(DeviceOptions, ResetWordsInAnyCase) {
    HostConfig config;
    config.add("RESET", {"ON"});
    ASSERT_EQ(initWith(config), 1) << output;
    EXPECT_TRUE(device->resetValue());

    HostConfig off;
    off.add("reset", {"Off"});
    off.add("port", {"2"});
    ASSERT_EQ(initWith(off), 1) << output;
    EXPECT_FALSE(device->resetValue());
}

TEST_F(DeviceOptions, BadLinesAreAllReportedAndGoodOnesApplied) {
    HostConfig config;
    config.add("reset", {"yes"}, 10);
    config.add("reset", {"1"}, 11);
    config.add("reset", {"on", "off"}, 12);
    config.add("position", {"1", "2"}, 13);
    config.add("position", {"1", "2", "3", "4", "5"}, 14);
    config.add("position", {"a", "0", "0"}, 15);
    config.add("port", {"2"}, 16);
    EXPECT_EQ(initWith(config), -1);
    EXPECT_EQ(errors(), "C3DBird: Invalid string found for Reset at line 11.\n"
                        "C3DBird: Too many args found for Reset at line 12.\n"
                        "C3DBird: Incomplete option line found for Position at line 13.\n"
                        "C3DBird: Too many args found for Position at line 14.\n"
                        "C3DBird: Invalid arg found for Position at line 15.\n");
    EXPECT_TRUE(device->resetValue());
    EXPECT_EQ(device->serialPortValue(), 2);
    EXPECT_FALSE(device->hasFixedPosition());
}

TEST_F(DeviceOptions, PositionReadsNumbersAndAnOptionalUnit) {
    HostConfig config;
    config.add("position", {"-a", "2.5", "1e1"});
    ASSERT_EQ(initWith(config), 1) << output;
    ASSERT_TRUE(device->hasFixedPosition());
    EXPECT_EQ(device->fixedPositionValue()[0], 0.0f);
    EXPECT_EQ(device->fixedPositionValue()[1], 2.5f);
    EXPECT_EQ(device->fixedPositionValue()[2], 10.0f);

    HostConfig meters;
    meters.add("Position", {"1", "2", "0", "M"});
    meters.add("port", {"2"});
    ASSERT_EQ(initWith(meters), 1) << output;
    EXPECT_EQ(device->fixedPositionValue()[0], 3.28084f);
    EXPECT_EQ(device->fixedPositionValue()[1], 2.0f * 3.28084f);

    HostConfig inches;
    inches.add("position", {"12", "0", "0", "inches"});
    inches.add("port", {"3"});
    ASSERT_EQ(initWith(inches), 1) << output;
    EXPECT_FLOAT_EQ(device->fixedPositionValue()[0], 1.0f);
}

TEST_F(DeviceOptions, PositionRefusesOtherUnitWords) {
    HostConfig config;
    config.add("position", {"1", "2", "3", "yards"}, 8);
    EXPECT_EQ(initWith(config), -1);
    EXPECT_EQ(errors(), "C3DBird: Invalid string found for Position at line 8.\n");
    EXPECT_FALSE(device->hasFixedPosition());
}

TEST_F(DeviceOptions, UnknownOptionsFailInitAfterTheSensorIsWoken) {
    HostConfig config;
    config.add("speed", {"9"}, 12);
    EXPECT_EQ(initWith(config), -1);
    EXPECT_EQ(errors(), "CConfigH: Unknown option \"speed\" found at line 12.\n");
}

TEST_F(DeviceOptions, MissingInitInfoAndStorageAreRefused) {
    HostConfig config;
    device = std::make_unique<C3DBird>(config.record(), &logger);
    {
        CaptureStdout out;
        EXPECT_EQ(device->init(nullptr), -1);
        EXPECT_EQ(out.text(), "C3DBird: ERROR: C3DBird: Init info is empty.\n");
    }
    InitInfo info = host.initInfo();
    info.dataStorage = nullptr;
    CaptureStdout out;
    EXPECT_EQ(device->init(&info), -1);
    EXPECT_EQ(out.text(), "C3DBird: ERROR: C3DBird: tracker data storage pointer is empty.\n");
}

TEST_F(DeviceOptions, WakeUpFailureReleasesTheLockAndKeepsTheCounter) {
    HostConfig config;
    birdsim_failCall(birdsimWakeUp, 1);
    EXPECT_EQ(initWith(config), -1);
    EXPECT_EQ(errors(), "C3DBird: could not initialize 3DBIRD.\n");
    EXPECT_TRUE(host.storage.storage()->lock()) << "the lock was released";
    host.storage.storage()->unlock();
    EXPECT_EQ(initWith(config), 1) << output;
    EXPECT_EQ(device->deviceIndexValue(), 0) << "the failed wake-up used no index";
}

TEST_F(DeviceOptions, DevicesOnOneStorageTakeConsecutiveIds) {
    HostConfig first("first");
    HostConfig second("second");
    second.add("port", {"2"});
    auto one = std::make_unique<C3DBird>(first.record(), &logger);
    auto two = std::make_unique<C3DBird>(second.record(), &logger);
    CaptureStdout out;
    const InitInfo info = host.initInfo();
    ASSERT_EQ(one->init(&info), 1);
    ASSERT_EQ(two->init(&info), 1);
    EXPECT_EQ(one->tracker()->idOffset() + one->tracker()->entry(1).order, 1u);
    EXPECT_EQ(two->tracker()->idOffset() + two->tracker()->entry(1).order, 2u);
    EXPECT_EQ(host.storage.count(), 2u);
    EXPECT_EQ(one->deviceIndexValue(), 0);
    EXPECT_EQ(two->deviceIndexValue(), 1);
}

TEST_F(DeviceOptions, FifthSensorOfAProcessIsRefusedEvenAfterDeletes) {
    // Deleted without stop, each sensor keeps its port: every device has one of its own.
    for (int i = 0; i < 4; ++i) {
        HostConfig config;
        config.add("port", {std::to_string(i + 1)});
        ASSERT_EQ(initWith(config), 1) << output;
        device.reset();
    }
    HostConfig config;
    EXPECT_EQ(initWith(config), -1);
    EXPECT_EQ(errors(), "C3DBird: Only up to 4 3DBIRD can be used.\n");
    EXPECT_TRUE(host.storage.storage()->lock()) << "the lock was released";
    host.storage.storage()->unlock();
}

TEST_F(DeviceOptions, StorageRefusalDoesNotStopInit) {
    HostConfig config;
    host.storage.storage()->controllerDataList = 1;
    EXPECT_EQ(initWith(config), 1) << output;
    EXPECT_EQ(errors(), "") << "the storage reports through its own logger";
    EXPECT_NE(output.find("host: ERROR: Delete controller data list first.\n"), std::string::npos);
}

TEST_F(DeviceOptions, SecondInitReplacesTheTrackerTable) {
    HostConfig config;
    config.add("sensoroffset", {"1", "0", "0", "2"});
    config.add("port", {"1"});
    ASSERT_EQ(initWith(config), 1) << output;
    const CTraCommonH* first = device->tracker();
    ASSERT_NE(first, nullptr);
    // Each init wakes a sensor that keeps its port, so each names a port of its own.
    config.record()->lines[1].args[0] = "2";
    CLoggerH debugLogger = plainLogger("C3DBird", 3);
    device = std::make_unique<C3DBird>(config.record(), &debugLogger);
    const InitInfo info = host.initInfo();
    {
        CaptureStdout out;
        ASSERT_EQ(device->init(&info), 1);
    }
    CaptureStdout out;
    config.record()->lines[0].used = 0;
    config.record()->lines[1].args[0] = "3";
    ASSERT_EQ(device->init(&info), 1);
    EXPECT_NE(out.text().find("CTraCommonH: \"destructor\" called."), std::string::npos)
        << "the first table is destroyed before the new one is built";
    EXPECT_EQ(host.storage.count(), 3u);
}

TEST_F(DeviceOptions, HostileRecordsAreRefusedUntouched) {
    HostConfig config;
    config.add("reset", {"on"}, 3);
    config.record()->lineCount = 33;
    EXPECT_EQ(initWith(config), -1);
    EXPECT_EQ(errors(), "C3DBird: Option record holds 33 lines; at most 32 are allowed.\n");

    config.record()->lineCount = 1;
    config.record()->lines[0].argCount = 65;
    EXPECT_EQ(initWith(config), -1);
    EXPECT_EQ(errors(), "C3DBird: Option line at line 3 holds 65 args; at most 64 are allowed.\n");

    config.record()->lines[0].argCount = 2;
    config.record()->lines[0].args[1] = nullptr;
    EXPECT_EQ(initWith(config), -1);
    EXPECT_EQ(errors(), "C3DBird: Option line at line 3 has an empty text.\n");
    EXPECT_EQ(config.record()->lines[0].used, 0);
    EXPECT_FALSE(device->resetValue());
    EXPECT_EQ(birdsim_callCount(birdsimWakeUp), 0);
}

TEST_F(DeviceOptions, PrintInfoDescribesTheDevice) {
    HostConfig config("wand");
    config.add("port", {"2"});
    config.add("reset", {"yes"});
    ASSERT_EQ(initWith(config), 1);
    const std::string head = "C3DBird: INFO: ";
    const std::string expected =
        head + "DEVICE NAME           : wand\n" + head + "DEVICE TYPE           : 3D-BIRD\n" +
        head + "VERSION               : 5.5\n" + head + "DATA TYPE             : Tracker\n" + head +
        "SERIAL PORT           : 2\n" + head + "RESET                 : Yes\n" + head +
        "NUMBER OF DEVICES     : 1\n" + head + "NUMBER OF TRACKERS    : 1\n" + head +
        "SENSOR(S)             : 1:ON\n" + head + "CAVE COORDINATES      : Used\n";
    EXPECT_EQ(output.substr(0, expected.size()), expected);
    EXPECT_EQ(output.substr(output.size() - head.size() - 24), head + "-----------------------\n");
}

TEST_F(DeviceOptions, PrintInfoWithLoggerOffStillWritesTheValues) {
    HostConfig config("wand");
    logger.enabled = 0;
    device = std::make_unique<C3DBird>(config.record(), &logger);
    CaptureStdout out;
    EXPECT_TRUE(device->printInfo());
    EXPECT_EQ(out.text(), "\n5.5\nTracker\n1\nNo\n 1:ON\n")
        << "before init the name is not set and the tracker count is 0";
}

TEST_F(DeviceOptions, DefaultLoggerIsNamedAfterTheDevice) {
    HostConfig config;
    C3DBird quiet(config.record(), nullptr);
    EXPECT_STREQ(quiet.log().name, "C3DBird");
    EXPECT_EQ(quiet.log().debugClass, 1);
    EXPECT_FALSE(quiet.log().isDebugOn());
    // The host's record is copied, never kept.
    CLoggerH hostLogger = plainLogger("host-named");
    C3DBird copied(config.record(), &hostLogger);
    hostLogger.setName("changed");
    EXPECT_STREQ(copied.log().name, "host-named");
}

TEST_F(DeviceOptions, GoodPositionAfterABadPortOrResetIsNeitherAppliedNorAccepted) {
    for (const char* bad : {"port", "reset"}) {
        SCOPED_TRACE(bad);
        HostConfig config;
        config.add(bad, {"9"}, 3);
        config.add("position", {"1", "2", "3"}, 4);
        EXPECT_EQ(initWith(config), -1);
        EXPECT_FALSE(device->hasFixedPosition());
        EXPECT_EQ(config.record()->lines[1].used, 0);
    }
}

// Each object sets its own debug class on its copy of the host's logger, whatever
// class the host's record carries: level 1 shows the device, level 3 the tracker
// table and the library handles.
TEST_F(DeviceOptions, OwnDebugClassesSelectTheLinesOfAHostLogger) {
    logger.debugClass = 7;
    logger.debugThreshold = 10;
    const struct {
        std::int32_t level;
        bool device, table;
    } levels[] = {{1, true, false}, {3, false, true}, {7, false, false}};
    for (const auto& level : levels) {
        SCOPED_TRACE(level.level);
        logger.debugLevel = level.level;
        HostConfig config;
        config.add("port", {std::to_string(1 + (&level - levels))}); // one sensor each
        config.add("calibration", {"missing-calibration"});
        initWith(config);
        EXPECT_EQ(output.find("C3DBird: \"init\" called.") != std::string::npos, level.device);
        EXPECT_EQ(output.find("CTraCommonH: \"constructor\" called.") != std::string::npos,
                  level.table);
        EXPECT_EQ(output.find("CDynamicLibH: \"load\" called.") != std::string::npos, level.table);
    }
}
