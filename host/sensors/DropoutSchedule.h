// The drop-outs of a run, applied between two receive cycles.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <vector>

#include "host/sensors/SimDropout.h"

class SimulatorControl;

class DropoutSchedule {
public:
    // The simulator's unplug and replug calls are looked up in `simulator`.
    DropoutSchedule(const std::vector<SimDropout>& dropouts, const SimulatorControl& simulator);
    // Plugs back in, without a word, what a run that ended early left unplugged.
    ~DropoutSchedule();

    DropoutSchedule(const DropoutSchedule&) = delete;
    DropoutSchedule& operator=(const DropoutSchedule&) = delete;

    // False when there are drop-outs but the loaded sensor library is not the simulator.
    bool ready() const;
    // Between two cycles: pulls and plugs back in the cables due `elapsed` seconds into
    // the receive cycle, and says so on `err`.
    void apply(double elapsed, std::ostream& err);

private:
    struct Step {
        SimDropout dropout;
        bool unplugged = false;
        bool done = false;
    };
    std::vector<Step> steps;
    void (*unplug)(std::uint16_t, std::int32_t) = nullptr;
    void (*replug)(std::uint16_t) = nullptr;
};
