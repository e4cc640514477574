// The session's extra connections when their pool goes with the window: each ends its session
// with QUIT, and one busy in a transfer is aborted rather than waited for.
#include "fixtures/FtpServer.h"
#include "fixtures/ScriptedPeer.h"
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

void AimAt(TSessionService& session, int port, const char* user, const char* password)
{
    AimAtLoopback(session, port, user, password, 3000);
    session.Ftp().Passive = true;
}

TConnectionPool::Sources PoolOf(TSessionService& session)
{
    return {.session = session, .dialogue = [](int, bool, const std::string&) {}};
}

TEST(ConnectionPoolClose, AnIdleConnectionEndsItsSessionWithQuit)
{
    ScriptedPeer peer;
    peer.ScriptLogin();
    peer.Start();
    TSessionService session;
    AimAt(session, peer.Port(), "user", "secret");
    {
        TConnectionPool pool(PoolOf(session));
        pool.Prepare(1);
        RunJob(pool.Connection(0), [&session](TRemoteEngine& engine) {
            TConnectionPool::EnsureConnected(engine, 3000, session.NameCodec());
        });
    }
    peer.Wait();
    const std::vector<std::string> lines = peer.Lines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "QUIT");
}

TEST(ConnectionPoolClose, AConnectionBusyInATransferIsAbortedAndTheCloseDoesNotWaitForIt)
{
    FtpServer server(FtpServer::Options{.sendLimit = 64 * 1024});
    TempDir::WriteFile(server.File("big.bin"), std::string(4 * 1024 * 1024, 'x'));
    TempDir local;
    TSessionService session;
    AimAt(session, server.Port(), FtpServer::User, FtpServer::Password);
    std::atomic<bool> started = false;
    std::optional<TConnectionPool> pool(PoolOf(session));
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
