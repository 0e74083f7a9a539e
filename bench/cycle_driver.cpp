// A small program for instruction counts under callgrind: runs a number of
// iterations of one kind of work, so that two runs with different counts give the
// instructions of one iteration by their difference.
//
//   cycle_driver cycle N    N recvData cycles of one device with everything on
//   cycle_driver floor N    N iterations of the floor
//   cycle_driver control N  N calls that set a reading, as the cycles above make
//   cycle_driver read N     N calls of the sensor library that recvData makes
//
// And a long run:
//
//   cycle_driver soak N     N cycles of four devices (each cycle a new reading for
//                           every device and its recvData); after 10^6 cycles, every
//                           power of ten and the last, one line with the cycles run,
//                           the resident memory and the processor time of one cycle
//                           over the last 10^6 cycles (processor time, so that other
//                           programs on a shared machine count less)
#include "BenchRig.h"
#include "Floor.h"

#include "sim/birdsim.h"
#include "support/CDataStorage.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <unistd.h>

namespace {

// Resident memory of this process in KiB, from the kernel's page counts; 0 where
// there are none.
long residentKiB() {
    std::ifstream statm("/proc/self/statm");
    long size = 0;
    long resident = 0;
    if (!(statm >> size >> resident)) {
        return 0;
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

int soak(long count) {
    constexpr int devices = 4;
    constexpr long window = 1000000;
    if (count < window) {
        std::fprintf(stderr, "soak needs at least %ld cycles\n", window);
        return 2;
    }
    BenchRig rig(devices);
    std::uint8_t mask[4] = {};
    long undelivered = 0;
    long nextReport = window;
    std::clock_t windowStart = 0;
    std::printf("%12s %14s %18s %18s\n", "cycles", "resident KiB", "ns per cycle", "ns per device");
    for (long done = 0; done < count;) {
        if (done == nextReport - window) {
            windowStart = std::clock();
        }
        for (int device = 0; device < devices; ++device) {
            undelivered += rig.cycle(device, mask) ? 0 : 1;
        }
        ++done;
        if (done == nextReport) {
            const double nanoseconds =
                1e9 * static_cast<double>(std::clock() - windowStart) / CLOCKS_PER_SEC;
            const double perCycle = nanoseconds / static_cast<double>(window);
            std::printf("%12ld %14ld %18.1f %18.1f\n", done, residentKiB(), perCycle,
                        perCycle / devices);
            std::fflush(stdout);
            nextReport = nextReport * 10 < count ? nextReport * 10 : count;
        }
    }
    if (undelivered != 0) {
        std::fprintf(stderr, "%ld device cycles delivered nothing\n", undelivered);
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s cycle|floor|control|read|soak N\n", argv[0]);
        return 2;
    }
    const char* mode = argv[1];
    const long count = std::strtol(argv[2], nullptr, 10);
    if (std::strcmp(mode, "soak") == 0) {
        return soak(count);
    }
    BenchRig rig(1);
    C3DBird& device = rig.device(0);
    ReadingRing ring;
    std::uint8_t mask[4] = {};
    long delivered = 0;
    volatile double sink = 0.0;
    if (std::strcmp(mode, "cycle") == 0) {
        for (long i = 0; i < count; ++i) {
            delivered += rig.cycle(0, mask) ? 1 : 0;
        }
    } else if (std::strcmp(mode, "floor") == 0) {
        CDataStorage* storage = rig.storage();
        for (long i = 0; i < count; ++i) {
            const BenchReading& reading = ring.next();
            sink = floorArithmetic(reading.angle1, reading.angle2, reading.angle3);
            storage->lock();
            storage->unlock();
        }
        delivered = count;
    } else if (std::strcmp(mode, "control") == 0) {
        const std::int32_t index = device.deviceIndexValue();
        for (long i = 0; i < count; ++i) {
            const BenchReading& next = ring.next();
            birdsim_setReading(index, next.angle1, next.angle2, next.angle3);
        }
        delivered = count;
    } else if (std::strcmp(mode, "read") == 0) {
        std::uint8_t reading[bird::readingSize];
        const std::int32_t index = device.deviceIndexValue();
        birdsim_setReading(index, 0.1f, 0.2f, 0.3f); // no motion generation
        for (long i = 0; i < count; ++i) {
            delivered += _3dbirdGetMostRecentReading(index, reading);
        }
    } else {
        std::fprintf(stderr, "unknown mode %s\n", mode);
        return 2;
    }
    (void)sink;
    if (delivered != count) {
        std::fprintf(stderr, "%ld of %ld iterations delivered\n", delivered, count);
        return 1;
    }
    return 0;
}
