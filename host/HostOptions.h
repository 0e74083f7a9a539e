// trackhost's command line: its options, their defaults and the usage text.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "RecordFormat.h"
#include "SimDropout.h"

// Exit codes of trackhost.
enum ExitCode : int {
    exitSuccess = 0,
    exitUsage = 2,         // bad command line, or the output file cannot be written
    exitConfiguration = 3, // the configuration file is missing or malformed
    exitDevice = 4,        // plug-in not loadable; init, configure, start or stop failed
    exitOutput = 5,        // the records or the recording could not be written (also a full disk)
    exitNoRecord = 6,      // a device never delivered a record: every recvData failed
    exitView = 7,          // the viewer could not serve (address in use, bad address)
    exitSystem = 8,        // out of memory, or the system refused a resource (a mutex)
};

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
};

enum class ParseResult { run, help, version, error };

// Reads the arguments after the program name; `error` says what is wrong.
ParseResult parseHostOptions(int argc, const char* const* argv, HostOptions& options,
                             std::string& error);

// The text of --help.
std::string usageText();
// The text of --version.
std::string versionText();
