// The simulated sensor library's control calls.
#include "SimulatorControl.h"

SimulatorControl::SimulatorControl()
    : library(platform::loadedLibrary(platform::libraryFileName("3dbird").c_str())) {
    simulator = library != nullptr && platform::librarySymbol(library, "birdsim_reset") != nullptr;
}

SimulatorControl::~SimulatorControl() {
    if (library != nullptr) {
        platform::freeLibrary(library);
    }
}
