// trackhost: a command-line tracking host for the tracker plug-in.
#include "host/AlignRun.h"
#include "host/HostOptions.h"
#include "host/HostRun.h"
#include "host/ProbeRun.h"
#include "host/check/ConfigCheck.h"
#include "host/check/WriteTarget.h"
#include "host/input/ConfigFile.h"
#include "host/input/TextFile.h"
#include "host/output/PoseOutput.h"
#include "host/report/ExitCode.h"
#include "host/report/HostMessage.h"
#include "host/report/ShownText.h"
#include "host/run/PacedCycles.h"
#include "host/view/ViewAddress.h"
#include "host/view/ViewServer.h"
#include "platform/platform.h"

#include <cerrno>
#include <csignal>
#include <exception>
#include <iostream>
#include <memory>
#include <new>
#include <string>
#include <system_error>
#include <vector>

namespace {

extern "C" void onInterrupt(int) {
    requestHostStop();
}

// A viewer beyond loopback shows the poses to the network.
void warnOfRemoteViewers(const ViewServer& viewer, const std::string& address) {
    hostMessage(std::cerr)
        << "warning: the viewer listens on " << address
        << ", not on loopback only: anyone who reaches this address can watch the poses"
        << std::endl;
    const std::vector<std::string> urls = viewer.remoteUrls();
    hostMessage(std::cerr) << "other machines reach the viewer at";
    for (const std::string& url : urls) {
        std::cerr << ' ' << url;
    }
    std::cerr << (urls.empty() ? " none: no interface but loopback has an address" : "")
              << std::endl;
}

// Standard output cannot be taken apart from the plug-in's messages.
int cannotWriteStandardOutput() {
    hostMessage(std::cerr) << "cannot write standard output ("
                           << std::generic_category().message(errno != 0 ? errno : EBADF) << ")"
                           << std::endl;
    return exitOutput;
}

// "-", or a file that is standard output itself (/dev/stdout, or the file standard
// output was sent to), means standard output.
bool isStandardOutput(const std::string& path) {
    platform::FileIdentity file;
    platform::FileIdentity out;
    return path == "-" || (platform::fileIdentity(path, file) &&
                           platform::streamIdentity(stdout, out) && file == out);
}

// Standard output that is the configuration itself: emptied by the shell before
// trackhost started (> for >>), or, with --align, taking lines at its end, in
// whichever section comes last. Answers exitSuccess, or exitUsage once told.
int configurationAsOutput(const HostOptions& options) {
    const std::string& file = options.run.configFile;
    platform::FileIdentity configuration;
    platform::FileIdentity out;
    if (!platform::fileIdentity(file, configuration) || !configuration.regular ||
        !platform::streamIdentity(stdout, out) || !(configuration == out)) {
        return exitSuccess;
    }
    std::string text;
    std::string problem;
    if (readWholeFile(file, maxConfigFileSize, text, problem) && text.empty()) {
        hostMessage(std::cerr) << file << " is empty: standard output is the same file, which "
                               << "the shell emptied (>) before trackhost started; nothing is "
                               << "written" << std::endl;
        return exitUsage;
    }
    if (options.align) {
        hostMessage(std::cerr) << "standard output is " << file << " itself: lines appended "
                               << "there land in its last section; --align --write " << file
                               << " puts them into the aligned section's own place" << std::endl;
        return exitUsage;
    }
    return exitSuccess;
}

// The run proper, with Ctrl-C, a hang-up and a vanished reader ending it cleanly and
// the records on their own channel.
int runWithSignals(HostOptions& options, PoseListener* listener) {
    // A reader that goes away makes a write fail, which ends the run cleanly.
    platform::ignoreBrokenPipe();
    // The live status lines need a terminal that takes cursor moves.
    options.status = options.status && platform::enableTerminalEscapes(stderr);
    // Ctrl-C ends the receive cycle; the devices are then stopped and deleted.
    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
    platform::catchHangUp(onInterrupt);
    if (!options.output.file.empty() && isStandardOutput(options.output.file)) {
        options.output.file.clear();
    }
    if (!options.output.file.empty()) {
        // --quiet: the plug-in's channel is standard output, and nothing of it is wanted.
        if (options.run.log.quiet && !platform::discardStdout()) {
            return cannotWriteStandardOutput();
        }
        PoseOutput output(options.output.file);
        return runHost(options, output, std::cerr, listener);
    }
    // Standard output carries the records alone: the plug-in's messages, written
    // to standard output by design, are sent to standard error before it loads
    // (with --quiet, nowhere).
    errno = 0;
    std::FILE* original = platform::separateStdout();
    if (original == nullptr || (options.run.log.quiet && !platform::discardStdout())) {
        return cannotWriteStandardOutput();
    }
    // On a console, names beyond ASCII reach it by its wide call, as in trackhost's
    // own lines; anywhere else the records' bytes go as they are, every write checked.
    std::ostream console(nullptr);
    platform::showUtf8OnConsole(console, original);
    const std::unique_ptr<PoseOutput> output = console.rdbuf() != nullptr
                                                   ? std::make_unique<PoseOutput>(console)
                                                   : std::make_unique<PoseOutput>(original);
    if (options.align) {
        return runAlign(options, *output, std::cerr);
    }
    return runHost(options, *output, std::cerr, listener);
}

int run(const std::vector<std::string>& arguments) {
    std::vector<const char*> words;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        words.push_back(arguments[i].c_str());
    }
    HostOptions options;
    std::string error;
    switch (parseHostOptions(static_cast<int>(words.size()), words.data(), options, error)) {
    case ParseResult::help:
        std::cout << usageText();
        return exitSuccess;
    case ParseResult::version:
        std::cout << versionText();
        return exitSuccess;
    case ParseResult::error:
        hostMessage(std::cerr) << shownText(error) << "\nTry 'trackhost --help'." << std::endl;
        return exitUsage;
    case ParseResult::run:
        break;
    }
    if (options.check) {
        return runCheck(options.run.configFile, std::cerr, options.verbose ? &std::cout : nullptr);
    }
    if (options.probe) {
        return runProbe(options, std::cout, std::cerr);
    }
    if (const int code = configurationAsOutput(options)) {
        return code;
    }
    // A name that is no file's is told before anything opens it.
    for (const auto& [role, path] : {std::make_pair("--output", options.output.file),
                                     std::make_pair("--record", options.run.sensors.recordFile)}) {
        const std::string problem = path.empty() ? std::string() : fileNameProblem(role, path);
        if (!problem.empty()) {
            hostMessage(std::cerr) << problem << std::endl;
            return exitUsage;
        }
    }
    // The recording library writes a file of its own, and standard output is the records'
    // (or, moved aside, the plug-in's) channel: a recording cannot go there.
    const std::string& recording = options.run.sensors.recordFile;
    if (!recording.empty() && isStandardOutput(recording)) {
        hostMessage(std::cerr) << "--record " << shownText(recording)
                               << " is standard output; a recording needs a file of its own "
                                  "(--replay plays it from there)"
                               << std::endl;
        return exitUsage;
    }

    // The viewer listens before any sensor wakes, so a taken port costs nothing.
    ViewServer viewer;
    if (options.view.port >= 0) {
        if (!viewer.start(options.view.address, options.view.port, error)) {
            hostMessage(std::cerr) << shownText(error) << std::endl;
            return exitView;
        }
        hostMessage(std::cerr) << "viewer at " << viewer.url() << std::endl;
        if (!isLoopbackAddress(options.view.address)) {
            warnOfRemoteViewers(viewer, options.view.address);
        }
    }
    PoseListener* const listener = options.view.port >= 0 ? &viewer.listener() : nullptr;
    return runWithSignals(options, listener);
}

} // namespace

// Nothing thrown ends trackhost unannounced: memory that runs out, or a resource
// the system refuses (the storage's mutex), is told with its own exit status. The
// devices are stopped and deleted on the way out. Names come and go as UTF-8, as
// the user typed them.
int main(int argc, char** argv) {
    try {
        // Before any library loads: none comes from the folder trackhost runs in.
        if (!platform::keepCurrentFolderOutOfLibrarySearch()) {
            hostMessage(std::cerr)
                << "cannot keep the current folder out of the library search" << std::endl;
            return exitSystem;
        }
        platform::showUtf8OnConsole(std::cerr, stderr);
        platform::showUtf8OnConsole(std::cout, stdout);
        return run(platform::programArguments(argc, argv));
    } catch (const std::bad_alloc&) {
        hostMessage(std::cerr) << "out of memory" << std::endl;
    } catch (const std::exception& error) {
        hostMessage(std::cerr) << error.what() << std::endl;
    } catch (...) {
        hostMessage(std::cerr) << "an unexpected exception" << std::endl;
    }
    return exitSystem;
}
