// A file trackhost writes is never a file it reads, nor one it writes twice: the
// records' output and the recording are compared with the configuration, the
// recording to replay and the calibration libraries the configuration names, and
// with each other, by the files' identity, so that a link or another name of the
// same file is caught too. Checked before any sensor wakes and any file is opened.
#pragma once

#include <string>
#include <vector>

#include "host/HostOptions.h"
#include "host/input/ConfigFile.h"
#include "host/output/RecordOutput.h"

// The first clash, as "--record and the configuration are the same file
// (mine.conf)"; empty when there is none.
std::string findFileClash(const HostOptions& options, const RecordOutput& output,
                          const std::vector<DeviceSection>& sections);
