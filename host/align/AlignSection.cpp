// Which section --align reads, and how.
#include "host/align/AlignSection.h"

#include "device/PluginOptions.h"
#include "host/input/SectionSettings.h"
#include "host/report/HostMessage.h"
#include "host/report/ShownText.h"
#include "support/CConfigH.h"

#include <memory>
#include <ostream>

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
        if (alignedSetting(config.lines[i].optionName) == AlignedSetting::position) {
            line = config.lines[i].lineNumber;
        }
    }
    for (int i = 0; i < 3; ++i) {
        position[i] = settings.position[i];
    }
    return settings.fixedPosition;
}

AlignedSetting alignedSetting(const std::string& keyword) {
    const OptionRow* option = findPluginOption(keyword);
    switch (option != nullptr ? option->topic : OptionTopic::port) {
    case OptionTopic::transmitterRotation:
    case OptionTopic::transmitterRotationMatrix:
        return AlignedSetting::transmitterRotation;
    case OptionTopic::sensorRotation:
    case OptionTopic::sensorRotationMatrix:
        return AlignedSetting::sensorRotation;
    case OptionTopic::position:
        return AlignedSetting::position;
    default:
        return AlignedSetting::none;
    }
}

DeviceSection withoutRotations(const DeviceSection& section, std::vector<std::uint32_t>& dropped,
                               std::vector<std::string>& droppedLines) {
    DeviceSection aligned{section.name, section.line, std::make_unique<HostConfig>(section.name)};
    const CConfigH& record = *section.config->record();
    for (std::uint32_t i = 0; i < record.lineCount; ++i) {
        const ConfigLine& line = record.lines[i];
        const AlignedSetting setting = alignedSetting(line.optionName);
        if (setting == AlignedSetting::transmitterRotation ||
            setting == AlignedSetting::sensorRotation) {
            dropped.push_back(line.lineNumber);
            std::string text = line.optionName;
            for (std::uint32_t a = 0; a < line.argCount; ++a) {
                text += std::string(" ") + line.args[a];
            }
            droppedLines.push_back(std::move(text));
            continue;
        }
        aligned.config->add(line.optionName,
                            std::vector<std::string>(line.args, line.args + line.argCount),
                            line.lineNumber);
    }
    return aligned;
}
