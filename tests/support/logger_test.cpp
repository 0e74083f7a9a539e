// The logger: line heads, level labels, switches and the DEBUG gate.
#include "support/CLoggerH.h"

#include "platform/platform.h"
#include "tests/fixtures/CaptureStdout.h"
#include "tests/fixtures/PlainLogger.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <iomanip>
#include <iostream>
#include <locale>
#include <regex>
#include <string>
#include <thread>
#include <vector>

TEST(Logger, DefaultRecordIsFullyDefined) {
    const CLoggerH logger;
    EXPECT_EQ(logger.dateOn, 1);
    EXPECT_EQ(logger.timeOn, 1);
    EXPECT_EQ(logger.threadIdOn, 1);
    EXPECT_EQ(logger.enabled, 1);
    EXPECT_STREQ(logger.name, "MESSAGE");
    EXPECT_STREQ(logger.infoLabel, "INFO");
    EXPECT_STREQ(logger.errorLabel, "ERROR");
    EXPECT_STREQ(logger.warningLabel, "WARNING");
    EXPECT_STREQ(logger.debugLabel, "DEBUG");
    EXPECT_EQ(logger.debugThreshold, 1);
    EXPECT_EQ(logger.debugLevel, 0);
    EXPECT_EQ(logger.debugClass, 0);
    // Every byte after a text's terminator is NUL, so records compare byte for byte.
    for (std::size_t i = std::strlen(logger.name); i < sizeof logger.name; ++i) {
        ASSERT_EQ(logger.name[i], '\0');
    }
    for (std::size_t i = std::strlen(logger.warningLabel); i < sizeof logger.warningLabel; ++i) {
        ASSERT_EQ(logger.warningLabel[i], '\0');
    }
}

TEST(Logger, LineHeadFollowsTheSwitches) {
    CLoggerH logger;
    logger.setName("C3DBird");
    const std::string thread = std::to_string(platform::currentThreadId());
    {
        CaptureStdout out;
        logger.error("C3DBird: Init info is empty.");
        EXPECT_TRUE(std::regex_match(
            out.text(), std::regex("[A-Za-z]{3} [0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2} C3DBird\\[" +
                                   thread + "\\]: ERROR: C3DBird: Init info is empty.\n")))
            << out.text();
    }
    logger.timeOn = 0;
    {
        CaptureStdout out;
        logger.info("x");
        EXPECT_TRUE(std::regex_match(
            out.text(), std::regex("[A-Za-z]{3} [0-9]{2} C3DBird\\[" + thread + "\\]: INFO: x\n")))
            << out.text();
    }
    logger.dateOn = 0;
    logger.threadIdOn = 0;
    {
        CaptureStdout out;
        logger.warning("CDynamicLibH: Library has not been loaded.");
        EXPECT_EQ(out.text(), "C3DBird: WARNING: CDynamicLibH: Library has not been loaded.\n");
    }
}

TEST(Logger, ValuesStreamedIntoALineFollowTheMessageAndEndIt) {
    const CLoggerH logger = plainLogger("C3DBird");
    CaptureStdout out;
    logger.error("CConfigH: Unknown option \"") << "speed"
                                                << "\" found at line " << 12u << '.';
    logger.blankLine();
    EXPECT_EQ(out.text(),
              "C3DBird: ERROR: CConfigH: Unknown option \"speed\" found at line 12.\n\n");
}

TEST(Logger, DisabledWritesNoHeadButStreamedValuesStillAppear) {
    CLoggerH logger = plainLogger("C3DBird", 5);
    logger.enabled = 0;
    CaptureStdout out;
    logger.info("a");
    logger.error("b") << 5.5;
    logger.warning("c");
    logger.debug("d") << "shown: the gate is open";
    EXPECT_EQ(out.text(), "5.5\nshown: the gate is open\n");
    EXPECT_TRUE(logger.isDebugOn()); // the gate does not look at the switch
    logger.debugLevel = 0;
    out.clear();
    logger.debug("e") << "hidden";
    EXPECT_EQ(out.text(), "");
}

TEST(Logger, DebugGateByLevelClassAndThreshold) {
    CLoggerH device = plainLogger("dev");
    device.setDebugClass(1);
    CLoggerH table = plainLogger("dev");
    table.setDebugClass(3);

    // Level 0: nothing.
    EXPECT_FALSE(device.isDebugOn());
    {
        CaptureStdout out;
        device.debug("x");
        EXPECT_EQ(out.text(), "");
    }
    // Level 3 with threshold 10: only the class-3 object.
    for (CLoggerH* logger : {&device, &table}) {
        logger->debugLevel = 3;
        logger->debugThreshold = 10;
    }
    EXPECT_FALSE(device.isDebugOn());
    EXPECT_TRUE(table.isDebugOn());
    {
        CaptureStdout out;
        device.debug("device");
        table.debug("table");
        EXPECT_EQ(out.text(), "dev: DEBUG: table\n");
    }
    // At or above the threshold: everyone.
    device.debugLevel = 10;
    EXPECT_TRUE(device.isDebugOn());
    // A negative level matches no class of ours and is below any threshold.
    device.debugLevel = -1;
    device.debugThreshold = 1;
    EXPECT_FALSE(device.isDebugOn());
}

TEST(Logger, NamesAreCutToFitTheirTerminator) {
    CLoggerH logger = plainLogger("");
    const std::string ninetyNine(99, 'n');
    logger.setName(ninetyNine.c_str());
    {
        CaptureStdout out;
        logger.info("m");
        EXPECT_EQ(out.text(), ninetyNine + ": INFO: m\n");
    }
    const std::string tooLong(150, 'l');
    logger.setName(tooLong.c_str());
    EXPECT_EQ(std::string(logger.name), std::string(99, 'l'));
    EXPECT_EQ(logger.name[99], '\0');
}

TEST(Logger, HostRecordWithoutTerminatorsIsReadOnlyToTheSlotEnd) {
    CLoggerH logger = plainLogger("");
    std::memset(logger.name, 'N', sizeof logger.name);
    std::memset(logger.infoLabel, 'I', sizeof logger.infoLabel);
    CaptureStdout out;
    logger.info("m");
    EXPECT_EQ(out.text(), std::string(100, 'N') + ": " + std::string(100, 'I') + ": m\n");
}

namespace {

// A host's own sink, which has no lock of its own: it notes being entered while
// another thread is still inside, and stays a while so that such an overlap shows.
struct WatchfulSink {
    std::atomic<int> inside{0};
    std::atomic<int> overlaps{0};
    std::atomic<int> lines{0};

    static void write(void* context, const char* text, std::size_t size) {
        auto& sink = *static_cast<WatchfulSink*>(context);
        if (sink.inside.fetch_add(1) != 0) {
            ++sink.overlaps;
        }
        if (size > 0 && text[size - 1] == '\n') {
            ++sink.lines;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(20));
        --sink.inside;
    }
};

} // namespace

// Lines of loggers on several threads reach a host's sink one at a time, each whole.
TEST(LineSink, AHostsSinkIsNeverEnteredByTwoThreadsAtOnce) {
    constexpr int threads = 4;
    constexpr int perThread = 200;
    WatchfulSink sink;
    {
        const LineSinkScope scope({&WatchfulSink::write, &sink});
        std::atomic<int> ready{0};
        std::vector<std::thread> writers;
        for (int t = 0; t < threads; ++t) {
            writers.emplace_back([&ready, t] {
                const CLoggerH logger = plainLogger(("writer" + std::to_string(t)).c_str());
                ++ready;
                while (ready.load() < threads) {
                    std::this_thread::yield();
                }
                for (int i = 0; i < perThread; ++i) {
                    logger.info("line ") << i;
                }
            });
        }
        for (std::thread& writer : writers) {
            writer.join();
        }
    }
    EXPECT_EQ(sink.overlaps.load(), 0);
    EXPECT_EQ(sink.lines.load(), threads * perThread);
}

namespace {

// Groups thousands with a comma, as a host's locale may.
struct Thousands : std::numpunct<char> {
    char do_thousands_sep() const override { return ','; }
    std::string do_grouping() const override { return "\3"; }
};

// Takes nothing, as a standard output whose reader has gone.
struct RefusingBuffer : std::streambuf {
    int_type overflow(int_type) override { return traits_type::eof(); }
};

} // namespace

// A line takes standard output's locale and format, and keeps in standard output the
// format it changed: a fill and a width too, as the host's own stream would.
TEST(LineSink, LinesTakeStandardOutputsLocaleAndKeepWhatTheyChange) {
    const CLoggerH logger = plainLogger("C3DBird");
    const std::locale host = std::cout.getloc();
    std::cout.imbue(std::locale(host, new Thousands));
    {
        CaptureStdout out;
        logger.info("count ") << 1234567 << std::setfill('*') << std::setw(4);
        EXPECT_EQ(out.text(), "C3DBird: INFO: count 1,234,567\n");
    }
    EXPECT_EQ(std::cout.fill(), '*');
    EXPECT_EQ(std::cout.width(), 4);
    std::cout.imbue(host);
    resetStdoutFormat();
}

// A host may ask standard output for exceptions: a line it cannot take is lost, and
// the logger throws nothing.
TEST(LineSink, AStandardOutputThatThrowsLosesTheLine) {
    RefusingBuffer refusing;
    std::streambuf* const buffer = std::cout.rdbuf(&refusing);
    std::cout.exceptions(std::ios::badbit);
    plainLogger("C3DBird").error("lost");
    const bool bad = std::cout.bad();
    std::cout.exceptions(std::ios::goodbit);
    std::cout.rdbuf(buffer);
    std::cout.clear();
    EXPECT_TRUE(bad);
}
