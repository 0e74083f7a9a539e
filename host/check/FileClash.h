// A file trackhost writes is never a file it reads, nor one it writes twice: each
// file written is compared with every file read and with the other files written,
// by the files' identity, so that a link or another name of the same file is caught
// too. Checked before any sensor wakes and any file is opened.
#pragma once

#include <string>
#include <vector>

#include "host/input/ConfigFile.h"
#include "platform/platform.h"

// One file of a run, with what it is to the run ("--record", "the configuration").
struct NamedFile {
    std::string role;
    std::string path; // empty: `identity` names the file (standard output)
    platform::FileIdentity identity{};
};

// The first clash, as "--record and the configuration are the same file
// (mine.conf)"; empty when there is none. A file to be written that does not exist
// yet clashes only with another of its name in the same folder; only files of data
// clash (a terminal or /dev/null takes both).
std::string findFileClash(const std::vector<NamedFile>& written,
                          const std::vector<NamedFile>& read);

// The library each calibration line of `sections` names, where the plug-in's loader
// finds it, the plug-in lying in `pluginFolder`: looked for as the loader looks,
// never loaded, so that none of its code runs during a check. One that no folder
// holds is the file of that name, if there is one.
std::vector<NamedFile> calibrationLibraries(const std::vector<DeviceSection>& sections,
                                            const std::string& pluginFolder);
