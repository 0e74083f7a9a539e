// trackhost's command line: its options, their defaults and the usage text.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/output/OutputFormat.h"
#include "host/sensors/SimDropout.h"
#include "host/sensors/SimPose.h"

struct HostOptions {
    std::string configFile;
    std::string pluginPath;   // empty: the plug-in built beside trackhost
    std::string outputFile;   // empty: standard output
    double rate = 30.0;       // receive cycles per second
    std::int64_t cycles = -1; // -1: no limit
    double seconds = -1.0;    // -1: no limit
    OutputFormat format = OutputFormat::table;
    std::int32_t debugLevel = 0;
    std::int32_t debugThreshold = 1;
    bool quiet = false;
    bool date = true;
    bool time = true;
    bool threadId = true;
    std::string recordFile; // --record: every reading the plug-in takes
    std::string replayFile; // --replay: the simulator plays this recording
    bool replayTimed = false;
    bool loop = false;
    double simNoise = 0.0; // degrees RMS added by the simulator
    bool check = false;    // --check: read and check the configuration file only
    bool verbose = false;  // --verbose, with --check: print each section's settings
    bool status = true;    // live status lines; drawn only when standard error is a terminal
    std::vector<SimDropout> simDropouts;
    std::string viewAddress = "127.0.0.1"; // --view: where the viewer listens
    int viewPort = -1;                     // -1: no viewer; 0: any free port

    // --align [SECTION]: find the transmitter and sensor rotations of one section.
    bool align = false;
    std::string alignSection; // empty: the configuration's only section
    // --sim-mount, --sim-transmitter, --sim-motion: the simulated sensor's set-up.
    SimTurn simMount;
    SimTurn simTransmitter;
    SimMotion simMotion = SimMotion::wave;
};

enum class ParseResult { run, help, version, error };

// Reads the arguments after the program name; `error` says what is wrong.
ParseResult parseHostOptions(int argc, const char* const* argv, HostOptions& options,
                             std::string& error);

// The text of --help.
std::string usageText();
// Each option as the usage text names it: "--rate HZ", "-h, --help".
std::vector<std::string> hostOptionLabels();
// The text of --version.
std::string versionText();
