// Which section --align reads, and how.
#include "host/align/AlignSection.h"

#include "device/PluginOptions.h"
#include "host/input/SectionSettings.h"
#include "host/report/HostMessage.h"
#include "host/report/ShownText.h"
#include "support/CConfigH.h"

#include <memory>
#include <ostream>

namespace {

// A transmitter or sensor rotation line, in either form.
bool isRotation(const ConfigLine& line) {
    const OptionSpec* const option = findPluginOption(line.optionName);
    if (option == nullptr) {
        return false;
    }
    switch (option->topic) {
    case OptionTopic::transmitterRotation:
    case OptionTopic::transmitterRotationMatrix:
    case OptionTopic::sensorRotation:
    case OptionTopic::sensorRotationMatrix:
        return true;
    default:
        return false;
    }
}

} // namespace

const DeviceSection* pickSection(const std::vector<DeviceSection>& sections,
                                 const std::string& name, const std::string& configFile,
                                 std::ostream& err) {
    if (name.empty()) {
        if (sections.size() == 1) {
            return &sections.front();
        }
        hostMessage(err) << shownText(configFile) << " has " << sections.size()
                         << " sections; name the one to align: --align SECTION" << std::endl;
        return nullptr;
    }
    for (const DeviceSection& section : sections) {
        if (section.name == name) {
            return &section;
        }
    }
    hostMessage(err) << shownText(configFile) << " has no section [" << shownText(name) << "]"
                     << std::endl;
    return nullptr;
}

bool sectionPosition(const DeviceSection& section, float position[3], std::uint32_t& line) {
    DeviceSettings settings;
    sectionSettings(section, settings);
    const CConfigH& config = *section.config->record();
    for (std::uint32_t i = 0; i < config.lineCount; ++i) {
        const OptionSpec* const option = findPluginOption(config.lines[i].optionName);
        if (option != nullptr && option->topic == OptionTopic::position) {
            line = config.lines[i].lineNumber;
        }
    }
    for (int i = 0; i < 3; ++i) {
        position[i] = settings.position[i];
    }
    return settings.fixedPosition;
}

DeviceSection withoutRotations(const DeviceSection& section, std::vector<std::uint32_t>& dropped) {
    DeviceSection aligned{section.name, section.line, std::make_unique<HostConfig>(section.name)};
    const CConfigH& record = *section.config->record();
    for (std::uint32_t i = 0; i < record.lineCount; ++i) {
        const ConfigLine& line = record.lines[i];
        if (isRotation(line)) {
            dropped.push_back(line.lineNumber);
            continue;
        }
        aligned.config->add(line.optionName,
                            std::vector<std::string>(line.args, line.args + line.argCount),
                            line.lineNumber);
    }
    return aligned;
}
