// The drop-outs of a run, applied between two receive cycles.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include "host/input/ConfigFile.h"
#include "host/sensors/SimDropout.h"
#include "host/sensors/SimulatorControl.h"

class DropoutSchedule {
public:
    // Call once the plug-in is loaded: the cables are pulled through the simulator's
    // control calls. The devices of `sections` that do not reconnect are named when
    // their sensor is plugged back in.
    DropoutSchedule(const std::vector<SimDropout>& dropouts,
                    const std::vector<DeviceSection>& sections);
    // Plugs back in, without a word, what a run that ended early left unplugged.
    ~DropoutSchedule();

    DropoutSchedule(const DropoutSchedule&) = delete;
    DropoutSchedule& operator=(const DropoutSchedule&) = delete;

    // exitUsage, said on `err`, when there are drop-outs but the loaded sensor library
    // is not the simulator; else exitSuccess.
    int ready(std::ostream& err) const;
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
    const SimulatorControl simulator;
};
