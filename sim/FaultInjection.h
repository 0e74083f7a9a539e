// The faults a test injects into the simulated sensor library: sensor calls that fail
// (each call counted, failed or not), serial ports where no sensor answers or one fails
// its configuration read, and pulled cables. What a pulled cable does to a sensor awake on its port
// is the sensor's own.
#pragma once

#include <cstdint>

#include "bird/BirdLibrary.h"
#include "sim/birdsim.h"

class FaultInjection {
public:
    // Fails the next `times` calls of `call` (negative: every call until cleared with 0).
    void failCall(std::int32_t call, std::int32_t times);
    // How often `call` was made, failed calls included.
    std::int32_t callCount(std::int32_t call) const;
    // Counts the call and tells whether an injected failure takes it.
    bool injectedFailure(BirdSimCall call);

    void setPortPresent(std::uint16_t port, bool present);
    // The sensor on `port` answers the wake-up but fails every configuration read.
    void failConfigRead(std::uint16_t port, bool fails);
    bool configReadFails(std::uint16_t port) const { return validPort(port) && noConfig[port]; }
    // Pulls the cable on `port`; false when there is no such port.
    bool unplug(std::uint16_t port);
    void replug(std::uint16_t port);
    // Whether a wake-up on `port` can reach a sensor: a serial port that is present and
    // plugged in. Every port answers after a reset.
    bool portAnswers(std::uint16_t port) const;

private:
    static bool validPort(std::uint16_t port) { return port >= 1 && port <= bird::maxSensors; }
    static bool validCall(std::int32_t call) { return call >= 0 && call < birdsimCallCount; }

    bool portAbsent[bird::maxSensors + 1] = {};
    bool unplugged[bird::maxSensors + 1] = {};
    bool noConfig[bird::maxSensors + 1] = {};
    std::int32_t failuresLeft[birdsimCallCount] = {}; // -1: every call
    std::int32_t calls[birdsimCallCount] = {};
};
