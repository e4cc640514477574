#include "EngineSessions.h"
#include "fixtures/RandomBytes.h"
#include "ftp/IdAbortSignal.h"
#include "ftp/IdException.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr int FileSize = 20 << 20;

class FtpTransfer : public ::testing::TestWithParam<bool> {};

// Chunk sizes that straddle the stream's blocks in every way.
const size_t Chunks[] = {1, 8196, TIdFileStream::BlockBytes - 1, TIdFileStream::BlockBytes, 3 * TIdFileStream::BlockBytes + 7};

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
// cannot be written fails; the session stays in step either way, and after aborts.
TEST_P(FtpTransfer, FilesMoveByteExactResumeAppendFailAndAbortAndTheSessionStaysInStep) {
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

    // Another thread's request ends the running transfer with one ABOR, however often it is
    // made, and the session goes on in step. A request made before a transfer does not reach it.
    TempDir::WriteFile(s.server.File("big.bin"), std::string(FileSize, 'b'));
    TIdAbortSignal signal;
    std::atomic<int64_t> received{0};
    int taken = 0;
    s.ftp.AbortSignal = &signal;
    s.ftp.OnWork = [&](TIdComponent*, TWorkMode, int64_t count) { received = count; };
    signal.OnTaken = [&] { ++taken; };
    signal.Request();
    TIdStringStream whole;
    s.ftp.Get("big.bin", whole);
    EXPECT_EQ(whole.Size(), FileSize);
    EXPECT_EQ(taken, 0);

    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        s.sent.lines.clear();
        received = 0;
        std::thread requester([&] {
            while (received == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
            signal.Request();
        });
        TIdStringStream partial;
        EXPECT_THROW(s.ftp.Get("big.bin", partial), EIdException);
        requester.join();
        signal.Request();  // too late: the transfer has ended
        EXPECT_LT(partial.Size(), FileSize);
        EXPECT_EQ(s.ftp.DataChannel(), nullptr);
        EXPECT_EQ(s.sent.Count("ABOR"), 1u);
        EXPECT_EQ(taken, round + 1);
        EXPECT_TRUE(s.ftp.Connected());
        EXPECT_EQ(s.ftp.CurrentDirectory(), "/");
    }
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

// Appending is checked by the resumed download above.
TEST(FileStream, BytesWrittenAndReadInAnyChunkSizeComeBackExactlyWithTheRightPositions) {
    TempDir dir;
    const std::string bytes = RandomBytes(2 * TIdFileStream::BlockBytes + 12345, 11);
    for (const size_t chunk : Chunks) {
        SCOPED_TRACE(chunk);
        TIdFileStream out;
        out.Create(dir.File("f"));
        for (size_t at = 0; at < bytes.size(); at += chunk) {
            out.Write(bytes.data() + at, std::min(chunk, bytes.size() - at));
            EXPECT_EQ(out.Position(), int64_t(std::min(at + chunk, bytes.size())));
        }
        out.Flush();
        out.Close();
        EXPECT_EQ(TempDir::ReadFile(dir.File("f")), bytes);

        TIdFileStream in;
        in.OpenRead(dir.File("f"));
        std::string back;
        std::string buffer(chunk, '\0');
        while (const size_t n = in.Read(buffer.data(), chunk)) {
            back.append(buffer, 0, n);
            EXPECT_EQ(in.Position(), int64_t(back.size()));
        }
        EXPECT_EQ(back, bytes);
    }
}

TEST(FileStream, AFullDiskRaisesWhenTheGatheredBytesAreWritten) {
    TempDir dir;
    const std::string bytes = RandomBytes(4 * TIdFileStream::BlockBytes, 12);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    const rlimit small{TIdFileStream::BlockBytes + 100, saved.rlim_max};
    setrlimit(RLIMIT_FSIZE, &small);
    TIdFileStream out;
    out.Create(dir.File("f"));
    EXPECT_THROW((out.Write(bytes.data(), bytes.size()), out.Flush()), EStreamError);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
}
