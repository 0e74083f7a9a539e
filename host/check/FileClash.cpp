// Files written against files read, by identity.
#include "host/check/FileClash.h"

#include "device/PluginOptions.h"
#include "support/CConfigH.h"

namespace {

// A file of the run as it is compared. A file to be written that does not exist yet
// is its folder and its name there.
struct RunFile {
    const NamedFile* named;
    platform::FileIdentity identity;
    std::string newName; // empty for a file that exists
};

bool operator==(const RunFile& a, const RunFile& b) {
    return a.identity == b.identity && platform::sameFileName(a.newName, b.newName);
}

// Only files of data are lost by a clash; a terminal or /dev/null can take both.
void addRead(std::vector<RunFile>& files, const NamedFile& file) {
    RunFile run{&file, file.identity, {}};
    if (file.path.empty()
            ? file.identity.regular
            : platform::fileIdentity(file.path, run.identity) && run.identity.regular) {
        files.push_back(run);
    }
}

void addWritten(std::vector<RunFile>& files, const NamedFile& file) {
    platform::FileIdentity identity;
    // A device without an identity (NUL on Windows) is no new file either.
    if (!file.path.empty() && platform::isDevice(file.path)) {
        return;
    }
    if (file.path.empty() || platform::fileIdentity(file.path, identity)) {
        addRead(files, file);
        return;
    }
    const std::string& name = file.path;
    const std::size_t slash = name.find_last_of(platform::folderSeparators());
    RunFile run{&file, {}, name.substr(slash == std::string::npos ? 0 : slash + 1)};
    const std::string folder = slash == std::string::npos ? "." : name.substr(0, slash + 1);
    if (platform::fileIdentity(folder, run.identity)) {
        files.push_back(run);
    }
}

} // namespace

std::string findFileClash(const std::vector<NamedFile>& written,
                          const std::vector<NamedFile>& read) {
    std::vector<RunFile> writes;
    for (const NamedFile& file : written) {
        addWritten(writes, file);
    }
    std::vector<RunFile> reads;
    for (const NamedFile& file : read) {
        addRead(reads, file);
    }
    for (std::size_t w = 0; w < writes.size(); ++w) {
        std::vector<RunFile> others(writes.begin() + static_cast<std::ptrdiff_t>(w) + 1,
                                    writes.end());
        others.insert(others.end(), reads.begin(), reads.end());
        for (const RunFile& other : others) {
            if (writes[w] == other) {
                return writes[w].named->role + " and " + other.named->role +
                       " are the same file (" + other.named->path + ")";
            }
        }
    }
    return {};
}

std::vector<NamedFile> calibrationLibraries(const std::vector<DeviceSection>& sections,
                                            const std::string& pluginFolder) {
    std::vector<NamedFile> files;
    for (const DeviceSection& section : sections) {
        const CConfigH& config = *section.config->record();
        for (std::uint32_t i = 0; i < config.lineCount; ++i) {
            const ConfigLine& line = config.lines[i];
            const OptionRow* const option = findPluginOption(line.optionName);
            if (line.argCount == 0 || option == nullptr ||
                option->topic != OptionTopic::calibration) {
                continue;
            }
            files.push_back({"the calibration library of [" + section.name + "]",
                             platform::findLibrary(line.args[0], pluginFolder),
                             {}});
        }
    }
    return files;
}
