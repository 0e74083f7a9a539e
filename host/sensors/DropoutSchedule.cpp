// Scripted drop-outs of simulated sensors.
#include "host/sensors/DropoutSchedule.h"
#include "host/report/HostMessage.h"
#include "host/report/ShownText.h"

#include "host/sensors/DropoutCheck.h"
#include "host/sensors/SimulatorControl.h"
#include "sim/birdsim.h"

#include <ostream>

DropoutSchedule::DropoutSchedule(const std::vector<SimDropout>& dropouts,
                                 const SimulatorControl& simulator,
                                 const std::vector<DeviceSection>& sections)
    : unplug(simulator.function<void (*)(std::uint16_t, std::int32_t)>("birdsim_unplug")),
      replug(simulator.function<void (*)(std::uint16_t)>("birdsim_replug")) {
    for (const SimDropout& dropout : dropouts) {
        steps.push_back({dropout, sectionsWithoutReconnect(sections, dropout.port)});
    }
}

DropoutSchedule::~DropoutSchedule() {
    for (const Step& step : steps) {
        if (step.unplugged && !step.done) {
            replug(step.dropout.port);
        }
    }
}

bool DropoutSchedule::ready() const {
    return steps.empty() || (unplug != nullptr && replug != nullptr);
}

void DropoutSchedule::apply(double elapsed, std::ostream& err) {
    if (!ready()) {
        return;
    }
    for (Step& step : steps) {
        const SimDropout& dropout = step.dropout;
        if (!step.unplugged && elapsed >= dropout.at) {
            step.unplugged = true;
            unplug(dropout.port, dropout.repeat ? birdsimReadingsRepeat : birdsimReadingsFail);
            hostMessage(err) << "simulator: sensor on port " << dropout.port << " unplugged"
                             << (dropout.repeat ? " (its readings repeat the last one)" : "")
                             << std::endl;
        }
        if (step.unplugged && !step.done && elapsed >= dropout.at + dropout.length) {
            step.done = true;
            replug(dropout.port);
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
