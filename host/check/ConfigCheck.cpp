// trackhost --check.
#include "host/check/ConfigCheck.h"
#include "host/ExitCode.h"

#include "host/HostOptions.h"
#include "host/check/OptionWarnings.h"
#include "host/check/PluginOptionCheck.h"
#include "host/check/SectionSettings.h"

#include <algorithm>
#include <ostream>

std::vector<CheckFinding> checkConfig(const std::vector<DeviceSection>& sections,
                                      const std::string& fileName) {
    std::vector<CheckFinding> findings;
    const auto add = [&findings](std::vector<CheckFinding> more) {
        findings.insert(findings.end(), more.begin(), more.end());
    };
    FileError error;
    if (!checkDeviceSections(sections, fileName, error)) {
        findings.push_back({error.line, false, error.message});
    }
    for (const DeviceSection& section : sections) {
        add(checkPluginOptions(section));
        add(warnOptionValues(section));
    }
    add(warnAcrossSections(sections));
    std::stable_sort(findings.begin(), findings.end(),
                     [](const CheckFinding& a, const CheckFinding& b) { return a.line < b.line; });
    return findings;
}

int runCheck(const std::string& fileName, std::ostream& err, std::ostream* settings) {
    std::vector<DeviceSection> sections;
    FileError error;
    if (!readConfigFile(fileName, sections, error)) {
        err << error << std::endl;
        return exitConfiguration;
    }
    bool problem = false;
    for (const CheckFinding& finding : checkConfig(sections, fileName)) {
        err << FileError{fileName, finding.line,
                         (finding.warning ? "warning: " : "") + finding.message}
            << '\n';
        problem = problem || !finding.warning;
    }
    err.flush();
    for (std::size_t i = 0; settings != nullptr && i < sections.size(); ++i) {
        *settings << (i == 0 ? "" : "\n");
        printSectionSettings(sections[i], readPluginOptions(sections[i]), fileName, *settings);
    }
    if (settings != nullptr) {
        settings->flush();
    }
    return problem ? exitConfiguration : exitSuccess;
}
