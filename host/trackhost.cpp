// trackhost: a command-line tracking host for the tracker plug-in.
#include "host/ExitCode.h"
#include "host/HostOptions.h"
#include "host/HostRun.h"
#include "host/align/AlignRun.h"
#include "host/check/ConfigCheck.h"
#include "host/output/RecordOutput.h"
#include "host/view/ViewAddress.h"
#include "host/view/ViewServer.h"
#include "platform/platform.h"

#include "platform/platform.h"

#include <cerrno>
#include <csignal>
#include <iostream>
#include <string>
#include <system_error>
#include <vector>

namespace {

extern "C" void onInterrupt(int) {
    requestHostStop();
}

// A viewer beyond loopback shows the poses to the network.
void warnOfRemoteViewers(const ViewServer& viewer, const std::string& address) {
    std::cerr << "trackhost: warning: the viewer listens on " << address
              << ", not on loopback only: anyone who reaches this address can watch the poses"
              << std::endl;
    const std::vector<std::string> urls = viewer.remoteUrls();
    std::cerr << "trackhost: other machines reach the viewer at";
    for (const std::string& url : urls) {
        std::cerr << ' ' << url;
    }
    std::cerr << (urls.empty() ? " none: no interface but loopback has an address" : "")
              << std::endl;
}

} // namespace

int main(int argc, char** argv) {
    HostOptions options;
    std::string error;
    switch (parseHostOptions(argc - 1, argv + 1, options, error)) {
    case ParseResult::help:
        std::cout << usageText();
        return exitSuccess;
    case ParseResult::version:
        std::cout << versionText();
        return exitSuccess;
    case ParseResult::error:
        std::cerr << "trackhost: " << error << "\nTry 'trackhost --help'." << std::endl;
        return exitUsage;
    case ParseResult::run:
        break;
    }
    if (options.check) {
        return runCheck(options.configFile, std::cerr, options.verbose ? &std::cout : nullptr);
    }

    // The viewer listens before any sensor wakes, so a taken port costs nothing.
    ViewServer viewer;
    if (options.viewPort >= 0) {
        if (!viewer.start(options.viewAddress, options.viewPort, error)) {
            std::cerr << "trackhost: " << error << std::endl;
            return exitView;
        }
        std::cerr << "trackhost: viewer at " << viewer.url() << std::endl;
        if (!isLoopbackAddress(options.viewAddress)) {
            warnOfRemoteViewers(viewer, options.viewAddress);
        }
    }
    RecordListener* const listener = options.viewPort >= 0 ? &viewer.listener() : nullptr;
    // A reader that goes away makes a write fail, which ends the run cleanly.
    platform::ignoreBrokenPipe();
    // The live status lines need a terminal that takes cursor moves.
    options.status = options.status && platform::enableTerminalEscapes(stderr);
    // Ctrl-C ends the receive cycle; the devices are then stopped and deleted.
    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
    if (!options.outputFile.empty()) {
        RecordOutput output(options.outputFile);
        return runHost(options, output, std::cerr, listener);
    }
    // Standard output carries the records alone: the plug-in's messages, written
    // to standard output by design, are sent to standard error before it loads.
    errno = 0;
    std::FILE* original = platform::separateStdout();
    if (original == nullptr) {
        std::cerr << "trackhost: cannot write standard output ("
                  << std::generic_category().message(errno != 0 ? errno : EBADF) << ")"
                  << std::endl;
        return exitOutput;
    }
    RecordOutput output(original);
    if (options.align) {
        return runAlign(options, output, std::cerr);
    }
    return runHost(options, output, std::cerr, listener);
}
