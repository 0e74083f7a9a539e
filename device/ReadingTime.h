// The time a reading was taken, as the receive cycle hands it to a calibration
// library: the sensor library's own when it tells it, else the plug-in's clock.
#pragma once

#include <cstdint>

// Seconds on a steady clock at which the last reading call of `deviceIndex` took its
// reading: the sensor library's answer to bird::readingTimeName when it exports it
// and can tell, else the time of this call on the plug-in's own steady clock. The
// origin is arbitrary.
double readingSeconds(std::int32_t deviceIndex);
