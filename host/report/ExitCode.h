// trackhost's exit statuses, one for each kind of failure, and the one table of what
// each means: the usage text is written from it, and docs/trackhost.md is tested
// against it.
#pragma once

enum ExitCode : int {
    exitSuccess = 0,
    exitUsage = 2,
    exitConfiguration = 3,
    exitDevice = 4,
    exitOutput = 5,
    exitNoRecord = 6,
    exitView = 7,
    exitAlignment = 8,
    exitSystem = 9,
};

// An exit status and its meaning as the usage text gives it, in lines of up to 75
// characters.
struct ExitStatus {
    ExitCode code;
    const char* meaning;
};

// Every status of ExitCode, once, in ascending order.
inline constexpr ExitStatus exitStatuses[] = {
    {exitSuccess, "success (also when the reader of the records goes away, as head does;\n"
                  "--check: no error, warnings alone do not fail)"},
    {exitUsage, "usage error (bad command line; a file to write that cannot be written, or\n"
                "that is the configuration or another file trackhost reads; --probe --write\n"
                "onto a file that exists; standard output that is the configuration)"},
    {exitConfiguration, "configuration file error (unreadable file, bad line, more than 4 "
                        "sections),\nor a recording to replay that is unreadable or malformed"},
    {exitDevice, "device failure (plug-in not loadable; createDev, init, configure, start or\n"
                 "stop failed; --probe: no sensor answered)"},
    {exitOutput, "the records or the recording could not be written (a write error, a full disk)"},
    {exitNoRecord, "a device never delivered a record (recvData failed in every cycle)"},
    {exitView, "the viewer could not serve (port in use, an address not of this machine)"},
    {exitAlignment, "--align found no rotations (turn or tilt too small, the tilt about the turn\n"
                    "axis, no still pose in time)"},
    {exitSystem, "out of memory, or the system refused a resource trackhost needs (the\n"
                 "storage's mutex)"},
};
