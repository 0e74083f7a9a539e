// The device's own options: serial port, orientation reset and fixed position.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/BirdLibrary.h"
#include "support/OptionReader.h"

struct DeviceSettings {
    std::int32_t serialPort = 1;
    bool reset = false;           // reset the sensor's orientation in configure
    bool fixedPosition = false;   // put `position` into every record
    float position[3] = {};       // feet
    std::int64_t reconnectMs = 0; // the "reconnect" period; 0: off
};

// Reads the lines of the device's own options (DeviceOptionRows) into `options`, reporting
// every bad line with the device's prefix; every line is examined. False when any was bad.
bool readDeviceOptions(CConfigH& config, DeviceSettings& options, const CLoggerH& logger,
                       std::vector<OptionProblem>* collected = nullptr);
