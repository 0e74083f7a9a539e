// A section's device settings as the plug-in's init will read them.
#include "host/input/SectionSettings.h"

#include "support/CLoggerH.h"

#include <vector>

bool sectionSettings(const DeviceSection& section, DeviceSettings& settings) {
    CConfigH lines = *section.config->record();
    CLoggerH quiet;
    quiet.enabled = 0;
    std::vector<OptionProblem> problems;
    return readDeviceOptions(lines, settings, quiet, &problems);
}
