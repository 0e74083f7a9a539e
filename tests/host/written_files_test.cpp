// The files trackhost writes, in a folder named in other scripts: whole or untouched,
// never over a program, a library, a configuration or a device, and the libraries it
// loads never from the folder it runs in.
#include "platform/platform.h"
#include "tests/fixtures/RunProgram.h"
#include "tests/fixtures/TestFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

struct WrittenFiles : testing::Test {
    static std::string quoted(const std::string& name) { return "\"" + name + "\""; }
    // The files in the folder, so that a new file left behind shows.
    static std::size_t fileCount() {
        std::size_t count = 0;
        for (const auto& entry :
             std::filesystem::directory_iterator(std::filesystem::u8path(name))) {
            count += entry.is_regular_file() ? 1 : 0;
        }
        return count;
    }

    static constexpr const char* name = "書く Jürgen";
    TestFolder folder{name};
    std::string config = folder.write("設定.conf", "[head]\nport 1\n");
};

} // namespace

// A run that fails before any device exists (here a plug-in that is not beside
// trackhost, where the sensor library it would bind to is) leaves
// --output and --record as they were and nothing beside them; one that runs replaces
// both whole.
TEST_F(WrittenFiles, ARunThatFailsBeforeItStartsLeavesThemAsTheyWere) {
    std::string recording;
    for (int line = 0; line < 203; ++line) {
        recording += std::to_string(line) + " 1 1 0.0 0.0 0.0\n";
    }
    const std::string precious = folder.write("precious.txt", recording);
    const std::string output = folder.write("出力.csv", "device,id\nhead,1\n");
    const std::string files = " --output " + quoted(output) + " --record " + quoted(precious) + " ";
    ProgramRun run =
        runProgram("trackhost", "--quiet --cycles 2 --plugin " + platform::libraryFileName("none") +
                                    files + quoted(config));
    EXPECT_EQ(run.status, 4) << run.err;
    EXPECT_TRUE(readText(precious) == recording)
        << textLines(readText(precious)).size() << " lines";
    EXPECT_EQ(readText(output), "device,id\nhead,1\n");
    EXPECT_EQ(fileCount(), 3u);

    run = runProgram("trackhost", "--quiet --cycles 2 --format csv" + files + quoted(config));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(textLines(readText(precious)).size(), 3u + 2u);
    EXPECT_EQ(textLines(readText(output)).size(), 1u + 2u);
    EXPECT_EQ(fileCount(), 3u);
}
