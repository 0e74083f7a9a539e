// The simulated sensor library's control calls.
#include "host/sensors/SimulatorControl.h"
#include "host/report/HostMessage.h"

#include "host/recording/RecordingLibrary.h"
#include "host/report/ExitCode.h"

#include <ostream>

SimulatorControl::SimulatorControl()
    : library(platform::loadedLibrary(platform::libraryFileName("3dbird").c_str())) {
    // While recording, the library found by that name is the pass-through one;
    // the simulator is the library it forwards to.
    const auto forwardsTo = library
                                ? reinterpret_cast<decltype(birdrecord_sensorLibrary)*>(
                                      platform::librarySymbol(library, "birdrecord_sensorLibrary"))
                                : nullptr;
    if (forwardsTo != nullptr) {
        platform::freeLibrary(library);
        const char* path = forwardsTo();
        library = *path != '\0' ? platform::loadLibraryUtf8(path) : nullptr;
    }
    simulator = library != nullptr && platform::librarySymbol(library, "birdsim_reset") != nullptr;
}

SimulatorControl::~SimulatorControl() {
    if (library != nullptr) {
        platform::freeLibrary(library);
    }
}

int SimulatorControl::require(const std::string& option, std::ostream& err) const {
    if (simulator) {
        return exitSuccess;
    }
    hostMessage(err) << option << " needs the simulated sensor library, and the loaded "
                     << platform::libraryFileName("3dbird") << " is not the simulator" << std::endl;
    return exitUsage;
}
