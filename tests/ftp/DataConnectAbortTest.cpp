#include "EngineSessions.h"
#include "fixtures/ClosedPort.h"
#include "ftp/IdAbortSignal.h"
#include "ftp/IdException.h"

#include <chrono>
#include <gtest/gtest.h>

// A data connection that is never made: a passive one to a port nobody answers, an active one
// whose PORT pyftpdlib answers only once its connection to the listener is made. The time-out,
// or an abort request (heard within a slice of the wait), fails the transfer. ABOR withdraws
// what was sent for it, the PORT or an upload's STOR (which goes out before its data
// connection): whether the server then gives that up (answering the ABOR alone, with 225) or
// answers it late, the next command gets its own reply. A passive download's RETR has not gone
// out yet, so nothing is due. A server that answers nothing at all is dropped, not waited for.
TEST(DataConnectAbort, AConnectionNeverMadeFailsTheTransferInBoundedTimeAndTheSessionStaysInStep) {
    struct Case {
        std::string name;
        bool passive, upload, abortRequested;
        std::string aborReply;
        Strings sentAfterSetup;
    };
    const std::string givenUp = "225 ABOR command successful.\r\n";
    for (const Case& c : std::vector<Case>{
             {"port given up", false, false, false, givenUp, {"ABOR", "PWD"}},
             {"port answered late", false, false, false, "425 No connection.\r\n226 ABOR ok\r\n", {"ABOR", "PWD"}},
             {"port aborted", false, false, true, givenUp, {"ABOR", "PWD"}},
             {"silent server", false, false, false, "", {"ABOR"}},
             {"passive download aborted", true, false, true, "", {"PWD"}},
             {"passive upload aborted", true, true, true, givenUp, {"STOR x", "ABOR", "PWD"}}}) {
        SCOPED_TRACE(c.name);
        const bool answers = c.sentAfterSetup.back() == "PWD";
        UnreachableLoopbackPort unreachable;
        ScriptedSession s(c.abortRequested ? 5000 : 300);
        s.ftp.Passive = c.passive;
        c.passive ? s.control.Reply(PassiveReply(unreachable.port)) : s.control.ExpectLine();
        if (c.upload) s.control.ExpectLine();
        if (!c.aborReply.empty()) s.control.Reply(c.aborReply);
        if (answers) s.control.Reply("257 \"/\"\r\n");
        s.Start();
        TIdAbortSignal signal;
        bool taken = false;
        signal.OnTaken = [&taken] { taken = true; };
        s.ftp.AbortSignal = &signal;
        const std::jthread requester = AbortAfter(signal, c.abortRequested ? 200 : -1);
        TIdStringStream stream;
        const auto transfer = [&] { c.upload ? s.ftp.Put(stream, "x") : s.ftp.Get("x", stream); };
        const auto took = Timed([&] {
            if (c.abortRequested) EXPECT_THROW(transfer(), EIdConnClosedGracefully);
            else EXPECT_THROW(transfer(), EIdConnectTimeout);
        });
        EXPECT_LT(took, std::chrono::milliseconds(c.abortRequested ? 200 + 250 : 1500));
        EXPECT_EQ(taken, c.abortRequested);
        EXPECT_EQ(s.ftp.DataChannel(), nullptr);
        EXPECT_EQ(s.ftp.Connected(), answers);
        EXPECT_TRUE(!answers || s.ftp.CurrentDirectory() == "/");
        const Strings lines = s.Finish();
        ASSERT_GE(lines.size(), 5u);
        EXPECT_EQ(lines[4].substr(0, 4), c.passive ? "PASV" : "PORT");
        EXPECT_EQ(Strings(lines.begin() + 5, lines.end()), c.sentAfterSetup);
    }
}
