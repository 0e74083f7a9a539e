// Fuzzes the parser of trackhost's configuration file and the configuration
// checker on what it reads. Whatever the text, the parser either fails with a line
// inside the text (or 0 for the file as a whole), or gives sections whose records
// keep the bounds the plug-in relies on: a device name, at most 32 lines of at
// most 64 arguments, no null text. The check's findings then point at lines of the
// text, in order, each with a message. And the checker's promise holds: when it
// finds no problem, init succeeds on the simulator for every section, in file
// order on one storage, as a run makes them.
#include "device/C3DBird.h"
#include "host/check/ConfigCheck.h"
#include "host/input/ConfigFile.h"
#include "host/run/HostRig.h"
#include "platform/platform.h"
#include "sim/birdsim.h"

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <streambuf>
#include <string>
#include <vector>

// The fuzzer runs natively only. A process wakes at most four sensors, and never
// more, so every round of init gets a process of its own.
#include <sys/wait.h>
#include <unistd.h>

namespace {

// The device as the plug-in makes it, a class of its own that nothing derives
// from: the device class has no virtual destructor, and a subclass of it exists.
struct FuzzDevice final : C3DBird {
    using C3DBird::C3DBird;
};

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// Swallows everything the code under test writes to standard output.
class NullBuffer : public std::streambuf {
protected:
    int overflow(int c) override { return traits_type::not_eof(c); }
    std::streamsize xsputn(const char*, std::streamsize count) override { return count; }
};

void checkRecord(const DeviceSection& section) {
    check(section.config != nullptr && !section.name.empty());
    const CConfigH& record = *section.config->record();
    check(record.deviceName != nullptr && section.name == record.deviceName);
    check(record.lineCount <= CConfigH::maxLines);
    for (std::uint32_t i = 0; i < record.lineCount; ++i) {
        const ConfigLine& line = record.lines[i];
        check(line.optionName != nullptr && line.argCount <= ConfigLine::maxArgs);
        check(line.lineNumber > section.line && line.used == 0);
        for (std::uint32_t a = 0; a < line.argCount; ++a) {
            check(line.args[a] != nullptr);
        }
    }
}

// A calibration library is looked for only where none exists, except the test
// library, named "testcalib": the fuzzer must not load whatever it can name.
void containLibraryNames(DeviceSection& section) {
    const CConfigH& record = *section.config->record();
    auto contained = std::make_unique<HostConfig>(section.name);
    for (std::uint32_t i = 0; i < record.lineCount; ++i) {
        const ConfigLine& line = record.lines[i];
        std::vector<std::string> args(line.args, line.args + line.argCount);
        if (!args.empty() && (compareNoCase(line.optionName, "calibration") == 0 ||
                              compareNoCase(line.optionName, "calib") == 0)) {
            args[0] = args[0] == "testcalib" ? platform::libraryFileName("testcalib")
                                             : "/nonexistent/" + args[0];
        }
        contained->add(line.optionName, args, line.lineNumber);
    }
    section.config = std::move(contained);
}

// Runs init for every section, as trackhost's run does, in a child process; true
// when every init succeeded.
bool initEverySection(const std::vector<DeviceSection>& sections) {
    const pid_t child = fork();
    if (child == 0) {
        static NullBuffer nothing;
        std::cout.rdbuf(&nothing);
        birdsim_reset();
        CLoggerH logger;
        logger.enabled = 0;
        HostRig rig(logger);
        const InitInfo info = rig.initInfo();
        std::vector<std::unique_ptr<FuzzDevice>> devices;
        for (const DeviceSection& section : sections) {
            devices.push_back(std::make_unique<FuzzDevice>(section.config->record(), &logger));
            if (devices.back()->init(&info) != 1) {
                std::fprintf(stderr,
                             "the checker passed section [%s] at line %u, but init failed\n",
                             section.name.c_str(), section.line);
                _exit(1);
            }
        }
        _exit(0);
    }
    check(child > 0);
    // libFuzzer's timeout alarm interrupts the wait.
    int status = 0;
    pid_t waited = -1;
    do {
        waited = waitpid(child, &status, 0);
    } while (waited < 0 && errno == EINTR);
    check(waited == child);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // libFuzzer cannot follow an instrumented library that is unloaded again, so
    // the test calibration library stays loaded for the whole run.
    static const platform::LibraryHandle keptLoaded =
        platform::loadLibrary(platform::libraryFileName("testcalib").c_str());
    static_cast<void>(keptLoaded);

    const std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<DeviceSection> sections;
    FileError error;
    // Every line end (LF, CR LF or CR alone) counts one line.
    std::size_t lines = 1;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))) {
            ++lines;
        }
    }
    if (!parseConfigText(text, "fuzz.conf", sections, error)) {
        check(error.line <= lines && !error.message.empty());
        check(!formatError(error).empty());
        return 0;
    }
    for (DeviceSection& section : sections) {
        checkRecord(section);
        containLibraryNames(section);
    }
    unsigned previous = 0;
    bool problem = false;
    for (const CheckFinding& finding : checkConfig(sections, "fuzz.conf")) {
        check(finding.line >= previous && finding.line <= lines && !finding.message.empty());
        previous = finding.line;
        problem = problem || finding.isProblem();
    }
    check(problem || initEverySection(sections));
    return 0;
}
