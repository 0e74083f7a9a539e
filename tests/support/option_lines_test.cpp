// Option lines: keyword matching, integer conversion, the unknown-option check.
#include "support/CConfigH.h"

#include "host/plugin/HostConfig.h"
#include "support/CLoggerH.h"
#include "support/OptionReader.h"
#include "tests/fixtures/CaptureStdout.h"
#include "tests/fixtures/PlainLogger.h"

#include <gtest/gtest.h>

TEST(OptionLines, CompareNoCaseOrdersLowerCasedBytes) {
    EXPECT_EQ(compareNoCase("SerialPort", "serialport"), 0);
    EXPECT_EQ(compareNoCase("port", "portx"), -1);
    EXPECT_EQ(compareNoCase("portx", "port"), 1);
    EXPECT_EQ(compareNoCase("b", "A"), 1);
    EXPECT_EQ(compareNoCase("", ""), 0);
    // Bytes above 127 compare as unsigned.
    EXPECT_EQ(compareNoCase("a\xE9", "a~"), 1);
}

// What the number rule reads of an argument: its leading white space and the number.
TEST(OptionLines, NumberLengthCountsLeadingSpaceAndTheNumber) {
    EXPECT_EQ(optionNumberLength(" \t2.5e1x"), 7u);
    EXPECT_EQ(optionNumberLength("12abc"), 2u);
    EXPECT_EQ(optionNumberLength("  -x"), 0u);
}

TEST(OptionLines, ToLowerCaseChangesOnlyLetters) {
    char text[] = "ReSeT-On 12";
    toLowerCase(text);
    EXPECT_STREQ(text, "reset-on 12");
}

TEST(OptionLines, ToIntegerReadsLikeStrtolBaseZero) {
    EXPECT_EQ(toInteger("0x10"), 16);
    EXPECT_EQ(toInteger("0X10"), 16);
    EXPECT_EQ(toInteger("010"), 8);
    EXPECT_EQ(toInteger("12abc"), 12);
    EXPECT_EQ(toInteger("abc"), 0);
    EXPECT_EQ(toInteger(" -3"), -3);
    EXPECT_EQ(toInteger(""), 0);
}

TEST(OptionLines, EveryUnacceptedLineIsReportedInOrder) {
    HostConfig config;
    config.add("port", {"1"}, 3);
    config.add("speed", {"9"}, 12);
    config.add("reset", {"on"}, 13);
    config.add("trackerspeed", {}, 17);
    config.add("position", {"1", "2", "3"}, 18);
    for (const int accepted : {0, 2, 4}) {
        config.record()->lines[accepted].used = 1;
    }
    const CLoggerH logger = plainLogger("C3DBird");
    CaptureStdout out;
    EXPECT_FALSE(checkUnknownOptions(config.record(), &logger));
    EXPECT_EQ(out.text(), "C3DBird: ERROR: CConfigH: Unknown option \"speed\" found at line 12.\n"
                          "C3DBird: ERROR: CConfigH: Unknown option \"trackerspeed\" found at "
                          "line 17.\n");
}

TEST(OptionLines, NoLinesOrAllAcceptedPassSilently) {
    HostConfig config;
    const CLoggerH logger = plainLogger("C3DBird");
    CaptureStdout out;
    EXPECT_TRUE(checkUnknownOptions(config.record(), &logger));
    config.add("reset", {"on"});
    config.record()->lines[0].used = 1;
    EXPECT_TRUE(checkUnknownOptions(config.record(), &logger));
    EXPECT_EQ(out.text(), "");
}
