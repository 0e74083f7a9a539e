// trackhost --probe: each port's sensor woken, read and shut down, one at a time.
#include "host/ProbeRun.h"

#include "bird/BirdLibrary.h"
#include "host/check/WriteTarget.h"
#include "host/files/StagedFile.h"
#include "host/input/SectionSettings.h"
#include "host/plugin/PluginLibrary.h"
#include "host/report/ExitCode.h"
#include "host/report/HostMessage.h"
#include "host/report/ShownText.h"
#include "host/run/RunPreparation.h"
#include "host/sensors/SensorSession.h"
#include "host/sensors/SimPoseControl.h"
#include "platform/platform.h"

#include <cstdlib>
#include <ostream>
#include <string>
#include <system_error>
#include <vector>

namespace {

// A port to try, and the section a sensor there gets.
struct ProbedPort {
    std::string section;
    std::int32_t port;
};

// The ports of the configuration's sections, or with none, 1 to 4.
bool portsToProbe(const std::string& configFile, std::vector<ProbedPort>& ports,
                  std::ostream& err) {
    if (configFile.empty()) {
        for (std::int32_t port = 1; port <= bird::maxSensors; ++port) {
            ports.push_back({"port" + std::to_string(port), port});
        }
        return true;
    }
    std::vector<DeviceSection> sections;
    if (!readSections(configFile, sections, err)) {
        return false;
    }
    for (const DeviceSection& section : sections) {
        DeviceSettings settings;
        sectionSettings(section, settings);
        ports.push_back({section.name, settings.serialPort});
    }
    return true;
}

// The three calls a probe makes, from the sensor library the plug-in binds to.
class SensorCalls {
public:
    explicit SensorCalls(const std::string& path) : library(platform::loadLibraryUtf8(path)) {
        if (library != nullptr) {
            wakeUp = reinterpret_cast<WakeUpFn>(platform::librarySymbol(library, "_3dbirdWakeUp"));
            readConfig = reinterpret_cast<ConfigFn>(
                platform::librarySymbol(library, "_3dbirdGetDeviceConfig"));
            shutDown =
                reinterpret_cast<ShutDownFn>(platform::librarySymbol(library, "_3dbirdShutDown"));
        }
    }
    ~SensorCalls() {
        if (library != nullptr) {
            platform::freeLibrary(library);
        }
    }
    SensorCalls(const SensorCalls&) = delete;
    SensorCalls& operator=(const SensorCalls&) = delete;

    bool loaded() const {
        return wakeUp != nullptr && readConfig != nullptr && shutDown != nullptr;
    }

    // What the sensor on `port` does: 0 nothing answers, 1 it wakes but its
    // configuration cannot be read, 2 it answers both.
    int probe(std::int32_t port) const {
        if (wakeUp(0, static_cast<std::uint16_t>(port), 1000, 1000) == 0) {
            return 0;
        }
        std::uint8_t block[bird::configSize] = {};
        const bool read = readConfig(0, block) != 0;
        shutDown(0);
        return read ? 2 : 1;
    }

private:
    using WakeUpFn = std::int32_t (*)(std::int32_t, std::uint16_t, std::int32_t, std::int32_t);
    using ConfigFn = std::int32_t (*)(std::int32_t, std::uint8_t*);
    using ShutDownFn = std::int32_t (*)(std::int32_t);
    platform::LibraryHandle library;
    WakeUpFn wakeUp = nullptr;
    ConfigFn readConfig = nullptr;
    ShutDownFn shutDown = nullptr;
};

// The machine's serial ports, and what a user must know of them.
void tellSerialPorts(std::ostream& err) {
    const std::vector<platform::SerialPort> ports = platform::serialPorts();
    if (ports.empty()) {
        hostMessage(err) << "the system lists no serial port" << std::endl;
    }
    for (const platform::SerialPort& port : ports) {
        hostMessage(err) << "serial port " << shownText(port.name)
                         << (port.description.empty() ? "" : ": " + shownText(port.description))
                         << std::endl;
        const long number =
            port.name.rfind("COM", 0) == 0 ? std::strtol(port.name.c_str() + 3, nullptr, 10) : 0;
        if (number > bird::maxSensors) {
            hostMessage(err) << "  the sensor library reaches COM1 to COM4 only: give "
                             << shownText(port.name)
                             << " a number from 1 to 4 in Device Manager (Port Settings, "
                                "Advanced, COM Port Number)"
                             << std::endl;
        }
    }
    if (platform::posixSystem()) {
        hostMessage(err) << "the vendor's sensor library exists for Windows only; here the "
                            "simulated one answers"
                         << std::endl;
    }
}

// The configuration to start from: a section for each sensor found, with the lines a
// user sets next as comments.
std::string probedConfiguration(const std::vector<ProbedPort>& found) {
    std::string text = "# The sensors trackhost --probe found, one section each. Check it with\n"
                       "# trackhost --check FILE, run it, and align a crooked sensor with\n"
                       "# trackhost --align SECTION --write FILE.\n";
    for (const ProbedPort& port : found) {
        text += "\n[" + port.section + "]\nport " + std::to_string(port.port) +
                "\n# position 0 5.5 0              where the sensor is fixed, in feet\n"
                "# transmitterrotation 0 1 0 90  trackhost --align --write finds it\n"
                "# reconnect 2                   wake it again after 2 s without a reading\n"
                "# calibration boresight 0 0 0   a calibration library and its arguments\n";
    }
    return text;
}

// The ports' answers, told one at a time as each is tried; the sensors that answered
// into `found`.
void probePorts(const SensorCalls& calls, const std::vector<ProbedPort>& ports,
                std::vector<ProbedPort>& found, std::ostream& err) {
    for (const ProbedPort& port : ports) {
        hostMessage(err) << "port " << port.port << ": " << std::flush;
        switch (calls.probe(port.port)) {
        case 2:
            err << "a sensor answers" << std::endl;
            found.push_back(port);
            break;
        case 1:
            err << "a sensor wakes but its configuration cannot be read; it is left out (look "
                   "at its power and cable)"
                << std::endl;
            break;
        default:
            err << "no sensor answers" << std::endl;
        }
    }
}

// A new file only: one that exists is refused.
bool newFileWritable(const std::string& file, std::ostream& err) {
    platform::FileIdentity identity;
    std::string problem = writeTargetProblem("--write", file, WrittenContent::configuration);
    int error = 0;
    if (problem.empty() && (platform::fileIdentity(file, identity) || platform::isFolder(file))) {
        problem = file + " exists; --probe --write writes a new file only";
    } else if (problem.empty() && !StagedFile::canOpen(file, error)) {
        problem = "cannot write " + file + " (" + std::generic_category().message(error) + ")";
    }
    if (!problem.empty()) {
        hostMessage(err) << problem << std::endl;
        return false;
    }
    return true;
}

} // namespace

int runProbe(const HostOptions& options, std::ostream& out, std::ostream& err) {
    std::vector<ProbedPort> ports;
    if (!portsToProbe(options.run.configFile, ports, err)) {
        return exitConfiguration;
    }
    const std::string& file = options.writeFile;
    if (!file.empty() && !newFileWritable(file, err)) {
        return exitUsage;
    }
    const std::string pluginPath =
        options.run.pluginPath.empty() ? PluginLibrary::defaultPath() : options.run.pluginPath;
    const std::string libraryPath = sensorLibraryPath(pluginPath);
    const SensorCalls calls(libraryPath);
    if (!calls.loaded()) {
        hostMessage(err) << "cannot load the sensor library " << libraryPath << " ("
                         << platform::libraryError() << ")" << std::endl;
        return exitDevice;
    }
    if (const int code = steerSimPorts(options.run.sensors, err)) {
        return code;
    }
    tellSerialPorts(err);
    std::vector<ProbedPort> found;
    probePorts(calls, ports, found, err);
    if (found.empty()) {
        hostMessage(err) << "no sensor answered on port";
        for (std::size_t i = 0; i < ports.size(); ++i) {
            err << (i == 0 ? (ports.size() > 1 ? "s " : " ") : ", ") << ports[i].port;
        }
        err << "; look at each sensor's cable and power, and at its port's number (the sensor "
               "library reaches ports 1 to 4)"
            << std::endl;
        return exitDevice;
    }
    const std::string text = probedConfiguration(found);
    if (file.empty()) {
        out << text << std::flush;
        return out ? exitSuccess : exitOutput;
    }
    std::string problem;
    if (!writeWholeFile(file, text, false, problem)) {
        hostMessage(err) << problem << std::endl;
        return exitUsage;
    }
    hostMessage(err) << "wrote " << file << " with " << found.size() << " section"
                     << (found.size() > 1 ? "s" : "") << "; check it: trackhost --check " << file
                     << std::endl;
    return exitSuccess;
}
