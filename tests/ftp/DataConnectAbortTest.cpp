#include "EngineSessions.h"
#include "fixtures/ClosedPort.h"
#include "ftp/IdAbortSignal.h"
#include "ftp/IdException.h"

#include <algorithm>
#include <chrono>
#include <gtest/gtest.h>

// An abort while the passive data connection is being made is heard within a slice of the wait,
// well within the 5 s time-out. A download's RETR has not gone out yet, so nothing is due but
// the next command's reply. An upload's STOR goes out before its data connection, so ABOR
// withdraws it: pyftpdlib answers that ABOR alone, with 225, and never answers the STOR.
TEST(DataConnectAbort, AnAbortDuringThePassiveConnectEndsTheTransferAtOnceAndTheSessionGoesOn) {
    for (const bool upload : {false, true}) {
        SCOPED_TRACE(upload ? "upload" : "download");
        UnreachableLoopbackPort unreachable;
        ScriptedSession s(5000);
        s.control.Reply(PassiveReply(unreachable.port));
        if (upload) s.control.ExpectLine().Reply("225 ABOR command successful; data channel closed.\r\n");
        s.control.Reply("257 \"/\"\r\n");
        s.Start();
        TIdAbortSignal signal;
        bool taken = false;
        signal.OnTaken = [&taken] { taken = true; };
        s.ftp.AbortSignal = &signal;
        const DelayedAbort requester(signal, 200);
        TIdStringStream stream;
        const auto took = Timed([&] {
            EXPECT_THROW(upload ? s.ftp.Put(stream, "x") : s.ftp.Get("x", stream), EIdConnClosedGracefully);
        });
        EXPECT_LT(took, upload ? std::chrono::milliseconds(1000) : std::chrono::milliseconds(200 + 250));
        EXPECT_TRUE(taken);
        EXPECT_EQ(s.ftp.DataChannel(), nullptr);
        EXPECT_TRUE(s.ftp.Connected());
        EXPECT_EQ(s.ftp.CurrentDirectory(), "/");
        const std::vector<std::string> lines = s.Finish();
        const auto command = std::find(lines.begin(), lines.end(), upload ? "STOR x" : "RETR x");
        EXPECT_EQ(command != lines.end(), upload);
        EXPECT_EQ(std::find(lines.begin(), lines.end(), "ABOR") - command, upload ? 1 : 0);
    }
}
