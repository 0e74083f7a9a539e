// trackhost --align: each cycle's pose into the procedure, and its verdict.
#include "host/AlignRun.h"

#include "host/align/AlignLines.h"
#include "host/align/AlignProcedure.h"
#include "host/align/AlignReport.h"
#include "host/align/AlignSection.h"
#include "host/align/AlignedConfig.h"
#include "host/report/ExitCode.h"
#include "host/report/HostMessage.h"
#include "host/report/ShownText.h"
#include "host/run/DeviceSet.h"
#include "host/run/HostRig.h"
#include "host/run/PacedCycles.h"
#include "host/run/RunPreparation.h"
#include "host/sensors/ReadingClock.h"
#include "host/sensors/SimulatorControl.h"

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

namespace {

constexpr double defaultSeconds = 60.0;
// A sensor that has delivered nothing after this long is given up.
constexpr double silenceSeconds = 2.0;

// How the cycles of the procedure ended.
struct Capture {
    bool delivered = false;
    bool recordingFailed = false;
    bool recordingEnded = false; // the replayed recording ran out
};

// One cycle's pose into the procedure, with the prompt for the next step once a
// pose is captured.
void addPose(AlignProcedure& procedure, double time, const TrackerPose& pose,
             const std::string& name, std::ostream& err) {
    const auto step = static_cast<int>(procedure.step());
    if (procedure.add(time, poseRotation(pose.angle1, pose.angle2, pose.angle3)) ==
        AlignProcedure::Event::captured) {
        tellCaptured(procedure, step, name, err);
    }
}

// The receive cycles until the three poses are held, the time is up, the sensor
// stays silent, the run is stopped, or the recording replayed runs out after its
// last reading was taken in.
Capture capturePoses(DeviceSet& device, HostRig& rig, AlignProcedure& procedure,
                     const PaceSettings& pace, SensorSession& session, std::ostream& err) {
    ReadingClock clock(session);
    const double limit = pace.seconds >= 0.0 ? pace.seconds : defaultSeconds;
    const std::string& name = device.name(0);
    Capture capture;
    TrackerPose last{};
    const auto keep = [&](const PoseRow& pose) {
        last = pose;
        capture.delivered = true;
        return true;
    };
    tellStep(name, 0, err);
    runPaced(pace.rate, -1, [&](std::int64_t cycle, double elapsed) {
        // An unchanged pose is delivered once: the last one delivered still holds.
        const bool received = device.receive(0, rig.storage, keep).succeeded;
        const double time = clock.at(cycle, elapsed);
        if (time > limit || (!capture.delivered && time >= std::min(limit, silenceSeconds))) {
            return false;
        }
        if (received && capture.delivered) {
            addPose(procedure, time, last, name, err);
        }
        if (procedure.step() == AlignProcedure::Step::done) {
            return false;
        }
        if (!session.cycleDone()) {
            capture.recordingEnded = session.replayRanOut();
            capture.recordingFailed = !capture.recordingEnded;
            return false;
        }
        return true;
    });
    return capture;
}

// The lines of the fit for `section`: the two rotations and, when they would move its
// fixed position's records from where its `current` rotation lines put them, the
// position line that keeps them there (so a second alignment keeps them too).
std::vector<std::string> fittedLines(const AlignFit& fit, const DeviceSection& section,
                                     const std::vector<std::string>& current,
                                     const std::string& configFile, std::ostream& err) {
    std::vector<std::string> lines = alignLines(fit);
    float position[3];
    std::uint32_t line = 0;
    float now[3];
    double kept[3];
    float turned[3];
    if (!sectionPosition(section, position, line)) {
        return lines;
    }
    placedPosition(current, position, now);
    if (keptPosition(lines, position, now, kept, turned)) {
        tellPositionKept(configFile, line, now, turned, err);
        lines.push_back(positionLine(kept));
    }
    return lines;
}

// The verdict: the lines on `output` and the check, or why there are none.
int alignVerdict(const Capture& capture, const AlignProcedure& procedure,
                 const DeviceSection& section, const std::vector<std::string>& current,
                 const HostOptions& options, PoseOutput& output, std::ostream& err) {
    const std::string& configFile = options.run.configFile;
    const std::string& name = section.name;
    const AlignFit& fit = procedure.fit();
    if (capture.recordingFailed) {
        return exitOutput;
    }
    if (!capture.delivered) {
        hostMessage(err) << "device [" << shownText(name)
                         << "]: delivered no record; --align needs its sensor's readings"
                         << std::endl;
        return exitNoRecord;
    }
    if (procedure.step() != AlignProcedure::Step::done) {
        const AlignEnding ending = hostStopRequested()      ? AlignEnding::interrupted
                                   : capture.recordingEnded ? AlignEnding::recordingEnded
                                                            : AlignEnding::outOfTime;
        tellUnfinished(procedure, ending, err);
        // The simulator's own motion turns all the time: no time is enough.
        const SensorSettings& sensors = options.run.sensors;
        if (ending == AlignEnding::outOfTime && sensors.replayFile.empty() &&
            sensors.simMotion == SimMotion::wave && SimulatorControl().present()) {
            hostMessage(err) << "the simulated sensor never holds still by itself; "
                                "--sim-motion align makes it hold the three poses"
                             << std::endl;
        }
        return exitAlignment;
    }
    if (fit.problem != AlignProblem::none) {
        tellProblem(fit, err);
        return exitAlignment;
    }
    const std::vector<std::string> lines = fittedLines(fit, section, current, configFile, err);
    int code = options.writeFile.empty() ? exitSuccess
                                         : writeAlignedConfig(configFile, section.name, lines, err);
    for (const std::string& line : lines) {
        output.stream() << line << '\n';
    }
    if (!output.close() && !output.closedPipe() && code == exitSuccess) {
        hostMessage(err) << shownText(output.problem()) << std::endl;
        code = exitOutput;
    }
    tellCheck(procedure, alignLines(fit), err);
    return code;
}

} // namespace

int runAlign(const HostOptions& options, PoseOutput& output, std::ostream& err) {
    const RunSettings& settings = options.run;
    std::vector<DeviceSection> sections;
    if (!readSections(settings.configFile, sections, err)) {
        return exitConfiguration;
    }
    RunPreparation preparation(settings, err);
    if (const int code = preparation.check(output, sections)) {
        return code;
    }
    if (!options.writeFile.empty() && !alignedConfigWritable(settings.configFile, err)) {
        return exitUsage;
    }
    const DeviceSection* picked =
        pickSection(sections, options.alignSection, settings.configFile, err);
    if (picked == nullptr) {
        return exitUsage;
    }
    // The section aligned is the only one the run wakes, and a replay needs readings
    // for its port alone; it is read without its rotation lines.
    std::vector<std::uint32_t> dropped;
    std::vector<std::string> current;
    std::vector<DeviceSection> aligned;
    aligned.push_back(withoutRotations(*picked, dropped, current));
    if (const int code = preparation.prepare(aligned)) {
        return code;
    }
    tellDropped(settings.configFile, aligned.front().name, dropped, err);

    HostRig rig(makeLogger(settings.log, "trackhost"));
    DeviceSet device(preparation.plugin(), settings.configFile, err);
    if (!device.init(aligned, settings.log, rig.initInfo()) || !device.start()) {
        return exitDevice;
    }
    if (const int code = preparation.keepFiles(output)) {
        return code;
    }
    AlignProcedure procedure;
    rig.ready = 1;
    const Capture capture =
        capturePoses(device, rig, procedure, preparation.pace(), preparation.session(), err);
    rig.ready = 0;
    const bool stopped = device.shutDown();
    const int code =
        alignVerdict(capture, procedure, aligned.front(), current, options, output, err);
    return preparation.session().finish(stopped ? code : exitDevice);
}
