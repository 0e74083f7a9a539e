// trackhost: a command-line tracking host for the tracker plug-in.
#include "HostOptions.h"
#include "HostRun.h"
#include "platform/platform.h"

#include <csignal>
#include <fstream>
#include <iostream>

namespace {

extern "C" void onInterrupt(int) {
    requestHostStop();
}

} // namespace

int main(int argc, char** argv) {
    HostOptions options;
    std::string error;
    switch (parseHostOptions(argc - 1, argv + 1, options, error)) {
    case ParseResult::help:
        std::cout << usageText();
        return exitSuccess;
    case ParseResult::error:
        std::cerr << "trackhost: " << error << "\nTry 'trackhost --help'." << std::endl;
        return exitUsage;
    case ParseResult::run:
        break;
    }

    std::ofstream file;
    if (!options.outputFile.empty()) {
        file.open(options.outputFile, std::ios::out | std::ios::trunc);
        if (!file) {
            std::cerr << "trackhost: cannot write " << options.outputFile << std::endl;
            return exitUsage;
        }
    }
    // The live status lines need a terminal that takes cursor moves.
    options.status = options.status && platform::enableTerminalEscapes(stderr);
    // Ctrl-C ends the receive cycle; the devices are then stopped and deleted.
    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
    return runHost(options, options.outputFile.empty() ? std::cout : file, std::cerr);
}
