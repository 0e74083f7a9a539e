// Scripted drop-outs of simulated sensors (trackhost --sim-dropout): the cable of the
// sensor on a serial port is pulled a given time into the receive cycle and plugged
// back in a given time later, from the receive loop between two cycles.
#pragma once

#include <cstdint>

struct SimDropout {
    std::uint16_t port = 0;
    double at = 0.0;     // seconds after the first receive cycle
    double length = 0.0; // seconds unplugged
    bool repeat = false; // the readings repeat the last one instead of failing
};
