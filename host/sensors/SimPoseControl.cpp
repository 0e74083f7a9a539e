// The simulated sensor's set-up, motion and ports.
#include "host/sensors/SimPoseControl.h"
#include "host/report/HostMessage.h"

#include "host/report/ExitCode.h"
#include "host/sensors/SimulatorControl.h"
#include "sim/birdsim.h"

#include <cstdint>
#include <ostream>

int steerSimPose(const SensorSettings& settings, std::ostream& err) {
    if (!settings.simMount.set && !settings.simTransmitter.set &&
        settings.simMotion == SimMotion::wave) {
        return exitSuccess;
    }
    using TurnFn = void (*)(float, float, float, float);
    const SimulatorControl simulator;
    const auto mount = simulator.function<TurnFn>("birdsim_setMount");
    const auto transmitter = simulator.function<TurnFn>("birdsim_setTransmitter");
    const auto motion = simulator.function<void (*)(std::int32_t)>("birdsim_setMotion");
    if (mount == nullptr || transmitter == nullptr || motion == nullptr) {
        hostMessage(err) << "--sim-mount, --sim-transmitter and --sim-motion need the simulated "
                            "sensor library, and the loaded "
                         << platform::libraryFileName("3dbird") << " is not the simulator"
                         << std::endl;
        return exitUsage;
    }
    const auto set = [](TurnFn call, const SimTurn& turn) {
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
    const auto present =
        simulator.function<void (*)(std::uint16_t, std::int32_t)>("birdsim_setPortPresent");
    const auto noConfig =
        simulator.function<void (*)(std::uint16_t, std::int32_t)>("birdsim_failConfigRead");
    if (present == nullptr || noConfig == nullptr) {
        hostMessage(err) << "--sim-ports needs the simulated sensor library, and the loaded "
                         << platform::libraryFileName("3dbird") << " is not the simulator"
                         << std::endl;
        return exitUsage;
    }
    for (std::uint16_t port = 1; port <= bird::maxSensors; ++port) {
        present(port, settings.simPorts.present[port - 1] ? 1 : 0);
        noConfig(port, settings.simPorts.noConfig[port - 1] ? 1 : 0);
    }
    return exitSuccess;
}
