// A test build whose catalogue has one more spelling of the port, "comport", added
// to its row and nowhere else: the plug-in's reader takes it, the checker knows it
// and --check --verbose prints the port it sets.
#include "device/DeviceOptions.h"
#include "host/check/ConfigCheck.h"
#include "host/plugin/HostConfig.h"
#include "host/report/ExitCode.h"

#include "tests/fixtures/PlainLogger.h"
#include "tests/fixtures/TestFiles.h"

#include <gtest/gtest.h>

#include <sstream>

TEST(CatalogueSpelling, ASpellingAddedToTheCatalogueIsReadCheckedAndPrinted) {
    HostConfig config;
    config.add("ComPort", {"3"}, 2);
    config.add("comport", {"1", "2"}, 3);
    DeviceSettings settings;
    std::vector<OptionProblem> problems;
    EXPECT_FALSE(readDeviceOptions(*config.record(), settings, plainLogger("wand"), &problems));
    EXPECT_EQ(settings.serialPort, 3);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].text, "Too many args found for SerialPort at line 3.");

    TestFiles files;
    const std::string file = files.writeConfig("[wand]\nport 2\ncomport 3x\n[head]\ncomport 3\n");
    std::ostringstream err;
    std::ostringstream out;
    EXPECT_EQ(runCheck(file, err, &out), exitConfiguration);
    const std::string f = "ASpellingAddedToTheCatalogueIsReadCheckedAndPrinted.conf";
    EXPECT_EQ(err.str(),
              f +
                  ":3: warning: text after the number in \"3x\" of comport: it reads "
                  "as 3\n" +
                  f + ":3: warning: comport repeats the port of line 2; the last one wins\n" + f +
                  ":5: section [head] is on port 3, as section [wand] at line 1 is; a "
                  "port has one sensor, so init of [head] would fail\n");
    EXPECT_EQ(out.str().substr(0, out.str().find("  reset")),
              "[wand] at " + f + ":1\n  port                   3\n");
}
