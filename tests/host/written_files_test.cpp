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

// What its first bytes say is a program or a library (a release's plug-in, not the
// copy trackhost runs on), or a configuration trackhost reads, is never written over
// by records: status 2, naming the file and what it is.
TEST_F(WrittenFiles, ProgramsLibrariesAndConfigurationsAreNeverWrittenOver) {
    const std::string plugin = folder.copy(platform::libraryFileName("tracker_3dbird"),
                                           platform::libraryFileName("plug-in"));
    const std::string other = folder.write("他.conf", "# mine\n[hand]\nport 2\n");
    const struct {
        const char* option;
        std::string file;
        std::string what;
    } kept[] = {
        {"--output", plugin,
         std::string(" is a program or a library (") + (platform::posixSystem() ? "ELF" : "PE") +
             "); trackhost never writes over one"},
        {"--record", other, " is a configuration; trackhost never writes records over one"}};
    for (const auto& file : kept) {
        const std::uintmax_t size = std::filesystem::file_size(std::filesystem::u8path(file.file));
        const ProgramRun run =
            runProgram("trackhost", std::string("--cycles 1 ") + file.option + " " +
                                        quoted(file.file) + " " + quoted(config));
        EXPECT_EQ(run.status, 2) << file.file;
        EXPECT_EQ(run.err,
                  std::string("trackhost: ") + file.option + " " + file.file + file.what + "\n");
        EXPECT_EQ(std::filesystem::file_size(std::filesystem::u8path(file.file)), size);
    }
}

// On Windows a name kept for a device (the console, a printer, a serial port, where
// the sensors are) is refused for every file written, in any letter case, with an
// extension or a folder; NUL is the null device there, as /dev/null is on POSIX.
TEST_F(WrittenFiles, DevicesNamesAreNoFiles) {
    const std::string null = posixShell() ? "/dev/null" : "NUL";
    ProgramRun run = runProgram("trackhost", "--quiet --cycles 1 --output " + null + " --record " +
                                                 null + " " + quoted(config));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "");
    if (posixShell()) {
        return;
    }
    const struct {
        const char* option;
        std::string name;
    } devices[] = {{"--record", "CON"},
                   {"--record", "com1"},
                   {"--output", folder.path("Lpt9.csv")},
                   {"--output", "aux.txt"}};
    for (const auto& device : devices) {
        run = runProgram("trackhost", std::string("--cycles 1 ") + device.option + " " +
                                          quoted(device.name) + " " + quoted(config));
        EXPECT_EQ(run.status, 2) << device.name;
        EXPECT_EQ(run.err, std::string("trackhost: ") + device.option + " " + device.name +
                               " is a device's name on Windows (the console, a printer, a serial "
                               "port), not a file's\n");
        EXPECT_EQ(run.out, "");
    }
}

// A calibration library named bare loads from beside trackhost, never from the folder
// it runs in: one put there is neither loaded nor run.
TEST_F(WrittenFiles, ALibraryNamedBareNeverComesFromTheCurrentFolder) {
    folder.copy(platform::libraryFileName("testcalib"), platform::libraryFileName("近くの"));
    folder.write("bare.conf", "[head]\ncalibration 近くの 2\n");
    const std::string err = "ALibraryNamedBare-err.txt";
    EXPECT_EQ(runShell("cd " + quoted(name) + " && " + programCommand("trackhost") +
                       " --check bare.conf 2>../" + err),
              3);
    const std::string said = readText(err);
    EXPECT_EQ(said.rfind("bare.conf:2: calibration library \"近くの\" cannot be loaded (", 0), 0u)
        << said;
    std::filesystem::remove(err);
}
