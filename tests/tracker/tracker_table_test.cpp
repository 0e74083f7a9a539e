// Tracker table: defaults, the entry table and the UpdateMask bits.
#include "tracker/CTraCommonH.h"

#include "tests/fixtures/IdentityMatrix.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

bool same(const Matrix4& a, const Matrix4& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

} // namespace

TEST(TrackerTable, FreshObjectHasIdentityTransmitterAndNoTable) {
    const CTraCommonH table;
    EXPECT_TRUE(same(table.transmitterOffset(), Matrix4{}));
    EXPECT_TRUE(same(table.transmitterTransform(), identity()));
    EXPECT_FALSE(table.transmitterOffsetSet() || table.transmitterRotationSet());
    EXPECT_FALSE(table.caveCoordinates());
    EXPECT_TRUE(table.inputConnector());
    EXPECT_FALSE(table.hasEntries());
    EXPECT_STREQ(table.log().name, "CTraCommonH");
    EXPECT_EQ(table.log().debugClass, 3);
}

TEST(TrackerTable, CreateEntriesReplacesTableWithDefaults) {
    CTraCommonH table;
    EXPECT_FALSE(table.createEntries(0));
    ASSERT_TRUE(table.createEntries(2));
    const Matrix4 offset = offsetMatrix(1, 2, 3);
    ASSERT_TRUE(table.setEntry(2, 7, &offset, &offset, nullptr));
    ASSERT_TRUE(table.createEntries(3));
    EXPECT_EQ(table.entryCount(), 3u);
    for (std::uint32_t i = 0; i < 3; ++i) {
        const TrackerEntry& entry = table.entry(i + 1);
        EXPECT_EQ(entry.order, 0u);
        EXPECT_TRUE(same(entry.offset, Matrix4{}));
        EXPECT_TRUE(same(entry.rotation, identity()) && same(entry.transform, identity()));
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
    ASSERT_TRUE(table.setEntry(2, 5, &offset, nullptr, nullptr));
    const TrackerEntry& entry = table.entry(2);
    EXPECT_TRUE(entry.offsetSet);
    EXPECT_FALSE(entry.rotationSet);
    Matrix4 expected = identity();
    expected.m[12] = 1;
    expected.m[13] = 2;
    expected.m[14] = 3;
    EXPECT_TRUE(same(entry.transform, expected));
}

TEST(TrackerTable, UpdateMaskBitsAreBigEndian) {
    std::uint8_t mask[4] = {0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_TRUE(CTraCommonH::clearUpdateMask(mask));
    for (std::uint32_t id : {3u, 9u, 32u}) {
        EXPECT_TRUE(CTraCommonH::setUpdateMaskBit(mask, id));
    }
    EXPECT_FALSE(CTraCommonH::setUpdateMaskBit(mask, 0));
    EXPECT_FALSE(CTraCommonH::setUpdateMaskBit(mask, 33));
    EXPECT_FALSE(CTraCommonH::clearUpdateMask(nullptr));
    const std::uint8_t expected[4] = {128, 0, 1, 4};
    EXPECT_EQ(std::memcmp(mask, expected, 4), 0);
}
