// The platform layer on its own, one group per call, in both builds: what each call
// answers on this system for files and their names, the program, libraries, clocks,
// interface addresses and writes that pass a stream's buffering.
#include "platform/platform.h"
#include "tests/fixtures/TestFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

// What a system's text says, without the line end Win32 texts carry.
std::string withoutLineEnd(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) {
        text.pop_back();
    }
    return text;
}

std::string fileText(const std::string& path) {
    std::ifstream in(fs::u8path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool identityOf(const std::string& path, platform::FileIdentity& identity) {
    return platform::fileIdentity(path, identity);
}

// A dotted IPv4 address: four numbers of at most 255, nothing else.
bool dottedQuad(const std::string& text) {
    unsigned a = 256, b = 256, c = 256, d = 256;
    char rest = 0;
    return std::sscanf(text.c_str(), "%u.%u.%u.%u%c", &a, &b, &c, &d, &rest) == 4 && a < 256 &&
           b < 256 && c < 256 && d < 256;
}

} // namespace

TEST(FileIdentity, OneFileUnderTwoNamesAndNoOtherFile) {
    TestFolder folder("platform-identity");
    const std::string file = folder.write("data.txt", "data");
    folder.write("other.txt", "data");
    platform::FileIdentity byName, byFullName, other, ofFolder, ofStream;
    ASSERT_TRUE(identityOf(file, byName));
    EXPECT_TRUE(byName.regular);
    ASSERT_TRUE(identityOf(folder.absolute("data.txt"), byFullName));
    EXPECT_EQ(byName, byFullName);
    ASSERT_TRUE(identityOf(folder.path("other.txt"), other));
    EXPECT_FALSE(byName == other);
    ASSERT_TRUE(identityOf("platform-identity", ofFolder));
    EXPECT_FALSE(ofFolder.regular);
    EXPECT_FALSE(identityOf(folder.path("missing.txt"), other));

    std::FILE* stream = platform::openFile(file, "rb");
    ASSERT_NE(stream, nullptr);
    EXPECT_TRUE(platform::streamIdentity(stream, ofStream));
    EXPECT_EQ(ofStream, byName);
    std::fclose(stream);
    EXPECT_FALSE(platform::streamIdentity(nullptr, ofStream));
}

TEST(FileIdentity, AHardLinkAndASymbolicLinkAreTheFileTheyName) {
    TestFolder folder("platform-links");
    const std::string file = folder.write("data.txt", "data");
    platform::FileIdentity original, linked;
    ASSERT_TRUE(identityOf(file, original));
    fs::create_hard_link(fs::u8path(file), fs::u8path(folder.path("hard.txt")));
    ASSERT_TRUE(identityOf(folder.path("hard.txt"), linked));
    EXPECT_EQ(linked, original);
    std::error_code error;
    fs::create_symlink("data.txt", fs::u8path(folder.path("symbolic.txt")), error);
    if (error) {
        GTEST_SKIP() << "this system makes no symbolic link here: " << error.message();
    }
    ASSERT_TRUE(identityOf(folder.path("symbolic.txt"), linked));
    EXPECT_EQ(linked, original);
    EXPECT_TRUE(linked.regular);
}

// Windows' file systems compare names regardless of letter case, in any script.
TEST(FileIdentity, LetterCaseNamesTheSameFileWhereTheSystemIgnoresIt) {
    TestFolder folder("platform-case");
    const std::string file = folder.write("Ärger.txt", "data");
    const bool ignoresCase = !platform::posixSystem();
    EXPECT_EQ(platform::sameFileName("Ärger.txt", "äRGER.TXT"), ignoresCase);
    EXPECT_TRUE(platform::sameFileName("Ärger.txt", "Ärger.txt"));
    EXPECT_FALSE(platform::sameFileName("Ärger.txt", "Ärger.txt "));
    platform::FileIdentity original, otherCase;
    ASSERT_TRUE(identityOf(file, original));
    EXPECT_EQ(identityOf(folder.path("äRGER.TXT"), otherCase), ignoresCase);
    if (ignoresCase) {
        EXPECT_EQ(otherCase, original);
    }
}

TEST(FileNames, NamesBeyondAsciiReachTheSystemAsTyped) {
    TestFolder folder("大阪 Jürgen");
    EXPECT_TRUE(platform::isFolder("大阪 Jürgen"));
    EXPECT_FALSE(platform::isFolder(folder.write("記録.txt", "")));
    std::FILE* file = platform::openFile(folder.path("出力.txt"), "wb");
    ASSERT_NE(file, nullptr);
    std::fputs("ü", file);
    std::fclose(file);
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(fs::u8path("大阪 Jürgen"))) {
        names.push_back(entry.path().filename().u8string());
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"出力.txt", "記録.txt"}));
    EXPECT_EQ(fileText(folder.path("出力.txt")), "ü");

    EXPECT_EQ(platform::openFile(folder.path("無い.txt"), "rb"), nullptr);
    EXPECT_EQ(errno, ENOENT);
    // Whether a file could be written, found out without making it.
    int error = -1;
    EXPECT_TRUE(platform::writableFile(folder.path("新.txt"), error));
    EXPECT_EQ(error, 0);
    EXPECT_FALSE(fs::exists(fs::u8path(folder.path("新.txt"))));
    EXPECT_TRUE(platform::writableFile(folder.path("出力.txt"), error));
    EXPECT_EQ(fileText(folder.path("出力.txt")), "ü");
    EXPECT_FALSE(
        platform::writableFile(folder.path("無い") + platform::folderSeparators()[0] + "x", error));
    EXPECT_EQ(error, ENOENT);
    EXPECT_FALSE(platform::writableFile("大阪 Jürgen", error));
    EXPECT_EQ(error, EISDIR);
    const std::string inFile = folder.path("出力.txt") + platform::folderSeparators()[0] + "x";
    EXPECT_FALSE(platform::writableFile(inFile, error));
    EXPECT_NE(error, 0);
}

// Nothing is renamed where the system refuses, and the reason comes back: a file that
// is not there, a name under a file as though that were a folder.
TEST(ReplaceFile, WhatCannotBeRenamedStaysAndSaysWhy) {
    TestFolder folder("platform-replace");
    const std::string from = folder.write("new.txt", "new");
    const std::string to = folder.write("old.txt", "old");
    int error = 0;
    EXPECT_FALSE(platform::replaceFile(folder.path("missing.txt"), to, error));
    EXPECT_EQ(error, ENOENT);
    const std::string inFile = to + platform::folderSeparators()[0] + "x.txt";
    error = 0;
    EXPECT_FALSE(platform::replaceFileWithBackup(from, inFile, folder.path("old.bak"), error));
    EXPECT_NE(error, 0);
    EXPECT_EQ(fileText(from), "new");
    EXPECT_EQ(fileText(to), "old");
    EXPECT_FALSE(fs::exists(fs::u8path(folder.path("old.bak"))));
}

// The current folder ends in one; every one of them, and on Windows a drive's colon
// before a name relative to that drive's current folder, ends a folder in a name.
TEST(FolderSeparators, EachEndsAFolderInAName) {
    const std::string separators = platform::folderSeparators();
    EXPECT_EQ(separators, platform::posixSystem() ? "/" : "/\\:");
    const std::string current = platform::currentFolder();
    ASSERT_FALSE(current.empty());
    EXPECT_NE(separators.find(current.back()), std::string::npos) << current;
    EXPECT_TRUE(platform::isFolder(current));

    TestFolder folder("platform-separators");
    folder.write("x.txt", "x");
    platform::FileIdentity original, named;
    ASSERT_TRUE(identityOf(current + "platform-separators" + current.back() + "x.txt", original));
    for (const char separator : separators) {
        const std::string name = separator == ':'
                                     ? current.substr(0, 2) + "platform-separators\\x.txt"
                                     : "platform-separators" + std::string(1, separator) + "x.txt";
        ASSERT_TRUE(identityOf(name, named)) << name;
        EXPECT_EQ(named, original) << name;
    }
}

// A current folder that has been deleted (which POSIX allows) has no name.
TEST(CurrentFolder, ADeletedOneHasNoName) {
    if (!platform::posixSystem()) {
        GTEST_SKIP() << "Windows deletes no folder that is a process's current one";
    }
    const fs::path before = fs::current_path();
    fs::create_directory("deleted");
    fs::current_path("deleted");
    fs::remove(before / "deleted");
    EXPECT_EQ(platform::currentFolder(), "");
    fs::current_path(before);
}

TEST(ExecutablePath, NamesThisProgramInItsFolder) {
    const std::string path = platform::executablePath();
    const std::string folder = platform::executableFolder();
    ASSERT_FALSE(folder.empty());
    ASSERT_EQ(path.rfind(folder, 0), 0u) << path;
    EXPECT_EQ(path.substr(folder.size()),
              platform::posixSystem() ? "platform_test" : "platform_test.exe");
    EXPECT_NE(std::string(platform::folderSeparators()).find(folder.back()), std::string::npos);
    platform::FileIdentity program;
    ASSERT_TRUE(identityOf(path, program));
    EXPECT_TRUE(program.regular);
    // A bare library name is looked for beside the program.
    EXPECT_EQ(platform::dependencyFolder(platform::libraryFileName("testcalib")), folder);
}

// Not the loopback, not link-local IPv6 (a URL with it would need the interface's
// name); the IPv4 addresses are among those with IPv6. A machine with no interface
// up but the loopback has none.
TEST(InterfaceAddresses, AddressesAnotherMachineCanReach) {
    const std::vector<std::string> ipv4 = platform::interfaceAddresses(false);
    const std::vector<std::string> all = platform::interfaceAddresses(true);
    for (const std::string& address : ipv4) {
        EXPECT_TRUE(dottedQuad(address)) << address;
        EXPECT_NE(address.rfind("127.", 0), 0u) << address;
        EXPECT_NE(std::find(all.begin(), all.end(), address), all.end()) << address;
    }
    for (const std::string& address : all) {
        EXPECT_TRUE(dottedQuad(address) || address.find(':') != std::string::npos) << address;
        EXPECT_NE(address, "::1");
        EXPECT_NE(address.rfind("fe80:", 0), 0u) << address;
    }
}

// The wall clock is the system's time, with the zone and daylight saving that the
// local time of that second has; the conversions are the calendar's.
TEST(Clocks, TheWallClockIsTheSystemsTimeInTheLocalZone) {
    const std::time_t before = std::time(nullptr);
    platform::WallClock clock{};
    platform::readWallClock(clock);
    const std::time_t after = std::time(nullptr);
    EXPECT_GE(clock.seconds, before);
    EXPECT_LE(clock.seconds, after);
    EXPECT_LT(clock.milliseconds, 1000);
    EXPECT_EQ(clock.padding, 0);

    std::tm local{}, utc{};
    ASSERT_TRUE(platform::localTime(clock.seconds, local));
    ASSERT_TRUE(platform::utcTime(clock.seconds, utc));
    const int dst = local.tm_isdst > 0 ? 1 : 0;
    EXPECT_EQ(clock.dstFlag, dst);
    // Minutes west of UTC, for standard time; the two days may differ by one, at a
    // year's end too.
    int days = utc.tm_yday - local.tm_yday;
    days = days > 1 ? -1 : days < -1 ? 1 : days;
    const int west = days * 1440 + (utc.tm_hour - local.tm_hour) * 60 + utc.tm_min - local.tm_min;
    EXPECT_EQ(clock.timezone, west + dst * 60);

    ASSERT_TRUE(platform::utcTime(951782400, utc)); // 2000-02-29 00:00:00 UTC
    EXPECT_EQ(std::vector<int>({utc.tm_year, utc.tm_mon, utc.tm_mday, utc.tm_hour, utc.tm_min}),
              std::vector<int>({100, 1, 29, 0, 0}));
}

TEST(Clocks, EachThreadHasItsOwnNumber) {
    const std::uint32_t mine = platform::currentThreadId();
    EXPECT_EQ(platform::currentThreadId(), mine);
    std::uint32_t other = mine;
    std::thread([&other] { other = platform::currentThreadId(); }).join();
    EXPECT_NE(other, mine);
}

// A missing library, and a file beside the program that is no library, each with the
// system's own reason; a library there loads, answers its symbols and its file.
TEST(LoadLibrary, WhatCannotBeLoadedSaysTheSystemsReason) {
    EXPECT_EQ(platform::loadLibrary("no_such_library"), nullptr);
    const std::string missing = platform::libraryError();
    // ENOENT, and on Win32 ERROR_MOD_NOT_FOUND
    const std::string reason =
        withoutLineEnd(platform::errorText(platform::posixSystem() ? 2 : 126));
    EXPECT_NE(missing.find(reason), std::string::npos) << missing;

    const std::string notLibrary =
        platform::executableFolder() + platform::libraryFileName("not_a_library");
    std::ofstream(fs::u8path(notLibrary), std::ios::binary) << "text, not a library\n";
    EXPECT_EQ(platform::loadLibrary("not_a_library"), nullptr);
    const std::string broken = platform::libraryError();
    fs::remove(fs::u8path(notLibrary));
    EXPECT_FALSE(broken.empty());
    EXPECT_EQ(broken.find(reason), std::string::npos) << broken;

    const std::string name = platform::libraryFileName("testcalib");
    platform::LibraryHandle library = platform::loadLibraryUtf8(name);
    ASSERT_NE(library, nullptr) << platform::libraryError();
    EXPECT_NE(platform::librarySymbol(library, "calib_init"), nullptr);
    EXPECT_EQ(platform::librarySymbol(library, "no_such_symbol"), nullptr);
    EXPECT_TRUE(platform::sameFileName(platform::libraryPath(library),
                                       platform::executableFolder() + name));
    platform::LibraryHandle loaded = platform::loadedLibrary(name.c_str());
    EXPECT_EQ(loaded, library);
    platform::freeLibrary(loaded);
    // The library that holds a function is found from its address; no library holds
    // the stack.
    loaded = platform::libraryHolding(platform::librarySymbol(library, "calib_init"));
    EXPECT_EQ(loaded, library);
    platform::freeLibrary(loaded);
    const int onTheStack = 0;
    EXPECT_EQ(platform::libraryHolding(&onTheStack), nullptr);
    platform::freeLibrary(library);
    EXPECT_EQ(platform::libraryPath(nullptr), "");
}

// Where loading a bare name would find the library, without loading it: beside the
// program first; on POSIX then a library of that name already loaded, the folders of
// LD_LIBRARY_PATH (an empty entry is the current folder), the loading library's own.
// The name as given where no folder holds it.
TEST(FindLibrary, WhereLoadingABareNameWouldFindIt) {
    EXPECT_EQ(platform::findLibrary("testcalib", ""),
              platform::executableFolder() + platform::libraryFileName("testcalib"));
    EXPECT_EQ(platform::findLibrary("no_such_library", "."), "no_such_library");
    if (!platform::posixSystem()) {
        return;
    }
    platform::FileIdentity runtime;
    EXPECT_TRUE(identityOf(platform::findLibrary("libc.so.6", ""), runtime) && runtime.regular);
    // Not loaded: in the system's folders.
    EXPECT_TRUE(identityOf(platform::findLibrary("libresolv.so.2", ""), runtime) &&
                runtime.regular);
    TestFolder folder("platform-find");
    folder.write("libown.so", "");
    EXPECT_EQ(platform::findLibrary("own", "platform-find"), "platform-find/libown.so");

    const char* const set = std::getenv("LD_LIBRARY_PATH");
    static std::string before; // putenv keeps what it is given; a name alone removes it
    before = "LD_LIBRARY_PATH" + (set != nullptr ? "=" + std::string(set) : "");
    static char searchPath[] = "LD_LIBRARY_PATH=:platform-find";
    putenv(searchPath);
    EXPECT_EQ(platform::findLibrary("own", "elsewhere/"), "platform-find/libown.so");
    putenv(&before[0]);
}

// writeTerminal passes the stream's buffer: a file gets what the stream held first,
// the text whole, then what the stream takes after it; lines erased are the escapes
// that erase them. A file is no terminal.
TEST(WriteTerminal, AFileGetsTheTextAfterWhatItsStreamHeld) {
    TestFolder folder("platform-terminal");
    std::FILE* file = platform::openFile(folder.path("out.txt"), "wb");
    ASSERT_NE(file, nullptr);
    std::fputs("held ", file);
    platform::writeTerminal(file, "\x1b[2Kwhole Jürgen 東京\n");
    platform::eraseTerminalLines(file, 2);
    std::fputs("after", file);
    EXPECT_FALSE(platform::isTerminal(file));
    EXPECT_FALSE(platform::enableTerminalEscapes(file));
    EXPECT_EQ(platform::terminalColumns(file), 0u);
    std::fclose(file);
    const std::string written = "held \x1b[2Kwhole Jürgen 東京\n\r\x1b[2A\x1b[Jafter";
    EXPECT_EQ(fileText(folder.path("out.txt")), written);
    // A stream that takes nothing gets nothing, and the call returns.
    file = platform::openFile(folder.path("out.txt"), "rb");
    ASSERT_NE(file, nullptr);
    platform::writeTerminal(file, "lost");
    std::fclose(file);
    EXPECT_EQ(fileText(folder.path("out.txt")), written);
}

// Run in a terminal (platform_console_test, under `script`): standard output is one,
// takes escape sequences and has a width, and the text arrives as written (on
// Windows through the console's wide call), which that test's expected output checks.
TEST(WriteTerminal, AConsoleShowsTheTextAsWritten) {
    if (!platform::isTerminal(stdout)) {
        GTEST_SKIP() << "standard output is no terminal here";
    }
    EXPECT_TRUE(platform::enableTerminalEscapes(stdout));
    EXPECT_GT(platform::terminalColumns(stdout), 0u);
    platform::writeTerminal(stdout, "console:Jürgen-東京\x1b[1m-bold\x1b[0m\n");
}
