// A staged file leaves its target as it was until it is committed, then whole, and
// nothing of its own beside it either way.
#include "host/files/StagedFile.h"
#include "platform/platform.h"
#include "tests/fixtures/RunProgram.h"
#include "tests/fixtures/TestFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

struct StagedFileTest : testing::Test {
    // The names in the folder, so that a new file left behind shows.
    std::size_t fileCount() const {
        std::size_t count = 0;
        for (const auto& entry :
             std::filesystem::directory_iterator(std::filesystem::u8path("staged 東京"))) {
            count += entry.is_regular_file() ? 1 : 0;
        }
        return count;
    }
    void write(StagedFile& staged, const std::string& text) {
        ASSERT_GE(std::fputs(text.c_str(), staged.stream()), 0);
    }

    TestFolder folder{"staged 東京"};
    std::string problem;
};

} // namespace

TEST_F(StagedFileTest, TheTargetKeepsItsContentUntilCommitted) {
    const std::string target = folder.write("precious.txt", "old\n");
    {
        StagedFile staged(target);
        ASSERT_TRUE(staged.open("wb", problem)) << problem;
        write(staged, "half");
        EXPECT_EQ(fileCount(), 2u);
        EXPECT_EQ(readText(target), "old\n");
    }
    EXPECT_EQ(readText(target), "old\n");
    EXPECT_EQ(fileCount(), 1u);

    // Committed, it is the target, and what is written after goes there too.
    StagedFile staged(target);
    ASSERT_TRUE(staged.open("wb", problem)) << problem;
    write(staged, "new\n");
    ASSERT_TRUE(staged.commit(problem)) << problem;
    write(staged, "more\n");
    ASSERT_TRUE(staged.close(problem)) << problem;
    EXPECT_EQ(staged.path(), target);
    EXPECT_EQ(readText(target), "new\nmore\n");
    EXPECT_EQ(fileCount(), 1u);
}

TEST_F(StagedFileTest, ACommitMayKeepTheOldContentAsABackup) {
    const std::string target = folder.write("my.conf", "[old]\n");
    folder.write("my.conf.bak", "[older]\n");
    StagedFile staged(target);
    ASSERT_TRUE(staged.open("wb", problem)) << problem;
    write(staged, "[new]\n");
    ASSERT_TRUE(staged.commit(problem, true)) << problem;
    EXPECT_EQ(readText(target), "[new]\n");
    EXPECT_EQ(readText(target + ".bak"), "[old]\n");
    EXPECT_EQ(fileCount(), 2u);

    // A new file has nothing to keep.
    StagedFile fresh(folder.path("new.conf"));
    ASSERT_TRUE(fresh.open("wb", problem)) << problem;
    ASSERT_TRUE(fresh.commit(problem, true)) << problem;
    EXPECT_EQ(fileCount(), 3u);
}

TEST_F(StagedFileTest, ADeviceIsWrittenAsItIsAndAMissingFolderSaysWhy) {
    const std::string null = platform::posixSystem() ? "/dev/null" : "NUL";
    StagedFile device(null);
    ASSERT_TRUE(device.open("w", problem)) << problem;
    EXPECT_EQ(device.path(), null);
    write(device, "gone\n");
    EXPECT_TRUE(device.commit(problem)) << problem;
    EXPECT_TRUE(device.close(problem)) << problem;
    if (platform::posixSystem()) {
        // A device that takes nothing more says so when what was written is committed.
        StagedFile full("/dev/full");
        ASSERT_TRUE(full.open("w", problem)) << problem;
        write(full, "lost\n");
        EXPECT_FALSE(full.commit(problem));
        EXPECT_EQ(problem, "cannot write /dev/full (No space left on device)");
    }

    const std::string missing =
        folder.path("no such folder") + (platform::posixSystem() ? "/" : "\\") + "x.csv";
    StagedFile lost(missing);
    EXPECT_FALSE(lost.open("w", problem));
    EXPECT_EQ(problem, "cannot write " + missing + " (No such file or directory)");
}

// A symbolic link stays a link: the file it leads to is the one replaced.
TEST_F(StagedFileTest, ALinkKeepsLeadingToTheFileReplaced) {
    if (!platform::posixSystem()) {
        GTEST_SKIP() << "symbolic links are a POSIX matter here";
    }
    const std::string real = folder.write("real.csv", "old\n");
    const std::string link = folder.path("link.csv");
    std::filesystem::create_symlink("real.csv", std::filesystem::u8path(link));
    StagedFile staged(link);
    ASSERT_TRUE(staged.open("w", problem)) << problem;
    write(staged, "new\n");
    ASSERT_TRUE(staged.commit(problem) && staged.close(problem)) << problem;
    EXPECT_TRUE(std::filesystem::is_symlink(std::filesystem::u8path(link)));
    EXPECT_EQ(readText(real), "new\n");
    EXPECT_EQ(fileCount(), 2u);
}
