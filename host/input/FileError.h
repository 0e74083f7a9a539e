// A problem found in a file trackhost reads: the configuration or a recording.
#pragma once

#include <iosfwd>
#include <string>

struct FileError {
    std::string file;
    unsigned line = 0; // 0 when the problem is the file as a whole
    std::string message;
};

// "FILE:LINE: message", or "FILE: message" without a line; control characters of
// both shown escaped.
std::string formatError(const FileError& error);
std::ostream& operator<<(std::ostream& out, const FileError& error);
