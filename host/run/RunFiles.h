// The files of a run, named by what each is to it, for the check that no file it
// writes is one it reads or runs on.
#pragma once

#include <string>
#include <vector>

#include "host/check/FileClash.h"
#include "host/input/ConfigFile.h"
#include "host/output/PoseOutput.h"
#include "host/run/RunSettings.h"

// Where the loader takes a library named `name` from: a bare name beside the program
// (completed as this platform names libraries when it has no extension), any other
// as named.
std::string libraryFile(const std::string& name);

// The files a run writes: the poses, and the recording.
std::vector<NamedFile> writtenFiles(const PoseOutput& output, const RunSettings& settings);

// The files a run reads: the configuration, the replay, and every file the process
// has loaded or will load, which a write would empty under its mapping: trackhost's
// own (trackhost itself, the plug-in at `pluginPath`, the sensor library it binds
// to, the recording sensor library) and the calibration libraries of `sections`.
std::vector<NamedFile> readFiles(const RunSettings& settings, const std::string& pluginPath,
                                 const std::vector<DeviceSection>& sections);
