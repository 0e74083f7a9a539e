// A problem in a file trackhost reads, as "FILE:LINE: message".
#include "host/input/FileError.h"

#include <ostream>

std::string formatError(const FileError& error) {
    std::string text = error.file + ":";
    if (error.line != 0) {
        text += std::to_string(error.line) + ":";
    }
    return text + " " + error.message;
}

std::ostream& operator<<(std::ostream& out, const FileError& error) {
    return out << formatError(error);
}
