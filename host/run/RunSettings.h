// What a run is made of: the configuration file, the plug-in, the loggers the
// devices get, the pace and length of the receive cycle, and the sensors' readings.
#pragma once

#include <cstdint>
#include <string>

#include "host/sensors/SensorSettings.h"

// The logger record each device is handed.
struct LogSettings {
    bool quiet = false; // the plug-in's log lines off
    bool date = true;
    bool time = true;
    bool threadId = true;
    std::int32_t debugLevel = 0;
    std::int32_t debugThreshold = 1;
};

// The receive cycle's pace and length.
struct PaceSettings {
    double rate = 30.0;       // receive cycles per second
    bool rateGiven = false;   // --rate given; else a replay runs at the recording's rate
    std::int64_t cycles = -1; // -1: no limit
    double seconds = -1.0;    // -1: no limit
};

struct RunSettings {
    std::string configFile;
    std::string pluginPath; // empty: the plug-in built beside trackhost
    LogSettings log;
    PaceSettings pace;
    SensorSettings sensors;
};
