// trackhost's command line: its options, their defaults and the usage text. Each
// room's settings are a struct of the room's own; the options hold them.
#pragma once

#include <string>
#include <vector>

#include "host/output/OutputFormat.h"
#include "host/run/RunSettings.h"
#include "host/view/ViewAddress.h"

struct HostOptions {
    RunSettings run;       // the configuration file, the plug-in, loggers, pace, sensors
    OutputSettings output; // --output, --format
    ViewSettings view;     // --view
    bool check = false;    // --check: read and check the configuration file only
    bool verbose = false;  // --verbose, with --check: print each section's settings
    bool status = true;    // live status lines; drawn only when standard error is a terminal
    // --align [SECTION]: find the transmitter and sensor rotations of one section.
    bool align = false;
    std::string alignSection; // empty: the configuration's only section
    // --probe: wake each serial port's sensor and print a configuration for those that
    // answer.
    bool probe = false;
    // --write FILE: with --align, the configuration whose section takes the lines;
    // with --probe, the new file that takes the configuration found.
    std::string writeFile;
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
