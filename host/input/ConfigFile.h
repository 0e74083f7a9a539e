// The host's configuration file: one section per device, each a list of option
// lines that become the device's CConfigH record.
//
//   [name]                    opens a section; the name becomes the device name
//   keyword arg arg ...       an option line of the current section
//   # comment                 from # to the end of the line, outside quotes
//   "two words"               double quotes group an argument with blanks
#pragma once

#include <cstddef>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "host/input/FileError.h"
#include "host/plugin/HostConfig.h"

struct DeviceSection {
    std::string name;
    unsigned line = 0; // line of the "[name]" header
    std::unique_ptr<HostConfig> config;
};

// Parses the text of a configuration file; false with `error` filled on the first
// problem. A UTF-8 byte-order mark is skipped; LF, CR LF and CR alone end lines;
// UTF-16 text is refused by name.
bool parseConfigText(const std::string& text, const std::string& fileName,
                     std::vector<DeviceSection>& sections, FileError& error);

// One line of a configuration file's text: where it starts, its length without its
// line end, and the line end's length (0 for a last line without one).
struct ConfigTextLine {
    std::size_t start;
    std::size_t length;
    std::size_t endLength;
};
// Where the lines begin: after a UTF-8 byte-order mark, if there is one.
std::size_t configTextStart(const std::string& text);
// The lines of a configuration file's text, as the parser takes them.
std::vector<ConfigTextLine> splitConfigText(const std::string& text);

// What one line (without its line end) is to the parser.
struct ConfigLineMeaning {
    enum class Kind { empty, header, option };
    Kind kind = Kind::empty;        // empty: blank, or a comment alone
    std::string name;               // a header's section name
    std::vector<std::string> words; // an option line's keyword and arguments
};
// False with `problem` for a line the parser refuses.
bool readConfigLine(const std::string& text, ConfigLineMeaning& meaning, std::string& problem);

// Reads and parses a configuration file; a file that cannot be read, with the
// system's reason, or one larger than maxConfigFileSize is an error too.
bool readConfigFile(const std::string& fileName, std::vector<DeviceSection>& sections,
                    FileError& error);
constexpr std::size_t maxConfigFileSize = 1024 * 1024;

// The sections can run: there is at least one, and at most four, since one
// process wakes at most four sensors (a fifth is refused before any sensor
// wakes). False with `error` when they cannot.
bool checkDeviceSections(const std::vector<DeviceSection>& sections, const std::string& fileName,
                         FileError& error);
