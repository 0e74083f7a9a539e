// Reading a whole input file (a configuration file, a recording) as bytes.
#pragma once

#include <cstddef>
#include <string>

// Reads `fileName` into `text`, at most `limit` bytes. False with `problem` set to
// "cannot read the file (reason)", with the system's reason, when it cannot be
// opened or read (a folder included), or to "the file is larger than N KiB" when it
// holds more than `limit` bytes.
bool readWholeFile(const std::string& fileName, std::size_t limit, std::string& text,
                   std::string& problem);
