// trackhost's view of device health: counts, gaps, silences and recoveries on a
// made-up clock, and the status lines and summary as a terminal receives them.
#include "host/health/HealthMonitor.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

namespace {

using Clock = DeviceHealth::Clock;
using std::chrono::milliseconds;
using Change = DeviceHealth::Change;

const Clock::time_point t0 = Clock::now();

Clock::time_point at(int ms) {
    return t0 + milliseconds(ms);
}

} // namespace

TEST(DeviceHealth, CountsCyclesRecordsFailuresAndTheLongestGapBetweenRecords) {
    DeviceHealth health;
    Clock::time_point last;
    EXPECT_FALSE(health.lastRecord(last));
    health.cycle(at(0), true, 1);
    health.cycle(at(10), true, 0); // an unchanged pose: received, no record
    health.cycle(at(20), false, 0);
    health.cycle(at(30), true, 1);
    health.cycle(at(40), true, 1);
    EXPECT_EQ(health.cycles(), 5);
    EXPECT_EQ(health.records(), 3);
    EXPECT_EQ(health.failedCycles(), 1);
    Clock::duration gap{};
    ASSERT_TRUE(health.longestGap(gap));
    EXPECT_EQ(gap, milliseconds(30));
    EXPECT_EQ(health.finalSilence(), Clock::duration::zero());
    ASSERT_TRUE(health.lastRecord(last));
    EXPECT_EQ(last, at(40));
    EXPECT_EQ(health.recoveries(), 0) << "a failure of 10 ms is no recovery";
    EXPECT_TRUE(health.everSucceeded());

    // A silence up to the end of the run is no gap between records: the device never
    // came back, for its last 15 s.
    health.cycle(at(50), false, 0);
    health.cycle(at(15040), false, 0);
    ASSERT_TRUE(health.longestGap(gap));
    EXPECT_EQ(gap, milliseconds(30));
    EXPECT_EQ(health.finalSilence(), milliseconds(15000));
}

// A silence is told once, after 2 s of failed cycles, and its end too; a return after
// at least 1 s of them is a recovery, if there was something to return to.
TEST(DeviceHealth, SilencesAndReconnections) {
    DeviceHealth fromStart;
    fromStart.cycle(at(0), false, 0);
    EXPECT_EQ(fromStart.cycle(at(1500), true, 1), Change::none);
    EXPECT_EQ(fromStart.recoveries(), 0) << "nothing to return to";

    DeviceHealth health;
    health.cycle(at(0), true, 1);
    health.cycle(at(10), false, 0);
    health.cycle(at(1009), true, 0);
    EXPECT_EQ(health.recoveries(), 0) << "failing for 999 ms";
    health.cycle(at(1100), false, 0);
    EXPECT_EQ(health.cycle(at(3099), false, 0), Change::none);
    EXPECT_EQ(health.cycle(at(3100), false, 0), Change::silent);
    EXPECT_EQ(health.cycle(at(5000), false, 0), Change::none) << "told once";
    EXPECT_EQ(health.cycle(at(5100), true, 0), Change::receivingAgain);
    // Without a record since the failure at 10 ms (the success at 1009 ms brought none).
    EXPECT_EQ(health.lastSilence(), milliseconds(5090));
    EXPECT_EQ(health.recoveries(), 1);
}

TEST(HealthMonitor, StatusLinesAreRedrawnInPlaceAndLeaveOnlyTheSummary) {
    std::ostringstream err, records;
    HealthMonitor monitor({"head", "a-rather-long-device-name"}, err, true);
    const Clock::time_point begin = Clock::now();
    monitor.beforeCycle();
    monitor.cycle(0, begin, true, 1);
    monitor.cycle(1, begin, false, 0);
    monitor.afterCycle(begin + milliseconds(400), records);
    const std::string first = err.str();
    // Refreshed after a refresh period, no rate before a second has passed; names cut to 16.
    EXPECT_EQ(first, "head                   - rec/s  last 0.4 s ago  failed 0  recoveries 0\n"
                     "a-rather-long-de       - rec/s  no record yet  failed 1  recoveries 0\n")
        << first;

    err.str("");
    monitor.beforeCycle();
    EXPECT_EQ(err.str(), "\r\x1b[2A\x1b[J")
        << "to the line's start, up two lines, clear to the end of the screen";
    monitor.afterCycle(begin + milliseconds(450), records);
    EXPECT_EQ(err.str(), "\r\x1b[2A\x1b[J" + first) << "between refreshes the figures stand";

    err.str("");
    EXPECT_FALSE(monitor.finish());
    EXPECT_EQ(err.str(),
              "\r\x1b[2A\x1b[J"
              "trackhost: device [head]: 1 cycle, 1 record, 0 failed cycles, longest gap between "
              "records -, 0 recoveries\n"
              "trackhost: device [a-rather-long-device-name]: 1 cycle, 0 records, 1 failed cycle, "
              "longest gap between records -, 0 recoveries\n"
              "trackhost: device [a-rather-long-device-name]: delivered no record: recvData "
              "failed in every cycle\n");
}

// Status lines never wrap, and the ones drawn after a device received again already
// show it; the message gives the silence to the millisecond.
TEST(HealthMonitor, StatusLinesFitTheTerminalAndFollowARecoveryAtOnce) {
    std::ostringstream err, records;
    std::size_t width = 30;
    HealthMonitor monitor({"head"}, err, true, [&] { return width; });
    const Clock::time_point begin = Clock::now();
    monitor.cycle(0, begin, true, 1);
    monitor.afterCycle(begin + milliseconds(300), records);
    EXPECT_EQ(err.str(), "head       - rec/s  last 0.3 \n");
    // Names are cut and padded by the columns a terminal gives them: two for each of
    // these, so the first is cut after 8 of its 12 characters, at 16 columns.
    std::ostringstream wideErr;
    const std::string wide = "\xE9\xA0\xAD\xE9\x83\xA8\xE3\x82\xBB\xE3\x83\xB3\xE3\x82\xB5"
                             "\xE3\x83\xBC";
    HealthMonitor wideNames({wide + wide, "head"}, wideErr, true);
    wideNames.cycle(0, begin, true, 1);
    wideNames.cycle(1, begin, true, 1);
    wideNames.afterCycle(begin + milliseconds(300), records);
    const std::string figures = "       - rec/s  last 0.3 s ago  failed 0  recoveries 0\n";
    EXPECT_EQ(wideErr.str(),
              wide + wide.substr(0, 6) + figures + "head" + std::string(12, ' ') + figures);

    width = 0;
    for (int ms = 400; ms <= 2400; ms += 100) {
        monitor.cycle(0, begin + milliseconds(ms), false, 0);
    }
    monitor.afterCycle(begin + milliseconds(2450), records);
    err.str("");
    monitor.beforeCycle();
    monitor.cycle(0, begin + milliseconds(2500), true, 1);
    monitor.afterCycle(begin + milliseconds(2500), records);
    EXPECT_EQ(err.str(),
              "\r\x1b[1A\x1b[J"
              "trackhost: device [head]: receiving again after 2.100 s without a record\n"
              "head     0.4 rec/s  last 0.0 s ago  failed 21  recoveries 1\n");
}

// The rate is taken between the beginnings of cycles, so that a cycle whose output
// took long (a slow terminal) does not make it look faster or slower than it is; from
// the first one shown, it never exceeds what the cycles allow.
TEST(HealthMonitor, RateCountsRecordsBetweenCyclesBeginnings) {
    std::ostringstream err, records;
    HealthMonitor monitor({"head"}, err, true);
    const Clock::time_point begin = Clock::now();
    std::vector<std::string> rates;
    for (int cycle = 0; cycle < 80; ++cycle) {
        const Clock::time_point start = begin + milliseconds(50 * cycle);
        monitor.beforeCycle();
        monitor.cycle(0, start, true, 1);
        // Every third cycle's records take 45 ms to reach the terminal.
        err.str("");
        monitor.afterCycle(start + milliseconds(cycle % 3 == 0 ? 45 : 1), records);
        rates.push_back(err.str().substr(0, 20));
    }
    for (std::size_t cycle = 0; cycle < rates.size(); ++cycle) {
        const std::string rate = rates[cycle].size() > 12 ? rates[cycle].substr(5, 7) : "-";
        if (cycle >= 25) {
            EXPECT_EQ(rates[cycle], "head    20.0 rec/s  ") << "cycle " << cycle;
        } else if (rate.back() != '-') {
            EXPECT_LE(std::stod(rate), 20.0) << "cycle " << cycle;
        }
    }
}
