// trackhost --align: the device, the receive cycle and the steps of the alignment.
#include "host/align/AlignRun.h"

#include "device/CBase.h"
#include "host/ExitCode.h"
#include "host/HostMessage.h"
#include "host/HostRun.h"
#include "host/HostStorage.h"
#include "host/PluginLibrary.h"
#include "host/align/AlignLines.h"
#include "host/align/AlignProcedure.h"
#include "host/input/ConfigFile.h"
#include "host/output/RecordFormat.h"
#include "host/sensors/SensorSession.h"
#include "host/sensors/SimPoseControl.h"
#include "host/sensors/SimulatorControl.h"
#include "platform/platform.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <iomanip>
#include <memory>
#include <ostream>
#include <thread>
#include <vector>

namespace {

constexpr double defaultSeconds = 60.0;
// A sensor that has delivered nothing after this long is given up.
constexpr double silenceSeconds = 2.0;
// Axes further than this from perpendicular mean the poses were not the ones asked for.
constexpr double residualWarning = 5.0;

const char* const prompts[3] = {
    "hold the tracked object level, facing the front wall (-Z), and keep it still",
    "turn it left about the vertical by 45 to 120 degrees and keep it still",
    "bring it back to the front, tilt it nose up by 30 to 80 degrees and keep it still",
};
const char* const poseNames[3] = {"front", "left", "up"};

// The section's lines without the rotation lines, which the alignment replaces;
// the numbers of the lines left out go to `dropped`.
std::unique_ptr<HostConfig> withoutRotations(const DeviceSection& section,
                                             std::vector<std::uint32_t>& dropped) {
    auto config = std::make_unique<HostConfig>(section.name);
    const CConfigH& record = *section.config->record();
    for (std::uint32_t i = 0; i < record.lineCount; ++i) {
        const ConfigLine& line = record.lines[i];
        bool rotation = false;
        for (const char* keyword : {"transmitterrotation", "transmitterrotationmatrix",
                                    "sensorrotation", "sensorrotationmatrix"}) {
            rotation = rotation || compareNoCase(line.optionName, keyword) == 0;
        }
        if (rotation) {
            dropped.push_back(line.lineNumber);
            continue;
        }
        config->add(line.optionName, std::vector<std::string>(line.args, line.args + line.argCount),
                    line.lineNumber);
    }
    return config;
}

// The section --align names, or the only one; null once the problem is told.
const DeviceSection* pickSection(const std::vector<DeviceSection>& sections,
                                 const HostOptions& options, std::ostream& err) {
    if (options.alignSection.empty()) {
        if (sections.size() == 1) {
            return &sections.front();
        }
        hostMessage(err) << "" << options.configFile << " has " << sections.size()
                         << " sections; name the one to align: --align SECTION" << std::endl;
        return nullptr;
    }
    for (const DeviceSection& section : sections) {
        if (section.name == options.alignSection) {
            return &section;
        }
    }
    hostMessage(err) << "" << options.configFile << " has no section [" << options.alignSection
                     << "]" << std::endl;
    return nullptr;
}

// The plug-in's device of the section; stopped and deleted whatever way the run ends.
class AlignDevice {
public:
    AlignDevice(const PluginLibrary& plugin, HostConfig& config, const CLoggerH& logger)
        : plugin(plugin), device(plugin.createDev(config.record(), &logger)) {}
    ~AlignDevice() { finish(); }

    AlignDevice(const AlignDevice&) = delete;
    AlignDevice& operator=(const AlignDevice&) = delete;

    CBase& operator*() { return *device; }
    CBase* operator->() { return device; }
    void initialised() { stopDue = true; }
    // Stops and deletes the device; false when its stop failed.
    bool finish() {
        const bool stopped = !stopDue || device->stop();
        stopDue = false;
        if (device != nullptr) {
            plugin.deleteDev(device);
            device = nullptr;
        }
        return stopped;
    }

private:
    const PluginLibrary& plugin;
    CBase* device;
    bool stopDue = false;
};

// The time of the reading that a receive cycle takes, in seconds. Live, and with a
// recording played at its recorded times, the time since the cycles began. A
// recording played one reading per call keeps its own times, and past its end its
// last reading stays at the recording's own pace, so that the steps come out alike
// at any rate.
class ReadingClock {
public:
    ReadingClock(const HostOptions& options, const Recording& recording) {
        if (options.replayFile.empty() || options.replayTimed) {
            return;
        }
        std::uint16_t port = 0;
        const SimulatorControl simulator;
        const auto wakeUpArgs = simulator.function<std::int32_t (*)(
            std::int32_t, std::uint16_t*, std::int32_t*, std::int32_t*)>("birdsim_wakeUpArgs");
        if (wakeUpArgs == nullptr || !wakeUpArgs(0, &port, nullptr, nullptr)) {
            return;
        }
        for (const RecordedReading& reading : recording.readings) {
            if (reading.port == port) {
                recorded.push_back(reading.milliseconds / 1000.0);
            }
        }
        if (recorded.size() >= 2) {
            pace = (recorded.back() - recorded.front()) / static_cast<double>(recorded.size() - 1);
        }
    }

    // The reading of cycle `cycle` (from 0), taken `elapsed` seconds after the first.
    double at(std::int64_t cycle, double elapsed) const {
        if (recorded.empty()) {
            return elapsed;
        }
        const auto count = static_cast<std::int64_t>(recorded.size());
        if (cycle < count) {
            return recorded[static_cast<std::size_t>(cycle)];
        }
        return recorded.back() + static_cast<double>(cycle - count + 1) * pace;
    }

private:
    std::vector<double> recorded;
    double pace = 0.1; // seconds between two readings past the end
};

void putAngles(std::ostream& err, const double angles[3]) {
    err << std::fixed << std::setprecision(3);
    for (int i = 0; i < 3; ++i) {
        err << std::setw(9) << (std::fabs(angles[i]) < 5e-4 ? 0.0 : angles[i]);
    }
}

// Why the poses gave no rotations, with what to do instead.
void tellProblem(const AlignFit& fit, std::ostream& err) {
    hostMessage(err) << std::fixed << std::setprecision(1) << "--align: ";
    switch (fit.problem) {
    case AlignProblem::smallTurn:
        err << "the turn was " << fit.turn << " degrees, less than "
            << static_cast<int>(alignMinimumTurn) << "; turn the object left by 45 to 120 degrees";
        break;
    case AlignProblem::tiltAboutTurnAxis:
        err << "the tilt turned about an axis " << fit.axisSeparation
            << " degrees from the turn's: the object was turned, not tilted; tilt it nose up "
               "by 30 to 80 degrees";
        break;
    case AlignProblem::smallTilt:
        err << "the tilt was " << fit.tilt << " degrees, less than "
            << static_cast<int>(alignMinimumTilt)
            << "; tilt the object nose up by 30 to 80 degrees";
        break;
    case AlignProblem::none:
        break;
    }
    err << std::endl;
}

// The captured poses through the plug-in's reader and transforms with the lines.
void tellCheck(const AlignProcedure& procedure, const std::vector<std::string>& lines,
               std::ostream& err) {
    const LineTransforms transforms(lines);
    const AlignFit& fit = procedure.fit();
    const double expected[3][3] = {{0, 0, 0}, {fit.turn, 0, 0}, {0, fit.tilt, 0}};
    hostMessage(err) << "check: the three poses through these lines (angle1 angle2 angle3)"
                     << std::endl;
    for (int step = 0; step < 3; ++step) {
        double angles[3];
        poseAngles(procedure.pose(static_cast<AlignProcedure::Step>(step)), angles);
        TrackerPose pose{};
        pose.angle1 = static_cast<float>(angles[0]);
        pose.angle2 = static_cast<float>(angles[1]);
        pose.angle3 = static_cast<float>(angles[2]);
        pose = transforms.apply(pose);
        const double aligned[3] = {pose.angle1, pose.angle2, pose.angle3};
        hostMessage(err) << "  " << std::left << std::setw(5) << poseNames[step] << std::right;
        putAngles(err, aligned);
        err << "   expected";
        putAngles(err, expected[step]);
        err << std::endl;
    }
    hostMessage(err) << std::setprecision(3) << "residual: the turn and tilt axes were "
                     << fit.residual << " degrees from perpendicular" << std::endl;
    if (fit.residual > residualWarning) {
        hostMessage(err)
            << "warning: the axes should be perpendicular: the object was not "
               "turned and tilted as asked, and the lines may be off; run --align again"
            << std::endl;
    }
}

// The dropped rotation lines, named: the sensor is read as it is mounted.
void tellDropped(const HostOptions& options, const DeviceSection& section,
                 const std::vector<std::uint32_t>& dropped, std::ostream& err) {
    if (dropped.empty()) {
        return;
    }
    hostMessage(err) << "--align reads [" << section.name << "] without its rotation line";
    err << (dropped.size() > 1 ? "s" : "");
    for (std::size_t i = 0; i < dropped.size(); ++i) {
        err << (i == 0 ? " " : ", ") << options.configFile << ":" << dropped[i];
    }
    err << std::endl;
}

// init, configure and start of the one device; exitSuccess or the exit code, told.
int startDevice(AlignDevice& device, const InitInfo& info, const HostOptions& options,
                const DeviceSection& section, std::ostream& err) {
    const auto failed = [&](const char* operation) {
        hostMessage(err) << "device [" << section.name << "] at " << options.configFile << ":"
                         << section.line << ": " << operation << " failed" << std::endl;
        return exitDevice;
    };
    if (device->init(&info) != 1) {
        return failed("init");
    }
    device.initialised();
    const std::int32_t configured = device->configure();
    if (configured < 0) {
        return failed("configure");
    }
    if (configured == 0) {
        hostMessage(err) << "device [" << section.name
                         << "]: the orientation reset failed; going on without it" << std::endl;
    }
    return device->start() ? exitSuccess : failed("start");
}

// stop, told when it fails.
bool stopDevice(AlignDevice& device, const HostOptions& options, const DeviceSection& section,
                std::ostream& err) {
    const bool stopped = device.finish();
    if (!stopped) {
        hostMessage(err) << "device [" << section.name << "] at " << options.configFile << ":"
                         << section.line << ": stop failed" << std::endl;
    }
    return stopped;
}

// How the cycles of the procedure ended.
struct Capture {
    bool delivered = false;
    bool recordingFailed = false;
};

// One cycle's pose into the procedure, with the prompt for the next step once a
// pose is captured.
void addPose(AlignProcedure& procedure, double time, const TrackerPose& pose,
             const std::string& name, std::ostream& err) {
    const auto step = static_cast<int>(procedure.step());
    if (procedure.add(time, poseRotation(pose.angle1, pose.angle2, pose.angle3)) !=
        AlignProcedure::Event::captured) {
        return;
    }
    double angles[3];
    poseAngles(procedure.pose(static_cast<AlignProcedure::Step>(step)), angles);
    hostMessage(err) << "the " << poseNames[step] << " pose, held still:";
    putAngles(err, angles);
    err << std::endl;
    hostMessage(err) << "align [" << name << "] step " << step + 2 << " of 3: " << prompts[step + 1]
                     << std::endl;
}

// The receive cycles until the three poses are held, the time is up, the sensor
// stays silent, or the run is stopped.
Capture capturePoses(AlignDevice& device, HostStorage& storage, AlignProcedure& procedure,
                     const HostOptions& options, SensorSession& session, const std::string& name,
                     std::ostream& err) {
    using Clock = std::chrono::steady_clock;
    const ReadingClock clock(options, session.replayed());
    const double limit = options.seconds >= 0.0 ? options.seconds : defaultSeconds;
    const std::chrono::duration<double> period(1.0 / options.rate);
    Capture capture;
    TrackerPose last{};
    hostMessage(err) << "align [" << name << "] step 1 of 3: " << prompts[0] << std::endl;
    const Clock::time_point begin = Clock::now();
    for (std::int64_t cycle = 0; procedure.step() != AlignProcedure::Step::done; ++cycle) {
        std::this_thread::sleep_until(begin + std::chrono::duration_cast<Clock::duration>(
                                                  period * static_cast<double>(cycle)));
        const double time =
            clock.at(cycle, std::chrono::duration<double>(Clock::now() - begin).count());
        if (hostStopRequested() || time > limit ||
            (!capture.delivered && time >= std::min(limit, silenceSeconds))) {
            break;
        }
        std::uint8_t mask[4] = {};
        const bool received = device->recvData(mask, 0) == 1;
        TraData record;
        // The device's one tracker has ID 1; an unchanged pose is delivered once.
        if (received && (mask[3] & 1u) != 0 && storage.readSlot(1, record)) {
            last = decodeRecord(name, record);
            capture.delivered = true;
        }
        if (!session.cycleDone()) {
            capture.recordingFailed = !session.replayRanOut();
            break;
        }
        if (received && capture.delivered) {
            addPose(procedure, time, last, name, err);
        }
    }
    return capture;
}

// The verdict: the two lines on `output` and the check, or why there are none.
int alignVerdict(const Capture& capture, const AlignProcedure& procedure, const std::string& name,
                 RecordOutput& output, std::ostream& err) {
    const AlignFit& fit = procedure.fit();
    if (capture.recordingFailed) {
        return exitOutput;
    }
    if (!capture.delivered) {
        hostMessage(err) << "device [" << name
                         << "]: delivered no record; --align needs its sensor's readings"
                         << std::endl;
        return exitNoRecord;
    }
    if (procedure.step() != AlignProcedure::Step::done) {
        const auto step = static_cast<int>(procedure.step());
        hostMessage(err) << "--align: "
                         << (hostStopRequested() ? "interrupted" : "no still pose came in time")
                         << " at step " << step + 1 << " (" << poseNames[step] << ")"
                         << (hostStopRequested()
                                 ? ""
                                 : "; hold the object still for a second at each step, or "
                                   "give it more --seconds")
                         << std::endl;
        return exitAlignment;
    }
    if (fit.problem != AlignProblem::none) {
        tellProblem(fit, err);
        return exitAlignment;
    }
    const std::vector<std::string> lines = alignLines(fit);
    for (const std::string& line : lines) {
        output.stream() << line << '\n';
    }
    int code = exitSuccess;
    if (!output.close() && !output.closedPipe()) {
        hostMessage(err) << output.problem() << std::endl;
        code = exitOutput;
    }
    tellCheck(procedure, lines, err);
    return code;
}

} // namespace

int runAlign(const HostOptions& options, RecordOutput& output, std::ostream& err) {
    std::vector<DeviceSection> sections;
    FileError fileError;
    if (!readConfigFile(options.configFile, sections, fileError)) {
        err << fileError << std::endl;
        return exitConfiguration;
    }
    if (const int code = checkRun(options, output, sections, err)) {
        return code;
    }
    const DeviceSection* picked = pickSection(sections, options, err);
    if (picked == nullptr) {
        return exitUsage;
    }
    // The section aligned is the only one the run wakes, and a replay needs readings
    // for its port alone.
    std::vector<DeviceSection> aligned;
    aligned.push_back(std::move(sections[static_cast<std::size_t>(picked - sections.data())]));
    const DeviceSection& section = aligned.front();
    std::vector<std::uint32_t> dropped;
    const std::unique_ptr<HostConfig> config = withoutRotations(section, dropped);

    SensorSession session(options, err);
    int failure = exitSuccess;
    const std::unique_ptr<PluginLibrary> plugin =
        loadPlugin(options, aligned, session, err, failure);
    if (!plugin) {
        return failure;
    }
    if (const int code = steerSensors(options, session, err)) {
        return code;
    }
    tellDropped(options, section, dropped, err);

    const CLoggerH storageLogger = makeLogger(options, "trackhost");
    HostStorage storage(&storageLogger);
    std::int32_t ready = 0;
    InitInfo info{};
    info.dataStorage = storage.storage();
    info.readyFlag = &ready;
    const CLoggerH logger = makeLogger(options, section.name);
    AlignDevice device(*plugin, *config, logger);
    if (const int code = startDevice(device, info, options, section, err)) {
        return code;
    }
    AlignProcedure procedure;
    ready = 1;
    const Capture capture =
        capturePoses(device, storage, procedure, options, session, section.name, err);
    ready = 0;
    const bool stopped = stopDevice(device, options, section, err);
    const int code = alignVerdict(capture, procedure, section.name, output, err);
    return session.finish(stopped ? code : exitDevice);
}
