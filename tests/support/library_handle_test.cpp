// The dynamic library handle with its slot cache, and the calibration handle.
#include "support/CCalibH.h"
#include "support/CDynamicLibH.h"

#include "platform/platform.h"
#include "support/TrackerPose.h"
#include "tests/fixtures/CaptureStdout.h"
#include "tests/fixtures/PlainLogger.h"
#include "tests/fixtures/TestCalibLibrary.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string libraryName(const char* base) {
    return platform::libraryFileName(base);
}

int countOf(const std::string& text, const std::string& part) {
    int count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

const CLoggerH debugLogger = plainLogger("lib", 3);
const CLoggerH quietLogger = plainLogger("lib");

} // namespace

TEST(DynamicLibrary, WithoutLibraryLookupsFail) {
    CaptureStdout out;
    CDynamicLibH library(nullptr, &quietLogger);
    EXPECT_EQ(out.text(), "") << "no load is attempted for a null name";
    EXPECT_EQ(library.getProcAddr("calib_init"), nullptr);
    EXPECT_EQ(library.getProcAddrCached("calib_init", 0), nullptr);
    EXPECT_EQ(library.cachedSlots(), 0u);
    EXPECT_EQ(out.text(), "lib: ERROR: CDynamicLibH: Library has not been loaded.\n"
                          "lib: ERROR: CDynamicLibH: Library has not been loaded.\n");
}

TEST(DynamicLibrary, LoadFailuresAreReported) {
    CaptureStdout out;
    CDynamicLibH library(nullptr, &quietLogger);
    EXPECT_FALSE(library.load(""));
    EXPECT_FALSE(library.load(nullptr));
    EXPECT_FALSE(library.load("no_such_library_here"));
    EXPECT_FALSE(library.isLoaded());
    EXPECT_EQ(out.text(), "lib: ERROR: CDynamicLibH: Library name is empty.\n"
                          "lib: ERROR: CDynamicLibH: Library name is empty.\n"
                          "lib: ERROR: CDynamicLibH: Can not load the library "
                          "no_such_library_here\n");
    // It can try again.
    EXPECT_TRUE(library.load(libraryName("testcalib").c_str()));
}

TEST(DynamicLibrary, SecondLoadIsRefusedSilently) {
    CDynamicLibH library(libraryName("testcalib").c_str(), &quietLogger);
    ASSERT_TRUE(library.isLoaded());
    void* const init = library.getProcAddr("calib_init");
    CaptureStdout out;
    EXPECT_FALSE(library.load(libraryName("testcalib_noexit").c_str()));
    EXPECT_EQ(out.text(), "");
    EXPECT_EQ(library.getProcAddr("calib_init"), init);
    EXPECT_NE(library.getProcAddr("calib_exit"), nullptr) << "the first library stays";
}

TEST(DynamicLibrary, CacheAsksTheSystemOncePerSlot) {
    CDynamicLibH library(libraryName("testcalib").c_str(), &debugLogger);
    CaptureStdout out;
    void* const first = library.getProcAddrCached("calib_init", 3);
    EXPECT_NE(first, nullptr);
    EXPECT_EQ(library.cachedSlots(), 4u);
    EXPECT_EQ(library.getProcAddrCached("ignored once filled", 3), first);
    EXPECT_EQ(countOf(out.text(), "\"getProcAddrCached\" called."), 2);
    EXPECT_EQ(countOf(out.text(), "\"getProcAddr\" called."), 1);

    // A missing procedure: one system lookup, every answer null.
    out.clear();
    EXPECT_EQ(library.getProcAddrCached("not_exported", 1), nullptr);
    EXPECT_EQ(library.getProcAddrCached("not_exported", 1), nullptr);
    EXPECT_EQ(countOf(out.text(), "\"getProcAddr\" called."), 1);
    EXPECT_EQ(out.text().find("ERROR"), std::string::npos);

    // Slots below a grown one were left empty and are looked up when asked.
    out.clear();
    EXPECT_NE(library.getProcAddrCached("calib_exit", 0), nullptr);
    EXPECT_EQ(countOf(out.text(), "\"getProcAddr\" called."), 1);
}

TEST(DynamicLibrary, UnloadForgetsTheCache) {
    CDynamicLibH library(libraryName("testcalib").c_str(), &debugLogger);
    EXPECT_EQ(library.getProcAddrCached("not_exported", 0), nullptr);
    {
        CaptureStdout out;
        EXPECT_TRUE(library.unload());
        EXPECT_TRUE(library.unload());
        EXPECT_EQ(out.text(), "lib: DEBUG: CDynamicLibH: \"unload\" called.\n"
                              "lib: DEBUG: CDynamicLibH: \"unload\" called.\n");
    }
    EXPECT_EQ(library.cachedSlots(), 0u);
    ASSERT_TRUE(library.load(libraryName("testcalib").c_str()));
    CaptureStdout out;
    EXPECT_NE(library.getProcAddrCached("calib_init", 0), nullptr);
    EXPECT_EQ(countOf(out.text(), "\"getProcAddr\" called."), 1);
}

TEST(DynamicLibrary, DefaultLoggerNamesTheClass) {
    CDynamicLibH library(nullptr, nullptr);
    EXPECT_STREQ(library.log().name, "CDynamicLibH");
    EXPECT_EQ(library.log().debugClass, 3);
    CCalibH calib(nullptr, nullptr);
    EXPECT_STREQ(calib.log().name, "CCalibH");
    EXPECT_EQ(calib.log().debugClass, 3);
}

TEST(Calibration, InitEvaluateExitReachTheLibrary) {
    const std::string name = libraryName("testcalib");
    TestCalibLibrary inspector(name);
    ASSERT_TRUE(inspector.loaded());
    CCalibH calib(name.c_str(), &quietLogger);
    const std::vector<std::string> args = {"0.5", "beta"};
    ASSERT_TRUE(calib.init(args));
    EXPECT_EQ(inspector.calls(0), 1);
    EXPECT_EQ(calib.contextValue(), 4242);
    ASSERT_EQ(inspector.argCount(), 2);
    EXPECT_EQ(inspector.arg(0), "0.5");
    EXPECT_EQ(inspector.arg(1), "beta");

    TrackerPose pose{1, 2, 3, 4, 5, 6};
    EXPECT_TRUE(calib.evaluate(&pose));
    EXPECT_EQ(pose.x, 1.5f);
    EXPECT_EQ(pose.angle3, 6.0f);
    EXPECT_EQ(inspector.context(), 4242);

    EXPECT_TRUE(calib.exit());
    EXPECT_EQ(inspector.calls(2), 1);
    EXPECT_EQ(calib.argumentCount(), 0u);
}

TEST(Calibration, NoArgumentsGiveZeroTexts) {
    const std::string name = libraryName("testcalib");
    TestCalibLibrary inspector(name);
    CCalibH calib(name.c_str(), &quietLogger);
    ASSERT_TRUE(calib.init({}));
    EXPECT_EQ(inspector.calls(0), 1);
    EXPECT_EQ(inspector.argCount(), 0);
}

TEST(Calibration, MissingEvaluateIsLookedUpOnce) {
    const std::string name = libraryName("testcalib_noeval");
    CCalibH calib(name.c_str(), &debugLogger);
    ASSERT_TRUE(calib.init({}));
    TrackerPose pose{};
    CaptureStdout out;
    EXPECT_FALSE(calib.evaluate(&pose));
    EXPECT_FALSE(calib.evaluate(&pose));
    EXPECT_EQ(countOf(out.text(), "\"getProcAddr\" called."), 1);
    EXPECT_EQ(countOf(out.text(), "CCalibH"), 0) << "no message of its own";
}

TEST(Calibration, MissingExitReleasesCopiesAndAnswersFalse) {
    const std::string name = libraryName("testcalib_noexit");
    CCalibH calib(name.c_str(), &debugLogger);
    ASSERT_TRUE(calib.init({"1"}));
    CaptureStdout out;
    EXPECT_FALSE(calib.exit());
    EXPECT_EQ(calib.argumentCount(), 0u);
    EXPECT_NE(out.text().find("lib: DEBUG: CCalibH: could not call \"calib_exit\".\n"),
              std::string::npos)
        << out.text();
}

TEST(Calibration, UnloadableLibraryFailsInitAfterCopying) {
    CaptureStdout out;
    CCalibH calib("no_such_calibration", &debugLogger);
    out.clear();
    EXPECT_FALSE(calib.init({"a", "b", "c"}));
    EXPECT_EQ(calib.argumentCount(), 3u);
    EXPECT_EQ(out.text(), "lib: DEBUG: CCalibH: \"init\" called.\n"
                          "lib: DEBUG: CDynamicLibH: \"getProcAddrCached\" called.\n"
                          "lib: ERROR: CDynamicLibH: Library has not been loaded.\n"
                          "lib: DEBUG: CCalibH: could not call \"calib_init\".\n");
}
