// A device on a host's storage with the simulated sensor, as device tests use it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "device/C3DBird.h"
#include "platform/platform.h"
#include "tests/support/CaptureStdout.h"
#include "tests/support/TestHost.h"

struct DeviceFixture : ::testing::Test {
    void SetUp() override;

    // Runs init of a fresh device on `config`; what init writes is kept in `output`.
    std::int32_t initWith(HostConfig& config);
    // Inits, configures and starts a fresh device; every step must succeed.
    void runWith(HostConfig& config);
    // One receive cycle, the mask filled with 0xEE beforehand.
    std::int32_t cycle();
    // A copy of the storage slot of tracker ID `id`.
    TraData slot(std::uint32_t id);
    // The ERROR lines of `output`, each without its head.
    std::string errors() const;

    CLoggerH logger = plainLogger("C3DBird");
    TestHost host;
    std::unique_ptr<C3DBird> device;
    std::uint8_t mask[4] = {};
    std::string output;
};
