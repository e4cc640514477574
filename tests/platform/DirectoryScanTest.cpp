#include "fixtures/TempDir.h"
#include "platform/DirectoryScan.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

// One folder with every kind of entry, seen through each of the scans, and masks as Windows matches them.
TEST(DirectoryScan, MasksEntriesAttributesNamesAndSpecialFiles) {
    EXPECT_TRUE(WildcardMatch("style.CSS", "*.css"));
    EXPECT_FALSE(WildcardMatch("a12.txt", "a?.txt"));
    EXPECT_TRUE(WildcardMatch("abcabd", "*abd"));
    EXPECT_TRUE(WildcardMatch("日本.txt", "日本.*"));
    TempDir dir;
    TempDir::WriteFile(dir.File("a.css"), "12345");
    TempDir::WriteFile(dir.File(".hidden"), "");
    TempDir::WriteFile(dir.File("ro.txt"), "");
    chmod(dir.File("ro.txt").c_str(), 0444);
    mkdir(dir.File("sub").c_str(), 0755);
    mkfifo(dir.File("pipe").c_str(), 0644);
    symlink("missing", dir.File("dangling").c_str());
    symlink(dir.File("pipe").c_str(), dir.File("link-to-pipe").c_str());
    const std::vector<std::string> allNames{".hidden", "a.css", "dangling", "link-to-pipe", "pipe", "ro.txt", "sub"};

    std::map<std::string, DirectoryEntry> byName;
    for (const DirectoryEntry& entry : ScanDirectory(dir.Path(), "*.*"))
        byName[entry.name] = entry;
    EXPECT_EQ(byName.size(), allNames.size());
    EXPECT_EQ(byName["a.css"].size, 5);
    EXPECT_EQ(byName["a.css"].attributes, 0x80u);
    EXPECT_EQ(byName[".hidden"].attributes, 0x2u);
    EXPECT_EQ(byName["ro.txt"].attributes, 0x1u);
    EXPECT_EQ(byName["sub"].attributes, 0x10u);
    EXPECT_EQ(byName["pipe"].attributes & 0x4u, 0x4u);

    std::vector<std::string> names = AllEntryNames(dir.Path()).value();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, allNames);
    // Unreadable is not empty: a file or a missing path gives no list at all.
    EXPECT_EQ(AllEntryNames(dir.File("sub")), std::vector<std::string>{});
    EXPECT_FALSE(AllEntryNames(dir.File("a.css")).has_value());
    EXPECT_FALSE(AllEntryNames(dir.File("missing")).has_value());

    // A link to a pipe is as special as the pipe: reading it would block.
    EXPECT_TRUE(IsSpecialFile(dir.File("link-to-pipe")));
    EXPECT_FALSE(IsSpecialFile(dir.File("a.css")));
}
