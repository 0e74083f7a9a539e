// The example calibration library's context table, called as the plug-in calls it.
#include "platform/platform.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

TEST(Boresight, FourContextsThenZeroWhichLeavesPosesUnchanged) {
    const platform::LibraryHandle library =
        platform::loadLibrary(platform::libraryFileName("boresight").c_str());
    ASSERT_NE(library, nullptr);
    const auto init = reinterpret_cast<std::int32_t (*)(const char* const*, std::int32_t)>(
        platform::librarySymbol(library, "calib_init"));
    const auto evaluate = reinterpret_cast<void (*)(std::int32_t, float*)>(
        platform::librarySymbol(library, "calib_evaluate"));
    const auto exit =
        reinterpret_cast<void (*)(std::int32_t)>(platform::librarySymbol(library, "calib_exit"));
    ASSERT_TRUE(init && evaluate && exit);

    const char* notNumbers[] = {"1", "two", "3"};
    EXPECT_EQ(init(notNumbers, 3), 0);
    const char* args[] = {"1.5", "-2.25", "90", "0", "0", "-0.5"};
    std::int32_t contexts[4];
    for (std::int32_t& context : contexts) {
        context = init(args, 6);
        ASSERT_NE(context, 0);
    }
    EXPECT_EQ(init(args, 3), 0); // the table is full
    float pose[6] = {1, 1, 1, 10, 20, 30};
    evaluate(0, pose);
    EXPECT_EQ(pose[3], 10.0f);
    evaluate(contexts[3], pose);
    EXPECT_EQ(pose[2], 0.5f);
    EXPECT_EQ(pose[3], 11.5f);
    EXPECT_EQ(pose[4], 17.75f);
    EXPECT_EQ(pose[5], 120.0f);

    exit(contexts[2]); // frees its slot for the next device
    EXPECT_EQ(init(args, 3), contexts[2]);
    for (std::int32_t context : contexts) {
        exit(context);
    }
    platform::freeLibrary(library);
}

// An argument that is no finite number in its range would turn every record's field
// to 0 or to noise: calib_check refuses it with the argument's range.
TEST(Boresight, ArgumentsBeyondTheirRangeAreRefusedWithIt) {
    const platform::LibraryHandle library =
        platform::loadLibrary(platform::libraryFileName("boresight").c_str());
    ASSERT_NE(library, nullptr);
    const auto check =
        reinterpret_cast<std::int32_t (*)(const char* const*, std::int32_t, char*, std::int32_t)>(
            platform::librarySymbol(library, "calib_check"));
    ASSERT_NE(check, nullptr);
    const struct {
        std::vector<const char*> args;
        const char* reason;
    } cases[] = {
        {{"nan", "0", "0"}, "angle1 (argument 1) \"nan\" is not a number from -360 to 360 degrees"},
        {{"0", "1e39", "0"},
         "angle2 (argument 2) \"1e39\" is not a number from -360 to 360 degrees"},
        {{"0", "0", "-inf"},
         "angle3 (argument 3) \"-inf\" is not a number from -360 to 360 degrees"},
        {{"0", "0", "0", "nan", "0", "0"},
         "x (argument 4) \"nan\" is not a number from -1000 to 1000 feet"},
        {{"0", "0", "0", "0", "0", "1001"},
         "z (argument 6) \"1001\" is not a number from -1000 to 1000 feet"},
        {{"1", "two", "3"}, "angle2 (argument 2) \"two\" is not a number from -360 to 360 degrees"},
    };
    for (const auto& [args, reason] : cases) {
        char message[200] = {};
        EXPECT_EQ(
            check(args.data(), static_cast<std::int32_t>(args.size()), message, sizeof message), 0);
        EXPECT_STREQ(message, reason);
    }
    const char* edges[] = {"-360", "360", "0", "-1000", "1000", "0"};
    EXPECT_EQ(check(edges, 6, nullptr, 0), 1);
    platform::freeLibrary(library);
}
