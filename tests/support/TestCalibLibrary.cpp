// The test calibration library's record.
#include "TestCalibLibrary.h"

#include "tests/calib/testcalib.h"

TestCalibLibrary::TestCalibLibrary(const std::string& name)
    : library(platform::loadLibrary(name.c_str())) {
    if (library != nullptr) {
        reinterpret_cast<TestCalibResetFn>(symbol("testcalib_reset"))();
    }
}

TestCalibLibrary::~TestCalibLibrary() {
    if (library != nullptr) {
        platform::freeLibrary(library);
    }
}

void* TestCalibLibrary::symbol(const char* name) const {
    return platform::librarySymbol(library, name);
}

std::int32_t TestCalibLibrary::calls(std::int32_t which) const {
    return reinterpret_cast<TestCalibCallsFn>(symbol("testcalib_calls"))(which);
}

std::int32_t TestCalibLibrary::context() const {
    return reinterpret_cast<TestCalibContextFn>(symbol("testcalib_context"))();
}

std::int32_t TestCalibLibrary::argCount() const {
    return reinterpret_cast<TestCalibArgCountFn>(symbol("testcalib_argCount"))();
}

std::string TestCalibLibrary::arg(std::int32_t index) const {
    return reinterpret_cast<TestCalibArgFn>(symbol("testcalib_arg"))(index);
}
