// The plug-in's verdict on a section's option lines. Init stops at the first reader
// that fails; here every reader runs, so that one pass shows every problem.
#include "PluginOptionCheck.h"

#include "platform/platform.h"
#include "support/CConfigH.h"
#include "support/LineSink.h"

#include <algorithm>

namespace {

void addProblems(std::vector<CheckFinding>& findings, const std::vector<OptionProblem>& problems) {
    for (const OptionProblem& problem : problems) {
        findings.push_back({problem.lineNumber, false, problem.text});
    }
}

// The table as the device's init builds it: one tracker, CAVE coordinates on.
std::unique_ptr<CTraCommonH> deviceTable(const CLoggerH& logger) {
    auto table = std::make_unique<CTraCommonH>(&logger, TrackerTableSetup{true, 1, true});
    table->createEntries(1);
    table->setEntry(1, 1, nullptr, nullptr, nullptr);
    return table;
}

bool reported(const std::vector<OptionProblem>& problems, std::uint32_t lineNumber) {
    return std::any_of(problems.begin(), problems.end(),
                       [lineNumber](const OptionProblem& p) { return p.lineNumber == lineNumber; });
}

// A line a reader neither accepted nor reported was passed over after an earlier
// error of its reader (init would have stopped there) or has a keyword no reader
// knows. The lines left are read again on their own until a reading takes none
// of them; what is left then is unknown.
void checkLeftLines(const CConfigH& config, const CLoggerH& logger,
                    std::vector<OptionProblem>& problems) {
    CConfigH left = config;
    for (;;) {
        std::uint32_t count = 0;
        for (std::uint32_t i = 0; i < left.lineCount; ++i) {
            const ConfigLine& line = left.lines[i];
            if (line.used == 0 && !reported(problems, line.lineNumber)) {
                left.lines[count++] = line;
            }
        }
        left.lineCount = count;
        if (count == 0) {
            return;
        }
        const std::size_t known = problems.size();
        DeviceSettings device;
        readDeviceOptions(left, device, logger, &problems);
        deviceTable(logger)->parseOptions(&left, &problems);
        const bool taken = std::any_of(left.lines, left.lines + count,
                                       [](const ConfigLine& line) { return line.used != 0; });
        if (!taken && problems.size() == known) {
            checkUnknownOptions(&left, &logger, &problems);
            return;
        }
    }
}

// The line of the calibration library init would start: the last accepted line.
const ConfigLine* calibrationLine(const CConfigH& config) {
    const ConfigLine* found = nullptr;
    for (std::uint32_t i = 0; i < config.lineCount; ++i) {
        const ConfigLine& line = config.lines[i];
        if (line.used != 0 && (compareNoCase(line.optionName, "calibration") == 0 ||
                               compareNoCase(line.optionName, "calib") == 0)) {
            found = &line;
        }
    }
    return found;
}

// Init fails without a word of its own on a library it cannot load or that has no
// calib_init; the reason the system gave for the failed load is that of the last
// load, the library's.
void checkCalibration(const CConfigH& config, CTraCommonH& table,
                      std::vector<CheckFinding>& findings) {
    const ConfigLine* line = calibrationLine(config);
    if (line == nullptr || table.calib() == nullptr) {
        return;
    }
    const std::string name = std::string("calibration library \"") + line->args[0] + "\"";
    if (!table.calib()->isLoaded()) {
        findings.push_back({line->lineNumber, false,
                            name + " cannot be loaded (" + platform::libraryError() + ")"});
    } else if (table.calib()->getProcAddr("calib_init") == nullptr) {
        findings.push_back(
            {line->lineNumber, false, name + " has no calib_init, so init would fail"});
    }
}

} // namespace

PluginOptionReading readPluginOptions(const DeviceSection& section) {
    // A library that cannot be loaded is logged with its name streamed into the line,
    // and streamed values appear even with the logger off: the lines are dropped
    // while the readers run, since each problem becomes a finding.
    const LineSinkScope hold(droppedLines);
    CLoggerH logger;
    logger.enabled = 0;
    logger.setName(section.name.c_str());
    CConfigH& config = *section.config->record();
    for (std::uint32_t i = 0; i < config.lineCount; ++i) {
        config.lines[i].used = 0; // an earlier reading may have set them
    }

    PluginOptionReading reading;
    std::vector<OptionProblem> problems;
    readDeviceOptions(config, reading.device, logger, &problems);
    reading.table = deviceTable(logger);
    reading.table->parseOptions(&config, &problems);
    checkLeftLines(config, logger, problems);

    addProblems(reading.findings, problems);
    checkCalibration(config, *reading.table, reading.findings);
    std::stable_sort(reading.findings.begin(), reading.findings.end(),
                     [](const CheckFinding& a, const CheckFinding& b) { return a.line < b.line; });
    return reading;
}

std::vector<CheckFinding> checkPluginOptions(const DeviceSection& section) {
    return readPluginOptions(section).findings;
}
