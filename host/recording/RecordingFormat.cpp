// Writing and reading the text of a recording.
#include "host/recording/RecordingFormat.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <sstream>

#include "bird/BirdLibrary.h"
#include "platform/platform.h"

namespace {

const char* const formatName = "trackhost-recording";

std::vector<std::string> words(const std::string& line) {
    std::istringstream stream(line);
    std::vector<std::string> list;
    std::string word;
    while (stream >> word) {
        list.push_back(word);
    }
    return list;
}

// The whole word as a number of type T; from_chars reads floats exactly.
template <typename T> bool readWhole(const std::string& word, T& value) {
    const char* end = word.data() + word.size();
    const std::from_chars_result read = std::from_chars(word.data(), end, value);
    return read.ec == std::errc() && read.ptr == end;
}

// Whether `text` is a start time as recordingStartTime writes it,
// "2026-12-07T11:05:54.123Z", each field in its range (a leap second included).
bool startTimeForm(const std::string& text) {
    static const char form[] = "dddd-dd-ddTdd:dd:dd.dddZ";
    if (text.size() != sizeof form - 1) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool digit = text[i] >= '0' && text[i] <= '9';
        if (form[i] == 'd' ? !digit : text[i] != form[i]) {
            return false;
        }
    }
    const auto field = [&text](std::size_t at) {
        return (text[at] - '0') * 10 + (text[at + 1] - '0');
    };
    const int month = field(5);
    const int day = field(8);
    return month >= 1 && month <= 12 && day >= 1 && day <= 31 && field(11) <= 23 &&
           field(14) <= 59 && field(17) <= 60;
}

class Parser {
public:
    Parser(RecordingHeader& header, std::vector<RecordingReading>& readings,
           RecordingProblem& problem)
        : header(header), readings(readings), problem(problem) {}

    bool line(const std::string& text, unsigned number) {
        const std::vector<std::string> fields = words(text);
        switch (number) {
        case 1:
            return version(fields, number);
        case 2:
            return ports(fields, number);
        case 3:
            return start(fields, number);
        default:
            return reading(fields, number);
        }
    }

    bool fail(unsigned number, const std::string& message) {
        problem = RecordingProblem{number, message};
        return false;
    }

private:
    bool version(const std::vector<std::string>& fields, unsigned number) {
        int version = 0;
        if (fields.size() != 2 || fields[0] != formatName || !readWhole(fields[1], version)) {
            return fail(number, "not a trackhost recording (no \"trackhost-recording 1\" line)");
        }
        if (version != recordingFormatVersion) {
            return fail(number, "recording format version " + fields[1] +
                                    "; this trackhost reads version " +
                                    std::to_string(recordingFormatVersion));
        }
        return true;
    }

    bool ports(const std::vector<std::string>& fields, unsigned number) {
        if (fields.empty() || fields[0] != "ports") {
            return fail(number, "expected \"ports ...\" as the second header line");
        }
        for (std::size_t i = 1; i < fields.size(); ++i) {
            std::uint16_t port = 0;
            if (!readWhole(fields[i], port) || port < 1 || port > bird::maxSensors) {
                return fail(number, "port \"" + fields[i] + "\" is not 1 to " +
                                        std::to_string(bird::maxSensors));
            }
            if (!header.ports.empty() && port <= header.ports.back()) {
                return fail(number, "port \"" + fields[i] + "\" comes after port " +
                                        std::to_string(header.ports.back()) +
                                        "; the ports are listed once each, ascending");
            }
            header.ports.push_back(port);
        }
        return true;
    }

    bool start(const std::vector<std::string>& fields, unsigned number) {
        if (fields.size() != 2 || fields[0] != "start") {
            return fail(number, "expected \"start TIME\" as the third header line");
        }
        if (!startTimeForm(fields[1])) {
            return fail(number, "start time \"" + fields[1] +
                                    "\" is not a UTC time such as 2026-12-07T11:05:54.123Z");
        }
        header.start = fields[1];
        return true;
    }

    bool reading(const std::vector<std::string>& fields, unsigned number) {
        if (fields.size() != 6) {
            return fail(number, "a reading has 6 fields (ms port result angle1 angle2 angle3), "
                                "this line " +
                                    std::to_string(fields.size()));
        }
        RecordingReading read{};
        if (!readWhole(fields[0], read.milliseconds) || read.milliseconds < lastMilliseconds) {
            return fail(number, "time \"" + fields[0] +
                                    "\" is not a whole number of milliseconds from " +
                                    std::to_string(lastMilliseconds) + " on");
        }
        const std::vector<std::uint16_t>& ports = header.ports;
        if (!readWhole(fields[1], read.port) ||
            std::find(ports.begin(), ports.end(), read.port) == ports.end()) {
            return fail(number, "port \"" + fields[1] + "\" is not in the header's ports");
        }
        if (!readWhole(fields[2], read.result)) {
            return fail(number, "result \"" + fields[2] + "\" is not a whole number");
        }
        for (int i = 0; i < 3; ++i) {
            // Whatever the sensor gave is played back, "nan" and "inf" included.
            if (!readWhole(fields[3 + i], read.angles[i])) {
                return fail(number, "angle" + std::to_string(i + 1) + " \"" + fields[3 + i] +
                                        "\" is not a number");
            }
        }
        lastMilliseconds = read.milliseconds;
        readings.push_back(read);
        return true;
    }

    RecordingHeader& header;
    std::vector<RecordingReading>& readings;
    RecordingProblem& problem;
    std::int32_t lastMilliseconds = 0;
};

} // namespace

std::string recordingStartTime(std::time_t seconds, int milliseconds) {
    std::tm utc{};
    char when[32] = "1970-01-01T00:00:00";
    if (platform::utcTime(seconds, utc)) {
        std::strftime(when, sizeof when, "%Y-%m-%dT%H:%M:%S", &utc);
    }
    char start[48];
    std::snprintf(start, sizeof start, "%s.%03dZ", when, milliseconds);
    return start;
}

std::string recordingHeaderText(const RecordingHeader& header) {
    std::string text =
        std::string(formatName) + " " + std::to_string(recordingFormatVersion) + "\nports";
    for (const std::uint16_t port : header.ports) {
        text += " " + std::to_string(port);
    }
    return text + "\nstart " + header.start + "\n";
}

std::size_t writeRecordingLine(std::int64_t milliseconds, std::uint16_t port, std::int32_t result,
                               const float* angles, char (&line)[recordingLineSize]) {
    int length =
        std::snprintf(line, sizeof line, "%lld %u %ld", static_cast<long long>(milliseconds),
                      static_cast<unsigned>(port), static_cast<long>(result));
    for (std::size_t i = 0; i < 3; ++i) {
        line[length++] = ' ';
        length = static_cast<int>(
            std::to_chars(line + length, line + sizeof line - 2, angles[i]).ptr - line);
    }
    line[length++] = '\n';
    return static_cast<std::size_t>(length);
}

bool readRecordingText(const std::string& text, RecordingHeader& header,
                       std::vector<RecordingReading>& readings, RecordingProblem& problem) {
    header = RecordingHeader{};
    readings.clear();
    Parser parser(header, readings, problem);
    unsigned number = 1;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            return parser.fail(number, "the line is cut off (the file ends without a line end)");
        }
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.find('\0') != std::string::npos) {
            return parser.fail(number, "NUL byte in the line");
        }
        if (!parser.line(line, number)) {
            return false;
        }
        start = end + 1;
        ++number;
    }
    if (number <= 3) {
        static const char* const expected[] = {"", "\"trackhost-recording 1\"", "\"ports ...\"",
                                               "\"start TIME\""};
        return parser.fail(number,
                           "the header ends early; expected " + std::string(expected[number]));
    }
    return true;
}
