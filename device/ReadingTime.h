// The time a reading was taken, as the receive cycle hands it to a calibration
// library and times a lost stream by: the sensor library's own when it tells it,
// else the plug-in's clock.
#pragma once

#include <cstdint>

// Milliseconds on a steady clock at which the last reading call of `deviceIndex` took
// its reading: the sensor library's answer to bird::readingTimeName when it exports it
// and can tell, else the time of this call on the plug-in's own steady clock. The
// origin is arbitrary. A host that paces the sensor library's clock (the simulator's)
// so has the plug-in time an outage as the host does.
std::int64_t readingMilliseconds(std::int32_t deviceIndex);
// The same in seconds, finer than a millisecond on the plug-in's own clock.
double readingSeconds(std::int32_t deviceIndex);
