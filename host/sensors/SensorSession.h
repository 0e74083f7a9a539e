// Where a run's sensor readings come from and go: --record through the recording
// sensor library loaded ahead of the plug-in, --replay and --sim-noise through the
// simulator's control calls.
#pragma once

#include <chrono>
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "host/files/StagedFile.h"
#include "host/input/ConfigFile.h"
#include "host/recording/RecordingLibrary.h"
#include "host/recording/RecordingReader.h"
#include "host/report/ExitCode.h"
#include "host/sensors/SensorSettings.h"
#include "platform/platform.h"

// The recording sensor library: in the folder "record" beside trackhost.
std::string recordingLibraryPath();
// The sensor library the plug-in at `pluginPath` binds to, where its loader looks
// for it.
std::string sensorLibraryPath(const std::string& pluginPath);

class SensorSession {
public:
    // `configFile` names the configuration in warnings.
    SensorSession(const SensorSettings& settings, std::string configFile, std::ostream& err);
    ~SensorSession();

    SensorSession(const SensorSession&) = delete;
    SensorSession& operator=(const SensorSession&) = delete;

    // Reads the recording to replay, once. Answers exitSuccess or the exit code,
    // having said why.
    int readReplay();
    // Before the plug-in is loaded: reads the recording to replay (readReplay), which
    // must hold readings for the port of every section, and starts the recording.
    // Answers exitSuccess or the exit code, having said why.
    int prepare(const std::string& pluginPath, const std::vector<DeviceSection>& sections);
    // Once the plug-in is loaded: noise and replay for the simulator.
    int steer();
    // Says what is replayed ("replaying FILE, recorded at START"); false when
    // nothing is.
    bool tellReplay();
    // Once the devices are initialised: warns of recorded ports no device uses.
    void checkPorts();
    // The recording --replay plays (empty without one).
    const Recording& replayed() const { return recording; }
    // --replay plays one recorded reading per reading call, not at the recorded times.
    bool replaysPerCall() const { return !settings.replayFile.empty() && !settings.replayTimed; }
    // While recording: the time written with the last reading of a device index, in
    // milliseconds since the recording started; false when none was written.
    bool recordedTime(std::int32_t deviceIndex, std::int64_t& milliseconds) const;
    // The run has started: the recording takes its file's name. False when it cannot,
    // having said why; the old file stays then.
    bool keepRecording();
    // Before each receive cycle, `sinceFirst` after the first one on the run's
    // schedule: the simulator's clock stands at that moment, counted from where it
    // stood at the first cycle, so that the simulated readings and the plug-in's
    // timing of an outage keep to the schedule trackhost judges the devices on,
    // however late a cycle runs. Nothing to do with a vendor's library.
    void paceSimulator(std::chrono::steady_clock::duration sinceFirst);
    // After the last cycle: the simulator's clock runs on from where it stands.
    void stopPacingSimulator();
    // After each receive cycle: false when the recording can no longer be written,
    // or when the recording replayed has run out (said once).
    bool cycleDone();
    // The recording replayed has run out: the reason cycleDone() ended the run.
    bool replayRanOut() const { return ranOut; }
    // After the devices are stopped: closes the recording; answers `code`, or
    // exitOutput when the recording could not be written.
    int finish(int code);

private:
    // The recording library's calls that answer 1 for done; `error` says why not.
    using StatusFn = decltype(birdrecord_flush)*;
    using TextFn = decltype(birdrecord_error)*;
    using TimeFn = decltype(birdrecord_lastTime)*;

    bool recordingFailed(StatusFn call);

    const SensorSettings& settings;
    std::string configFile;
    std::ostream& err;
    Recording recording;
    // The recording's new file, which the library writes until the run has started.
    std::unique_ptr<StagedFile> recordingFile;
    platform::LibraryHandle recorder = nullptr;
    // Looked up once the library is loaded: flush runs after every cycle.
    StatusFn flush = nullptr;
    StatusFn finishRecording = nullptr;
    TextFn error = nullptr;
    TimeFn lastTime = nullptr;
    // The simulator's answer to whether the replayed recording has run out (typed as
    // birdsim_replayFinished, which answers as the recording library's calls do).
    StatusFn replayFinished = nullptr;
    bool replayRead = false;
    // The simulator's clock, set before each cycle, and where it stood at the first.
    void (*setSimulatorClock)(std::int64_t) = nullptr;
    std::int64_t simulatorClockAtFirst = -1;
    bool recordingBroken = false;
    bool finished = false;
    bool ranOut = false;
};
