// The test calibration library's own inspection functions, looked up by name.
#pragma once

#include <cstdint>

#include "platform/export.h"

using TestCalibCallsFn = std::int32_t (*)(std::int32_t which); // 0 init, 1 evaluate, 2 exit
using TestCalibContextFn = std::int32_t (*)();
using TestCalibArgCountFn = std::int32_t (*)();
using TestCalibArgFn = const char* (*)(std::int32_t index);
using TestCalibResetFn = void (*)();
