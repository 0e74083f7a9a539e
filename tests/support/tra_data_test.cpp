// The tracker data record: fixed-point encoding, decoding, time stamp, comparison.
#include "support/TraData.h"

#include "tests/fixtures/TestHost.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ctime>
#include <limits>

TEST(TraData, EncodingTruncatesInNetworkOrder) {
    EXPECT_EQ(fieldBytes(encode(1.5f)), "00 02 49 F0");
    EXPECT_EQ(fieldBytes(encode(-90.0f)), "FF 76 AB C0");
    EXPECT_EQ(hostValue(encode(0.7f)), 69999);
    EXPECT_EQ(fieldBytes(encode(-0.000015f)), "FF FF FF FF");
    EXPECT_EQ(hostValue(encode(0.000019f)), 1);
    EXPECT_EQ(hostValue(encode(-0.000019f)), -1);
    EXPECT_EQ(hostValue(encode(0.0f)), 0);
    EXPECT_EQ(hostValue(encode(-0.0f)), 0);
}

TEST(TraData, OutOfRangeValuesKeepTheLowBitsAndNeverTrap) {
    // 32768 x 100000 = 3276800000 does not fit: the low 32 bits wrap.
    EXPECT_EQ(hostValue(encode(32768.0f)), -1018167296);
    EXPECT_EQ(hostValue(encode(-32768.0f)), 1018167296);
    EXPECT_EQ(hostValue(encode(std::numeric_limits<float>::infinity())), 0);
    EXPECT_EQ(hostValue(encode(std::numeric_limits<float>::quiet_NaN())), 0);
    EXPECT_EQ(hostValue(encode(std::numeric_limits<float>::max())), 0);
}

TEST(TraData, DecodeUsesTheFloatConstant) {
    EXPECT_EQ(decode(encode(1.5f)), 150000 * 0.00001f);
    EXPECT_EQ(decode(encode(-90.0f)), -9000000 * 0.00001f);
    EXPECT_FLOAT_EQ(decode(encode(12.25f)), 12.25f);
}

TEST(TraData, ConstructionClearsTheFields) {
    alignas(TraData) unsigned char memory[sizeof(TraData)];
    std::memset(memory, 0xAB, sizeof memory);
    const TraData* record = new (memory) TraData;
    for (std::size_t i = 0; i < 44; ++i) {
        ASSERT_EQ(memory[i], 0) << i;
    }
    EXPECT_EQ(record->traID, 0u);
}

TEST(TraData, StampWritesTheClockInNetworkOrder) {
    TraData record;
    const auto before = static_cast<std::int32_t>(std::time(nullptr));
    EXPECT_TRUE(stamp(record));
    const auto after = static_cast<std::int32_t>(std::time(nullptr));
    const std::int32_t seconds = hostValue(record.seconds);
    EXPECT_GE(seconds, before);
    EXPECT_LE(seconds, after);
    const std::int32_t micro = hostValue(static_cast<std::int32_t>(record.microseconds));
    EXPECT_EQ(micro % 1000, 0);
    EXPECT_GE(micro, 0);
    EXPECT_LE(micro, 999000);
    // The scratch bytes hold the clock's buffer in host order: same seconds and milliseconds.
    std::int32_t scratchSeconds;
    std::uint16_t scratchMillis;
    std::memcpy(&scratchSeconds, record.scratch, 4);
    std::memcpy(&scratchMillis, record.scratch + 4, 2);
    EXPECT_EQ(scratchSeconds, seconds);
    EXPECT_EQ(scratchMillis * 1000, micro);
}

TEST(TraData, SamePoseLooksAtTheSixValuesOnly) {
    TraData last;
    TraData current;
    current.traID = 7;
    current.seconds = 99;
    current.microseconds = 5000;
    std::memset(current.scratch, 1, sizeof current.scratch);
    EXPECT_EQ(samePose(last, current), 1) << "time, ID and scratch are not compared";

    std::int32_t TraData::*const fields[] = {&TraData::x,      &TraData::y,      &TraData::z,
                                             &TraData::angle1, &TraData::angle2, &TraData::angle3};
    for (const auto field : fields) {
        TraData changed = current;
        changed.*field = encode(0.001f);
        EXPECT_EQ(samePose(last, changed), 0);
    }
}

TEST(TraData, AllZeroPoseEqualsAFreshRecord) {
    TraData fresh;
    TraData current;
    for (auto* field :
         {&current.x, &current.y, &current.z, &current.angle1, &current.angle2, &current.angle3}) {
        *field = encode(0.0f);
    }
    EXPECT_EQ(samePose(fresh, current), 1);
}
