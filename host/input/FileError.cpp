// A problem in a file trackhost reads, as "FILE:LINE: message".
#include "host/input/FileError.h"

#include "host/report/ShownText.h"

#include <ostream>

// The file's name and the message may carry outside text (a library's reason, a
// section's name, a value): shown escaped, one problem on one line.
std::string formatError(const FileError& error) {
    std::string text = shownText(error.file) + ":";
    if (error.line != 0) {
        text += std::to_string(error.line) + ":";
    }
    return text + " " + shownText(error.message);
}

std::ostream& operator<<(std::ostream& out, const FileError& error) {
    return out << formatError(error);
}
