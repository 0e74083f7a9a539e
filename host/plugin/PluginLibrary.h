// The tracker plug-in, loaded by path at run time, with its two entry points.
#pragma once

#include <string>

#include "device/PluginEntry.h"
#include "platform/platform.h"

class PluginLibrary {
public:
    // Loads the library; see loaded() for the outcome.
    explicit PluginLibrary(const std::string& path);
    ~PluginLibrary();

    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;

    // The library was loaded and exports createDev and deleteDev.
    bool loaded() const { return createDev != nullptr && deleteDev != nullptr; }
    // Why loaded() is false, in a sentence naming the path.
    std::string problem() const;

    // The plug-in built beside the running program.
    static std::string defaultPath();

    CreateDevFn createDev = nullptr;
    DeleteDevFn deleteDev = nullptr;

private:
    std::string path;
    std::string loadError; // the system's reason when the library did not load
    platform::LibraryHandle library = nullptr;
};
