// Scripted drop-outs of simulated sensors.
#include "host/sensors/DropoutSchedule.h"
#include "host/report/HostMessage.h"
#include "host/report/ShownText.h"

#include "host/report/ExitCode.h"
#include "host/sensors/DropoutCheck.h"
#include "sim/birdsim.h"

#include <ostream>

DropoutSchedule::DropoutSchedule(const std::vector<SimDropout>& dropouts,
                                 const std::vector<DeviceSection>& sections) {
    for (const SimDropout& dropout : dropouts) {
        steps.push_back({dropout, sectionsWithoutReconnect(sections, dropout.port)});
    }
}

DropoutSchedule::~DropoutSchedule() {
    for (const Step& step : steps) {
        if (step.unplugged && !step.done) {
            simulator.function<decltype(birdsim_replug)>("birdsim_replug")(step.dropout.port);
        }
    }
}

int DropoutSchedule::ready(std::ostream& err) const {
    return steps.empty() ? exitSuccess : simulator.require("--sim-dropout", err);
}

void DropoutSchedule::apply(double elapsed, std::ostream& err) {
    if (!simulator.present()) {
        return;
    }
    for (Step& step : steps) {
        const SimDropout& dropout = step.dropout;
        if (!step.unplugged && elapsed >= dropout.at) {
            step.unplugged = true;
            simulator.function<decltype(birdsim_unplug)>("birdsim_unplug")(
                dropout.port, dropout.repeat ? birdsimReadingsRepeat : birdsimReadingsFail);
            hostMessage(err) << "simulator: sensor on port " << dropout.port << " unplugged"
                             << (dropout.repeat ? " (its readings repeat the last one)" : "")
                             << std::endl;
        }
        if (step.unplugged && !step.done && elapsed >= dropout.at + dropout.length) {
            step.done = true;
            simulator.function<decltype(birdsim_replug)>("birdsim_replug")(dropout.port);
            hostMessage(err) << "simulator: sensor on port " << dropout.port << " plugged back in"
                             << std::endl;
            // A plugged-in sensor needs a new wake-up, which only a reconnecting device makes.
            for (const std::string& name : step.staySilent) {
                hostMessage(err) << "device [" << shownText(name)
                                 << "] does not wake its sensor again by itself; \"reconnect "
                                    "SECONDS\" in its section would"
                                 << std::endl;
            }
        }
    }
}
