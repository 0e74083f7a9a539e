// Two sections on one port or with one name.
#include "host/check/SectionClashes.h"

#include "device/PluginOptions.h"
#include "support/CConfigH.h"

#include <map>
#include <string>

namespace {

// The line of the last port line of a section, the one the plug-in keeps; 0 when
// the section has none.
unsigned portLine(const DeviceSection& section) {
    unsigned found = 0;
    const CConfigH& record = *section.config->record();
    for (std::uint32_t i = 0; i < record.lineCount; ++i) {
        const ConfigLine& line = record.lines[i];
        const OptionRow* const option = findPluginOption(line.optionName);
        if (option != nullptr && option->topic == OptionTopic::port) {
            found = line.lineNumber;
        }
    }
    return found;
}

} // namespace

std::vector<CheckFinding> checkAcrossSections(const std::vector<DeviceSection>& sections,
                                              const std::vector<std::int32_t>& ports) {
    std::vector<CheckFinding> findings;
    std::map<std::string, unsigned> names;
    std::map<std::int32_t, const DeviceSection*> users;
    for (std::size_t i = 0; i < sections.size() && i < ports.size(); ++i) {
        const DeviceSection& section = sections[i];
        const auto named = names.emplace(section.name, section.line);
        if (!named.second) {
            findings.push_back({section.line, CheckFinding::Kind::warning,
                                "a second section [" + section.name + "]; the first is at line " +
                                    std::to_string(named.first->second)});
        }
        if (ports[i] < 1 || ports[i] > 4) {
            continue;
        }
        // The sensor library lets one sensor at a time hold a port, so the wake-up of
        // the later section's sensor fails.
        const auto used = users.emplace(ports[i], &section);
        if (!used.second) {
            const DeviceSection& first = *used.first->second;
            const unsigned line = portLine(section);
            findings.push_back(
                {line != 0 ? line : section.line, CheckFinding::Kind::problem,
                 "section [" + section.name + "] is on port " + std::to_string(ports[i]) +
                     (line != 0 ? "" : " (it has no port line)") + ", as section [" + first.name +
                     "] at line " + std::to_string(first.line) +
                     " is; a port has one sensor, so init of [" + section.name + "] would fail"});
        }
    }
    return findings;
}
