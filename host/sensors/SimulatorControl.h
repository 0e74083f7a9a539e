// The simulated sensor library's control calls (birdsim_...), reached through the
// sensor library the plug-in is bound to, when that library is the simulator.
#pragma once

#include "platform/platform.h"

class SimulatorControl {
public:
    // Looks at the sensor library this process has loaded (with the plug-in); call
    // once the plug-in is loaded. A vendor library answers present() false.
    SimulatorControl();
    ~SimulatorControl();

    SimulatorControl(const SimulatorControl&) = delete;
    SimulatorControl& operator=(const SimulatorControl&) = delete;

    // The loaded sensor library is the simulator.
    bool present() const { return simulator; }

    // A control call by name, as a function pointer of type Fn; null when the
    // library is not the simulator or lacks the call.
    template <typename Fn> Fn function(const char* name) const {
        return library == nullptr ? nullptr
                                  : reinterpret_cast<Fn>(platform::librarySymbol(library, name));
    }

private:
    platform::LibraryHandle library = nullptr;
    bool simulator = false;
};
