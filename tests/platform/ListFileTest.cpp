#include "platform/AtomicFile.h"
#include "platform/ListFile.h"

#include "fixtures/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

TEST(ListFile, SaveAndLoadRoundTripKeepsBytesAndReadsLfAndCrLf)
{
    TempDir dir;
    const StringList entries{"/home/user", "", "名前 with blanks", "\xff\xfe raw"};
    SaveListFile(dir.File("Local.lst"), entries);
    EXPECT_EQ(LoadListFile(dir.File("Local.lst")), entries);
    SaveListFile(dir.File("Local.lst"), {});
    EXPECT_EQ(LoadListFile(dir.File("Local.lst")), StringList{});
    EXPECT_FALSE(LoadListFile(dir.File("missing.lst")).has_value());
    EXPECT_THROW(SaveListFile(dir.File("Local.lst") + "/list.txt", {"a"}), std::runtime_error);
    EXPECT_EQ(SplitListText("a\nb\n"), (StringList{"a", "b"}));
    EXPECT_EQ(SplitListText("a\r\n\r\nb"), (StringList{"a", "", "b"}));
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
