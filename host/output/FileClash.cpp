// Files written against files read, by identity.
#include "host/output/FileClash.h"

#include "platform/platform.h"
#include "support/CConfigH.h"

namespace {

// One file of the run and what it is to the run ("--record", "the configuration").
// A file to be written that does not exist yet is its folder and its name there.
struct RunFile {
    std::string role;
    std::string name;
    platform::FileIdentity identity;
    std::string newName; // empty for a file that exists
};

bool operator==(const RunFile& a, const RunFile& b) {
    return a.identity == b.identity && a.newName == b.newName;
}

// Only files of data are lost by a clash; a terminal or /dev/null can take both.
void addFile(std::vector<RunFile>& files, const std::string& role, const std::string& name) {
    RunFile file{role, name, {}, {}};
    if (!name.empty() && platform::fileIdentity(name, file.identity) && file.identity.regular) {
        files.push_back(file);
    }
}

void addWrittenFile(std::vector<RunFile>& files, const std::string& role, const std::string& name) {
    platform::FileIdentity identity;
    if (name.empty() || platform::fileIdentity(name, identity)) {
        addFile(files, role, name);
        return;
    }
    const std::size_t slash = name.find_last_of(platform::posixSystem() ? "/" : "/\\:");
    RunFile file{role, name, {}, name.substr(slash == std::string::npos ? 0 : slash + 1)};
    const std::string folder = slash == std::string::npos ? "." : name.substr(0, slash + 1);
    if (platform::fileIdentity(folder, file.identity)) {
        files.push_back(file);
    }
}

// Each library a calibration line names, where the plug-in's loader finds it:
// loaded as the plug-in loads it and asked where from. One that does not load is
// the file of that name, if there is one.
void addCalibrationLibraries(std::vector<RunFile>& files,
                             const std::vector<DeviceSection>& sections) {
    for (const DeviceSection& section : sections) {
        const CConfigH& config = *section.config->record();
        for (std::uint32_t i = 0; i < config.lineCount; ++i) {
            const ConfigLine& line = config.lines[i];
            if (line.argCount == 0 || (compareNoCase(line.optionName, "calibration") != 0 &&
                                       compareNoCase(line.optionName, "calib") != 0)) {
                continue;
            }
            std::string path = line.args[0];
            if (const platform::LibraryHandle library = platform::loadLibrary(line.args[0])) {
                const std::string found = platform::libraryPath(library);
                path = found.empty() ? path : found;
                platform::freeLibrary(library);
            }
            addFile(files, "the calibration library of [" + section.name + "]", path);
        }
    }
}

} // namespace

std::string findFileClash(const HostOptions& options, const RecordOutput& output,
                          const std::vector<DeviceSection>& sections) {
    std::vector<RunFile> written;
    if (!output.filePath().empty()) {
        addWrittenFile(written, "--output", output.filePath());
    } else {
        RunFile records{"standard output", "", {}, {}};
        if (output.identity(records.identity) && records.identity.regular) {
            written.push_back(records);
        }
    }
    addWrittenFile(written, "--record", options.recordFile);
    if (written.empty()) {
        return {}; // nothing is at risk: no library needs loading to find out
    }
    std::vector<RunFile> read;
    addFile(read, "the configuration", options.configFile);
    addFile(read, "--replay", options.replayFile);
    addCalibrationLibraries(read, sections);
    for (std::size_t w = 0; w < written.size(); ++w) {
        std::vector<RunFile> others(written.begin() + static_cast<std::ptrdiff_t>(w) + 1,
                                    written.end());
        others.insert(others.end(), read.begin(), read.end());
        for (const RunFile& other : others) {
            if (written[w] == other) {
                return written[w].role + " and " + other.role + " are the same file (" +
                       other.name + ")";
            }
        }
    }
    return {};
}
