// The test calibration library's own record, read through a second handle on
// the library the code under test loads.
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"

// The test calibration library's counters, read through a second handle on the
// library the device loads.
class TestCalibLibrary {
public:
    explicit TestCalibLibrary(const std::string& name = platform::libraryFileName("testcalib"));
    ~TestCalibLibrary();
    TestCalibLibrary(const TestCalibLibrary&) = delete;
    TestCalibLibrary& operator=(const TestCalibLibrary&) = delete;

    bool loaded() const { return library != nullptr; }
    std::int32_t calls(std::int32_t which) const; // 0 init, 1 evaluate, 2 exit
    std::int32_t context() const;
    std::int32_t argCount() const;
    std::string arg(std::int32_t index) const;

private:
    void* symbol(const char* name) const;

    platform::LibraryHandle library;
};
