// The configuration checker of --check and of every run.
#include "host/check/ConfigCheck.h"
#include "host/report/ExitCode.h"

#include "host/check/OptionWarnings.h"
#include "host/check/PluginOptionCheck.h"
#include "host/check/RepeatedOptions.h"
#include "host/check/SectionClashes.h"
#include "host/check/SettingsPrintout.h"

#include <algorithm>
#include <cstdint>
#include <ostream>
#include <utility>

namespace {

const char* label(CheckFinding::Kind kind) {
    switch (kind) {
    case CheckFinding::Kind::warning:
        return "warning: ";
    case CheckFinding::Kind::note:
        return "note: ";
    case CheckFinding::Kind::problem:
        break;
    }
    return "";
}

// Writes the findings; answers the number of problems and of warnings.
std::pair<std::size_t, std::size_t> printFindings(const std::vector<CheckFinding>& findings,
                                                  const std::string& fileName, std::ostream& err) {
    std::size_t problems = 0;
    std::size_t warnings = 0;
    for (const CheckFinding& finding : findings) {
        err << FileError{fileName, finding.line, label(finding.kind) + finding.message} << '\n';
        problems += finding.isProblem() ? 1 : 0;
        warnings += finding.kind == CheckFinding::Kind::warning ? 1 : 0;
    }
    err.flush();
    return {problems, warnings};
}

std::string counted(std::size_t count, const std::string& what) {
    return std::to_string(count) + ' ' + what + (count == 1 ? "" : "s");
}

} // namespace

std::vector<CheckFinding> checkConfig(const std::vector<DeviceSection>& sections,
                                      const std::string& fileName) {
    std::vector<CheckFinding> findings;
    const auto add = [&findings](const std::vector<CheckFinding>& more) {
        findings.insert(findings.end(), more.begin(), more.end());
    };
    FileError error;
    if (!checkDeviceSections(sections, fileName, error)) {
        findings.push_back({error.line, CheckFinding::Kind::problem, error.message});
    }
    std::vector<std::int32_t> ports;
    for (const DeviceSection& section : sections) {
        const PluginOptionReading reading = readPluginOptions(section);
        add(reading.findings);
        add(warnOptionValues(section));
        add(warnRepeatedOptions(section));
        ports.push_back(reading.device.serialPort);
    }
    add(checkAcrossSections(sections, ports));
    std::stable_sort(findings.begin(), findings.end(),
                     [](const CheckFinding& a, const CheckFinding& b) { return a.line < b.line; });
    return findings;
}

bool checkBeforeRun(const std::vector<DeviceSection>& sections, const std::string& fileName,
                    std::ostream& err) {
    return printFindings(checkConfig(sections, fileName), fileName, err).first == 0;
}

int runCheck(const std::string& fileName, std::ostream& err, std::ostream* settings) {
    std::vector<DeviceSection> sections;
    FileError error;
    if (!readConfigFile(fileName, sections, error)) {
        err << error << std::endl;
        return exitConfiguration;
    }
    const std::vector<CheckFinding> findings = checkConfig(sections, fileName);
    const auto counts = printFindings(findings, fileName, err);
    if (counts.first == 0) {
        err << FileError{fileName, 0,
                         counted(sections.size(), "section") + ", no problems" +
                             (counts.second == 0 ? "" : ", " + counted(counts.second, "warning"))}
            << std::endl;
    }
    for (std::size_t i = 0; settings != nullptr && i < sections.size(); ++i) {
        // The section's problems lie from its header to the next section's.
        const unsigned end = i + 1 < sections.size() ? sections[i + 1].line : ~0u;
        const bool refused =
            std::any_of(findings.begin(), findings.end(), [&](const CheckFinding& finding) {
                return finding.isProblem() && finding.line >= sections[i].line &&
                       finding.line < end;
            });
        *settings << (i == 0 ? "" : "\n");
        printSectionSettings(sections[i], readPluginOptions(sections[i]), refused, fileName,
                             *settings);
    }
    if (settings != nullptr) {
        settings->flush();
    }
    return counts.first == 0 ? exitSuccess : exitConfiguration;
}
