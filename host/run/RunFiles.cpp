// The files of a run: those it writes, and those it reads or runs on.
#include "host/run/RunFiles.h"

#include "host/check/FileClash.h"
#include "host/sensors/SensorSession.h"
#include "platform/platform.h"

std::string libraryFile(const std::string& name) {
    if (name.find_first_of(platform::folderSeparators()) != std::string::npos) {
        return name;
    }
    return platform::executableFolder() +
           (name.find('.') == std::string::npos ? platform::libraryFileName(name) : name);
}

std::vector<NamedFile> writtenFiles(const PoseOutput& output, const RunSettings& settings) {
    std::vector<NamedFile> files;
    if (!output.filePath().empty()) {
        files.push_back({"--output", output.filePath(), {}});
    } else {
        NamedFile records{"standard output", "", {}};
        if (output.identity(records.identity) && records.identity.regular) {
            files.push_back(records);
        }
    }
    if (!settings.sensors.recordFile.empty()) {
        files.push_back({"--record", settings.sensors.recordFile, {}});
    }
    return files;
}

std::vector<NamedFile> readFiles(const RunSettings& settings, const std::string& pluginPath,
                                 const std::vector<DeviceSection>& sections) {
    std::vector<NamedFile> files{{"the configuration", settings.configFile, {}}};
    if (!settings.sensors.replayFile.empty()) {
        files.push_back({"--replay", settings.sensors.replayFile, {}});
    }
    files.push_back({"trackhost itself", platform::executablePath(), {}});
    const std::string plugin = libraryFile(pluginPath);
    files.push_back({"the plug-in", plugin, {}});
    files.push_back({"the sensor library", sensorLibraryPath(pluginPath), {}});
    files.push_back({"the recording sensor library", recordingLibraryPath(), {}});
    const std::vector<NamedFile> libraries =
        calibrationLibraries(sections, platform::dependencyFolder(plugin));
    files.insert(files.end(), libraries.begin(), libraries.end());
    return files;
}
