// trackhost's command line: one table of its options, read by one reader, and the
// usage text written from the same table.
#include "host/HostOptions.h"
#include "host/align/AlignProcedure.h"
#include "host/report/ExitCode.h"
#include "host/view/ViewAddress.h"

#include "bird/BirdLibrary.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <sstream>
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

// A word value (a format, a motion, a drop-out's "repeat") as its reader compares
// it: every word value is taken in any letter case, through this.
std::string wordValue(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// Takes a value into the options; false when the value is not one the option takes.
using Setter = std::function<bool(HostOptions& options, const std::string& value)>;

// Where an option's value goes: a field of the options, or of a room's settings in them.
template <typename T> using Field = std::function<T&(HostOptions&)>;

template <typename T> Field<T> field(T HostOptions::*member) {
    return [member](HostOptions& options) -> T& { return options.*member; };
}

template <typename Group, typename T> Field<T> field(Group HostOptions::*group, T Group::*member) {
    return [group, member](HostOptions& options) -> T& { return (options.*group).*member; };
}

template <typename T> Field<T> sensorField(T SensorSettings::*member) {
    return [member](HostOptions& options) -> T& { return options.run.sensors.*member; };
}

template <typename T> Field<T> logField(T LogSettings::*member) {
    return [member](HostOptions& options) -> T& { return options.run.log.*member; };
}

template <typename T> Field<T> paceField(T PaceSettings::*member) {
    return [member](HostOptions& options) -> T& { return options.run.pace.*member; };
}

// A switch: sets `field` to `value`.
Setter flag(Field<bool> field, bool value = true) {
    return [field, value](HostOptions& options, const std::string&) {
        field(options) = value;
        return true;
    };
}

// Any text; with `nonEmpty`, any but the empty one.
Setter text(Field<std::string> field) {
    return [field](HostOptions& options, const std::string& value) {
        field(options) = value;
        return true;
    };
}

// A decimal number from `low` (included when `withLow`) up to and including `high`.
Setter real(Field<double> field, double low, bool withLow, double high) {
    return [=](HostOptions& options, const std::string& value) {
        double number = 0.0;
        if (!readDouble(value, number) || number < low || (!withLow && number == low) ||
            number > high) {
            return false;
        }
        field(options) = number;
        return true;
    };
}

// A whole decimal number from `low` to `high`.
template <typename T> Setter whole(Field<T> field, long long low, long long high) {
    return [=](HostOptions& options, const std::string& value) {
        long long number = 0;
        if (!readInteger(value, number) || number < low || number > high) {
            return false;
        }
        field(options) = static_cast<T>(number);
        return true;
    };
}

// The fields of "A:B:C", an empty one wherever two colons meet.
std::vector<std::string> colonFields(const std::string& text) {
    std::vector<std::string> fields(1);
    for (const char c : text) {
        if (c == ':') {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

// "PORT:AT:FOR" or "PORT:AT:FOR:repeat" (in any letter case), in seconds; each one
// adds a drop-out.
bool addSimDropout(HostOptions& options, const std::string& text) {
    const std::vector<std::string> fields = colonFields(text);
    SimDropout dropout;
    long long port = 0;
    if ((fields.size() != 3 && !(fields.size() == 4 && wordValue(fields[3]) == "repeat")) ||
        !readInteger(fields[0], port) || port < 1 || port > bird::maxSensors ||
        !readDouble(fields[1], dropout.at) || dropout.at < 0.0 ||
        !readDouble(fields[2], dropout.length) || dropout.length <= 0.0) {
        return false;
    }
    dropout.port = static_cast<std::uint16_t>(port);
    dropout.repeat = fields.size() == 4;
    options.run.sensors.simDropouts.push_back(dropout);
    return true;
}

// [ADDRESS:]PORT; an IPv6 address in brackets, [::1]:8080. A URL is no address.
bool readViewAddress(HostOptions& options, const std::string& text) {
    return parseViewAddress(text, options.view.address, options.view.port);
}

// "AX:AY:AZ:ANGLE": a turn by ANGLE degrees about an axis of non-zero length.
bool readSimTurn(const std::string& text, SimTurn& turn) {
    const std::vector<std::string> fields = colonFields(text);
    if (fields.size() != 4 || !readDouble(fields[0], turn.axis[0]) ||
        !readDouble(fields[1], turn.axis[1]) || !readDouble(fields[2], turn.axis[2]) ||
        !readDouble(fields[3], turn.degrees) ||
        (turn.axis[0] == 0.0 && turn.axis[1] == 0.0 && turn.axis[2] == 0.0)) {
        return false;
    }
    turn.set = true;
    return true;
}

Setter simTurn(Field<SimTurn> field) {
    return [field](HostOptions& options, const std::string& value) {
        return readSimTurn(value, field(options));
    };
}

bool readSimMotion(HostOptions& options, const std::string& text) {
    const std::string value = wordValue(text);
    if (value != "wave" && value != "align") {
        return false;
    }
    options.run.sensors.simMotion = value == "align" ? SimMotion::align : SimMotion::wave;
    return true;
}

// "2,3", "1,3:no-config" or "none": the simulated ports that have a sensor.
bool readSimPorts(HostOptions& options, const std::string& value) {
    SimPorts& ports = options.run.sensors.simPorts;
    ports = SimPorts{};
    ports.set = true;
    if (wordValue(value) == "none") {
        return true;
    }
    std::string field;
    std::istringstream fields(value);
    while (std::getline(fields, field, ',')) {
        const std::vector<std::string> parts = colonFields(field);
        long long port = 0;
        if (parts.size() > 2 || (parts.size() == 2 && wordValue(parts[1]) != "no-config") ||
            !readInteger(parts[0], port) || port < 1 || port > bird::maxSensors ||
            ports.present[port - 1]) {
            return false;
        }
        ports.present[port - 1] = true;
        ports.noConfig[port - 1] = parts.size() == 2;
    }
    return !value.empty() && value.back() != ',';
}

// --align [SECTION]: the section is optional.
bool readAlign(HostOptions& options, const std::string& value) {
    options.align = true;
    options.alignSection = value;
    return true;
}

bool readFormat(HostOptions& options, const std::string& value) {
    return parseOutputFormat(wordValue(value), options.output.format);
}

// One option of trackhost's.
struct HostOption {
    const char* name;  // "--rate"
    const char* value; // the value's name in the usage text ("HZ"); null: a switch
    // What a value must be: "--rate wants WANTS, not \"0\""; null for a file's name,
    // which only the empty text fails: "--record wants a file name".
    std::string wants;
    Setter set;       // null for --help and --version
    const char* help; // the usage text's lines for it
    // Another option this one needs, or null.
    const char* needs = nullptr;
    const char* alias = nullptr; // "-h"
    ParseResult result = ParseResult::run;
    // The value may be left out: "--align" or "--align SECTION", where SECTION is
    // the next argument unless that is an option.
    bool optionalValue = false;

    // "--rate HZ", or "-h, --help".
    std::string label() const {
        return (alias != nullptr ? std::string(alias) + ", " : std::string()) + name +
               (value != nullptr ? std::string(" ") + value : std::string());
    }
};

// Every option, in the order of the usage text.
using O = HostOptions;
const std::vector<HostOption> optionTable = {
    {"--check",
     nullptr,
     {},
     flag(field(&O::check)),
     "read CONFIG_FILE and report every problem in it, as\n"
     "FILE:LINE: message, and likely mistakes, as FILE:LINE:\n"
     "warning: message; wakes no sensor and loads no plug-in\n"
     "(a calibration library is loaded to see that it can be);\n"
     "no option but --verbose goes with it"},
    {"--verbose",
     nullptr,
     {},
     flag(field(&O::verbose)),
     "with --check: then print each section's settings as the\n"
     "plug-in would use them, on standard output",
     "--check"},
    {"--plugin",
     "PATH",
     {},
     text(field(&O::run, &RunSettings::pluginPath)),
     "the plug-in library (default: the one built beside trackhost)"},
    {"--rate", "HZ", "cycles per second above 0 and up to 10000",
     real(paceField(&PaceSettings::rate), 0.0, false, 10000.0),
     "receive cycles per second (default 30; 100 with --align; with\n"
     "--replay, the rate the recording was made at)"},
    {"--cycles", "N", "a whole number from 0 to 9223372036854775807",
     whole(paceField(&PaceSettings::cycles), 0, INT64_MAX),
     "stop after N cycles (0: init, configure, start and stop only)"},
    {"--seconds", "S", "a number from 0 to 1000000000",
     real(paceField(&PaceSettings::seconds), 0.0, true, 1e9),
     "stop after S seconds (S x HZ cycles)"},
    {"--format", "F", "table, csv or json", readFormat,
     "table (default), csv, or json (one object per line); any\n"
     "letter case"},
    {"--output",
     "FILE",
     {},
     text(field(&O::output, &OutputSettings::file)),
     "write the records to FILE, which takes them once every\n"
     "device has started (a failed run leaves it as it was); the\n"
     "plug-in's messages stay on standard output then"},
    {"--debug", "LEVEL", "a whole number",
     whole(logField(&LogSettings::debugLevel), INT32_MIN, INT32_MAX),
     "debug level of the plug-in's logger (default 0: no DEBUG\n"
     "lines); a level at or above the threshold shows all DEBUG\n"
     "lines, else only those of the class it names: 1 the\n"
     "device, 3 the transforms and the calibration library"},
    {"--debug-threshold", "N", "a whole number",
     whole(logField(&LogSettings::debugThreshold), INT32_MIN, INT32_MAX),
     "the threshold the level is compared with (default 1)"},
    {"--record",
     "FILE",
     {},
     text(sensorField(&SensorSettings::recordFile)),
     "write every reading the sensor library gives the plug-in\n"
     "to FILE (through a pass-through sensor library)"},
    {"--replay",
     "FILE",
     {},
     text(sensorField(&SensorSettings::replayFile)),
     "the simulated sensors play the recording FILE, one recorded\n"
     "reading per reading call"},
    {"--replay-timed",
     nullptr,
     {},
     flag(sensorField(&SensorSettings::replayTimed)),
     "play the recording at its recorded times instead",
     "--replay"},
    {"--loop",
     nullptr,
     {},
     flag(sensorField(&SensorSettings::loop)),
     "start the recording over at its end (default: the run\n"
     "ends there)",
     "--replay"},
    {"--sim-noise", "DEG", "degrees RMS from 0 to 45",
     real(sensorField(&SensorSettings::simNoise), 0.0, true, 45.0),
     "the simulated sensors jitter by DEG degrees RMS"},
    {"--view", "[ADDRESS:]PORT", "[ADDRESS:]PORT with a port from 0 to 65535", readViewAddress,
     "also serve a live 3D view of the trackers to browsers at\n"
     "http://ADDRESS:PORT/ (ADDRESS 127.0.0.1 unless given; port\n"
     "0 picks a free one); the URL is printed at start"},
    {"--quiet",
     nullptr,
     {},
     flag(logField(&LogSettings::quiet)),
     "switch the plug-in's log lines off and discard whatever\n"
     "else it writes"},
    {"--no-date",
     nullptr,
     {},
     flag(logField(&LogSettings::date), false),
     "log line heads without the date"},
    {"--no-time",
     nullptr,
     {},
     flag(logField(&LogSettings::time), false),
     "log line heads without the time"},
    {"--no-thread-id",
     nullptr,
     {},
     flag(logField(&LogSettings::threadId), false),
     "log line heads without the thread ID"},
    {"--no-status",
     nullptr,
     {},
     flag(field(&O::status), false),
     "no live status lines (drawn only when standard error is a\n"
     "terminal: per device records per second, age of the last\n"
     "record, failed cycles and recoveries)"},
    {"--sim-dropout", "PORT:AT:FOR[:repeat]",
     "PORT:AT:FOR or PORT:AT:FOR:repeat, a port from 1 to " + std::to_string(bird::maxSensors) +
         " and seconds (FOR above 0)",
     addSimDropout,
     "with the simulated sensor library only: unplug the sensor\n"
     "on serial PORT AT seconds into the receive cycle and plug\n"
     "it back in FOR seconds later; with :repeat its readings\n"
     "repeat the last one instead of failing (may be given\n"
     "more than once)"},
    {"--align", "[SECTION]", "a section name", readAlign,
     "find the transmitterrotation and sensorrotation lines of\n"
     "SECTION (needed when CONFIG_FILE has several): hold the\n"
     "tracked object still at the front, turned left and tilted\n"
     "up as the prompts on standard error say; the lines go to\n"
     "standard output; --seconds limits the time (default 60)",
     nullptr, nullptr, ParseResult::run, true},
    {"--write",
     "FILE",
     {},
     text(field(&O::writeFile)),
     "with --align: write the lines into the section's own place\n"
     "in FILE, the configuration (the old one kept as FILE.bak),\n"
     "and say what changed; with --probe: write the\n"
     "configuration found into FILE, a new file"},
    {"--probe",
     nullptr,
     {},
     flag(field(&O::probe)),
     "wake the sensor on each serial port 1 to 4 in turn and\n"
     "print a configuration with a section for each one that\n"
     "answers (CONFIG_FILE is optional); lists the machine's\n"
     "serial ports too"},
    {"--sim-ports", "LIST",
     "ports from 1 to 4 separated by commas, each perhaps with :no-config, or none", readSimPorts,
     "with the simulated sensor library only: the serial ports\n"
     "that have a sensor, as 2,3 (default 1,2,3,4), or none; a\n"
     "port with :no-config answers the wake-up but fails the\n"
     "configuration read"},
    {"--sim-mount", "AX:AY:AZ:ANGLE", "AX:AY:AZ:ANGLE, an axis of non-zero length and degrees",
     simTurn(sensorField(&SensorSettings::simMount)),
     "with the simulated sensor library only: the sensor is\n"
     "mounted crooked, so that it takes\n"
     "\"sensorrotation 1 AX AY AZ ANGLE\" to set it right"},
    {"--sim-transmitter", "AX:AY:AZ:ANGLE",
     "AX:AY:AZ:ANGLE, an axis of non-zero length and degrees",
     simTurn(sensorField(&SensorSettings::simTransmitter)),
     "with the simulated sensor library only: the transmitter is\n"
     "turned, so that it takes \"transmitterrotation AX AY AZ\n"
     "ANGLE\" to set it right"},
    {"--sim-motion", "M", "wave or align", readSimMotion,
     "with the simulated sensor library only: wave (default) or\n"
     "align, which holds the three poses of --align, every 12 s"},
    {"--help", nullptr, {}, nullptr, "show this text", nullptr, "-h", ParseResult::help},
    {"--version", nullptr, {}, nullptr, "show the version", nullptr, nullptr, ParseResult::version},
};

const std::vector<HostOption>& hostOptions() {
    return optionTable;
}

const HostOption* findOption(const std::string& name) {
    for (const HostOption& option : hostOptions()) {
        if (name == option.name || (option.alias != nullptr && name == option.alias)) {
            return &option;
        }
    }
    return nullptr;
}

// What --align does not go with, or null.
const char* alignConflict(const HostOptions& options) {
    if (!options.align) {
        return nullptr;
    }
    return options.check                  ? "--check"
           : !options.output.file.empty() ? "--output: its two lines go to standard output"
           : options.view.port >= 0       ? "--view"
           : options.run.pace.cycles >= 0 ? "--cycles: its time limit is --seconds"
           : !options.run.sensors.simDropouts.empty() ? "--sim-dropout"
                                                      : nullptr;
}

// The first option given with --check that it does not take, or null: the check
// reads the configuration and loads no plug-in, so only --verbose changes what it does.
const char* checkConflict(const HostOptions& options, const std::vector<const HostOption*>& given) {
    if (!options.check) {
        return nullptr;
    }
    for (const HostOption* option : given) {
        const std::string name = option->name;
        if (name != "--check" && name != "--verbose") {
            return option->name;
        }
    }
    return nullptr;
}

// The first option given with --probe that it does not take, or null: a probe wakes
// each port's sensor once and runs no receive cycle.
const char* probeConflict(const HostOptions& options, const std::vector<const HostOption*>& given) {
    if (!options.probe) {
        return nullptr;
    }
    for (const HostOption* option : given) {
        const std::string name = option->name;
        if (name != "--probe" && name != "--write" && name != "--plugin" && name != "--sim-ports" &&
            name != "--quiet") {
            return option->name;
        }
    }
    return nullptr;
}

// Options that cannot be given together, and options that need another one.
bool checkCombinations(const HostOptions& options, const std::vector<const HostOption*>& given,
                       std::string& error) {
    const auto wasGiven = [&given](const char* name) {
        return std::any_of(given.begin(), given.end(), [name](const HostOption* option) {
            return std::string(option->name) == name;
        });
    };
    if (options.run.configFile.empty() && !options.probe) {
        error = "no configuration file given";
        return false;
    }
    if (!options.writeFile.empty() && !options.align && !options.probe) {
        error = "--write needs --align or --probe";
        return false;
    }
    if (const char* conflict = probeConflict(options, given)) {
        error = std::string("--probe does not go with ") + conflict;
        return false;
    }
    if (const char* conflict = alignConflict(options)) {
        error = std::string("--align does not go with ") + conflict;
        return false;
    }
    if (const char* conflict = checkConflict(options, given)) {
        error = std::string("--check does not go with ") + conflict;
        return false;
    }
    // A replayed reading is as the recorded sensor measured it: the simulator's set-up
    // and motion have nothing to act on.
    for (const char* name : {"--sim-mount", "--sim-transmitter", "--sim-motion"}) {
        if (wasGiven("--replay") && wasGiven(name)) {
            error = std::string(name) + " does not go with --replay: the replayed readings are "
                                        "the recorded sensor's, its mount and motion included";
            return false;
        }
    }
    // Both would set how long the run lasts.
    if (wasGiven("--cycles") && wasGiven("--seconds")) {
        error = "--cycles and --seconds cannot be given together";
        return false;
    }
    for (const HostOption& option : hostOptions()) {
        if (option.needs != nullptr && wasGiven(option.name) && !wasGiven(option.needs)) {
            error = std::string(option.name) + " needs " + findOption(option.needs)->label();
            return false;
        }
    }
    return true;
}

// The command line as it is read, one argument after the other.
struct Arguments {
    int count;
    const char* const* values;
    int next = 0;

    bool more() const { return next < count; }
    // The next argument is there and is no option.
    bool plainNext() const { return more() && (values[next][0] != '-' || values[next][1] == '\0'); }
};

// The value of `option` given as `arg`: "--name=value", the next argument, or, for
// an optional value, the next argument unless that is an option (`taken` then says
// so, since it may turn out to be the configuration file).
bool optionValue(const HostOption& option, const std::string& arg, Arguments& args,
                 std::string& value, bool& taken, std::string& error) {
    const std::size_t equals = arg.find('=');
    if (equals != std::string::npos) {
        if (option.optionalValue && equals + 1 == arg.size()) {
            error = std::string(option.name) + "= wants " + option.wants;
            return false;
        }
        value = arg.substr(equals + 1);
    } else if (option.optionalValue) {
        if (args.plainNext()) {
            value = args.values[args.next++];
            taken = true;
        }
    } else if (option.value != nullptr) {
        if (!args.more()) {
            error = std::string(option.name) + " needs a value";
            return false;
        }
        value = args.values[args.next++];
    }
    return true;
}

// One option, `arg`, with its value into `options`; noted in `given`.
ParseResult readOption(const std::string& arg, Arguments& args, HostOptions& options,
                       std::vector<const HostOption*>& given, bool& valueTaken,
                       std::string& error) {
    const std::size_t equals = arg.find('=');
    const std::string name = arg.substr(0, equals);
    const HostOption* option = findOption(name);
    if (option == nullptr) {
        error = "unknown option " + name;
        return ParseResult::error;
    }
    if (option->value == nullptr && equals != std::string::npos) {
        error = name + " takes no value";
        return ParseResult::error;
    }
    if (option->result != ParseResult::run) {
        return option->result;
    }
    std::string value;
    if (!optionValue(*option, arg, args, value, valueTaken, error)) {
        return ParseResult::error;
    }
    // Every file's name alike: the empty text names none.
    const bool fileName = option->value != nullptr && option->wants.empty();
    if ((fileName && value.empty()) || !option->set(options, value)) {
        error = name + (fileName ? std::string(" wants a file name")
                                 : " wants " + option->wants + ", not \"" + value + "\"");
        return ParseResult::error;
    }
    given.push_back(option);
    return ParseResult::run;
}

} // namespace

ParseResult parseHostOptions(int argc, const char* const* argv, HostOptions& options,
                             std::string& error) {
    Arguments args{argc, argv};
    bool filesOnly = false;
    std::vector<const HostOption*> given;
    bool valueOrFile = false; // an optional value was taken: it may be the file
    while (args.more()) {
        const std::string arg = args.values[args.next++];
        if (filesOnly || arg.size() < 2 || arg[0] != '-') {
            if (!options.run.configFile.empty()) {
                error = "one configuration file only; \"" + arg + "\" is a second one";
                return ParseResult::error;
            }
            options.run.configFile = arg;
        } else if (arg == "--") {
            filesOnly = true;
        } else {
            const ParseResult result = readOption(arg, args, options, given, valueOrFile, error);
            if (result != ParseResult::run) {
                return result;
            }
        }
    }
    // --align --write FILE: FILE is the configuration, read and written.
    if (options.align && !options.writeFile.empty()) {
        if (!options.run.configFile.empty() && options.run.configFile != options.writeFile) {
            error = "--align --write FILE aligns FILE itself; \"" + options.run.configFile +
                    "\" is a second configuration file";
            return ParseResult::error;
        }
        options.run.configFile = options.writeFile;
    } else if (valueOrFile && options.run.configFile.empty()) {
        options.run.configFile = options.alignSection;
        options.alignSection.clear();
    }
    options.run.pace.rateGiven =
        std::any_of(given.begin(), given.end(),
                    [](const HostOption* option) { return std::string(option->name) == "--rate"; });
    // --align takes every reading a sensor measures unless told otherwise: the more
    // readings each still pose has, the less their jitter moves the rotations found. A
    // replay's own rate comes before it.
    if (options.align && !options.run.pace.rateGiven) {
        options.run.pace.rate = alignRate;
    }
    return checkCombinations(options, given, error) ? ParseResult::run : ParseResult::error;
}

std::vector<std::string> hostOptionLabels() {
    std::vector<std::string> labels;
    for (const HostOption& option : hostOptions()) {
        labels.push_back(option.label());
    }
    return labels;
}

namespace {

// The exit statuses as the usage text lists them, from their one table.
std::string exitStatusText() {
    std::string text;
    for (const ExitStatus& status : exitStatuses) {
        text += "  " + std::to_string(status.code) + "  ";
        for (const char* c = status.meaning; *c != '\0'; ++c) {
            text += *c;
            if (*c == '\n') {
                text += "     ";
            }
        }
        text += '\n';
    }
    return text;
}

} // namespace

std::string usageText() {
    std::string options;
    // Labels of up to 15 characters share the line with the help's first line.
    constexpr std::size_t column = 19;
    const std::string indent(column, ' ');
    for (const HostOption& option : hostOptions()) {
        const std::string label = "  " + option.label();
        options += label.size() + 2 <= column ? label + std::string(column - label.size(), ' ')
                                              : label + "\n" + indent;
        for (const char* c = option.help; *c != '\0'; ++c) {
            options += *c;
            if (*c == '\n') {
                options += indent;
            }
        }
        options += '\n';
    }
    return R"(Usage: trackhost [options] CONFIG_FILE
  or:  trackhost --check [--verbose] CONFIG_FILE
  or:  trackhost --align [SECTION] [options] [--write] CONFIG_FILE
  or:  trackhost --probe [--write NEW_FILE] [CONFIG_FILE]

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

Setting sensors up takes five steps: --probe --write first.conf finds the
sensors and writes a configuration; --check first.conf checks it; a run
(--seconds 3 first.conf) shows the records; --align SECTION --write first.conf
puts a crooked sensor's rotation lines into its section; --view 8080
first.conf shows the result in the browser.

Options:
)" + options +
           "\nExit status:\n" + exitStatusText();
}

std::string versionText() {
    return "trackhost " TRACKHOST_VERSION "\n";
}
