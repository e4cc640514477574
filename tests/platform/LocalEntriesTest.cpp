#include "fixtures/TempDir.h"
#include "platform/LocalEntries.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

TEST(LocalEntries, RenameNeverReplacesAnExistingEntry)
{
    TempDir dir;
    TempDir::WriteFile(dir.File("a"), "first");
    TempDir::WriteFile(dir.File("b"), "second");
    ASSERT_EQ(mkdir(dir.File("empty").c_str(), 0755), 0);
    EXPECT_FALSE(RenameEntryKeepingTarget(dir.File("a"), dir.File("b")));
    EXPECT_EQ(TempDir::ReadFile(dir.File("a")), "first");
    EXPECT_EQ(TempDir::ReadFile(dir.File("b")), "second");
    EXPECT_FALSE(RenameEntryKeepingTarget(dir.File("a"), dir.File("empty")));
    ASSERT_EQ(link(dir.File("a").c_str(), dir.File("hard").c_str()), 0);
    EXPECT_FALSE(RenameEntryKeepingTarget(dir.File("a"), dir.File("hard")));
    EXPECT_TRUE(TempDir::Exists(dir.File("a")));

    EXPECT_TRUE(RenameEntryKeepingTarget(dir.File("a"), dir.File("A")));
    EXPECT_EQ(TempDir::ReadFile(dir.File("A")), "first");
    EXPECT_FALSE(TempDir::Exists(dir.File("a")));
    EXPECT_FALSE(RenameEntryKeepingTarget(dir.File("missing"), dir.File("c")));
}

TEST(LocalEntries, RemovalTakesOnlyWhatItIsMeantFor)
{
    TempDir dir;
    ASSERT_TRUE(CreateDirectoryEntry(dir.File("full")));
    EXPECT_FALSE(CreateDirectoryEntry(dir.File("full")));
    TempDir::WriteFile(dir.File("full/inner"), "x");
    EXPECT_FALSE(RemoveEmptyDirectory(dir.File("full")));
    EXPECT_TRUE(TempDir::Exists(dir.File("full/inner")));
    EXPECT_FALSE(RemoveFileEntry(dir.File("full")));

    ASSERT_EQ(symlink(dir.File("full").c_str(), dir.File("link").c_str()), 0);
    EXPECT_FALSE(RemoveEmptyDirectory(dir.File("link")));
    EXPECT_TRUE(RemoveFileEntry(dir.File("link")));
    EXPECT_TRUE(TempDir::Exists(dir.File("full/inner")));

    EXPECT_TRUE(RemoveFileEntry(dir.File("full/inner")));
    EXPECT_TRUE(RemoveEmptyDirectory(dir.File("full")));
    EXPECT_FALSE(TempDir::Exists(dir.File("full")));
}
