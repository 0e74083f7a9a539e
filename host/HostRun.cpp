// trackhost's run: each cycle's poses written out and told to the listener, the
// devices' health watched, and the summary at the end.
#include "host/HostRun.h"

#include "host/health/HealthMonitor.h"
#include "host/output/PoseTable.h"
#include "host/report/ExitCode.h"
#include "host/report/HostMessage.h"
#include "host/report/ShownText.h"
#include "host/report/TextColumns.h"
#include "host/run/DeviceSet.h"
#include "host/run/HostRig.h"
#include "host/run/PacedCycles.h"
#include "host/run/RunPreparation.h"
#include "platform/platform.h"

#include <algorithm>
#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

namespace {

// What a run does with the poses of each cycle, and with what the health monitor
// sees of each device.
struct PoseSinks {
    PoseWriter& writer;
    PoseOutput& output;
    PoseListener* listener;
    // Whether each device answered in its latest cycle, as the listener was told.
    std::vector<bool>& answering;

    // Writes the pose out and tells the listener; false once the output failed.
    bool deliver(const PoseRow& pose) const {
        writer.row(pose);
        if (listener != nullptr) {
            listener->poseDelivered(pose);
        }
        return !output.failed();
    }
    // Tells the listener when a device stops answering or answers again.
    void deviceAnswering(const DeviceSet& devices, std::size_t index, bool now) const {
        if (listener != nullptr && answering[index] != now) {
            answering[index] = now;
            listener->deviceAnswering(devices.name(index), now);
        }
    }
};

// Every device through init, then the output opened, then configure and start; then
// the files written take their names.
int startRun(DeviceSet& devices, const std::vector<DeviceSection>& sections,
             const HostOptions& options, HostRig& rig, RunPreparation& preparation,
             PoseOutput& output, std::ostream& err) {
    if (!devices.init(sections, options.run.log, rig.initInfo())) {
        return exitDevice;
    }
    preparation.session().checkPorts();
    if (!output.open()) {
        hostMessage(err) << shownText(output.problem()) << std::endl;
        return exitUsage;
    }
    return !devices.start() ? exitDevice : preparation.keepFiles(output);
}

// The receive cycles at the prepared pace, until their limit, a stop request, a
// failed output or the end of what the session replays. Each cycle stops at the
// first pose that cannot be written. The devices' health is judged on the cycles'
// schedule, not on when each cycle happened to run, and the simulator's clock keeps
// to it too, so that an outage of so many cycles is told alike, by trackhost and
// by the plug-in, in every run.
void runCycles(DeviceSet& devices, HostRig& rig, const PoseSinks& sinks, HealthMonitor& health,
               RunPreparation& preparation, std::ostream& err) {
    const double rate = preparation.pace().rate;
    HealthMonitor::Clock::time_point first{};
    runPaced(rate, cycleLimit(preparation.pace()), [&](std::int64_t cycle, double) {
        first = cycle == 0 ? HealthMonitor::Clock::now() : first;
        const HealthMonitor::Clock::time_point now = first + cycleOffset(cycle, rate);
        preparation.session().paceSimulator(now - first);
        health.beforeCycle();
        preparation.dropouts().apply(static_cast<double>(cycle) / rate, err);
        for (std::size_t index = 0; index < devices.size() && !sinks.output.failed(); ++index) {
            const DeviceSet::Received received = devices.receive(
                index, rig.storage, [&sinks](const PoseRow& pose) { return sinks.deliver(pose); });
            health.cycle(index, now, received.succeeded, received.records);
            sinks.deviceAnswering(devices, index, health.answering(index));
        }
        health.afterCycle(HealthMonitor::Clock::now(), sinks.output.stream());
        const bool more = preparation.session().cycleDone();
        return more && !sinks.output.failed();
    });
    preparation.session().stopPacingSimulator();
}

std::vector<std::string> sectionNames(const std::vector<DeviceSection>& sections) {
    std::vector<std::string> names;
    for (const DeviceSection& section : sections) {
        names.push_back(section.name);
    }
    return names;
}

std::size_t longest(const std::vector<std::string>& names) {
    std::size_t width = 0;
    for (const std::string& name : names) {
        width = std::max(width, textColumns(name));
    }
    return width;
}

} // namespace

int runHost(const HostOptions& options, std::ostream& out, std::ostream& err,
            PoseListener* listener) {
    PoseOutput output(out);
    return runHost(options, output, err, listener);
}

int runHost(const HostOptions& options, PoseOutput& output, std::ostream& err,
            PoseListener* listener) {
    std::vector<DeviceSection> sections;
    if (!readSections(options.run.configFile, sections, err)) {
        return exitConfiguration;
    }
    RunPreparation preparation(options.run, err);
    if (const int code = preparation.check(output, sections)) {
        return code;
    }
    if (const int code = preparation.prepare(sections)) {
        return code;
    }
    HostRig rig(makeLogger(options.run.log, "trackhost"));
    DeviceSet devices(preparation.plugin(), options.run.configFile, err);
    if (const int code = startRun(devices, sections, options, rig, preparation, output, err)) {
        return code;
    }

    const std::vector<std::string> names = sectionNames(sections);
    PoseWriter writer(output.stream(), options.output.format, longest(names));
    writer.header();
    // The status lines go to standard error's terminal, as trackhost draws them only there.
    HealthMonitor health(
        names, err, options.status, [] { return platform::terminalColumns(stderr); },
        [](const std::string& text) { platform::writeTerminal(stderr, text); },
        [](std::size_t lines) { platform::eraseTerminalLines(stderr, lines); });
    std::vector<std::string> places;
    for (const DeviceSection& section : sections) {
        places.push_back(options.run.configFile + ":" + std::to_string(section.line));
    }
    health.placeRepeatedNames(places);
    rig.ready = 1;
    std::vector<bool> answering(devices.size(), true);
    runCycles(devices, rig, PoseSinks{writer, output, listener, answering}, health, preparation,
              err);
    rig.ready = 0;

    const bool allReceived = health.finish();
    const bool stopped = devices.shutDown();
    // A reader that went away (trackhost | head) ends the run as Ctrl-C does.
    if (!output.close() && !output.closedPipe()) {
        hostMessage(err) << shownText(output.problem()) << std::endl;
        return exitOutput;
    }
    return preparation.session().finish(!stopped      ? exitDevice
                                        : allReceived ? exitSuccess
                                                      : exitNoRecord);
}
