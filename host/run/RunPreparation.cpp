// A run's checks, plug-in and sensors, before any device exists.
#include "host/run/RunPreparation.h"

#include "host/check/ConfigCheck.h"
#include "host/check/FileClash.h"
#include "host/check/WriteTarget.h"
#include "host/files/StagedFile.h"
#include "host/report/ExitCode.h"
#include "host/report/HostMessage.h"
#include "host/run/PacedCycles.h"
#include "host/sensors/DropoutCheck.h"
#include "host/sensors/SimPoseControl.h"
#include "host/sensors/SimulatorControl.h"
#include "platform/platform.h"

#include <ostream>
#include <system_error>

namespace {

// The files a run writes: the poses, and the recording.
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

// Where the loader takes a library named `name` from: a bare name beside the program
// (completed as this platform names libraries when it has no extension), any other
// as named.
std::string libraryFile(const std::string& name) {
    if (name.find_first_of(platform::folderSeparators()) != std::string::npos) {
        return name;
    }
    return platform::executableFolder() +
           (name.find('.') == std::string::npos ? platform::libraryFileName(name) : name);
}

// The files a run reads: the configuration, the replay, and every file the process
// has loaded or will load, which a write would empty under its mapping: trackhost
// itself, the plug-in, the sensor library it binds to, the recording sensor library
// (trackhost's own, loaded with --record) and the calibration libraries.
std::vector<NamedFile> readFiles(const RunSettings& settings, const std::string& pluginPath,
                                 const std::vector<DeviceSection>& sections) {
    std::vector<NamedFile> files{{"the configuration", settings.configFile, {}}};
    if (!settings.sensors.replayFile.empty()) {
        files.push_back({"--replay", settings.sensors.replayFile, {}});
    }
    files.push_back({"trackhost itself", platform::executablePath(), {}});
    files.push_back({"the plug-in", libraryFile(pluginPath), {}});
    files.push_back({"the sensor library", sensorLibraryPath(pluginPath), {}});
    files.push_back({"the recording sensor library", recordingLibraryPath(), {}});
    const std::vector<NamedFile> libraries = calibrationLibraries(sections);
    files.insert(files.end(), libraries.begin(), libraries.end());
    return files;
}

} // namespace

bool readSections(const std::string& fileName, std::vector<DeviceSection>& sections,
                  std::ostream& err) {
    FileError error;
    if (!readConfigFile(fileName, sections, error)) {
        err << error << std::endl;
        return false;
    }
    return true;
}

RunPreparation::RunPreparation(const RunSettings& settings, std::ostream& err)
    : settings(settings), err(err), sensors(settings.sensors, settings.configFile, err) {}

int RunPreparation::check(const PoseOutput& output, const std::vector<DeviceSection>& sections) {
    const std::vector<NamedFile> written = writtenFiles(output, settings);
    const std::string clash =
        written.empty() ? std::string()
                        : findFileClash(written, readFiles(settings, pluginPath(), sections));
    if (!clash.empty()) {
        hostMessage(err) << clash << std::endl;
        return exitUsage;
    }
    // A file named to be written that must not or cannot be is a usage error like a
    // clash, told before the device block rather than after init.
    for (const NamedFile& file : written) {
        const std::string problem =
            file.path.empty() ? std::string() : writeTargetProblem(file.role, file.path);
        if (!problem.empty()) {
            hostMessage(err) << problem << std::endl;
            return exitUsage;
        }
        // The file is written new beside its target: the folder must take new files.
        int error = 0;
        if (!file.path.empty() &&
            (!platform::writableFile(file.path, error) || !StagedFile::canOpen(file.path, error))) {
            hostMessage(err) << "cannot write " << file.path << " ("
                             << std::generic_category().message(error) << ")" << std::endl;
            return exitUsage;
        }
    }
    if (!checkDropouts(settings.sensors.simDropouts, sections, settings.configFile,
                       cycleLimit(settings.pace), settings.pace.rate, err)) {
        return exitUsage;
    }
    // Check the configuration as --check does: its problems stop the run before any
    // sensor wakes or any file is written; its warnings are told once.
    return checkBeforeRun(sections, settings.configFile, err) ? exitSuccess : exitConfiguration;
}

int RunPreparation::prepare(const std::vector<DeviceSection>& sections) {
    if (const int code = loadPlugin(sections)) {
        return code;
    }
    // Drop-outs are scripted through the simulator's control calls, so only with it.
    schedule = std::make_unique<DropoutSchedule>(settings.sensors.simDropouts, SimulatorControl(),
                                                 sections);
    if (!schedule->ready()) {
        hostMessage(err) << "--sim-dropout needs the simulated sensor library, and the loaded "
                         << platform::libraryFileName("3dbird") << " is not the simulator"
                         << std::endl;
        return exitUsage;
    }
    return steerSensors();
}

int RunPreparation::keepFiles(PoseOutput& output) {
    if (!output.commit()) {
        hostMessage(err) << output.problem() << std::endl;
        return exitOutput;
    }
    return sensors.keepRecording() ? exitSuccess : exitOutput;
}

std::string RunPreparation::pluginPath() const {
    return settings.pluginPath.empty() ? PluginLibrary::defaultPath() : settings.pluginPath;
}

int RunPreparation::loadPlugin(const std::vector<DeviceSection>& sections) {
    const std::string path = pluginPath();
    if (const int code = sensors.prepare(path, sections)) {
        return code;
    }
    loaded = std::make_unique<PluginLibrary>(path);
    if (!loaded->loaded()) {
        hostMessage(err) << loaded->problem() << std::endl;
        return exitDevice;
    }
    return exitSuccess;
}

int RunPreparation::steerSensors() {
    if (const int code = sensors.steer()) {
        return code;
    }
    if (const int code = steerSimPorts(settings.sensors, err)) {
        return code;
    }
    if (const int code = steerSimPose(settings.sensors, err)) {
        return code;
    }
    if (!sensors.tellReplay() && SimulatorControl().present()) {
        hostMessage(err) << "the sensor library " << platform::libraryFileName("3dbird")
                         << " is the simulator: every pose is simulated, none is measured"
                         << std::endl;
    }
    return exitSuccess;
}
