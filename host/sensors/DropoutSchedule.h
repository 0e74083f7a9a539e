// The drop-outs of a run, applied between two receive cycles.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include "host/input/ConfigFile.h"
#include "host/sensors/SimDropout.h"

class SimulatorControl;

class DropoutSchedule {
public:
    // The simulator's unplug and replug calls are looked up in `simulator`; the
    // devices of `sections` that do not reconnect are named when their sensor is
    // plugged back in.
    DropoutSchedule(const std::vector<SimDropout>& dropouts, const SimulatorControl& simulator,
                    const std::vector<DeviceSection>& sections);
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
        std::vector<std::string> staySilent; // the sections on its port without reconnect
        bool unplugged = false;
        bool done = false;
    };
    std::vector<Step> steps;
    void (*unplug)(std::uint16_t, std::int32_t) = nullptr;
    void (*replug)(std::uint16_t) = nullptr;
};
