// A setting given twice in one section.
#include "host/check/RepeatedOptions.h"

#include "device/PluginOptions.h"
#include "support/CConfigH.h"
#include "support/OptionReader.h"

#include <map>
#include <string>

namespace {

// The setting a line sets, named as --check --verbose names it (other spellings and
// the two forms of a rotation set one); null for an option that sets no one value.
const char* settingOf(const ConfigLine& line) {
    const OptionRow* const option = findPluginOption(line.optionName);
    return option != nullptr ? option->setting : nullptr;
}

// The plug-in stores no transmitter offset of 0 0 0, so an earlier one stays.
bool zeroOffset(const ConfigLine& line) {
    const OptionRow* const option = findPluginOption(line.optionName);
    if (option == nullptr || option->topic != OptionTopic::transmitterOffset || line.argCount < 3) {
        return false;
    }
    for (std::uint32_t i = 0; i < 3; ++i) {
        float value = 0.0f;
        if (!readOptionNumber(line.args[i], value) || value != 0.0f) {
            return false;
        }
    }
    return true;
}

} // namespace

std::vector<CheckFinding> warnRepeatedOptions(const DeviceSection& section) {
    std::vector<CheckFinding> findings;
    std::map<std::string, unsigned> setBy; // setting: the line whose value holds
    const CConfigH& record = *section.config->record();
    for (std::uint32_t i = 0; i < record.lineCount; ++i) {
        const ConfigLine& line = record.lines[i];
        const char* const setting = settingOf(line);
        if (setting == nullptr) {
            continue;
        }
        const bool zero = zeroOffset(line);
        const auto earlier = setBy.find(setting);
        if (earlier != setBy.end()) {
            const std::string first = std::to_string(earlier->second);
            findings.push_back({line.lineNumber, CheckFinding::Kind::warning,
                                std::string(line.optionName) + " repeats the " + setting +
                                    " of line " + first +
                                    (zero ? ", but an offset of 0 0 0 changes nothing: the one "
                                            "of line " +
                                                first + " stays"
                                          : "; the last one wins")});
        }
        if (!zero) {
            setBy[setting] = line.lineNumber;
        }
    }
    return findings;
}
