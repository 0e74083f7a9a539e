// Marks the functions a dynamic library of this project exports.
#pragma once

#if defined(_WIN32)
#define TRACKER_EXPORT __declspec(dllexport)
#else
#define TRACKER_EXPORT __attribute__((visibility("default")))
#endif
