// trackhost: a command-line tracking host for the tracker plug-in.
#include "ConfigCheck.h"
#include "HostOptions.h"
#include "HostRun.h"
#include "RecordOutput.h"
#include "ViewServer.h"
#include "platform/platform.h"

#include "platform/platform.h"

#include <cerrno>
#include <csignal>
#include <exception>
#include <iostream>
#include <new>
#include <system_error>

namespace {

extern "C" void onInterrupt(int) {
    requestHostStop();
}

int run(int argc, char** argv) {
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
    return runHost(options, output, std::cerr, listener);
}

} // namespace

// Nothing thrown ends trackhost unannounced: memory that runs out, or a resource
// the system refuses (the storage's mutex), is told with its own exit status. The
// devices are stopped and deleted on the way out.
int main(int argc, char** argv) {
    try {
        return run(argc, argv);
    } catch (const std::bad_alloc&) {
        std::cerr << "trackhost: out of memory" << std::endl;
    } catch (const std::exception& error) {
        std::cerr << "trackhost: " << error.what() << std::endl;
    } catch (...) {
        std::cerr << "trackhost: an unexpected exception" << std::endl;
    }
    return exitSystem;
}
