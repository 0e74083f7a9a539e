// Memory that runs out anywhere before a device exists, or in the plug-in's
// createDev, ends a run and --align cleanly: trackhost's own steps throw, which its
// main tells with status 9, and a device that createDev could not make is told and
// never used.
#include "host/AlignRun.h"
#include "host/HostRun.h"
#include "host/report/ExitCode.h"

#include "sim/birdsim.h"
#include "tests/fixtures/CaptureFd.h"
#include "tests/fixtures/TestFiles.h"
#include "tests/fixtures/allocation_count.h"

#include <gtest/gtest.h>

#include <exception>
#include <sstream>

namespace {

// Fails the first, the second, ... allocation of `run` in turn; none may crash the
// run. Answers the exit code and messages of the first run that told a failed
// createDev, or -1 once a run's allocations all succeeded without one.
template <typename Run> int runUntilCreateDevFails(Run run, std::string& messages) {
    for (long n = 1;; ++n) {
        birdsim_reset();
        std::ostringstream err;
        CaptureFd pluginLines;
        const long before = allocationCount();
        failAllocation(n);
        int code = -1;
        try {
            code = run(err);
        } catch (const std::exception&) { // told by trackhost's main, status 9
        }
        failAllocation(0);
        messages = err.str();
        if (messages.find("createDev failed") != std::string::npos) {
            return code;
        }
        if (allocationCount() - before < n) {
            return -1;
        }
    }
}

} // namespace

struct RunMemory : ::testing::Test {
    HostOptions options(std::vector<const char*> args) {
        args.push_back(config.c_str());
        HostOptions parsed;
        std::string error;
        EXPECT_EQ(parseHostOptions(static_cast<int>(args.size()), args.data(), parsed, error),
                  ParseResult::run)
            << error;
        parsed.status = false;
        return parsed;
    }

    TestFiles files;
    const std::string config = files.writeConfig("[head]\nport 2\n");
    const std::string failed = "trackhost: device [head] at " + config + ":1: createDev failed\n";
};

TEST_F(RunMemory, AlignTellsADeviceThatCouldNotBeMade) {
    const HostOptions align = options({"--align", "--seconds", "1"});
    std::string messages;
    std::ostringstream out;
    PoseOutput output(out);
    const int code = runUntilCreateDevFails(
        [&](std::ostream& err) { return runAlign(align, output, err); }, messages);
    EXPECT_EQ(code, exitDevice);
    EXPECT_NE(messages.find(failed), std::string::npos) << messages;
    EXPECT_EQ(out.str(), "") << "no lines without a device";
}

TEST_F(RunMemory, RunTellsADeviceThatCouldNotBeMade) {
    const HostOptions run = options({"--cycles", "1"});
    std::string messages;
    std::ostringstream out;
    const int code =
        runUntilCreateDevFails([&](std::ostream& err) { return runHost(run, out, err); }, messages);
    EXPECT_EQ(code, exitDevice);
    EXPECT_NE(messages.find(failed), std::string::npos) << messages;
}
