// --sim-dropout against the configuration and the run's length.
#include "host/sensors/DropoutCheck.h"
#include "host/report/HostMessage.h"
#include "host/report/ShownText.h"

#include "host/input/SectionSettings.h"

#include <algorithm>
#include <cstdio>
#include <ostream>

namespace {

// The device settings of `section`, as its option reader takes them (a bad line's
// setting left at its default).
DeviceSettings settingsOf(const DeviceSection& section) {
    DeviceSettings settings;
    sectionSettings(section, settings);
    return settings;
}

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

std::string optionText(const SimDropout& dropout) {
    return "--sim-dropout " + std::to_string(dropout.port) + ":" + number(dropout.at) + ":" +
           number(dropout.length) + (dropout.repeat ? ":repeat" : "");
}

} // namespace

std::vector<std::string> sectionsWithoutReconnect(const std::vector<DeviceSection>& sections,
                                                  std::int32_t port) {
    std::vector<std::string> names;
    for (const DeviceSection& section : sections) {
        const DeviceSettings settings = settingsOf(section);
        if (settings.serialPort == port && settings.reconnectMs == 0) {
            names.push_back(section.name);
        }
    }
    return names;
}

bool checkDropouts(const std::vector<SimDropout>& dropouts,
                   const std::vector<DeviceSection>& sections, const std::string& fileName,
                   std::int64_t cycles, double rate, std::ostream& err) {
    std::vector<std::int32_t> ports;
    for (const DeviceSection& section : sections) {
        ports.push_back(settingsOf(section).serialPort);
    }
    for (const SimDropout& dropout : dropouts) {
        if (std::find(ports.begin(), ports.end(), dropout.port) == ports.end()) {
            hostMessage(err) << optionText(dropout) << ": no section of " << shownText(fileName)
                             << " uses port " << dropout.port << std::endl;
            return false;
        }
        // The first cycle's reading is the earliest there is to repeat.
        if (dropout.repeat && dropout.at <= 0.0) {
            hostMessage(err) << optionText(dropout)
                             << ": the sensor has no reading yet to repeat; unplug it after the "
                                "first cycle, or without :repeat"
                             << std::endl;
            return false;
        }
    }
    for (const SimDropout& dropout : dropouts) {
        // The drop-outs are applied before each cycle, at its time into the run.
        if (cycles >= 0 && !(cycles > 0 && static_cast<double>(cycles - 1) / rate >= dropout.at)) {
            hostMessage(err) << "warning: " << optionText(dropout) << " starts after the run ends ("
                             << number(static_cast<double>(cycles) / rate)
                             << " s): nothing is unplugged" << std::endl;
        }
    }
    return true;
}
