// The poses as trackhost writes them: decoded from the records, as a table, CSV or
// JSON.
#include "host/output/PoseTable.h"

#include "platform/platform.h"
#include "tests/fixtures/TestHost.h"

#include <gtest/gtest.h>

#include <sstream>

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
    // The names padded by the columns a terminal gives them: a wide character takes two.
    std::ostringstream table;
    PoseWriter tableWriter(table, OutputFormat::table, 14);
    tableWriter.header();
    tableWriter.row(decodeRecord("wand", record));
    tableWriter.row(decodeRecord("\xE9\xA0\xAD\xE9\x83\xA8\xE3\x82\xBB\xE3\x83\xB3\xE3\x82\xB5"
                                 "\xE3\x83\xBC",
                                 record));
    const std::string rest = "   3 1700000000.042     1.50000    -0.00001     0.00000    -5.72957"
                             "    11.45915   -90.00000\n";
    EXPECT_EQ(table.str(), "device          ID           time           x           y           z"
                           "      angle1      angle2      angle3\n"
                           "wand          " +
                               rest +
                               "\xE9\xA0\xAD\xE9\x83\xA8\xE3\x82\xBB\xE3\x83\xB3\xE3\x82\xB5"
                               "\xE3\x83\xBC  " +
                               rest);
}
