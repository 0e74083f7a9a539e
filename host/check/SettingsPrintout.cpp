// trackhost --check --verbose: printing the settings a section runs with.
#include "host/check/SettingsPrintout.h"

#include "device/PluginOptions.h"

#include <cstdio>
#include <ostream>
#include <sstream>
#include <string>

namespace {

// "  label" of the setting `topic` sets, padded to the column of the values.
std::ostream& setting(std::ostream& out, OptionTopic topic) {
    const std::string label = pluginOption(topic).setting;
    return out << "  " << label << std::string(23 - label.size(), ' ');
}

// Six decimals without trailing zeros, so that the float noise of a rotation by a
// right angle (cos 90 degrees: 1.8e-07) shows as the 0 it stands for.
std::string number(float value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.6f", static_cast<double>(value));
    std::string result = text;
    result.erase(result.find_last_not_of('0') + 1);
    if (result.back() == '.') {
        result.pop_back();
    }
    return result == "-0" ? "0" : result;
}

const char* yesNo(bool value) {
    return value ? "yes" : "no";
}

std::string lengths(const float* xyz) {
    std::ostringstream text;
    text << number(xyz[0]) << ' ' << number(xyz[1]) << ' ' << number(xyz[2]) << " feet";
    return text.str();
}

// The offset matrices keep x, y, z in m[3], m[7], m[11].
std::string offset(bool set, const Matrix4& matrix) {
    const float xyz[3] = {matrix.m[3], matrix.m[7], matrix.m[11]};
    return set ? lengths(xyz) : "none";
}

// The rotation block by columns: element m[4c + r] is row r, column c.
std::string rotation(bool set, const Matrix4& matrix) {
    if (!set) {
        return "none";
    }
    std::ostringstream text;
    for (int c = 0; c < 3; ++c) {
        text << (c == 0 ? "" : " / ") << number(matrix.m[4 * c]) << ' '
             << number(matrix.m[4 * c + 1]) << ' ' << number(matrix.m[4 * c + 2]);
    }
    return text.str();
}

// A text with a blank, or an empty one, quoted as the file would have it.
std::string quoted(const std::string& text) {
    const bool quote = text.empty() || text.find_first_of(" \t") != std::string::npos;
    return quote ? '"' + text + '"' : text;
}

} // namespace

void printSectionSettings(const DeviceSection& section, const PluginOptionReading& reading,
                          bool refused, const std::string& fileName, std::ostream& out) {
    const DeviceSettings& device = reading.device;
    const CTraCommonH& table = *reading.table;
    const TrackerEntry& sensor = table.entry(1);
    std::string calibration = "none";
    if (table.calib() != nullptr) {
        calibration = quoted(table.calibLibrary());
        for (const std::string& arg : table.calibArgs()) {
            calibration += ' ' + quoted(arg);
        }
    }

    std::ostringstream text;
    text << '[' << section.name << "] at " << fileName << ':' << section.line
         << (refused ? " (init would refuse it: see the problems reported)" : "") << '\n';
    setting(text, OptionTopic::port) << device.serialPort << '\n';
    setting(text, OptionTopic::reset) << yesNo(device.reset) << '\n';
    setting(text, OptionTopic::reconnect)
        << (device.reconnectMs > 0 ? std::to_string(device.reconnectMs) + " ms"
                                   : std::string("off"))
        << '\n';
    setting(text, OptionTopic::position)
        << (device.fixedPosition ? lengths(device.position) : "none (x y z stay 0)") << '\n';
    setting(text, OptionTopic::caveCoordinates) << yesNo(table.caveCoordinates()) << '\n';
    setting(text, OptionTopic::transmitterOffset)
        << offset(table.transmitterOffsetSet(), table.transmitterOffset()) << '\n';
    setting(text, OptionTopic::transmitterRotation)
        << rotation(table.transmitterRotationSet(), table.transmitterRotation()) << '\n';
    setting(text, OptionTopic::sensorOffset) << offset(sensor.offsetSet, sensor.offset) << '\n';
    setting(text, OptionTopic::sensorRotation)
        << rotation(sensor.rotationSet, sensor.rotation) << '\n';
    setting(text, OptionTopic::sensorTranslation)
        << (sensor.translationSet ? lengths(sensor.translation) : "none") << '\n';
    setting(text, OptionTopic::calibration) << calibration << '\n';
    out << text.str();
}
