#include "fixtures/TempDir.h"
#include "platform/LocalEntries.h"

#include <gtest/gtest.h>
#include <unistd.h>

// Renaming, deleting and making folders from the window are tested there; these are the cases
// that would cost data if they went wrong.
TEST(LocalEntries, NeitherRenameNorRemovalTakesMoreThanItIsMeantFor)
{
    TempDir dir;
    TempDir::WriteFile(dir.File("a"), "first");
    ASSERT_TRUE(CreateDirectoryEntry(dir.File("empty")));
    ASSERT_TRUE(CreateDirectoryEntry(dir.File("full")));
    TempDir::WriteFile(dir.File("full/inner"), "x");
    ASSERT_EQ(link(dir.File("a").c_str(), dir.File("hard").c_str()), 0);
    ASSERT_EQ(symlink(dir.File("full").c_str(), dir.File("link").c_str()), 0);

    // Neither an empty folder nor another name of the same file is replaced.
    EXPECT_FALSE(RenameEntryKeepingTarget(dir.File("a"), dir.File("empty")));
    EXPECT_FALSE(RenameEntryKeepingTarget(dir.File("a"), dir.File("hard")));
    EXPECT_EQ(TempDir::ReadFile(dir.File("a")), "first");
    // A link to a folder goes as a link; the folder and its files stay.
    EXPECT_FALSE(RemoveFileEntry(dir.File("full")));
    EXPECT_FALSE(RemoveEmptyDirectory(dir.File("link")));
    EXPECT_TRUE(RemoveFileEntry(dir.File("link")));
    EXPECT_TRUE(TempDir::Exists(dir.File("full/inner")));
}
