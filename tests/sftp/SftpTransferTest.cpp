#include "sftp/SftpTestSession.h"

#include "fixtures/RandomBytes.h"
#include "ftp/EngineSessions.h"
#include "sftp/SftpException.h"

#include <chrono>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// Larger than the requests in flight together, and not a multiple of one.
const std::string Content = RandomBytes(5 * 1024 * 1024 + 4321, 7);

// A sparse file of the size: read fast, so that a transfer is still running when it is cut.
void WriteLargeFile(const SshServer& server, const std::string& name, off_t size)
{
    server.WriteFile(name, "");
    ASSERT_EQ(truncate(server.File(name).c_str(), size), 0);
}

// The server's sessions get the signal once a transfer has moved 8 MiB.
void SignalSessionsMidTransfer(SftpTestSession& session, SshServer& server, int signal)
{
    session.OnWork = [&server, signal, sent = false](TIdComponent*, TWorkMode, int64_t count) mutable {
        if (!sent && count > (8 << 20)) {
            sent = true;
            server.KillSessions(signal);
        }
    };
}

using SftpTransfer = SftpConnected;

}  // namespace

TEST_F(SftpTransfer, FilesArriveByteForByteBothWaysWithWorkEventsAndResumeAndAppendContinueWhereTheyStopped)
{
    int64_t begun = -1, last = 0;
    int ended = 0;
    session.OnWorkBegin = [&](TIdComponent*, TWorkMode, int64_t max) { begun = max; };
    session.OnWork = [&](TIdComponent*, TWorkMode, int64_t count) { last = count; };
    session.OnWorkEnd = [&](TIdComponent*, TWorkMode) { ++ended; };

    TempDir::WriteFile(local.File("up"), Content);
    session.Put(local.File("up"), "remote");
    EXPECT_EQ(TempDir::ReadFile(server.File("remote")), Content);
    EXPECT_EQ(begun, static_cast<int64_t>(Content.size()));
    EXPECT_EQ(last, static_cast<int64_t>(Content.size()));

    session.Get("remote", local.File("down"), false);
    EXPECT_EQ(TempDir::ReadFile(local.File("down")), Content);
    EXPECT_EQ(last, static_cast<int64_t>(Content.size()));
    EXPECT_EQ(ended, 2);

    // Resume and append continue from the end of the shorter side.
    TempDir::WriteFile(local.File("part"), Content.substr(0, 1000003));
    session.Get("remote", local.File("part"), false, true);
    EXPECT_EQ(TempDir::ReadFile(local.File("part")), Content);

    server.WriteFile("partial", Content.substr(0, 777777));
    TempDir::WriteFile(local.File("rest"), Content.substr(777777));
    session.Put(local.File("rest"), "partial", true);
    EXPECT_EQ(TempDir::ReadFile(server.File("partial")), Content);

    // Appending to a file that does not exist makes it.
    session.Put(local.File("rest"), "new", true);
    EXPECT_EQ(TempDir::ReadFile(server.File("new")), Content.substr(777777));

    // An upload replaces a longer file whole.
    TempDir::WriteFile(local.File("short"), "abc");
    session.Put(local.File("short"), "remote");
    EXPECT_EQ(TempDir::ReadFile(server.File("remote")), "abc");

    server.WriteFile("empty", "");
    session.Get("empty", local.File("empty"), false);
    EXPECT_EQ(TempDir::ReadFile(local.File("empty")), "");
}

TEST_F(SftpTransfer, ARefusedUnwantedOrFailedDownloadLeavesTheLocalFileAloneAndTheSessionInStep)
{
    TempDir::WriteFile(local.File("mine"), "precious");
    EXPECT_THROW(session.Get("missing", local.File("mine"), true), ESftpStatusError);
    EXPECT_EQ(TempDir::ReadFile(local.File("mine")), "precious");
    server.WriteFile("theirs", "other");
    EXPECT_THROW(session.Get("theirs", local.File("mine"), false), EIdFTPFileAlreadyExists);
    EXPECT_EQ(TempDir::ReadFile(local.File("mine")), "precious");
    EXPECT_FALSE(std::filesystem::exists(local.File("never")));
    EXPECT_THROW(session.Get("missing", local.File("never"), false), ESftpStatusError);
    EXPECT_FALSE(std::filesystem::exists(local.File("never")));
    // A folder opens for reading on OpenSSH; only its first read fails.
    server.MakeDirectory("folder");
    EXPECT_THROW(session.Get("folder", local.File("mine"), true), ESftpStatusError);
    EXPECT_EQ(TempDir::ReadFile(local.File("mine")), "precious");

    // A folder the user may not write into.
    server.MakeDirectory("locked");
    chmod(server.File("locked").c_str(), 0555);
    TempDir::WriteFile(local.File("up"), "x");
    EXPECT_THROW(session.Put(local.File("up"), "locked/x"), ESftpStatusError);
    EXPECT_TRUE(session.Connected());

    // A local file that fails mid-download (a full disk) ends the transfer; the replies still due
    // do not confuse the commands after it.
    struct TFullDisk : TIdStringStream {
        void Write(const char* data, size_t count) override
        {
            if (Size() + static_cast<int64_t>(count) > (1 << 20))
                throw EStreamError("No space left on device");
            TIdStringStream::Write(data, count);
        }
    };
    server.WriteFile("whole", Content);
    TFullDisk full;
    EXPECT_THROW(session.Get("whole", full), EStreamError);
    ASSERT_TRUE(session.Connected());
    TIdStringStream copy;
    session.Get("whole", copy);
    EXPECT_EQ(copy.Bytes(), Content);
    EXPECT_EQ(session.FileSize("whole"), static_cast<int64_t>(Content.size()));
}

// Abort comes from another thread while the transfer runs; it ends within 250 ms both when
// data flows (the session stays) and when the server has stalled (the connection goes). A dropped
// or stalled connection ends the transfer with a clear error and no hang.
TEST_F(SftpTransfer, AnAbortEndsATransferWithin250MsAndADroppedOrStalledConnectionWithAClearErrorAndNoHang)
{
    WriteLargeFile(server, "large", 4LL << 30);
    TempDir::WriteFile(local.File("up"), "");
    ASSERT_EQ(truncate(local.File("up").c_str(), 4LL << 30), 0);

    auto abortDuring = [&](const std::function<void()>& transfer, bool stall) {
        Clock::time_point abortedAt;
        std::thread aborter;
        session.OnWork = [&](TIdComponent*, TWorkMode, int64_t count) {
            if (count > (8 << 20) && !aborter.joinable()) {
                if (stall)
                    server.KillSessions(SIGSTOP);
                aborter = std::thread([&] {
                    abortedAt = Clock::now();
                    session.Abort();
                });
            }
        };
        EXPECT_THROW(transfer(), EIdTransferAborted);
        const auto took = Clock::now() - abortedAt;
        aborter.join();
        session.OnWork = nullptr;
        EXPECT_LT(took, std::chrono::milliseconds(250));
    };

    abortDuring([&] { session.Get("large", local.File("down"), true); }, false);
    EXPECT_TRUE(session.Connected());
    session.ChangeDirectory(".");
    // Each write waits for its answer, which on a busy machine may take longer than the abort's
    // grace: then the connection goes instead.
    abortDuring([&] { session.Put(local.File("up"), "up"); }, false);
    if (!session.Connected())
        session.Connect();
    // An abort before a transfer was meant for an earlier one.
    session.Abort();
    server.WriteFile("small", "abc");
    session.Get("small", local.File("small"), false);
    EXPECT_EQ(TempDir::ReadFile(local.File("small")), "abc");

    abortDuring([&] { session.Get("large", local.File("down"), true); }, true);
    EXPECT_FALSE(session.Connected());
    server.KillSessions(SIGKILL);

    session.Connect();
    SignalSessionsMidTransfer(session, server, SIGKILL);
    std::optional<ESftpConnectionError> lost;
    const auto getLarge = [&] { session.Get("large", local.File("large"), false); };
    EXPECT_LT(Timed([&] { lost = Caught<ESftpConnectionError>(getLarge); }), std::chrono::seconds(5));
    ASSERT_TRUE(lost) << "a dropped connection went unnoticed";
    EXPECT_NE(std::string(lost->what()).find("connection was lost"), std::string::npos) << lost->what();
    EXPECT_FALSE(session.Connected());
    EXPECT_THROW(session.ChangeDirectory("."), EIdNotConnected);

    // A new connect works; a server that stops answering is given up after the time-out.
    session.Connect();
    session.ReadTimeout = 1000;
    SignalSessionsMidTransfer(session, server, SIGSTOP);
    EXPECT_LT(Timed([&] { EXPECT_THROW(session.Get("large", local.File("large"), true), EIdReadTimeout); }),
              std::chrono::seconds(4));
    EXPECT_FALSE(session.Connected());
    server.KillSessions(SIGKILL);

    // Every other wait is bounded alike.
    session.Connect();
    server.KillSessions(SIGSTOP);
    EXPECT_LT(Timed([&] { EXPECT_THROW(session.ListDirectory(""), EIdReadTimeout); }), std::chrono::seconds(4));
    server.KillSessions(SIGKILL);
}
