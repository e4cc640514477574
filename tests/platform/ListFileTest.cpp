#include "platform/AtomicFile.h"
#include "platform/ListFile.h"

#include "fixtures/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

TEST(ListFile, SaveAndLoadRoundTripKeepsBytesReadsLfAndCrLfAndWaitsForAnotherWriter)
{
    TempDir dir;
    const std::string path = dir.File("Local.lst");
    const StringList entries{"/home/user", "", "名前 with blanks", "\xff\xfe raw"};
    SaveListFile(path, entries);
    EXPECT_EQ(LoadListFile(path), entries);
    SaveListFile(path, {});
    EXPECT_EQ(LoadListFile(path), StringList{});
    EXPECT_FALSE(LoadListFile(dir.File("missing.lst")).has_value());
    EXPECT_THROW(SaveListFile(path + "/list.txt", {"a"}), std::runtime_error);
    EXPECT_EQ(SplitListText("a\r\n\r\nb"), (StringList{"a", "", "b"}));

    // Saving waits while another copy of the program holds the file's lock.
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
