// The engine runs one command at a time: the message pump may end a running transfer (ABOR,
// QUIT) but may not start another exchange on the same control connection.
#include "EngineSessions.h"
#include "ftp/IdAntiFreeze.h"
#include "ftp/IdException.h"

#include <algorithm>
#include <functional>
#include <gtest/gtest.h>

namespace {

constexpr int FileSize = 20 << 20;

// A logged-in session on a real server holding one large file, with a pump hook that runs
// `onceDuringTransfer` once from inside the engine's waits while a transfer's data flows.
struct PumpedSession : ServerSession {
    TIdAntiFreeze hook;
    std::function<void()> onceDuringTransfer;

    explicit PumpedSession(bool passive) : ServerSession(passive) {
        TempDir::WriteFile(server.File("big.bin"), std::string(FileSize, 'b'));
        hook.IdleTimeOut = 20;
        hook.OnlyWhenIdle = false;
        hook.OnProcess = [this](bool) {
            if (!onceDuringTransfer || !ftp.DataChannel() || ftp.DataChannel()->Work(wkReceive).count == 0) return;
            auto action = std::move(onceDuringTransfer);
            onceDuringTransfer = nullptr;
            action();
        };
        sent.lines.clear();
    }
};

class EngineGuard : public ::testing::TestWithParam<bool> {};

}  // namespace

INSTANTIATE_TEST_SUITE_P(Modes, EngineGuard, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Passive" : "Active"; });

TEST_P(EngineGuard, ANestedCommandIsRefusedAndTheTransferCompletes) {
    PumpedSession s(GetParam());
    int refused = 0;
    s.onceDuringTransfer = [&] {
        EXPECT_TRUE(s.ftp.Busy());
        TIdStringStream other;
        for (const std::function<void()>& nested : std::vector<std::function<void()>>{
                 [&] { s.ftp.CurrentDirectory(); }, [&] { s.ftp.Get("big.bin", other); },
                 [&] { s.ftp.SetTransferType(ftASCII); s.ftp.SendTransferType(); }}) {
            try {
                nested();
                ADD_FAILURE() << "a nested command ran";
            } catch (const EIdCommandInProgress& e) {
                EXPECT_STREQ(e.what(), "Another command is in progress.");
                ++refused;
            }
        }
    };
    TIdStringStream stream;
    s.ftp.Get("big.bin", stream);
    EXPECT_EQ(refused, 3);
    EXPECT_EQ(stream.Size(), FileSize);
    EXPECT_FALSE(s.ftp.Busy());
    for (const std::string& line : s.sent.lines) EXPECT_EQ(line.find("PWD"), std::string::npos) << line;
    EXPECT_EQ(s.ftp.TransferType(), ftBinary);
    EXPECT_EQ(s.ftp.CurrentDirectory(), "/");
}

// Abort ends the transfer and the session goes on (a second request during the same transfer
// sends nothing more); Quit ends both.
TEST_P(EngineGuard, AbortOrQuitFromThePumpEndsTheTransfer) {
    for (const bool quit : {false, true}) {
        PumpedSession s(GetParam());
        s.onceDuringTransfer = [&] {
            if (quit) s.ftp.Quit();
            else {
                s.ftp.Abort();
                s.ftp.Abort();
            }
        };
        TIdStringStream stream;
        EXPECT_THROW(s.ftp.Get("big.bin", stream), EIdException);
        EXPECT_LT(stream.Size(), FileSize);
        EXPECT_EQ(s.ftp.DataChannel(), nullptr);
        EXPECT_EQ(s.sent.Count("ABOR"), quit ? 0u : 1u);
        EXPECT_EQ(s.sent.lines.back(), quit ? "QUIT" : "ABOR");
        EXPECT_EQ(s.ftp.Connected(), !quit);
        if (!quit) {
            EXPECT_EQ(s.ftp.CurrentDirectory(), "/");
        }
    }
}
