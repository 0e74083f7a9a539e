// trackhost's command line.
#include "HostOptions.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

bool readDouble(const std::string& text, double& value) {
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    value = std::strtod(text.c_str(), &end);
    return *end == '\0' && errno == 0 && std::isfinite(value);
}

bool readInteger(const std::string& text, long long& value) {
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    value = std::strtoll(text.c_str(), &end, 10);
    return *end == '\0' && errno == 0;
}

// "PORT:AT:FOR" or "PORT:AT:FOR:repeat", in seconds.
bool readSimDropout(const std::string& text, SimDropout& dropout) {
    std::vector<std::string> fields(1);
    for (const char c : text) {
        if (c == ':') {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    long long port = 0;
    if ((fields.size() != 3 && !(fields.size() == 4 && fields[3] == "repeat")) ||
        !readInteger(fields[0], port) || port < 1 || port > 4 ||
        !readDouble(fields[1], dropout.at) || dropout.at < 0.0 ||
        !readDouble(fields[2], dropout.length) || dropout.length <= 0.0) {
        return false;
    }
    dropout.port = static_cast<std::uint16_t>(port);
    dropout.repeat = fields.size() == 4;
    return true;
}

// [ADDRESS:]PORT; an IPv6 address in brackets, [::1]:8080.
bool readViewAddress(const std::string& text, HostOptions& options) {
    const std::size_t colon = text.rfind(':');
    std::string address = colon == std::string::npos ? std::string() : text.substr(0, colon);
    if (address.size() >= 2 && address.front() == '[' && address.back() == ']') {
        address = address.substr(1, address.size() - 2);
    }
    const std::string portText = colon == std::string::npos ? text : text.substr(colon + 1);
    long long port = 0;
    if (!readInteger(portText, port) || port < 0 || port > 65535 ||
        (colon != std::string::npos && address.empty())) {
        return false;
    }
    if (colon != std::string::npos) {
        options.viewAddress = address;
    }
    options.viewPort = static_cast<int>(port);
    return true;
}

class Arguments {
public:
    Arguments(int argc, const char* const* argv, std::string& error)
        : argc(argc), argv(argv), error(error) {}

    bool more() const { return next < argc; }
    std::string take() { return argv[next++]; }

    // The value of an option, from "--name=value" or the next argument.
    bool value(const std::string& name, const std::string* inlineValue, std::string& value) {
        if (inlineValue != nullptr) {
            value = *inlineValue;
            return true;
        }
        if (!more()) {
            return fail(name + " needs a value");
        }
        value = take();
        return true;
    }

    bool fail(const std::string& message) {
        error = message;
        return false;
    }

private:
    int argc;
    const char* const* argv;
    int next = 0;
    std::string& error;
};

bool setOption(Arguments& args, const std::string& name, const std::string* inlineValue,
               HostOptions& options) {
    const bool takesValue = name == "--plugin" || name == "--output" || name == "--rate" ||
                            name == "--cycles" || name == "--seconds" || name == "--format" ||
                            name == "--debug" || name == "--debug-threshold" ||
                            name == "--record" || name == "--replay" || name == "--sim-noise" ||
                            name == "--sim-dropout" || name == "--view";
    if (!takesValue && inlineValue != nullptr) {
        return args.fail(name + " takes no value");
    }
    std::string value;
    if (takesValue && !args.value(name, inlineValue, value)) {
        return false;
    }
    double real = 0.0;
    long long integer = 0;
    if (name == "--plugin") {
        options.pluginPath = value;
    } else if (name == "--output") {
        options.outputFile = value;
    } else if (name == "--rate") {
        if (!readDouble(value, real) || real <= 0.0 || real > 10000.0) {
            return args.fail("--rate wants cycles per second above 0 and up to 10000, not \"" +
                             value + "\"");
        }
        options.rate = real;
    } else if (name == "--cycles") {
        if (!readInteger(value, integer) || integer < 0) {
            return args.fail("--cycles wants a whole number from 0 to " +
                             std::to_string(INT64_MAX) + ", not \"" + value + "\"");
        }
        options.cycles = integer;
    } else if (name == "--seconds") {
        if (!readDouble(value, real) || real < 0.0 || real > 1e9) {
            return args.fail("--seconds wants a number from 0 to 1000000000, not \"" + value +
                             "\"");
        }
        options.seconds = real;
    } else if (name == "--format") {
        std::string lower = value;
        std::transform(lower.begin(), lower.end(), lower.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if (!parseOutputFormat(lower, options.format)) {
            return args.fail("--format wants table, csv or json, not \"" + value + "\"");
        }
    } else if (name == "--debug") {
        if (!readInteger(value, integer) || integer < INT32_MIN || integer > INT32_MAX) {
            return args.fail("--debug wants a whole number, not \"" + value + "\"");
        }
        options.debugLevel = static_cast<std::int32_t>(integer);
    } else if (name == "--debug-threshold") {
        if (!readInteger(value, integer) || integer < INT32_MIN || integer > INT32_MAX) {
            return args.fail("--debug-threshold wants a whole number, not \"" + value + "\"");
        }
        options.debugThreshold = static_cast<std::int32_t>(integer);
    } else if (name == "--record" || name == "--replay") {
        if (value.empty()) {
            return args.fail(name + " wants a file name");
        }
        (name == "--record" ? options.recordFile : options.replayFile) = value;
    } else if (name == "--replay-timed") {
        options.replayTimed = true;
    } else if (name == "--loop") {
        options.loop = true;
    } else if (name == "--sim-noise") {
        if (!readDouble(value, real) || real < 0.0 || real > 45.0) {
            return args.fail("--sim-noise wants degrees RMS from 0 to 45, not \"" + value + "\"");
        }
        options.simNoise = real;
    } else if (name == "--check") {
        options.check = true;
    } else if (name == "--verbose") {
        options.verbose = true;
    } else if (name == "--sim-dropout") {
        SimDropout dropout;
        if (!readSimDropout(value, dropout)) {
            return args.fail("--sim-dropout wants PORT:AT:FOR or PORT:AT:FOR:repeat, a port "
                             "from 1 to 4 and seconds (FOR above 0), not \"" +
                             value + "\"");
        }
        options.simDropouts.push_back(dropout);
    } else if (name == "--no-status") {
        options.status = false;
    } else if (name == "--view") {
        if (!readViewAddress(value, options)) {
            return args.fail("--view wants [ADDRESS:]PORT with a port from 0 to 65535, not \"" +
                             value + "\"");
        }
    } else if (name == "--quiet") {
        options.quiet = true;
    } else if (name == "--no-date") {
        options.date = false;
    } else if (name == "--no-time") {
        options.time = false;
    } else if (name == "--no-thread-id") {
        options.threadId = false;
    } else {
        return args.fail("unknown option " + name);
    }
    return true;
}

} // namespace

ParseResult parseHostOptions(int argc, const char* const* argv, HostOptions& options,
                             std::string& error) {
    Arguments args(argc, argv, error);
    bool filesOnly = false;
    while (args.more()) {
        const std::string arg = args.take();
        if (filesOnly || arg.size() < 2 || arg[0] != '-') {
            if (!options.configFile.empty()) {
                args.fail("one configuration file only; \"" + arg + "\" is a second one");
                return ParseResult::error;
            }
            options.configFile = arg;
        } else if (arg == "--") {
            filesOnly = true;
        } else if (arg == "-h" || arg == "--help") {
            return ParseResult::help;
        } else if (arg == "--version") {
            return ParseResult::version;
        } else {
            const std::size_t equals = arg.find('=');
            const std::string name = arg.substr(0, equals);
            const std::string inlineValue =
                equals == std::string::npos ? std::string() : arg.substr(equals + 1);
            if (!setOption(args, name, equals == std::string::npos ? nullptr : &inlineValue,
                           options)) {
                return ParseResult::error;
            }
        }
    }
    if (options.configFile.empty()) {
        error = "no configuration file given";
        return ParseResult::error;
    }
    if (options.verbose && !options.check) {
        error = "--verbose needs --check";
        return ParseResult::error;
    }
    if ((options.replayTimed || options.loop) && options.replayFile.empty()) {
        error = std::string(options.loop ? "--loop" : "--replay-timed") + " needs --replay FILE";
        return ParseResult::error;
    }
    return ParseResult::run;
}

std::string usageText() {
    return R"(Usage: trackhost [options] CONFIG_FILE
       trackhost --check [--verbose] CONFIG_FILE

Loads the tracker plug-in, creates one device per [section] of CONFIG_FILE on
one shared data storage, runs init, configure and start, then the receive
cycle, and prints every record a device delivers: tracker ID, time (seconds
since 1970 UTC), x, y, z in feet and angle1, angle2, angle3 in degrees.
Without --cycles or --seconds it runs until interrupted (Ctrl-C); either way
it ends with stop and deleteDev for every device. While it runs on a terminal,
one status line per device shows its health; at the end, one summary line per
device on standard error. A device whose recvData fails for 2 seconds in a
row is reported at once, and again when it recovers.

Records go to standard output and nothing else does: trackhost's messages and,
while the records go there, the plug-in's messages go to standard error.

Options:
  --check          read CONFIG_FILE and report every problem in it, as
                   FILE:LINE: message, and likely mistakes, as FILE:LINE:
                   warning: message; wakes no sensor and loads no plug-in
                   (a calibration library is loaded to see that it can be)
  --verbose        with --check: then print each section's settings as the
                   plug-in would use them, on standard output
  --plugin PATH    the plug-in library (default: the one built beside trackhost)
  --rate HZ        receive cycles per second (default 30)
  --cycles N       stop after N cycles (0: init, configure, start and stop only)
  --seconds S      stop after S seconds (S x HZ cycles)
  --format F       table (default), csv, or json (one object per line); any
                   letter case
  --output FILE    write the records to FILE, opened once every device has
                   come through init; the plug-in's messages stay on standard
                   output then
  --debug LEVEL    debug level of the plug-in's logger (default 0: no DEBUG
                   lines); a level at or above the threshold shows all DEBUG
                   lines, else only those of the class it names: 1 the
                   device, 3 the transforms and the calibration library
  --debug-threshold N
                   the threshold the level is compared with (default 1)
  --record FILE    write every reading the sensor library gives the plug-in
                   to FILE (through a pass-through sensor library)
  --replay FILE    the simulated sensors play the recording FILE, one recorded
                   reading per reading call
  --replay-timed   play the recording at its recorded times instead
  --loop           start the recording over at its end (default: hold the
                   last reading)
  --sim-noise DEG  the simulated sensors jitter by DEG degrees RMS
  --view [ADDRESS:]PORT
                   also serve a live 3D view of the trackers to browsers at
                   http://ADDRESS:PORT/ (ADDRESS 127.0.0.1 unless given; port
                   0 picks a free one); the URL is printed at start
  --quiet          switch the plug-in's log lines off
  --no-date        log line heads without the date
  --no-time        log line heads without the time
  --no-thread-id   log line heads without the thread ID
  --no-status      no live status lines (drawn only when standard error is a
                   terminal: per device records per second, age of the last
                   record, failed cycles and reconnections)
  --sim-dropout PORT:AT:FOR[:repeat]
                   with the simulated sensor library only: unplug the sensor
                   on serial PORT AT seconds into the receive cycle and plug
                   it back in FOR seconds later; with :repeat its readings
                   repeat the last one instead of failing (may be given
                   more than once)
  -h, --help       show this text
  --version        show the version

Exit status:
  0  success (also when the reader of the records goes away, as head does;
     --check: no error, warnings alone do not fail)
  2  usage error (bad command line, output file not writable or the
     configuration file itself)
  3  configuration file error (unreadable file, bad line, more than 4 sections),
     or a recording to replay that is unreadable or malformed
  4  device failure (plug-in not loadable; createDev, init, configure, start or
     stop failed)
  5  the records or the recording could not be written (a write error, a full disk)
  6  a device never delivered a record (recvData failed in every cycle)
  7  the viewer could not serve (port in use, bad address, no viewer in this build)
  8  out of memory, or the system refused a resource trackhost needs (the
     storage's mutex)
)";
}

std::string versionText() {
    return "trackhost " TRACKHOST_VERSION "\n";
}
