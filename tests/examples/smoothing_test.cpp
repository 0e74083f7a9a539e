// The smoothing calibration library as the plug-in calls it, and its filter on
// samples with known times.
#include "examples/calibration/smoothing/OneEuroFilter.h"
#include "platform/platform.h"
#include "tests/fixtures/CaptureFd.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>

namespace {

struct SmoothingLibrary {
    SmoothingLibrary()
        : library(platform::loadLibrary(platform::libraryFileName("smoothing").c_str())) {}
    ~SmoothingLibrary() { platform::freeLibrary(library); }

    template <typename Fn> Fn function(const char* name) const {
        return reinterpret_cast<Fn>(platform::librarySymbol(library, name));
    }

    // calib_init's answer and what it printed on standard error.
    std::int32_t init(std::vector<const char*> args, std::string& message) const {
        std::fflush(stderr);
        CaptureFd capture(2);
        const std::int32_t context = function<std::int32_t (*)(const char* const*, std::int32_t)>(
            "calib_init")(args.data(), static_cast<std::int32_t>(args.size()));
        message = capture.text();
        return context;
    }

    platform::LibraryHandle library;
};

} // namespace

TEST(Smoothing, BadArgumentsAreNamedAndLeavePosesUnchanged) {
    const SmoothingLibrary smoothing;
    ASSERT_NE(smoothing.library, nullptr);
    const auto evaluate = smoothing.function<void (*)(std::int32_t, float*)>("calib_evaluate");
    const auto exit = smoothing.function<void (*)(std::int32_t)>("calib_exit");
    ASSERT_TRUE(evaluate && exit);
    std::string message;
    EXPECT_EQ(smoothing.init({"0.5", "", "1"}, message), 0);
    EXPECT_EQ(message, "smoothing: beta (argument 2) is missing; poses pass unchanged\n");
    EXPECT_EQ(smoothing.init({"0"}, message), 0);
    EXPECT_EQ(message, "smoothing: minCutoff (argument 1) \"0\" is not a number above 0; poses "
                       "pass unchanged\n");
    EXPECT_EQ(smoothing.init({"1", "0.1", "fast"}, message), 0);
    EXPECT_EQ(message, "smoothing: derivativeCutoff (argument 3) \"fast\" is not a number above 0; "
                       "poses pass unchanged\n");
    EXPECT_EQ(smoothing.init({"1", "0.1", "1", "2"}, message), 0);
    EXPECT_EQ(message, "smoothing: argument 4 \"2\" is one too many; the arguments are minCutoff "
                       "beta derivativeCutoff; poses pass unchanged\n");
    float pose[6] = {1, 2, 3, 10, 20, 30};
    evaluate(0, pose);
    EXPECT_EQ(pose[3], 10.0f);

    // Defaults; the position is left alone, and a step across +-180 degrees is small.
    const std::int32_t context = smoothing.init({}, message);
    ASSERT_NE(context, 0) << message;
    float first[6] = {1, 2, 3, 179.5f, 0, -179.5f};
    evaluate(context, first);
    EXPECT_EQ(first[3], 179.5f); // the first sample passes
    float next[6] = {1, 2, 3, -179.5f, 0, 179.5f};
    evaluate(context, next);
    EXPECT_EQ(next[0] + next[1] + next[2], 6.0f);
    EXPECT_GE(std::fabs(next[3]), 179.5f);
    EXPECT_GE(std::fabs(next[5]), 179.5f);
    exit(context);
}

// 100 samples a second: jitter at rest shrinks, a turn at 90 degrees a second is
// followed closely, and the output stays within (-180, 180].
TEST(Smoothing, FilterCalmsRestAndFollowsATurnThroughTheWrap) {
    OneEuroFilter filter{OneEuroParameters{}};
    double squares = 0.0;
    for (int i = 0; i < 200; ++i) {
        const double out = filter.filter(170.0 + (i % 2 == 0 ? 0.3 : -0.3), i / 100.0);
        if (i >= 100) {
            squares += (out - 170.0) * (out - 170.0);
        }
    }
    EXPECT_LT(std::sqrt(squares / 100), 0.3 / 5);
    double out = 0.0;
    for (int i = 200; i < 300; ++i) {
        out = filter.filter(wrapDegrees(170.0 + 0.9 * (i - 200)), i / 100.0);
        EXPECT_GT(out, -180.0);
        EXPECT_LE(out, 180.0);
    }
    // Behind the true angle (-100.9 degrees) by at most 15 ms at 90 degrees a second.
    EXPECT_NEAR(wrapDegrees(-100.9 - out), 0.0, 1.35);
    EXPECT_EQ(filter.filter(0.0, 2.99), out); // no time passed: no new output
}
