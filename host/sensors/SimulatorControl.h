// The simulated sensor library's control calls (birdsim_...), reached through the
// sensor library the plug-in is bound to, when that library is the simulator.
#pragma once

#include "platform/platform.h"

#include <iosfwd>
#include <string>

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

    // exitSuccess when the loaded sensor library is the simulator; else says on `err`
    // that `option` needs it, and answers exitUsage.
    int require(const std::string& option, std::ostream& err) const;

    // A control call by name, typed as declared (decltype(birdsim_reset)); null when
    // the library is not the simulator.
    template <typename Fn> Fn* function(const char* name) const {
        return simulator ? reinterpret_cast<Fn*>(platform::librarySymbol(library, name)) : nullptr;
    }

private:
    platform::LibraryHandle library = nullptr;
    bool simulator = false;
};
