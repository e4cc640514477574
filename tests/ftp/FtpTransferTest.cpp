#include "EngineSessions.h"
#include "fixtures/RandomBytes.h"
#include "ftp/IdException.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

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

// Progress comes from the data channel as a rising running total. A resume fetches only the
// rest and never overwrites unasked. A refused download leaves the local file alone, one that
// cannot be written fails; the session stays in step either way.
TEST_P(FtpTransfer, FilesMoveByteExactResumeAndAppendAndFailuresKeepLocalFiles) {
    ServerSession s(GetParam());
    std::vector<int64_t> counts;
    s.ftp.OnWork = [&](TIdComponent* from, TWorkMode, int64_t count) {
        EXPECT_NE(from, &s.ftp);
        counts.push_back(count);
    };
    for (size_t size : {size_t(0), size_t(1), size_t(70000), size_t(5 << 20)}) {
        const std::string name = "file " + std::to_string(size) + ".bin";
        const std::string bytes = RandomBytes(size, static_cast<unsigned>(size));
        TempDir::WriteFile(s.local.File(name), bytes);
        s.ftp.Put(s.local.File(name), name);
        EXPECT_EQ(TempDir::ReadFile(s.server.File(name)), bytes) << size;
        counts.clear();
        s.ftp.Get(name, s.local.File("back"), true);
        EXPECT_EQ(TempDir::ReadFile(s.local.File("back")), bytes) << size;
        EXPECT_TRUE(std::is_sorted(counts.begin(), counts.end()));
        EXPECT_LE(counts.empty() ? 0 : counts.back(), int64_t(size));
    }
    s.ftp.OnWork = nullptr;

    const std::string bytes = RandomBytes(1 << 20, 3);
    TempDir::WriteFile(s.server.File("r.bin"), bytes);
    TempDir::WriteFile(s.local.File("r.bin"), bytes.substr(0, 1000));
    s.ftp.Get("r.bin", s.local.File("r.bin"), false, true);
    EXPECT_EQ(TempDir::ReadFile(s.local.File("r.bin")), bytes);
    EXPECT_THROW(s.ftp.Get("r.bin", s.local.File("r.bin"), false, false), EIdFTPFileAlreadyExists);
    EXPECT_THROW(s.ftp.Get("r.bin", s.local.File("r.bin"), true, true), EIdFTPFileAlreadyExists);
    TempDir::WriteFile(s.local.File("tail"), "tail");
    s.ftp.Put(s.local.File("tail"), "r.bin", true);
    EXPECT_EQ(TempDir::ReadFile(s.server.File("r.bin")), bytes + "tail");

    EXPECT_THROW(s.ftp.Get("missing.txt", s.local.File("r.bin"), true), EIdProtocolReplyError);
    EXPECT_EQ(TempDir::ReadFile(s.local.File("r.bin")), bytes);
    EXPECT_THROW(s.ftp.Get("missing.txt", s.local.File("new.txt"), true), EIdProtocolReplyError);
    EXPECT_FALSE(std::filesystem::exists(s.local.File("new.txt")));
    EXPECT_THROW(s.ftp.Get("r.bin", s.local.File("no/such/dir/r.bin"), true), EStreamError);
    EXPECT_EQ(s.ftp.DataChannel(), nullptr);
    EXPECT_EQ(s.ftp.FileSize("r.bin"), (1 << 20) + 4);
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
