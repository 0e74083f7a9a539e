// trackhost --align --write: the lines found, written into the aligned section's own
// place in the configuration, the rest of the file byte for byte as it was.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// Whether the configuration can be written, told before any sensor wakes: false
// once the problem is said.
bool alignedConfigWritable(const std::string& configFile, std::ostream& err);

// Writes `lines` (as --align prints them) into section `section` of `configFile`,
// whole or not at all, its old content kept as CONFIG_FILE.bak; says each line
// changed as "FILE:LINE: new (was: old)". Answers exitSuccess or the exit code, told.
int writeAlignedConfig(const std::string& configFile, const std::string& section,
                       const std::vector<std::string>& lines, std::ostream& err);
