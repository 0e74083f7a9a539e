// The steps of a run before any device exists, shared by a run and --align, in the
// order both need: the sections read; the files, the drop-outs and the configuration
// checked before any sensor wakes; then the replay read and the recording started
// (the recording library loads ahead of the plug-in), the plug-in loaded, the
// drop-outs scripted and the simulator steered.
#pragma once

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "host/input/ConfigFile.h"
#include "host/output/PoseOutput.h"
#include "host/plugin/PluginLibrary.h"
#include "host/run/RunSettings.h"
#include "host/sensors/DropoutSchedule.h"
#include "host/sensors/SensorSession.h"

// The configuration file's device sections; false once the problem is told.
bool readSections(const std::string& fileName, std::vector<DeviceSection>& sections,
                  std::ostream& err);

class RunPreparation {
public:
    RunPreparation(const RunSettings& settings, std::ostream& err);

    RunPreparation(const RunPreparation&) = delete;
    RunPreparation& operator=(const RunPreparation&) = delete;

    // Before any sensor wakes: no file written is one read or loaded (the poses'
    // `output`, the recording; the configuration, the replay, trackhost itself, the
    // plug-in, the sensor libraries, the calibration libraries) and each can be
    // written, the replay is read and sets the pace, the drop-outs fit the
    // configuration, and the configuration passes the
    // checker of --check, its warnings told once. Answers exitSuccess or the exit
    // code, told.
    int check(const PoseOutput& output, const std::vector<DeviceSection>& sections);
    // Before any device exists: the session, the plug-in of the settings (or the one
    // built beside trackhost), the drop-outs and the simulator, and a note of what
    // the sensors' poses are (replayed or simulated). Answers exitSuccess or the exit
    // code, told.
    int prepare(const std::vector<DeviceSection>& sections);

    // Once every device has started: the run is on, and the files it writes take
    // their names (the poses' `output`, the recording), the old files gone. Before
    // that, a run that fails leaves them as they were. Answers exitSuccess or
    // exitOutput, told.
    int keepFiles(PoseOutput& output);

    // Once prepared.
    const PluginLibrary& plugin() const { return *loaded; }
    SensorSession& session() { return sensors; }
    // The receive cycle's pace once checked: a replay's rate is the recording's
    // unless --rate was given.
    const PaceSettings& pace() const { return pacing; }
    DropoutSchedule& dropouts() { return *schedule; }

private:
    // The plug-in of the settings, or the one built beside trackhost.
    std::string pluginPath() const;
    int loadPlugin(const std::vector<DeviceSection>& sections);
    int steerSensors();
    void paceReplay();

    const RunSettings& settings;
    std::ostream& err;
    // Destroyed in reverse: the drop-outs plugged back in, the plug-in unloaded,
    // then the recording finished.
    SensorSession sensors;
    std::unique_ptr<PluginLibrary> loaded;
    std::unique_ptr<DropoutSchedule> schedule;
    PaceSettings pacing;
};
