#include "platform/AtomicFile.h"
#include "platform/ListFile.h"
#include "platform/ProgramDir.h"

#include "fixtures/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

TEST(ListFile, ReadsLfAndCrLfWithoutAnExtraEntry)
{
    EXPECT_EQ(SplitListText("a\nb\n"), (StringList{"a", "b"}));
    EXPECT_EQ(SplitListText("a\r\nb\r\n"), (StringList{"a", "b"}));
    EXPECT_EQ(SplitListText("a\r\n\r\nb"), (StringList{"a", "", "b"}));
    EXPECT_TRUE(SplitListText("").empty());
}

TEST(ListFile, SaveAndLoadRoundTripKeepsBytes)
{
    TempDir dir;
    const StringList entries{"/home/user", "", "名前 with blanks", "\xff\xfe raw"};
    SaveListFile(dir.File("Local.lst"), entries);
    EXPECT_EQ(LoadListFile(dir.File("Local.lst")), entries);
    EXPECT_FALSE(LoadListFile(dir.File("missing.lst")).has_value());
    SaveListFile(dir.File("Local.lst"), {});
    EXPECT_EQ(LoadListFile(dir.File("Local.lst")), StringList{});
}

TEST(ListFile, SavingWaitsForAnotherWriterOfTheSameFile)
{
    TempDir dir;
    const std::string path = dir.File("Local.lst");
    SaveListFile(path, {"old"});
    std::thread writer;
    {
        const TFileWriteLock otherCopy(path);
        writer = std::thread([&] { SaveListFile(path, {"new"}); });
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        EXPECT_EQ(LoadListFile(path), StringList{"old"});
    }
    writer.join();
    EXPECT_EQ(LoadListFile(path), StringList{"new"});
}

TEST(ListFile, SaveToImpossiblePathThrows)
{
    TempDir dir;
    TempDir::WriteFile(dir.File("file"), "x");
    EXPECT_THROW(SaveListFile(dir.File("file") + "/list.txt", {"a"}), std::runtime_error);
}

TEST(ListFile, TextExtensionsDefaultWhenMissingAndAreTrimmedAndDotted)
{
    TempDir dir;
    EXPECT_EQ(LoadTextExtList(dir.Path()), (StringList{".txt", ".html", ".htm", ".css"}));
    TempDir::WriteFile(dir.File("TextExt.txt"), "txt\r\nhtml\r\n\r\n\r\n");
    EXPECT_EQ(LoadTextExtList(dir.Path()), (StringList{".txt", ".html"}));
    TempDir::WriteFile(dir.File("TextExt.txt"), "  \ntxt\n\n.html\n");
    EXPECT_EQ(LoadTextExtList(dir.Path()), (StringList{".txt", ".", ".html"}));
    TempDir::WriteFile(dir.File("TextExt.txt"), "\n\n");
    EXPECT_TRUE(LoadTextExtList(dir.Path()).empty());
}

TEST(ListFile, SkipAndNoDeleteListsAreUsedAsWritten)
{
    TempDir dir;
    EXPECT_TRUE(LoadSkipExtList(dir.Path()).empty());
    EXPECT_TRUE(LoadNoDeleteExtList(dir.Path()).empty());
    TempDir::WriteFile(dir.File("SkipExt.txt"), "bak\n.tmp\n");
    TempDir::WriteFile(dir.File("NoDeleteExt.txt"), " cgi\n");
    EXPECT_EQ(LoadSkipExtList(dir.Path()), (StringList{"bak", ".tmp"}));
    EXPECT_EQ(LoadNoDeleteExtList(dir.Path()), (StringList{" cgi"}));
}

}  // namespace
