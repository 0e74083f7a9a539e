// Fuzzes the parser of trackhost's configuration file and trackhost --check on
// what it reads. Whatever the text, the parser either fails with a line inside
// the text (or 0 for the file as a whole), or gives sections whose records keep
// the bounds the plug-in relies on: a device name, at most 32 lines of at most
// 64 arguments, no null text. The check's findings then point at lines of the
// text, in order, each with a message.
#include "host/check/ConfigCheck.h"
#include "host/input/ConfigFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void checkRecord(const DeviceSection& section) {
    check(section.config != nullptr && !section.name.empty());
    const CConfigH& record = *section.config->record();
    check(record.deviceName != nullptr && section.name == record.deviceName);
    check(record.lineCount <= CConfigH::maxLines);
    for (std::uint32_t i = 0; i < record.lineCount; ++i) {
        const ConfigLine& line = record.lines[i];
        check(line.optionName != nullptr && line.argCount <= ConfigLine::maxArgs);
        check(line.lineNumber > section.line && line.used == 0);
        for (std::uint32_t a = 0; a < line.argCount; ++a) {
            check(line.args[a] != nullptr);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<DeviceSection> sections;
    FileError error;
    // Every line end (LF, CR LF or CR alone) counts one line.
    std::size_t lines = 1;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))) {
            ++lines;
        }
    }
    if (parseConfigText(text, "fuzz.conf", sections, error)) {
        for (const DeviceSection& section : sections) {
            checkRecord(section);
        }
        unsigned previous = 0;
        for (const CheckFinding& finding : checkConfig(sections, "fuzz.conf")) {
            check(finding.line >= previous && finding.line <= lines && !finding.message.empty());
            previous = finding.line;
        }
    } else {
        check(error.line <= lines && !error.message.empty());
        check(!formatError(error).empty());
    }
    return 0;
}
