// The plug-in's verdict on a section's option lines. Init stops at the first reader
// that fails; here every reader runs, so that one pass shows every problem.
#include "host/check/PluginOptionCheck.h"

#include "device/PluginOptions.h"
#include "platform/platform.h"
#include "support/CConfigH.h"
#include "support/LineSink.h"

#include <algorithm>
#include <cstring>
#include <functional>

#include <tracker_calibration.h>

namespace {

// The option of the line a problem is about, when it takes unit words and the problem
// is its refusal of one.
const OptionRow* refusedUnitWord(const CConfigH& config, const OptionProblem& problem) {
    for (std::uint32_t i = 0; i < config.lineCount; ++i) {
        const ConfigLine& line = config.lines[i];
        const OptionRow* const option = findPluginOption(line.optionName);
        if (line.lineNumber == problem.lineNumber && option != nullptr && !option->units.empty() &&
            problem.text.compare(0, std::strlen(option->unitReason), option->unitReason) == 0) {
            return option;
        }
    }
    return nullptr;
}

// The plug-in's problems in its own words; one about a unit word is followed by
// the words it takes.
void addProblems(std::vector<CheckFinding>& findings, const CConfigH& config,
                 const std::vector<OptionProblem>& problems) {
    for (const OptionProblem& problem : problems) {
        findings.push_back({problem.lineNumber, CheckFinding::Kind::problem, problem.text});
        if (const OptionRow* const option = refusedUnitWord(config, problem)) {
            findings.push_back({problem.lineNumber, CheckFinding::Kind::note,
                                "the unit words are " + unitWordList(option->units)});
        }
    }
}

// The table as the device's init builds it: one tracker, CAVE coordinates on.
std::unique_ptr<CTraCommonH> deviceTable(const CLoggerH& logger) {
    auto table = std::make_unique<CTraCommonH>(&logger, TrackerTableSetup{true, 1, true});
    table->createEntries(1);
    table->setEntry(1, 1, nullptr, nullptr, nullptr);
    return table;
}

void clearUsed(CConfigH& config) {
    for (std::uint32_t i = 0; i < config.lineCount; ++i) {
        config.lines[i].used = 0;
    }
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
        const OptionRow* const option = findPluginOption(line.optionName);
        if (line.used != 0 && option != nullptr && option->topic == OptionTopic::calibration) {
            found = &line;
        }
    }
    return found;
}

// Where the loader looked for a library named with a relative folder: from the current
// folder, whatever folder the configuration lies in. Empty for a bare name (beside the
// program first, as docs/calibration-libraries.md says) and a full path.
std::string searchedFolder(const std::string& name) {
    const std::size_t separator = name.find_first_of(platform::folderSeparators());
    if (separator == std::string::npos || separator == 0 || name[separator] == ':') {
        return {};
    }
    return "a library name with a folder is found from the current folder, " +
           platform::currentFolder() + ", not from the configuration file's";
}

// Init fails without a word of its own on a library it cannot load or that has no
// calib_init; without calib_evaluate every recvData fails, without calib_exit stop
// does. Each entry point the plug-in calls is a problem when it is missing; true when
// the library has them all. The reason the system gave for a failed load is that of
// the last load, the library's, followed by where it was looked for.
bool calibrationUsable(CCalibH& library, const std::string& name,
                       const std::function<void(CheckFinding::Kind, const std::string&)>& tell) {
    if (name.empty()) {
        tell(CheckFinding::Kind::problem,
             "calibration library \"\" is an empty name: the line names no library");
        return false;
    }
    if (!library.isLoaded()) {
        tell(CheckFinding::Kind::problem, "calibration library \"" + name +
                                              "\" cannot be loaded (" + platform::libraryError() +
                                              ")");
        const std::string searched = searchedFolder(name);
        if (!searched.empty()) {
            tell(CheckFinding::Kind::note, searched);
        }
        return false;
    }
    static const struct {
        const char* entry;
        const char* consequence;
    } entries[] = {{"calib_init", "init would fail"},
                   {"calib_evaluate", "recvData would fail in every cycle"},
                   {"calib_exit", "stop would fail"}};
    bool usable = true;
    for (const auto& required : entries) {
        if (library.getProcAddr(required.entry) == nullptr) {
            tell(CheckFinding::Kind::problem, "calibration library \"" + name + "\" has no " +
                                                  required.entry + ", so " + required.consequence);
            usable = false;
        }
    }
    return usable;
}

// A library that exports the optional calib_check judges its arguments
// (tracker_calibration.h).
void checkCalibration(const CConfigH& config, CTraCommonH& table,
                      std::vector<CheckFinding>& findings) {
    const ConfigLine* line = calibrationLine(config);
    if (line == nullptr || table.calib() == nullptr) {
        return;
    }
    const std::string name = line->args[0];
    const auto tell = [&findings, line](CheckFinding::Kind kind, const std::string& text) {
        findings.push_back({line->lineNumber, kind, text});
    };
    if (!calibrationUsable(*table.calib(), name, tell)) {
        return;
    }
    const auto calibCheck =
        reinterpret_cast<CalibCheckFn>(table.calib()->getProcAddr("calib_check"));
    if (calibCheck == nullptr) {
        return;
    }
    std::vector<const char*> args;
    for (const std::string& arg : table.calibArgs()) {
        args.push_back(arg.c_str());
    }
    char message[256] = {};
    if (calibCheck(args.data(), static_cast<std::int32_t>(args.size()), message,
                   static_cast<std::int32_t>(sizeof message)) == 0) {
        message[sizeof message - 1] = '\0'; // whatever the library wrote
        tell(CheckFinding::Kind::problem, "calibration library \"" + name +
                                              "\" refuses its arguments" +
                                              (message[0] != '\0' ? ": " : "") + message);
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
    clearUsed(config); // an earlier reading may have marked lines

    PluginOptionReading reading;
    std::vector<OptionProblem> problems;
    readDeviceOptions(config, reading.device, logger, &problems);
    reading.table = deviceTable(logger);
    reading.table->parseOptions(&config, &problems);
    checkLeftLines(config, logger, problems);

    addProblems(reading.findings, config, problems);
    checkCalibration(config, *reading.table, reading.findings);
    std::stable_sort(reading.findings.begin(), reading.findings.end(),
                     [](const CheckFinding& a, const CheckFinding& b) { return a.line < b.line; });
    // The record goes to the plug-in as the host hands it over, no line taken yet.
    clearUsed(config);
    return reading;
}

std::vector<CheckFinding> checkPluginOptions(const DeviceSection& section) {
    return readPluginOptions(section).findings;
}
