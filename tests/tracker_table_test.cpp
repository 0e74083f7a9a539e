// Tracker table: defaults, the entry table and the UpdateMask bits.
#include "tracker/CTraCommonH.h"

#include "tests/support/CaptureStdout.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

bool isIdentity(const Matrix4& matrix) {
    Matrix4 identity;
    identityMatrix(&identity);
    return std::memcmp(&matrix, &identity, sizeof matrix) == 0;
}

bool isZero(const Matrix4& matrix) {
    const Matrix4 zero{};
    return std::memcmp(&matrix, &zero, sizeof matrix) == 0;
}

} // namespace

TEST(TrackerTable, FreshObjectHasIdentityTransmitterAndNoTable) {
    const CTraCommonH table;
    EXPECT_TRUE(isZero(table.transmitterOffset));
    EXPECT_TRUE(isIdentity(table.transmitterRotation));
    EXPECT_TRUE(isIdentity(table.transmitterTransform));
    EXPECT_FALSE(table.transmitterOffsetSet || table.transmitterRotationSet);
    EXPECT_FALSE(table.caveCoordinates);
    EXPECT_TRUE(table.inputConnector);
    EXPECT_EQ(table.entryCount, 0u);
    EXPECT_EQ(table.lookup, nullptr);
    EXPECT_EQ(table.calib, nullptr);
    EXPECT_STREQ(table.log().name, "CTraCommonH");
    EXPECT_EQ(table.log().debugClass, 3);
}

TEST(TrackerTable, CopiesCallerLoggerAndLogsAtDebugClassThree) {
    CLoggerH logger = plainLogger("dev", 3);
    logger.debugThreshold = 10;
    CaptureStdout cap;
    {
        const CTraCommonH table(&logger);
        EXPECT_EQ(table.log().debugClass, 3);
    }
    EXPECT_EQ(cap.text(), "dev: DEBUG: CTraCommonH: \"constructor\" called.\n"
                          "dev: DEBUG: CTraCommonH: \"destructor\" called.\n");
    EXPECT_EQ(logger.debugClass, 0);
}

TEST(TrackerTable, CreateEntriesReplacesTableWithDefaults) {
    CTraCommonH table;
    EXPECT_FALSE(table.createEntries(0));
    ASSERT_TRUE(table.createEntries(2));
    ASSERT_TRUE(table.setEntry(1, 7, nullptr, nullptr, nullptr));
    EXPECT_FALSE(table.createEntries(0));
    EXPECT_EQ(table.entryCount, 2u);
    EXPECT_EQ(table.lookup[0].order, 7u);

    ASSERT_TRUE(table.createEntries(3));
    EXPECT_EQ(table.entryCount, 3u);
    for (std::uint32_t i = 0; i < 3; ++i) {
        const TrackerEntry& entry = table.lookup[i];
        EXPECT_EQ(entry.order, 0u);
        EXPECT_TRUE(isZero(entry.offset));
        EXPECT_TRUE(isIdentity(entry.rotation));
        EXPECT_TRUE(isIdentity(entry.transform));
        EXPECT_EQ(entry.translation[0] + entry.translation[1] + entry.translation[2], 0.0f);
        EXPECT_FALSE(entry.offsetSet || entry.rotationSet || entry.translationSet);
    }
}

TEST(TrackerTable, SetEntryChecksIndexAndCombinesOffset) {
    CTraCommonH table;
    EXPECT_FALSE(table.setEntry(1, 1, nullptr, nullptr, nullptr));
    ASSERT_TRUE(table.createEntries(2));
    EXPECT_FALSE(table.setEntry(0, 1, nullptr, nullptr, nullptr));
    EXPECT_FALSE(table.setEntry(3, 1, nullptr, nullptr, nullptr));

    const Matrix4 offset = offsetMatrix(1, 2, 3);
    const float translation[3] = {4, 5, 6};
    ASSERT_TRUE(table.setEntry(2, 5, &offset, nullptr, translation));
    const TrackerEntry& entry = table.lookup[1];
    EXPECT_EQ(entry.order, 5u);
    EXPECT_TRUE(entry.offsetSet && entry.translationSet);
    EXPECT_FALSE(entry.rotationSet);
    Matrix4 expected;
    identityMatrix(&expected);
    expected.m[12] = 1;
    expected.m[13] = 2;
    expected.m[14] = 3;
    EXPECT_EQ(std::memcmp(&entry.transform, &expected, sizeof expected), 0);
    EXPECT_EQ(entry.translation[2], 6.0f);
}

TEST(TrackerTable, UpdateMaskBitsAreBigEndian) {
    std::uint8_t mask[4] = {0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_TRUE(CTraCommonH::clearUpdateMask(mask));
    EXPECT_TRUE(CTraCommonH::setUpdateMaskBit(mask, 3));
    EXPECT_TRUE(CTraCommonH::setUpdateMaskBit(mask, 9));
    EXPECT_TRUE(CTraCommonH::setUpdateMaskBit(mask, 32));
    EXPECT_FALSE(CTraCommonH::setUpdateMaskBit(mask, 0));
    EXPECT_FALSE(CTraCommonH::setUpdateMaskBit(mask, 33));
    const std::uint8_t expected[4] = {128, 0, 1, 4};
    EXPECT_EQ(std::memcmp(mask, expected, 4), 0);
}
