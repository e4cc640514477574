#include "platform/AtomicFile.h"
#include "platform/ListFile.h"

#include "fixtures/TempDir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <sstream>
#include <thread>
#include <unistd.h>

namespace {

// Whether a thread of this process is blocked on a whole-file lock, as /proc/locks lists it:
// "1: -> FLOCK  ADVISORY  WRITE <pid> <device:inode> 0 EOF".
bool AThreadWaitsForAFileLock()
{
    std::ifstream locks("/proc/locks");
    for (std::string line; std::getline(locks, line);) {
        std::istringstream fields(line);
        std::string number, arrow, kind, advisory, mode, pid;
        fields >> number >> arrow >> kind >> advisory >> mode >> pid;
        if (arrow == "->" && kind == "FLOCK" && pid == std::to_string(getpid()))
            return true;
    }
    return false;
}

}  // namespace

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

    // Saving waits while another copy of the program holds the file's lock. The writer is
    // seen either waiting for the lock or, when it took none, done.
    ASSERT_TRUE(std::ifstream("/proc/locks").is_open()) << "the writer is seen waiting in /proc/locks";
    SaveListFile(path, {"old"});
    std::atomic<bool> saved = false;
    std::thread writer;
    {
        const TFileWriteLock otherCopy(path);
        writer = std::thread([&] {
            SaveListFile(path, {"new"});
            saved = true;
        });
        while (!saved && !AThreadWaitsForAFileLock())
            std::this_thread::yield();
        EXPECT_FALSE(saved);
        EXPECT_EQ(LoadListFile(path), StringList{"old"});
    }
    writer.join();
    EXPECT_EQ(LoadListFile(path), StringList{"new"});
}
