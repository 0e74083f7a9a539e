// Recording, replay and simulated noise around a run.
#include "host/sensors/SensorSession.h"
#include "host/report/HostMessage.h"
#include "host/report/ShownText.h"

#include "bird/BirdLibrary.h"
#include "host/sensors/SimulatorControl.h"
#include "sim/birdsim.h"

#include "host/input/SectionSettings.h"

#include <algorithm>
#include <cstdint>
#include <ostream>
#include <utility>

namespace {

// A call of the recording sensor library, typed as declared (decltype(birdrecord_flush)).
template <typename Fn> Fn* symbol(platform::LibraryHandle library, const char* name) {
    return reinterpret_cast<Fn*>(platform::librarySymbol(library, name));
}

// The serial port the device of `section` will use, read as init reads it; 0 when
// a device option is bad, so that init fails and says why.
std::uint16_t sectionPort(const DeviceSection& section) {
    DeviceSettings settings;
    return sectionSettings(section, settings) ? static_cast<std::uint16_t>(settings.serialPort) : 0;
}

// The first section's port that the recording has no reading for; 0 when none.
std::uint16_t portWithoutReadings(const Recording& recording,
                                  const std::vector<DeviceSection>& sections) {
    for (const DeviceSection& section : sections) {
        const std::uint16_t port = sectionPort(section);
        if (port != 0 &&
            std::none_of(recording.readings.begin(), recording.readings.end(),
                         [port](const RecordedReading& read) { return read.port == port; })) {
            return port;
        }
    }
    return 0;
}

} // namespace

std::string recordingLibraryPath() {
    const std::string folder = platform::executableFolder();
    const std::string separator = folder.empty() ? "/" : folder.substr(folder.size() - 1);
    return folder + "record" + separator + platform::libraryFileName("3dbird");
}

std::string sensorLibraryPath(const std::string& pluginPath) {
    return platform::dependencyFolder(pluginPath) + platform::libraryFileName("3dbird");
}

SensorSession::SensorSession(const SensorSettings& settings, std::string configFile,
                             std::ostream& err)
    : settings(settings), configFile(std::move(configFile)), err(err) {}

SensorSession::~SensorSession() {
    // A run that ended early still leaves a complete file; the plug-in holds its
    // own reference to the library while it is loaded.
    if (recorder != nullptr) {
        if (!finished && finishRecording != nullptr) {
            finishRecording();
        }
        platform::freeLibrary(recorder);
    }
}

int SensorSession::readReplay() {
    if (settings.replayFile.empty() || replayRead) {
        return exitSuccess;
    }
    FileError error;
    if (!readRecording(settings.replayFile, recording, error)) {
        err << error << std::endl;
        return exitConfiguration;
    }
    replayRead = true;
    return exitSuccess;
}

int SensorSession::prepare(const std::string& pluginPath,
                           const std::vector<DeviceSection>& sections) {
    if (const int code = readReplay()) {
        return code;
    }
    // A device without readings would get the simulator's own motion instead.
    const std::uint16_t port =
        settings.replayFile.empty() ? 0 : portWithoutReadings(recording, sections);
    if (port != 0) {
        err << FileError{settings.replayFile, 0, "no readings for port " + std::to_string(port)}
            << std::endl;
        return exitConfiguration;
    }
    if (settings.recordFile.empty()) {
        return exitSuccess;
    }
    // The recording library lies in the folder "record" beside trackhost; the real
    // sensor library where the plug-in's loader would look for it.
    const std::string path = recordingLibraryPath();
    recorder = platform::loadLibraryUtf8(path);
    const auto start =
        recorder ? symbol<decltype(birdrecord_start)>(recorder, "birdrecord_start") : nullptr;
    if (start != nullptr) {
        flush = symbol<decltype(birdrecord_flush)>(recorder, "birdrecord_flush");
        finishRecording = symbol<decltype(birdrecord_finish)>(recorder, "birdrecord_finish");
        error = symbol<decltype(birdrecord_error)>(recorder, "birdrecord_error");
        lastTime = symbol<decltype(birdrecord_lastTime)>(recorder, "birdrecord_lastTime");
    }
    if (start == nullptr || flush == nullptr || finishRecording == nullptr || error == nullptr ||
        lastTime == nullptr) {
        hostMessage(err) << "cannot load the recording sensor library " << shownText(path)
                         << std::endl;
        return exitDevice;
    }
    // The library writes a new file beside the recording's, which this process made
    // (so that its name is ours) and keeps or removes.
    recordingFile = std::make_unique<StagedFile>(settings.recordFile);
    std::string fileProblem;
    if (!recordingFile->open("wb", fileProblem) || !recordingFile->close(fileProblem)) {
        hostMessage(err) << fileProblem << std::endl;
        return exitUsage;
    }
    const std::string sensorLibrary = sensorLibraryPath(pluginPath);
    if (start(sensorLibrary.c_str(), recordingFile->path().c_str(), settings.recordFile.c_str()) !=
        1) {
        const std::string problem = error();
        hostMessage(err) << shownText(problem);
        if (problem.rfind("cannot load the sensor library", 0) == 0) {
            // The folder is the plug-in's on POSIX, the program's on Windows: name whose.
            err << ", where the plug-in " << shownText(pluginPath) << " looks for it";
        }
        err << std::endl;
        // A file the user names that cannot be written is a usage error.
        return problem.rfind("cannot write", 0) == 0 ? exitUsage : exitDevice;
    }
    return exitSuccess;
}

int SensorSession::steer() {
    const bool replay = !settings.replayFile.empty();
    if (!replay && settings.simNoise <= 0.0) {
        return exitSuccess;
    }
    const SimulatorControl simulator;
    if (const int code = simulator.require(replay ? "--replay" : "--sim-noise", err)) {
        return code;
    }
    if (settings.simNoise > 0.0) {
        simulator.function<decltype(birdsim_setNoise)>("birdsim_setNoise")(
            static_cast<float>(settings.simNoise));
    }
    if (replay) {
        simulator.function<decltype(birdsim_replayClear)>("birdsim_replayClear")();
        const auto add = simulator.function<decltype(birdsim_replayAdd)>("birdsim_replayAdd");
        for (const RecordedReading& read : recording.readings) {
            add(read.port, read.milliseconds, read.result, read.angles[0], read.angles[1],
                read.angles[2]);
        }
        simulator.function<decltype(birdsim_replayStart)>("birdsim_replayStart")(
            settings.replayTimed ? 1 : 0, settings.loop ? 1 : 0);
        replayFinished =
            simulator.function<decltype(birdsim_replayFinished)>("birdsim_replayFinished");
    }
    return exitSuccess;
}

bool SensorSession::tellReplay() {
    if (settings.replayFile.empty()) {
        return false;
    }
    hostMessage(err) << "replaying " << shownText(settings.replayFile) << ", recorded at "
                     << shownText(recording.start) << std::endl;
    return true;
}

void SensorSession::checkPorts() {
    if (settings.replayFile.empty()) {
        return;
    }
    const SimulatorControl simulator;
    if (!simulator.present()) {
        return;
    }
    const auto awake = simulator.function<decltype(birdsim_isAwake)>("birdsim_isAwake");
    const auto wakeUpArgs = simulator.function<decltype(birdsim_wakeUpArgs)>("birdsim_wakeUpArgs");
    std::vector<std::uint16_t> used;
    for (std::int32_t index = 0; index < bird::maxSensors; ++index) {
        std::uint16_t port = 0;
        if (awake(index) && wakeUpArgs(index, &port, nullptr, nullptr)) {
            used.push_back(port);
        }
    }
    for (std::uint16_t port : recording.ports) {
        if (std::find(used.begin(), used.end(), port) == used.end()) {
            hostMessage(err) << "warning: " << shownText(settings.replayFile) << " records port "
                             << port << ", which no device of " << shownText(configFile) << " uses"
                             << std::endl;
        }
    }
}

bool SensorSession::recordedTime(std::int32_t deviceIndex, std::int64_t& milliseconds) const {
    milliseconds = lastTime != nullptr ? lastTime(deviceIndex) : -1;
    return milliseconds >= 0;
}

bool SensorSession::keepRecording() {
    std::string problem;
    if (recordingFile == nullptr || recordingFile->commit(problem)) {
        return true;
    }
    hostMessage(err) << problem << std::endl;
    return false;
}

bool SensorSession::recordingFailed(StatusFn call) {
    if (call == nullptr) {
        return false; // no recording
    }
    const bool written = call() == 1;
    if (!written && !recordingBroken) {
        recordingBroken = true;
        hostMessage(err) << shownText(error()) << std::endl;
    }
    return !written;
}

void SensorSession::paceSimulator(std::chrono::steady_clock::duration sinceFirst) {
    if (simulatorClockAtFirst < 0) {
        const SimulatorControl simulator;
        const auto clock = simulator.function<decltype(birdsim_clock)>("birdsim_clock");
        setSimulatorClock = simulator.function<decltype(birdsim_setClock)>("birdsim_setClock");
        simulatorClockAtFirst = clock != nullptr ? clock() : 0;
    }
    if (setSimulatorClock != nullptr) {
        setSimulatorClock(
            simulatorClockAtFirst +
            std::chrono::duration_cast<std::chrono::milliseconds>(sinceFirst).count());
    }
}

void SensorSession::stopPacingSimulator() {
    if (setSimulatorClock != nullptr) {
        setSimulatorClock(-1);
    }
    setSimulatorClock = nullptr;
    simulatorClockAtFirst = -1;
}

bool SensorSession::cycleDone() {
    if (replayFinished != nullptr && replayFinished() == 1) {
        replayFinished = nullptr;
        ranOut = true;
        hostMessage(err) << "the recording " << shownText(settings.replayFile)
                         << " has run out; the run ends (--loop plays it again)" << std::endl;
        return false;
    }
    return !recordingBroken && !recordingFailed(flush);
}

int SensorSession::finish(int code) {
    finished = true;
    const bool failed = recordingFailed(finishRecording);
    return failed && code == exitSuccess ? exitOutput : code;
}
