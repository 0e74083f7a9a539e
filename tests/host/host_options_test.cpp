// trackhost's command line and its output formats.
#include "host/HostOptions.h"
#include "host/output/PoseTable.h"

#include "platform/platform.h"
#include "tests/fixtures/TestHost.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <set>
#include <sstream>

namespace {

ParseResult parseArgs(std::vector<const char*> args, HostOptions& options, std::string& error) {
    return parseHostOptions(static_cast<int>(args.size()), args.data(), options, error);
}

std::string usageError(std::vector<const char*> args) {
    HostOptions options;
    std::string error;
    EXPECT_EQ(parseArgs(args, options, error), ParseResult::error);
    return error;
}

} // namespace

TEST(HostOptions, ValuesComeSeparateOrAfterAnEqualsSign) {
    HostOptions options;
    std::string error;
    ASSERT_EQ(parseArgs({"--rate", "12.5", "--cycles=7", "--format=json", "--debug", "-3",
                         "--quiet", "--no-thread-id", "my.conf"},
                        options, error),
              ParseResult::run)
        << error;
    EXPECT_EQ(options.run.pace.rate, 12.5);
    EXPECT_EQ(options.run.pace.cycles, 7);
    EXPECT_EQ(options.run.pace.seconds, -1.0); // no limit
    EXPECT_EQ(options.output.format, OutputFormat::json);
    EXPECT_EQ(options.run.log.debugLevel, -3);
    EXPECT_TRUE(options.run.log.quiet && options.run.log.date && !options.run.log.threadId);
    EXPECT_EQ(options.run.configFile, "my.conf");
    EXPECT_EQ(parseArgs({"--rate", "5", "--help", "--bogus"}, options, error), ParseResult::help);
    EXPECT_EQ(parseArgs({"--version", "--bogus"}, options, error), ParseResult::version);

    HostOptions check;
    ASSERT_EQ(parseArgs({"--check", "--verbose", "my.conf"}, check, error), ParseResult::run);
    EXPECT_TRUE(check.check && check.verbose);
    HostOptions json;
    ASSERT_EQ(parseArgs({"--format", "JSON", "my.conf"}, json, error), ParseResult::run);
    EXPECT_EQ(json.output.format, OutputFormat::json);
}

// --check reads the configuration and nothing else: an option that would change a
// run is refused rather than ignored, whatever its place on the line.
TEST(HostOptions, CheckTakesNoOptionButVerbose) {
    const std::vector<std::vector<const char*>> others = {{"--sim-dropout", "1:0:1"},
                                                          {"--view", "8080"},
                                                          {"--record", "r.txt"},
                                                          {"--output", "-"},
                                                          {"--replay", "r.txt"},
                                                          {"--cycles", "3"},
                                                          {"--plugin", "p.so"},
                                                          {"--debug", "1"},
                                                          {"--format", "csv"},
                                                          {"--quiet"},
                                                          {"--no-status"},
                                                          {"--sim-motion", "align"}};
    for (const std::vector<const char*>& other : others) {
        std::vector<const char*> args = other;
        args.insert(args.begin() + (other.size() > 1 ? 0 : 1), "--check");
        args.push_back("a.conf");
        EXPECT_EQ(usageError(args), std::string("--check does not go with ") + other[0]);
    }
    EXPECT_EQ(usageError({"--check", "--verbose", "--rate=10", "a.conf"}),
              "--check does not go with --rate");
}

TEST(HostOptions, DropOutsAddUpAndStatusLinesCanBeSwitchedOff) {
    HostOptions options;
    std::string error;
    ASSERT_EQ(parseArgs({"--sim-dropout", "2:1.5:3", "--no-status", "--sim-dropout=4:0:0.25:repeat",
                         "my.conf"},
                        options, error),
              ParseResult::run)
        << error;
    EXPECT_FALSE(options.status);
    ASSERT_EQ(options.run.sensors.simDropouts.size(), 2u);
    const SimDropout& first = options.run.sensors.simDropouts[0];
    const SimDropout& second = options.run.sensors.simDropouts[1];
    EXPECT_TRUE(first.port == 2 && first.at == 1.5 && first.length == 3.0 && !first.repeat);
    EXPECT_TRUE(second.port == 4 && second.at == 0.0 && second.length == 0.25 && second.repeat);
    // The word in any letter case, as other words.
    HostOptions anyCase;
    ASSERT_EQ(parseArgs({"--sim-dropout", "1:0:1:Repeat", "my.conf"}, anyCase, error),
              ParseResult::run)
        << error;
    EXPECT_TRUE(anyCase.run.sensors.simDropouts.at(0).repeat);
}

TEST(HostOptions, UsageErrorsSayWhatIsWrong) {
    EXPECT_EQ(usageError({}), "no configuration file given");
    EXPECT_EQ(usageError({"a.conf", "b.conf"}),
              "one configuration file only; \"b.conf\" is a second one");
    EXPECT_EQ(usageError({"a.conf", "--rate"}), "--rate needs a value");
    EXPECT_EQ(usageError({"--rate", "0", "a.conf"}),
              "--rate wants cycles per second above 0 and up to 10000, not \"0\"");
    EXPECT_EQ(usageError({"--format", "xml", "a.conf"}),
              "--format wants table, csv or json, not \"xml\"");
    EXPECT_EQ(usageError({"--quiet=yes", "a.conf"}), "--quiet takes no value");
    EXPECT_EQ(usageError({"--loop", "a.conf"}), "--loop needs --replay FILE");
    EXPECT_EQ(usageError({"--cycles", "3", "--seconds=1", "a.conf"}),
              "--cycles and --seconds cannot be given together");
    EXPECT_EQ(usageError({"--verbose", "a.conf"}), "--verbose needs --check");
    for (const std::string file : {"--record", "--output", "--replay", "--plugin"}) {
        const std::string empty = file + "=";
        EXPECT_EQ(usageError({empty.c_str(), "a.conf"}), file + " wants a file name");
    }
    EXPECT_EQ(usageError({"--sim-noise", "-1", "a.conf"}),
              "--sim-noise wants degrees RMS from 0 to 45, not \"-1\"");
    // A replay has no simulated set-up or motion for these to act on.
    for (const char* simulated :
         {"--sim-mount=1:0:0:5", "--sim-transmitter=0:1:0:90", "--sim-motion=wave"}) {
        const std::string name = std::string(simulated).substr(0, std::strcspn(simulated, "="));
        EXPECT_EQ(usageError({simulated, "--replay", "r.txt", "a.conf"}),
                  name + " does not go with --replay: the replayed readings are the recorded "
                         "sensor's, its mount and motion included");
    }
    // The limits the readers enforce.
    EXPECT_EQ(usageError({"--seconds", "2e9", "a.conf"}),
              "--seconds wants a number from 0 to 1000000000, not \"2e9\"");
    EXPECT_EQ(usageError({"--cycles", "99999999999999999999", "a.conf"}),
              "--cycles wants a whole number from 0 to 9223372036854775807, not "
              "\"99999999999999999999\"");
    for (const char* bad : {"5:1:1", "0:1:1", "1:-1:1", "1:1:0", "1:1", "1:1:1:fail", "1:1:1:"}) {
        EXPECT_EQ(usageError({"--sim-dropout", bad, "a.conf"}),
                  std::string("--sim-dropout wants PORT:AT:FOR or PORT:AT:FOR:repeat, a port from "
                              "1 to 4 and seconds (FOR above 0), not \"") +
                      bad + "\"");
    }
}

// The manual's option list names every option of the table, with its value, and no other.
TEST(HostOptions, TheManualListsTheOptionsOfTheTable) {
    std::ifstream readme(std::string(TRACKER_SOURCE_DIR) + "/docs/trackhost.md");
    std::set<std::string> listed;
    bool inList = false;
    for (std::string line; std::getline(readme, line);) {
        if (line == "| Option | Meaning |") {
            inList = true;
        } else if (inList && line.rfind("| `", 0) == 0) {
            // "| `--plugin PATH` | ..." or "| `-h`, `--help` | ...": each name in the first column.
            const std::string names = line.substr(0, line.find(" | "));
            for (std::size_t at = names.find('`'); at != std::string::npos;
                 at = names.find('`', names.find('`', at + 1) + 1)) {
                listed.insert(names.substr(at + 1, names.find('`', at + 1) - at - 1));
            }
        } else if (inList && line.rfind("|---", 0) != 0) {
            break;
        }
    }
    std::set<std::string> table;
    for (const std::string& label : hostOptionLabels()) {
        const std::size_t comma = label.find(", ");
        table.insert(comma == std::string::npos ? label : label.substr(0, comma));
        if (comma != std::string::npos) {
            table.insert(label.substr(comma + 2));
        }
    }
    EXPECT_EQ(listed, table);
}

TEST(PoseTable, RecordsAreDecodedFromNetworkOrderAndWrittenExactly) {
    TraData record;
    record.traID = platform::hostToNet(3);
    record.seconds = netValue(1700000000);
    record.microseconds = platform::hostToNet(42000);
    record.x = netValue(150000);
    record.y = netValue(-1);
    record.angle1 = netValue(-572957);
    record.angle2 = netValue(1145915);
    record.angle3 = netValue(-9000000);
    const PoseRow pose = decodeRecord("a,\"b\"", record);

    std::ostringstream csv;
    PoseWriter csvWriter(csv, OutputFormat::csv, 0);
    csvWriter.header();
    csvWriter.row(pose);
    EXPECT_EQ(csv.str(), "device,id,time,x,y,z,angle1,angle2,angle3\n"
                         "\"a,\"\"b\"\"\",3,1700000000.042,1.50000,-0.00001,0.00000,-5.72957,"
                         "11.45915,-90.00000\n");
    std::ostringstream json;
    PoseWriter(json, OutputFormat::json, 0).row(pose);
    EXPECT_EQ(json.str(), "{\"device\":\"a,\\\"b\\\"\",\"id\":3,\"time\":1700000000.042,"
                          "\"x\":1.50000,\"y\":-0.00001,\"z\":0.00000,\"angle1\":-5.72957,"
                          "\"angle2\":11.45915,\"angle3\":-90.00000}\n");
    std::ostringstream table;
    PoseWriter tableWriter(table, OutputFormat::table, 6);
    tableWriter.header();
    tableWriter.row(decodeRecord("wand", record));
    EXPECT_EQ(table.str(), "device  ID           time           x           y           z"
                           "      angle1      angle2      angle3\n"
                           "wand     3 1700000000.042     1.50000    -0.00001     0.00000"
                           "    -5.72957    11.45915   -90.00000\n");
}
