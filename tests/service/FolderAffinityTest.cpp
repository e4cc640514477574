#include "service/FolderAffinity.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct TWaitingFile {
    std::string folder;
    bool waiting = true;
};

std::size_t Next(const std::vector<TWaitingFile>& files, const std::string& own, const std::vector<std::string>& others)
{
    const auto next = NextByFolder(files.begin(), files.end(), own, others,
                                   [](const TWaitingFile& file) -> const std::string& { return file.folder; },
                                   [](const TWaitingFile& file) { return file.waiting; });
    return std::size_t(next - files.begin());
}

TEST(FolderAffinity, AConnectionKeepsToItsFolderThenTakesOneNobodyWorksIn)
{
    const std::vector<TWaitingFile> files{{"a", false}, {"a"}, {"b"}, {"c"}, {"b"}};
    EXPECT_EQ(Next(files, "b", {"a"}), 2u);
    EXPECT_EQ(Next(files, "x", {"a", "b"}), 3u);
    // Every folder worked in: the first waiting file, so that no connection sits idle.
    EXPECT_EQ(Next(files, "x", {"a", "b", "c"}), 1u);
    EXPECT_EQ(Next({{"a", false}}, "a", {}), 1u);
}

}  // namespace
