// The tracker plug-in, loaded by path.
#include "host/plugin/PluginLibrary.h"

PluginLibrary::PluginLibrary(const std::string& path)
    : path(path), library(platform::loadLibraryUtf8(path)) {
    if (library == nullptr) {
        loadError = platform::libraryError();
    } else {
        createDev = reinterpret_cast<CreateDevFn>(platform::librarySymbol(library, "createDev"));
        deleteDev = reinterpret_cast<DeleteDevFn>(platform::librarySymbol(library, "deleteDev"));
    }
}

PluginLibrary::~PluginLibrary() {
    if (library != nullptr) {
        platform::freeLibrary(library);
    }
}

std::string PluginLibrary::problem() const {
    if (library == nullptr) {
        return "cannot load the plug-in " + path + " (" + loadError + ")";
    }
    if (!loaded()) {
        return path + " exports no createDev and deleteDev; it is not a tracker plug-in";
    }
    return {};
}

// A bare file name: the platform layer looks beside the executable first.
std::string PluginLibrary::defaultPath() {
    return platform::libraryFileName("tracker_3dbird");
}
