// What a tracking server sets up around the devices under measurement: one
// storage, one option record per device, and devices that are initialised,
// configured and streaming with DEBUG output off.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "device/C3DBird.h"
#include "host/plugin/HostConfig.h"
#include "host/run/HostRig.h"

// One sensor reading in radians, as the simulator hands it out.
struct BenchReading {
    float angle1;
    float angle2;
    float angle3;
};

// A ring of readings in which neighbours always differ, so that every cycle
// delivers a new record.
class ReadingRing {
public:
    static constexpr std::size_t size = 1024;

    ReadingRing();
    const BenchReading& next() { return readings[position++ & (size - 1)]; }

private:
    std::vector<BenchReading> readings;
    std::size_t position = 0;
};

class BenchRig {
public:
    // `devices` devices (at most four per process) share one storage; every device
    // has a transmitter offset and rotation, a sensor offset and rotation, a sensor
    // translation and the calibration library, and no fixed position.
    explicit BenchRig(int devices);
    ~BenchRig();

    BenchRig(const BenchRig&) = delete;
    BenchRig& operator=(const BenchRig&) = delete;

    C3DBird& device(int index) { return *devices[static_cast<std::size_t>(index)]; }
    CDataStorage* storage() { return rig.storage.storage(); }
    // File name of the calibration library the devices use.
    const std::string& calibrationLibrary() const { return calibration.front(); }

    // One cycle of a device as the benchmark drives it: the device's next reading
    // through the simulator's control interface, then recvData. True when the cycle
    // delivered. Each device keeps its place in its ring from one benchmark run to
    // the next, so that no run begins with the reading the last one ended with.
    bool cycle(int index, std::uint8_t* mask);

private:
    CLoggerH logger;
    HostRig rig;
    std::vector<std::string> calibration; // the library's file name and arguments
    std::vector<std::unique_ptr<HostConfig>> configs;
    std::vector<std::unique_ptr<C3DBird>> devices;
    std::vector<ReadingRing> rings;
};
