// trackhost: a command-line tracking host for the tracker plug-in.
#include "HostOptions.h"
#include "HostRun.h"
#include "ViewServer.h"

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
    // The viewer listens before any sensor wakes, so a taken port costs nothing.
    ViewServer viewer;
    if (options.viewPort >= 0) {
        if (!viewer.start(options.viewAddress, options.viewPort, error)) {
            std::cerr << "trackhost: " << error << std::endl;
            return exitView;
        }
        std::cerr << "trackhost: viewer at " << viewer.url() << std::endl;
    }
    // Ctrl-C ends the receive cycle; the devices are then stopped and deleted.
    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
    const int code = runHost(options, options.outputFile.empty() ? std::cout : file, std::cerr,
                             options.viewPort >= 0 ? &viewer.listener() : nullptr);
    viewer.stop();
    return code;
}
