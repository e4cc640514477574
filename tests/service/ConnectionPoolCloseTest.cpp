// The session's extra connections when their pool goes with the window: one busy in a transfer
// is aborted rather than waited for. That each ends its session with QUIT is the queue's test
// (FilesSentBeforeTheSessionEndsAreCheckedBeforeTheConnectionQuits).
#include "fixtures/FtpServer.h"
#include "service/ConnectionPool.h"
#include "support/RunEventsUntil.h"
#include "support/ServiceJobs.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <optional>
#include <thread>

namespace {

namespace fs = std::filesystem;

TEST(ConnectionPoolClose, AConnectionBusyInATransferIsAbortedAndTheCloseDoesNotWaitForIt)
{
    FtpServer server(FtpServer::Options{.sendLimit = 64 * 1024});
    TempDir::WriteFile(server.File("big.bin"), std::string(4 * 1024 * 1024, 'x'));
    TempDir local;
    TSessionService session;
    AimAtLoopback(session, server.Port(), FtpServer::User, FtpServer::Password, 3000);
    session.Ftp().Passive = true;
    std::atomic<bool> started = false;
    std::optional<TConnectionPool> pool(
        TConnectionPool::Sources{.session = session, .dialogue = [](int, bool, const std::string&) {}});
    pool->Prepare(1);
    pool->Connection(0).Submit(
        [&](TRemoteEngine& engine) {
            TConnectionPool::EnsureConnected(engine, 3000, session.NameCodec());
            started = true;
            // 64 seconds at the server's pace, unless aborted.
            engine.Get("big.bin", local.File("big.bin"), true, false, std::nullopt);
        },
        false);
    ASSERT_TRUE(RunEventsUntil([&] { return started.load(); }, std::chrono::seconds(10)));
    std::this_thread::sleep_for(std::chrono::milliseconds(500));

    const auto start = std::chrono::steady_clock::now();
    pool.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    EXPECT_LT(fs::file_size(local.File("big.bin")), 4u * 1024 * 1024);
}

}  // namespace
