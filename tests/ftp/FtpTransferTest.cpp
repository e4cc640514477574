#include "EngineSessions.h"
#include "fixtures/RandomBytes.h"
#include "ftp/IdException.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

using Strings = std::vector<std::string>;

class FtpTransfer : public ::testing::TestWithParam<bool> {};

// Counts what it receives: a download over 4 GiB is not held in memory.
struct CountingStream : TIdStream {
    int64_t count = 0;

    size_t Read(char*, size_t) override { return 0; }
    void Write(const char*, size_t size) override { count += static_cast<int64_t>(size); }
    int64_t Position() const override { return count; }
    void Seek(int64_t) override {}
    int64_t Size() const override { return count; }
    void SetSize(int64_t) override {}
};

}  // namespace

INSTANTIATE_TEST_SUITE_P(Modes, FtpTransfer, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Passive" : "Active"; });

TEST_P(FtpTransfer, FilesOfEverySizeMoveByteExactBothWays) {
    ServerSession s(GetParam());
    for (size_t size : {size_t(0), size_t(1), size_t(70000), size_t(5 << 20)}) {
        const std::string name = "file " + std::to_string(size) + ".bin";
        const std::string bytes = RandomBytes(size, static_cast<unsigned>(size));
        TempDir::WriteFile(s.local.File(name), bytes);
        s.ftp.Put(s.local.File(name), name);
        EXPECT_EQ(TempDir::ReadFile(s.server.File(name)), bytes) << size;
        s.ftp.Get(name, s.local.File("back"), true);
        EXPECT_EQ(TempDir::ReadFile(s.local.File("back")), bytes) << size;
    }
    EXPECT_EQ(s.ftp.CurrentDirectory(), "/");
}

TEST_P(FtpTransfer, WorkEventsComeFromTheDataChannelWithRunningTotals) {
    ServerSession s(GetParam());
    const std::string bytes = RandomBytes(300000, 7);
    TempDir::WriteFile(s.server.File("w.bin"), bytes);
    std::vector<int64_t> counts;
    int begins = 0, ends = 0;
    TIdComponent* sender = nullptr;
    s.ftp.OnWorkBegin = [&](TIdComponent* from, TWorkMode, int64_t max) {
        ++begins;
        sender = from;
        EXPECT_EQ(max, 0);
    };
    s.ftp.OnWork = [&](TIdComponent*, TWorkMode mode, int64_t count) {
        EXPECT_EQ(mode, wkReceive);
        counts.push_back(count);
    };
    s.ftp.OnWorkEnd = [&](TIdComponent*, TWorkMode) { ++ends; };
    TIdStringStream stream;
    s.ftp.Get("w.bin", stream);
    EXPECT_EQ(stream.Bytes(), bytes);
    EXPECT_EQ(begins, 1);
    EXPECT_EQ(ends, 1);
    EXPECT_NE(sender, &s.ftp);
    ASSERT_FALSE(counts.empty());
    EXPECT_TRUE(std::is_sorted(counts.begin(), counts.end()));
    EXPECT_LE(counts.back(), 300000);
    EXPECT_EQ(s.ftp.DataChannel(), nullptr);
}

TEST_P(FtpTransfer, AsciiTypeConvertsLineEndsOnTheServer) {
    ServerSession s(GetParam());
    TempDir::WriteFile(s.server.File("t.txt"), "one\ntwo\n");
    s.ftp.SetTransferType(ftASCII);
    TIdStringStream stream;
    s.ftp.Get("t.txt", stream);
    EXPECT_EQ(stream.Bytes(), "one\r\ntwo\r\n");
}

TEST_P(FtpTransfer, ResumeAndAppendContinueWhereTheFileEnds) {
    ServerSession s(GetParam());
    const std::string bytes = RandomBytes(100000, 3);
    TempDir::WriteFile(s.server.File("r.bin"), bytes);
    TempDir::WriteFile(s.local.File("r.bin"), bytes.substr(0, 1000));
    s.ftp.Get("r.bin", s.local.File("r.bin"), false, true);
    EXPECT_EQ(TempDir::ReadFile(s.local.File("r.bin")), bytes);

    EXPECT_THROW(s.ftp.Get("r.bin", s.local.File("r.bin"), false, false), EIdFTPFileAlreadyExists);
    EXPECT_THROW(s.ftp.Get("r.bin", s.local.File("r.bin"), true, true), EIdFTPFileAlreadyExists);

    TempDir::WriteFile(s.local.File("tail"), "tail");
    s.ftp.Put(s.local.File("tail"), "r.bin", true);
    EXPECT_EQ(TempDir::ReadFile(s.server.File("r.bin")), bytes + "tail");
}

// A refused download leaves the local file alone; a local file that cannot be written fails
// the download. Either way the session stays in step.
TEST_P(FtpTransfer, FailedDownloadsKeepLocalFilesAndTheSession) {
    ServerSession s(GetParam());
    TempDir::WriteFile(s.local.File("keep.txt"), "precious");
    EXPECT_THROW(s.ftp.Get("missing.txt", s.local.File("keep.txt"), true), EIdProtocolReplyError);
    EXPECT_EQ(TempDir::ReadFile(s.local.File("keep.txt")), "precious");
    EXPECT_THROW(s.ftp.Get("missing.txt", s.local.File("new.txt"), true), EIdProtocolReplyError);
    EXPECT_FALSE(std::filesystem::exists(s.local.File("new.txt")));
    TempDir::WriteFile(s.server.File("f.bin"), RandomBytes(1 << 20, 9));
    EXPECT_THROW(s.ftp.Get("f.bin", s.local.File("no/such/dir/f.bin"), true), EStreamError);
    EXPECT_EQ(s.ftp.CurrentDirectory(), "/");
    EXPECT_EQ(s.ftp.FileSize("f.bin"), 1 << 20);
}

// Abort from the work events, as the window's abort command does, in both directions.
TEST_P(FtpTransfer, AnAbortedTransferRaisesAndTheSessionGoesOn) {
    ServerSession s(GetParam());
    TempDir::WriteFile(s.server.File("big.bin"), RandomBytes(20 << 20, 5));
    TempDir::WriteFile(s.local.File("up.bin"), RandomBytes(20 << 20, 6));
    s.ftp.OnWork = [&](TIdComponent*, TWorkMode, int64_t count) {
        if (count >= 100000 && s.ftp.DataChannel()) s.ftp.Abort();
    };
    TIdStringStream stream;
    EXPECT_THROW(s.ftp.Get("big.bin", stream), EIdTransferAborted);
    EXPECT_LT(stream.Size(), 20 << 20);
    EXPECT_EQ(s.ftp.CurrentDirectory(), "/");
    EXPECT_THROW(s.ftp.Put(s.local.File("up.bin"), "up.bin"), EIdException);
    s.ftp.OnWork = nullptr;
    EXPECT_EQ(s.ftp.CurrentDirectory(), "/");
    s.ftp.Get("big.bin", s.local.File("whole"), true);
    EXPECT_EQ(std::filesystem::file_size(s.local.File("whole")), 20u << 20);
}

TEST_P(FtpTransfer, ListingsWithAndWithoutMasks) {
    ServerSession s(GetParam());
    s.ftp.List(nullptr);
    EXPECT_TRUE(s.ftp.ListLines.empty());
    EXPECT_EQ(s.ftp.ParsedListing().Count(), 0u);

    TempDir::WriteFile(s.server.File("a b.txt"), "12345");
    TempDir::WriteFile(s.server.File("c.log"), "");
    std::filesystem::create_directory(s.server.File("dir one"));
    Strings names;
    s.ftp.List(&names, "", false);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (Strings{"a b.txt", "c.log", "dir one"}));

    s.ftp.List(nullptr, "a b.txt ", true);
    ASSERT_EQ(s.ftp.ListLines.size(), 1u);
    EXPECT_EQ(s.ftp.ParsedListing().Item(0).Name(), "a b.txt");
    EXPECT_THROW(s.ftp.List(nullptr, "*.none", false), EIdProtocolReplyError);

    s.ftp.List(nullptr);
    ASSERT_EQ(s.ftp.ListLines.size(), 3u);
    std::map<std::string, const TIdFTPListItem*> byName;
    for (const TIdFTPListItem& item : s.ftp.ParsedListing()) byName[std::string(item.Name())] = &item;
    ASSERT_EQ(byName.size(), 3u);
    EXPECT_EQ(byName["a b.txt"]->Size, 5);
    EXPECT_EQ(byName["a b.txt"]->Kind, ikFile);
    EXPECT_EQ(byName["dir one"]->Kind, ikDirectory);
}

TEST(FtpTransferLarge, AFileOver4GiBCountsPast32Bits) {
    ServerSession s(true);
    const int64_t size = (int64_t(4) << 30) + 12345;
    TempDir::WriteFile(s.server.File("huge.bin"), "");
    ASSERT_EQ(truncate(s.server.File("huge.bin").c_str(), size), 0);
    EXPECT_EQ(s.ftp.FileSize("huge.bin"), size);
    int64_t last = 0;
    s.ftp.OnWork = [&](TIdComponent*, TWorkMode, int64_t count) { last = count; };
    CountingStream stream;
    s.ftp.Get("huge.bin", stream);
    EXPECT_EQ(stream.count, size);
    EXPECT_GE(last, int64_t(1) << 32);
}
