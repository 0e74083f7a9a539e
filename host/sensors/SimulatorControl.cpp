// The simulated sensor library's control calls.
#include "host/sensors/SimulatorControl.h"

SimulatorControl::SimulatorControl()
    : library(platform::loadedLibrary(platform::libraryFileName("3dbird").c_str())) {
    // While recording, the library found by that name is the pass-through one;
    // the simulator is the library it forwards to.
    using PathFn = const char* (*)();
    const auto forwardsTo =
        library
            ? reinterpret_cast<PathFn>(platform::librarySymbol(library, "birdrecord_sensorLibrary"))
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
