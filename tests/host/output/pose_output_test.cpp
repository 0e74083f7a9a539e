// trackhost's record output keeps the first failed write, even where no buffer
// would fail again later.
#include "host/output/PoseOutput.h"

#include <gtest/gtest.h>

#include <cstdio>

TEST(PoseOutput, AWriteThatFailsOnAnUnbufferedStreamIsKept) {
    std::FILE* full = std::fopen("/dev/full", "w");
    if (full == nullptr) {
        GTEST_SKIP() << "this system has no /dev/full";
    }
    std::setvbuf(full, nullptr, _IONBF, 0);
    PoseOutput output(full);
    output.stream() << "1 2 3\n";
    EXPECT_TRUE(output.failed());
    EXPECT_FALSE(output.close());
    EXPECT_EQ(output.problem(), "cannot write standard output (No space left on device)");
}
