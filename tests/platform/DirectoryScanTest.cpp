#include "fixtures/TempDir.h"
#include "platform/DirectoryScan.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::vector<std::string> Names(const std::vector<DirectoryEntry>& entries) {
    std::vector<std::string> names;
    for (const DirectoryEntry& entry : entries) names.push_back(entry.name);
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

TEST(Wildcard, WindowsStyleMasks) {
    EXPECT_TRUE(WildcardMatch("Makefile", "*.*"));
    EXPECT_TRUE(WildcardMatch(".hidden", "*.*"));
    EXPECT_TRUE(WildcardMatch("style.CSS", "*.css"));
    EXPECT_FALSE(WildcardMatch("folder", "*.css"));
    EXPECT_TRUE(WildcardMatch("a1.txt", "a?.txt"));
    EXPECT_FALSE(WildcardMatch("a12.txt", "a?.txt"));
    EXPECT_TRUE(WildcardMatch("abcabd", "*abd"));
    EXPECT_TRUE(WildcardMatch("x", "x**"));
    EXPECT_FALSE(WildcardMatch("", "?"));
    EXPECT_TRUE(WildcardMatch("日本.txt", "日本.*"));
}

TEST(DirectoryScan, EntriesWithTheirAttributesAndTheMaskOnFoldersToo) {
    TempDir dir;
    TempDir::WriteFile(dir.File("a.css"), "12345");
    TempDir::WriteFile(dir.File(".hidden"), "");
    TempDir::WriteFile(dir.File("ro.txt"), "");
    chmod(dir.File("ro.txt").c_str(), 0444);
    mkdir(dir.File("sub").c_str(), 0755);
    mkfifo(dir.File("pipe").c_str(), 0644);
    symlink("missing", dir.File("dangling").c_str());

    std::vector<DirectoryEntry> all = ScanDirectory(dir.Path(), "*.*");
    EXPECT_EQ(Names(all), (std::vector<std::string>{".hidden", "a.css", "dangling", "pipe", "ro.txt", "sub"}));
    std::map<std::string, DirectoryEntry> byName;
    for (const DirectoryEntry& entry : all) byName[entry.name] = entry;
    EXPECT_EQ(byName["a.css"].size, 5);
    EXPECT_EQ(byName["a.css"].attributes, 0x80u);
    EXPECT_EQ(byName[".hidden"].attributes, 0x2u);
    EXPECT_EQ(byName["ro.txt"].attributes, 0x1u);
    EXPECT_EQ(byName["sub"].attributes, 0x10u);
    EXPECT_EQ(byName["sub"].size, 0);
    EXPECT_EQ(byName["pipe"].attributes & 0x4u, 0x4u);
    EXPECT_EQ(Names(ScanDirectory(dir.Path(), "*.css")), (std::vector<std::string>{"a.css"}));
    EXPECT_TRUE(ScanDirectory(dir.File("missing"), "*.*").empty());
}

TEST(DirectoryScan, AllNamesTellAnUnreadableDirectoryFromAnEmptyOne) {
    TempDir dir;
    mkdir(dir.File("empty").c_str(), 0755);
    TempDir::WriteFile(dir.File(".hidden"), "");
    TempDir::WriteFile(dir.File("file"), "");
    const std::optional<std::vector<std::string>> names = AllEntryNames(dir.Path());
    ASSERT_TRUE(names.has_value());
    std::vector<std::string> sorted = *names;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, (std::vector<std::string>{".hidden", "empty", "file"}));
    EXPECT_EQ(AllEntryNames(dir.File("empty")), std::vector<std::string>{});
    EXPECT_FALSE(AllEntryNames(dir.File("file")).has_value());
    EXPECT_FALSE(AllEntryNames(dir.File("missing")).has_value());
}

TEST(DirectoryScan, OnlyFifosSocketsAndDevicesAreSpecialFiles) {
    TempDir dir;
    TempDir::WriteFile(dir.File("file"), "");
    mkfifo(dir.File("fifo").c_str(), 0644);
    symlink(dir.File("fifo").c_str(), dir.File("link-to-fifo").c_str());
    EXPECT_TRUE(IsSpecialFile(dir.File("fifo")));
    EXPECT_TRUE(IsSpecialFile(dir.File("link-to-fifo")));
    EXPECT_TRUE(IsSpecialFile("/dev/null"));
    EXPECT_FALSE(IsSpecialFile(dir.File("file")));
    EXPECT_FALSE(IsSpecialFile(dir.Path()));
    EXPECT_FALSE(IsSpecialFile(dir.File("missing")));
}
