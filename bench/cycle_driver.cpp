// A small program for instruction counts under callgrind: runs a number of
// iterations of one kind of work, so that two runs with different counts give the
// instructions of one iteration by their difference.
//
//   cycle_driver cycle N    N recvData cycles of one device with everything on
//   cycle_driver floor N    N iterations of the floor
//   cycle_driver control N  N calls that set a reading, as the cycles above make
//   cycle_driver read N     N calls of the sensor library that recvData makes
#include "BenchRig.h"
#include "Floor.h"

#include "sim/birdsim.h"
#include "support/CDataStorage.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s cycle|floor|control|read N\n", argv[0]);
        return 2;
    }
    const char* mode = argv[1];
    const long count = std::strtol(argv[2], nullptr, 10);
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
