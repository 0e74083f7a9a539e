// A run's checks, plug-in and sensors, before any device exists.
#include "host/run/RunPreparation.h"

#include "host/check/ConfigCheck.h"
#include "host/check/WriteTarget.h"
#include "host/files/StagedFile.h"
#include "host/report/ExitCode.h"
#include "host/report/HostMessage.h"
#include "host/report/ShownText.h"
#include "host/run/PacedCycles.h"
#include "host/run/RunFiles.h"
#include "host/sensors/DropoutCheck.h"
#include "host/sensors/SimPoseControl.h"
#include "host/sensors/SimulatorControl.h"
#include "platform/platform.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <iomanip>
#include <memory>
#include <ostream>
#include <system_error>

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
    : settings(settings), err(err), sensors(settings.sensors, settings.configFile, err),
      pacing(settings.pace) {}

// A replay played one reading per call runs at the rate it was recorded at unless
// --rate says otherwise. At another rate the records and the devices' reconnection
// keep the recorded times (the simulator tells the plug-in each reading's), but
// trackhost's own figures go by its cycles: a slower rate is warned of, so that
// longer gaps and silences than the live run's are no surprise. A faster one is
// how a recording is run through quickly, and stays quiet.
void RunPreparation::paceReplay() {
    const double recorded = recordedRate(sensors.replayed());
    if (settings.sensors.replayFile.empty() || recorded <= 0.0) {
        return;
    }
    if (!settings.pace.rateGiven) {
        pacing.rate = std::min(recorded, 10000.0);
        return;
    }
    const double slower = recorded / settings.pace.rate;
    if (settings.sensors.replayTimed || slower < 1.01) {
        return;
    }
    hostMessage(err) << std::fixed << std::setprecision(1) << "warning: --rate "
                     << settings.pace.rate << " replays " << shownText(settings.sensors.replayFile)
                     << " " << slower << " times slower than it was recorded (" << recorded
                     << " Hz): the records and the devices' reconnection keep the recorded "
                        "times, but trackhost's own gaps and silences stretch "
                     << slower << " times; without --rate the replay runs at the recorded rate"
                     << std::endl;
}

int RunPreparation::check(const PoseOutput& output, const std::vector<DeviceSection>& sections) {
    const std::vector<NamedFile> written = writtenFiles(output, settings);
    const std::string clash =
        written.empty() ? std::string()
                        : findFileClash(written, readFiles(settings, pluginPath(), sections));
    if (!clash.empty()) {
        hostMessage(err) << shownText(clash) << std::endl;
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
            hostMessage(err) << "cannot write " << shownText(file.path) << " ("
                             << std::generic_category().message(error) << ")" << std::endl;
            return exitUsage;
        }
    }
    if (const int code = sensors.readReplay()) {
        return code;
    }
    paceReplay();
    if (!checkDropouts(settings.sensors.simDropouts, sections, settings.configFile,
                       cycleLimit(pacing), pacing.rate, err)) {
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
    schedule = std::make_unique<DropoutSchedule>(settings.sensors.simDropouts, sections);
    if (const int code = schedule->ready(err)) {
        return code;
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
    // The sensors are prepared before the plug-in loads, so that it binds to the
    // recording library; a plug-in that is not there is told first, with the reason.
    if (const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file{
            platform::openFile(libraryFile(path), "rb"), std::fclose};
        file == nullptr) {
        hostMessage(err) << "cannot load the plug-in " << path << " ("
                         << std::generic_category().message(errno) << ")" << std::endl;
        return exitDevice;
    }
    if (const int code = sensors.prepare(path, sections)) {
        return code;
    }
    loaded = std::make_unique<PluginLibrary>(path);
    if (!loaded->loaded()) {
        hostMessage(err) << shownText(loaded->problem()) << std::endl;
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
