// The simulated sensor's set-up, motion and ports.
#include "host/sensors/SimPoseControl.h"

#include "host/report/ExitCode.h"
#include "host/sensors/SimulatorControl.h"
#include "sim/birdsim.h"

int steerSimPose(const SensorSettings& settings, std::ostream& err) {
    if (!settings.simMount.set && !settings.simTransmitter.set &&
        settings.simMotion == SimMotion::wave) {
        return exitSuccess;
    }
    const SimulatorControl simulator;
    if (const int code = simulator.require(settings.simMount.set         ? "--sim-mount"
                                           : settings.simTransmitter.set ? "--sim-transmitter"
                                                                         : "--sim-motion",
                                           err)) {
        return code;
    }
    const auto mount = simulator.function<decltype(birdsim_setMount)>("birdsim_setMount");
    const auto transmitter =
        simulator.function<decltype(birdsim_setTransmitter)>("birdsim_setTransmitter");
    const auto motion = simulator.function<decltype(birdsim_setMotion)>("birdsim_setMotion");
    const auto set = [](decltype(birdsim_setMount)* call, const SimTurn& turn) {
        if (turn.set) {
            call(static_cast<float>(turn.axis[0]), static_cast<float>(turn.axis[1]),
                 static_cast<float>(turn.axis[2]), static_cast<float>(turn.degrees));
        }
    };
    set(mount, settings.simMount);
    set(transmitter, settings.simTransmitter);
    motion(settings.simMotion == SimMotion::align ? birdsimMotionAlign : birdsimMotionWave);
    return exitSuccess;
}

int steerSimPorts(const SensorSettings& settings, std::ostream& err) {
    if (!settings.simPorts.set) {
        return exitSuccess;
    }
    const SimulatorControl simulator;
    if (const int code = simulator.require("--sim-ports", err)) {
        return code;
    }
    const auto present =
        simulator.function<decltype(birdsim_setPortPresent)>("birdsim_setPortPresent");
    const auto noConfig =
        simulator.function<decltype(birdsim_failConfigRead)>("birdsim_failConfigRead");
    for (std::uint16_t port = 1; port <= bird::maxSensors; ++port) {
        present(port, settings.simPorts.present[port - 1] ? 1 : 0);
        noConfig(port, settings.simPorts.noConfig[port - 1] ? 1 : 0);
    }
    return exitSuccess;
}
