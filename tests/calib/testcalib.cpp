// A calibration library for tests: records what it is given, moves the pose by a
// known amount and refuses one argument. Built in three variants: complete, without calib_evaluate
// (TESTCALIB_NO_EVALUATE) and without calib_exit (TESTCALIB_NO_EXIT).
#include "tests/calib/testcalib.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include <tracker_calibration.h>

namespace {

struct Record {
    std::int32_t initCalls = 0;
    std::int32_t evaluateCalls = 0;
    std::int32_t exitCalls = 0;
    std::int32_t lastContext = 0;
    std::vector<std::string> args;
    float shift = 0.0f;
    bool late = false;
} record;

// Loading the library marks a file "testcalib-loads.txt" in the current folder, if
// a test has made one, so that a test can tell the library was never loaded.
struct LoadMark {
    LoadMark() {
        if (std::FILE* const marks = std::fopen("testcalib-loads.txt", "r+")) {
            std::fseek(marks, 0, SEEK_END);
            std::fputs("loaded\n", marks);
            std::fclose(marks);
        }
    }
} loadMark;

} // namespace

extern "C" {

std::int32_t calib_init(const char* const* args, std::int32_t count) {
    ++record.initCalls;
    record.args.assign(args, args + count);
    // The first argument, when given, is added to x by calib_evaluate.
    record.shift = count > 0 ? static_cast<float>(std::strtod(args[0], nullptr)) : 0.0f;
    // A second argument "late" makes the cycles late as on a loaded machine: each
    // evaluation takes 0, 10 or 20 ms in turn.
    record.late = count > 1 && std::strcmp(args[1], "late") == 0;
    return 4242;
}

// Refuses a first argument "refuse" with a reason of two lines that would turn a
// terminal red, as a careless library might write it.
std::int32_t calib_check(const char* const* args, std::int32_t count, char* message,
                         std::int32_t size) {
    if (count == 0 || std::strcmp(args[0], "refuse") != 0) {
        return 1;
    }
    std::snprintf(message, static_cast<std::size_t>(size), "%s", "line one\nline two \x1b[31mred");
    return 0;
}

#ifndef TESTCALIB_NO_EVALUATE
void calib_evaluate(std::int32_t context, float* pose) {
    ++record.evaluateCalls;
    record.lastContext = context;
    pose[0] += record.shift;
    if (record.late) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10 * (record.evaluateCalls % 3)));
    }
}
#endif

#ifndef TESTCALIB_NO_EXIT
void calib_exit(std::int32_t context) {
    ++record.exitCalls;
    record.lastContext = context;
}
#endif

TRACKER_EXPORT std::int32_t testcalib_calls(std::int32_t which) {
    switch (which) {
    case 0:
        return record.initCalls;
    case 1:
        return record.evaluateCalls;
    default:
        return record.exitCalls;
    }
}

TRACKER_EXPORT std::int32_t testcalib_context() {
    return record.lastContext;
}

TRACKER_EXPORT std::int32_t testcalib_argCount() {
    return static_cast<std::int32_t>(record.args.size());
}

TRACKER_EXPORT const char* testcalib_arg(std::int32_t index) {
    return record.args.at(static_cast<std::size_t>(index)).c_str();
}

TRACKER_EXPORT void testcalib_reset() {
    record = Record{};
}
}
