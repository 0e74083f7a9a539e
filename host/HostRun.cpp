// trackhost's run: devices from the configuration file driven through the plug-in.
#include "host/HostRun.h"
#include "host/ExitCode.h"
#include "host/HostMessage.h"

#include "device/CBase.h"
#include "host/HostStorage.h"
#include "host/PluginLibrary.h"
#include "host/check/ConfigCheck.h"
#include "host/health/HealthMonitor.h"
#include "host/input/ConfigFile.h"
#include "host/output/FileClash.h"
#include "host/output/RecordFormat.h"
#include "host/sensors/DropoutCheck.h"
#include "host/sensors/DropoutSchedule.h"
#include "host/sensors/SensorSession.h"
#include "host/sensors/SimPoseControl.h"
#include "host/sensors/SimulatorControl.h"
#include "platform/platform.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <ostream>
#include <thread>
#include <vector>

CLoggerH makeLogger(const HostOptions& options, const std::string& name) {
    CLoggerH logger;
    logger.setName(name.c_str());
    logger.dateOn = options.date ? 1 : 0;
    logger.timeOn = options.time ? 1 : 0;
    logger.threadIdOn = options.threadId ? 1 : 0;
    logger.enabled = options.quiet ? 0 : 1;
    logger.debugLevel = options.debugLevel;
    logger.debugThreshold = options.debugThreshold;
    return logger;
}

namespace {

std::atomic<bool> stopFlag{false};

// The devices of one run. Whatever way the run ends, every device that came
// through init is stopped and every device is given back to deleteDev.
class Devices {
public:
    struct Device {
        const DeviceSection* section;
        CBase* device;
        bool initialised = false;
    };

    Devices(const PluginLibrary& plugin, const std::string& fileName, std::ostream& err)
        : plugin(plugin), fileName(fileName), err(err) {}
    ~Devices() { shutDown(); }

    Devices(const Devices&) = delete;
    Devices& operator=(const Devices&) = delete;

    Device& create(const DeviceSection& section, const CLoggerH& logger) {
        // The device copies the logger; the option record stays ours until the end.
        devices.push_back({&section, plugin.createDev(section.config->record(), &logger)});
        return devices.back();
    }

    std::vector<Device>& all() { return devices; }

    // The host's message for a failed operation; the plug-in has said why.
    void report(const Device& device, const char* operation) {
        hostMessage(err) << "device [" << device.section->name << "] at " << fileName << ":"
                         << device.section->line << ": " << operation << " failed" << std::endl;
    }

    // False when a device's stop failed.
    bool shutDown() {
        bool stopped = true;
        for (Device& device : devices) {
            if (device.initialised && !device.device->stop()) {
                report(device, "stop");
                stopped = false;
            }
        }
        for (Device& device : devices) {
            plugin.deleteDev(device.device);
        }
        devices.clear();
        return stopped;
    }

private:
    const PluginLibrary& plugin;
    const std::string& fileName;
    std::ostream& err;
    std::vector<Device> devices;
};

// The number of cycles the options allow; -1 for no limit.
std::int64_t cycleLimit(const HostOptions& options) {
    std::int64_t limit = options.cycles;
    if (options.seconds >= 0.0) {
        const auto bySeconds =
            static_cast<std::int64_t>(std::ceil(options.seconds * options.rate - 1e-9));
        limit = limit < 0 ? bySeconds : std::min(limit, bySeconds);
    }
    return limit;
}

// Sleeps until `due`, waking early when a stop is requested.
void waitUntil(std::chrono::steady_clock::time_point due) {
    using Clock = std::chrono::steady_clock;
    while (!hostStopRequested()) {
        const Clock::time_point now = Clock::now();
        if (now >= due) {
            return;
        }
        std::this_thread::sleep_until(std::min(due, now + std::chrono::milliseconds(50)));
    }
}

// Tracker ID n is bit n - 1 of the mask read as a big-endian 32-bit number.
bool maskHas(const std::uint8_t* mask, std::uint32_t id) {
    const std::uint32_t bit = id - 1;
    return (mask[3 - bit / 8] & (1u << (bit % 8))) != 0;
}

// Stops at the first record that cannot be written.
void receiveCycle(Devices& devices, HostStorage& storage, RecordWriter& writer,
                  const RecordOutput& output, HealthMonitor& health, RecordListener* listener) {
    const HealthMonitor::Clock::time_point now = HealthMonitor::Clock::now();
    for (std::size_t index = 0; index < devices.all().size() && !output.failed(); ++index) {
        Devices::Device& device = devices.all()[index];
        std::uint8_t mask[4] = {};
        const bool received = device.device->recvData(mask, 0) == 1;
        std::int64_t records = 0;
        for (std::uint32_t id = 1; received && id <= CDataStorage::maxRecords; ++id) {
            TraData record;
            if (maskHas(mask, id) && storage.readSlot(id, record)) {
                const PoseRow pose = decodeRecord(device.section->name, record);
                writer.row(pose);
                if (listener != nullptr) {
                    listener->recordDelivered(pose);
                }
                ++records;
                if (output.failed()) {
                    break;
                }
            }
        }
        health.cycle(index, now, received, records);
    }
}

// The configuration file's device sections; false once the problem is told.
bool readSections(const std::string& fileName, std::vector<DeviceSection>& sections,
                  std::ostream& err) {
    FileError error;
    if (!readConfigFile(fileName, sections, error)) {
        err << error << std::endl;
        return false;
    }
    return true;
}

// One device per section, initialised in file order, so that the tracker IDs follow
// one another; false once a failed init is told.
bool initDevices(Devices& devices, const std::vector<DeviceSection>& sections,
                 const HostOptions& options, const InitInfo& info) {
    for (const DeviceSection& section : sections) {
        Devices::Device& device = devices.create(section, makeLogger(options, section.name));
        if (device.device == nullptr) {
            devices.report(device, "createDev"); // the plug-in ran out of memory
            return false;
        }
        if (device.device->init(&info) != 1) {
            devices.report(device, "init");
            return false;
        }
        device.initialised = true;
    }
    return true;
}

// configure, then start, every device; a failed orientation reset is told and
// passed over. False once a failure is told.
bool startDevices(Devices& devices, std::ostream& err) {
    for (Devices::Device& device : devices.all()) {
        const std::int32_t configured = device.device->configure();
        if (configured < 0) {
            devices.report(device, "configure");
            return false;
        }
        if (configured == 0) {
            hostMessage(err) << "device [" << device.section->name
                             << "]: the orientation reset failed; going on without it" << std::endl;
        }
    }
    for (Devices::Device& device : devices.all()) {
        if (!device.device->start()) {
            devices.report(device, "start");
            return false;
        }
    }
    return true;
}

std::size_t longest(const std::vector<std::string>& names) {
    std::size_t width = 0;
    for (const std::string& name : names) {
        width = std::max(width, name.size());
    }
    return width;
}

} // namespace

void requestHostStop() {
    stopFlag.store(true);
}

bool hostStopRequested() {
    return stopFlag.load();
}

int runHost(const HostOptions& options, std::ostream& out, std::ostream& err,
            RecordListener* listener) {
    RecordOutput output(out);
    return runHost(options, output, err, listener);
}

std::unique_ptr<PluginLibrary> loadPlugin(const HostOptions& options,
                                          const std::vector<DeviceSection>& sections,
                                          SensorSession& session, std::ostream& err, int& code) {
    const std::string path =
        options.pluginPath.empty() ? PluginLibrary::defaultPath() : options.pluginPath;
    code = session.prepare(path, sections);
    if (code != exitSuccess) {
        return nullptr;
    }
    auto plugin = std::make_unique<PluginLibrary>(path);
    if (!plugin->loaded()) {
        hostMessage(err) << plugin->problem() << std::endl;
        code = exitDevice;
        return nullptr;
    }
    return plugin;
}

int checkRun(const HostOptions& options, const RecordOutput& output,
             const std::vector<DeviceSection>& sections, std::ostream& err) {
    const std::string clash = findFileClash(options, output, sections);
    if (!clash.empty()) {
        hostMessage(err) << clash << std::endl;
        return exitUsage;
    }
    if (!checkDropouts(options.simDropouts, sections, options.configFile, cycleLimit(options),
                       options.rate, err)) {
        return exitUsage;
    }
    // Check the configuration as --check does: its problems stop the run before any
    // sensor wakes or any file is written; its warnings are told once.
    return checkBeforeRun(sections, options.configFile, err) ? exitSuccess : exitConfiguration;
}

int steerSensors(const HostOptions& options, SensorSession& session, std::ostream& err) {
    if (const int code = session.steer()) {
        return code;
    }
    if (const int code = steerSimPose(options, err)) {
        return code;
    }
    if (!session.tellReplay() && SimulatorControl().present()) {
        hostMessage(err) << "the sensor library " << platform::libraryFileName("3dbird")
                         << " is the simulator: every pose is simulated, none is measured"
                         << std::endl;
    }
    return exitSuccess;
}

namespace {

std::vector<std::string> sectionNames(const std::vector<DeviceSection>& sections) {
    std::vector<std::string> names;
    for (const DeviceSection& section : sections) {
        names.push_back(section.name);
    }
    return names;
}

// Drop-outs are scripted through the simulator's control calls, so only with it.
bool dropoutsReady(const DropoutSchedule& dropouts, std::ostream& err) {
    if (!dropouts.ready()) {
        hostMessage(err) << "--sim-dropout needs the simulated sensor library, and the loaded "
                         << platform::libraryFileName("3dbird") << " is not the simulator"
                         << std::endl;
    }
    return dropouts.ready();
}

// The receive cycles at the options' rate, until their limit, a stop request, a
// failed output or the end of what the session replays.
void runCycles(const HostOptions& options, Devices& devices, HostStorage& storage,
               RecordWriter& writer, RecordOutput& output, HealthMonitor& health,
               DropoutSchedule& dropouts, SensorSession& session, RecordListener* listener,
               std::ostream& err) {
    using Clock = std::chrono::steady_clock;
    const std::int64_t limit = cycleLimit(options);
    const std::chrono::duration<double> period(1.0 / options.rate);
    const Clock::time_point begin = Clock::now();
    for (std::int64_t cycle = 0;
         (limit < 0 || cycle < limit) && !hostStopRequested() && !output.failed(); ++cycle) {
        if (cycle > 0) {
            waitUntil(begin + std::chrono::duration_cast<Clock::duration>(period * cycle));
            if (hostStopRequested()) {
                break;
            }
        }
        health.beforeCycle();
        dropouts.apply(static_cast<double>(cycle) / options.rate, err);
        receiveCycle(devices, storage, writer, output, health, listener);
        health.afterCycle(Clock::now(), output.stream());
        if (!session.cycleDone()) {
            break;
        }
    }
}

// Every device through init, then the output opened, then configure and start.
int startRun(Devices& devices, const std::vector<DeviceSection>& sections,
             const HostOptions& options, const InitInfo& info, SensorSession& session,
             RecordOutput& output, std::ostream& err) {
    if (!initDevices(devices, sections, options, info)) {
        return exitDevice;
    }
    session.checkPorts();
    // Only now may the output be created or emptied: nothing before could fail.
    if (!output.open()) {
        hostMessage(err) << output.problem() << std::endl;
        return exitUsage;
    }
    return startDevices(devices, err) ? exitSuccess : exitDevice;
}

} // namespace

int runHost(const HostOptions& options, RecordOutput& output, std::ostream& err,
            RecordListener* listener) {
    std::vector<DeviceSection> sections;
    if (!readSections(options.configFile, sections, err)) {
        return exitConfiguration;
    }
    if (const int code = checkRun(options, output, sections, err)) {
        return code;
    }
    SensorSession session(options, err);
    int failure = exitSuccess;
    const std::unique_ptr<PluginLibrary> plugin =
        loadPlugin(options, sections, session, err, failure);
    if (!plugin) {
        return failure;
    }
    DropoutSchedule dropouts(options.simDropouts, SimulatorControl());
    if (!dropoutsReady(dropouts, err)) {
        return exitUsage;
    }
    if (const int code = steerSensors(options, session, err)) {
        return code;
    }
    const CLoggerH storageLogger = makeLogger(options, "trackhost");
    HostStorage storage(&storageLogger);
    std::int32_t ready = 0;
    InitInfo info{};
    info.dataStorage = storage.storage();
    info.readyFlag = &ready;
    Devices devices(*plugin, options.configFile, err);
    if (const int code = startRun(devices, sections, options, info, session, output, err)) {
        return code;
    }

    const std::vector<std::string> names = sectionNames(sections);
    RecordWriter writer(output.stream(), options.format, longest(names));
    writer.header();
    HealthMonitor health(names, err, options.status,
                         [] { return platform::terminalColumns(stderr); });
    ready = 1;
    runCycles(options, devices, storage, writer, output, health, dropouts, session, listener, err);
    ready = 0;

    const bool allReceived = health.finish();
    const bool stopped = devices.shutDown();
    // A reader that went away (trackhost | head) ends the run as Ctrl-C does.
    if (!output.close() && !output.closedPipe()) {
        hostMessage(err) << output.problem() << std::endl;
        return exitOutput;
    }
    return session.finish(!stopped ? exitDevice : allReceived ? exitSuccess : exitNoRecord);
}
