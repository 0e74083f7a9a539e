// Fuzzes the option lines a host hands to init. The input is text: one option
// line per line, the option name and its arguments separated by blanks; at most
// 32 lines of at most 64 arguments are taken, so every record keeps the bounds
// the host guarantees. Each input goes through init of a device (the sensor
// wakes only for the first four inputs of a process, but the device options are
// read before that) and through the transform options of fresh tracker tables
// of one to three entries on both kinds of connector, followed by a pose
// transformation with whatever they set.
#include "device/C3DBird.h"
#include "host/plugin/HostConfig.h"
#include "host/run/HostRig.h"
#include "platform/platform.h"
#include "support/LineSink.h"
#include "support/TraData.h"
#include "tests/fixtures/PlainLogger.h"
#include "tracker/CTraCommonH.h"
#include "tracker/PoseTransform.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using Line = std::vector<std::string>;

std::vector<Line> splitLines(const std::uint8_t* data, std::size_t size) {
    std::vector<Line> lines(1, Line(1));
    for (std::size_t i = 0; i < size; ++i) {
        const char c = static_cast<char>(data[i]);
        if (c == '\n') {
            if (lines.size() == CConfigH::maxLines) {
                break;
            }
            lines.emplace_back(1);
        } else if (c == ' ') {
            if (lines.back().size() <= ConfigLine::maxArgs) {
                lines.back().emplace_back();
            }
        } else if (lines.back().size() <= ConfigLine::maxArgs) {
            lines.back().back() += c;
        }
    }
    return lines;
}

// A calibration library is looked for only where none exists, except the test
// library, named "testcalib": the fuzzer must not load whatever it can name.
void containLibraryNames(std::vector<Line>& lines) {
    for (Line& line : lines) {
        const bool calibration =
            line.size() > 1 && (compareNoCase(line[0].c_str(), "calibration") == 0 ||
                                compareNoCase(line[0].c_str(), "calib") == 0);
        if (calibration) {
            line[1] = line[1] == "testcalib" ? platform::libraryFileName("testcalib")
                                             : "/nonexistent/" + line[1];
        }
    }
}

void clearUsed(CConfigH& record) {
    for (std::uint32_t i = 0; i < record.lineCount; ++i) {
        record.lines[i].used = 0;
    }
}

void runDevice(HostConfig& config, const CLoggerH& logger) {
    HostRig host(logger, 1);
    const InitInfo info = host.initInfo();
    C3DBird device(config.record(), &logger);
    if (device.init(&info) == 1) {
        device.configure();
        device.start();
        std::uint8_t mask[4];
        device.recvData(mask, 0);
        device.stop();
    }
}

void runTable(HostConfig& config, const CLoggerH& logger, std::uint32_t entries, bool connector) {
    clearUsed(*config.record());
    CTraCommonH table(&logger, {connector, entries, true});
    table.createEntries(entries);
    for (std::uint32_t index = 1; index <= entries; ++index) {
        table.setEntry(index, index, nullptr, nullptr, nullptr);
    }
    if (!table.parseOptions(config.record())) {
        return;
    }
    table.printTransforms();
    for (std::uint32_t index = 1; index <= entries; ++index) {
        const TrackerEntry& entry = table.entry(index);
        TrackerPose pose{0.5f, -1.0f, 2.0f, 30.0f, -45.0f, 60.0f};
        transformPose(pose, &table.transmitterTransform(), &entry.transform, entry.translation);
        const float values[] = {pose.x, pose.y, pose.z, pose.angle1, pose.angle2, pose.angle3};
        for (const float value : values) {
            decode(encode(value));
        }
    }
    if (table.calib() != nullptr) {
        if (table.calib()->init(table.calibArgs())) {
            TrackerPose pose{};
            table.calib()->evaluate(&pose);
        }
        table.calib()->exit();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    setLineSink(droppedLines); // the messages of the code under test
    static const CLoggerH logger = plainLogger("MESSAGE");
    // libFuzzer cannot follow an instrumented library that is unloaded again, so
    // the test calibration library stays loaded for the whole run.
    static const platform::LibraryHandle keptLoaded =
        platform::loadLibrary(platform::libraryFileName("testcalib").c_str());
    static_cast<void>(keptLoaded);

    std::vector<Line> lines = splitLines(data, size);
    containLibraryNames(lines);
    HostConfig config("fuzz");
    std::uint32_t lineNumber = 1;
    for (const Line& line : lines) {
        config.add(line[0], Line(line.begin() + 1, line.end()), lineNumber++);
    }
    runDevice(config, logger);
    for (std::uint32_t entries = 1; entries <= 3; ++entries) {
        runTable(config, logger, entries, true);
        runTable(config, logger, entries, false);
    }
    return 0;
}
