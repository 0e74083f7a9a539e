// A receive cycle allocates nothing and, with DEBUG off, writes nothing: the host
// calls recvData for every device in every cycle. The allocations are counted by
// replacing the global operator new of this executable, which holds the device
// code itself (the simulator and the calibration library are libraries of their
// own and outside the count where the platform keeps their allocators apart).
#include "device/C3DBird.h"

#include "platform/platform.h"
#include "sim/birdsim.h"
#include "tests/fixtures/DeviceFixture.h"
#include "tests/fixtures/allocation_count.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

constexpr int cycles = 10000;

struct CycleAllocations : DeviceFixture {
    // Runs `count` cycles, the reading changing in every one (also from one run
    // to the next) unless `same`, and answers how many delivered a record.
    // Nothing in here may allocate but the code under test.
    int run(int count, bool same = false) {
        const std::int32_t index = device->deviceIndexValue();
        int delivered = 0;
        for (int i = 0; i < count; ++i) {
            if (!same) {
                ++readingNumber;
            }
            const float step = 0.0001f * static_cast<float>(readingNumber % 5000);
            birdsim_setReading(index, 0.1f + step, 0.2f - step, 0.3f + 0.5f * step);
            std::uint8_t mask[4] = {};
            if (device->recvData(mask, 0) == 1 && (mask[0] | mask[1] | mask[2] | mask[3]) != 0) {
                ++delivered;
            }
        }
        return delivered;
    }

    int readingNumber = 0;
};

// Escapes the optimiser, so that an allocation made only to be counted stays.
void* volatile keep = nullptr;

} // namespace

TEST(AllocationCounter, CountsTheAllocationsOfThisExecutable) {
    const long before = allocationCount();
    keep = new char[64];
    delete[] static_cast<char*>(keep);
    auto text = std::make_unique<std::string>(100, 'x');
    keep = text.get();
    EXPECT_EQ(allocationCount() - before, 3) << "the replaced operator new is not in use";
}

TEST_F(CycleAllocations, PlainCyclesAllocateAndWriteNothing) {
    HostConfig config;
    runWith(config);
    CaptureStdout out;
    const long before = allocationCount();
    const int delivered = run(cycles);
    const long during = allocationCount() - before;
    EXPECT_EQ(delivered, cycles) << "every cycle must go the whole way to the storage";
    EXPECT_EQ(during, 0) << "allocations in " << cycles << " cycles";

    // The same reading again: compared and dropped, still without an allocation.
    const long beforeSame = allocationCount();
    const int deliveredSame = run(100, true);
    const long duringSame = allocationCount() - beforeSame;
    EXPECT_EQ(deliveredSame, 0);
    EXPECT_EQ(duringSame, 0);
    EXPECT_EQ(out.text().substr(0, 200), ""); // a failure shows the head of the output only
}

// Transmitter and sensor transforms, a sensor translation, a fixed position and a
// calibration library. The first cycle is left out of the count: its first call
// of the calibration library grows the handle's entry-point cache once.
TEST_F(CycleAllocations, CyclesWithEverythingOnAllocateAndWriteNothing) {
    HostConfig config;
    config.add("transmitteroffset", {"10", "0", "-2"});
    config.add("transmitterrotation", {"0", "1", "0", "90"});
    config.add("sensoroffset", {"1", "0", "0.5", "1"});
    config.add("sensorrotation", {"1", "1", "0", "0", "30"});
    config.add("sensortranslation", {"1", "0.5", "0.25", "0.125"});
    config.add("position", {"1", "2", "3"});
    config.add("calibration", {platform::libraryFileName("testcalib"), "0.5"});
    runWith(config);
    CaptureStdout out;
    ASSERT_EQ(run(1), 1);
    const long before = allocationCount();
    const int delivered = run(cycles);
    const long during = allocationCount() - before;
    EXPECT_EQ(delivered, cycles) << "every cycle must go the whole way to the storage";
    EXPECT_EQ(during, 0) << "allocations in " << cycles << " cycles";
    EXPECT_EQ(out.text().substr(0, 200), "");
}
