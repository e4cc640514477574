// The engine runs one command at a time: the message pump may end a running transfer (ABOR,
// QUIT) but may not start another exchange on the same control connection.
#include "EngineSessions.h"
#include "ftp/IdAntiFreeze.h"
#include "ftp/IdException.h"

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

// Nested commands are refused and the transfer completes. Then Abort ends a transfer and the
// session goes on (a second request during the same transfer sends nothing more); Quit ends both.
TEST_P(EngineGuard, NestedCommandsAreRefusedWhileAbortAndQuitEndTheTransfer) {
    PumpedSession s(GetParam());
    TIdStringStream other;
    s.onceDuringTransfer = [&] {
        EXPECT_TRUE(s.ftp.Busy());
        EXPECT_THROW(s.ftp.CurrentDirectory(), EIdCommandInProgress);
        EXPECT_THROW(s.ftp.Get("big.bin", other), EIdCommandInProgress);
        s.ftp.SetTransferType(ftASCII);
        EXPECT_THROW(s.ftp.SendTransferType(), EIdCommandInProgress);
    };
    TIdStringStream stream;
    s.ftp.Get("big.bin", stream);
    EXPECT_FALSE(s.onceDuringTransfer) << "the pump did not run during the transfer";
    EXPECT_EQ(stream.Size(), FileSize);
    EXPECT_FALSE(s.ftp.Busy());
    EXPECT_FALSE(s.sent.Sent("PWD"));
    EXPECT_EQ(s.ftp.TransferType(), ftBinary);

    for (const bool quit : {false, true}) {
        SCOPED_TRACE(quit ? "quit" : "abort");
        s.sent.lines.clear();
        s.onceDuringTransfer = [&] {
            if (quit) s.ftp.Quit();
            else {
                s.ftp.Abort();
                s.ftp.Abort();
            }
        };
        TIdStringStream partial;
        EXPECT_THROW(s.ftp.Get("big.bin", partial), EIdException);
        EXPECT_LT(partial.Size(), FileSize);
        EXPECT_EQ(s.ftp.DataChannel(), nullptr);
        EXPECT_EQ(s.sent.Count("ABOR"), quit ? 0u : 1u);
        EXPECT_EQ(s.sent.lines.back(), quit ? "QUIT" : "ABOR");
        EXPECT_EQ(s.ftp.Connected(), !quit);
        if (!quit) {
            EXPECT_EQ(s.ftp.CurrentDirectory(), "/");
        }
    }
}
