// Device test fixture.
#include "DeviceFixture.h"

#include "sim/birdsim.h"

#include <cstring>

void DeviceFixture::SetUp() {
    birdsim_reset();
}

std::int32_t DeviceFixture::initWith(HostConfig& config) {
    device = std::make_unique<C3DBird>(config.record(), &logger);
    CaptureStdout out;
    const InitInfo info = host.initInfo();
    const std::int32_t result = device->init(&info);
    output = out.text();
    return result;
}

void DeviceFixture::runWith(HostConfig& config) {
    ASSERT_EQ(initWith(config), 1) << output;
    CaptureStdout out;
    ASSERT_EQ(device->configure(), 2) << out.text();
    ASSERT_TRUE(device->start());
}

std::int32_t DeviceFixture::cycle() {
    std::memset(mask, 0xEE, sizeof mask);
    return device->recvData(mask, 0);
}

TraData DeviceFixture::slot(std::uint32_t id) {
    TraData record;
    EXPECT_TRUE(host.storage.readSlot(id, record));
    return record;
}

std::string DeviceFixture::errors() const {
    return linesAfter(output, "C3DBird: ERROR: ");
}
