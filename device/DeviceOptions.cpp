// The device's own options.
#include "DeviceOptions.h"

#include "DeviceOptionRows.h"

#include <algorithm>
#include <cmath>

using namespace optionReason;

namespace {

// The port is stored whatever its value; one outside 1 to 4 is refused without a
// line number. The range is checked on the number as written, so that 4294967297
// is not taken for port 1.
bool port(DeviceSettings& options, const OptionLine& line) {
    if (!line.countFits()) {
        return false;
    }
    const std::int64_t written = readOptionInteger(line.arg(1));
    options.serialPort = toInteger(line.arg(1));
    if (written < 1 || written > bird::maxSensors) {
        return line.failWith("Port should be between 1 and 4.");
    }
    return true;
}

bool reset(DeviceSettings& options, const OptionLine& line) {
    return line.countFits() && line.switchWord(1, options.reset);
}

// x, y, z in feet, or in the unit of an optional fourth word. After an earlier bad
// line a good one is checked but neither applied nor accepted.
bool position(DeviceSettings& options, const OptionLine& line) {
    float xyz[3];
    if (!line.countFits() || !line.numbers(1, 3, xyz) || !line.unitScale(xyz, 3)) {
        return false;
    }
    std::copy(xyz, xyz + 3, options.position);
    if (line.earlierError()) {
        return false;
    }
    options.fixedPosition = true;
    return true;
}

// Seconds of a lost stream before the device wakes its sensor again, and between
// attempts; 0 leaves reconnection off. Kept in whole milliseconds, at least one.
bool reconnect(DeviceSettings& options, const OptionLine& line) {
    constexpr float longest = 1e6f; // seconds, so that the milliseconds fit with room
    float seconds = 0.0f;
    if (!line.countFits() || !line.numbers(1, 1, &seconds)) {
        return false;
    }
    if (!(seconds >= 0.0f && seconds <= longest)) {
        return line.fail(invalidArg);
    }
    const auto milliseconds = std::llround(static_cast<double>(seconds) * 1000.0);
    options.reconnectMs = seconds > 0.0f ? std::max<std::int64_t>(milliseconds, 1) : 0;
    return true;
}

constexpr OptionRule<DeviceSettings> rules[] = {
    {OptionTopic::port, port},
    {OptionTopic::reset, reset},
    {OptionTopic::position, position},
    {OptionTopic::reconnect, reconnect},
};

} // namespace

bool readDeviceOptions(CConfigH& config, DeviceSettings& options, const CLoggerH& logger,
                       std::vector<OptionProblem>* collected) {
    OptionReports reports(logger, "C3DBird: ", collected);
    readOptions(config, deviceOptionRows(), rules, options, reports);
    return !reports.failed();
}
