// Data connections that end before any data moves: an abort while connecting, a refused upload.
#include "EngineSessions.h"
#include "fixtures/ClosedPort.h"
#include "ftp/IdAbortSignal.h"
#include "ftp/IdException.h"

#include <algorithm>
#include <chrono>
#include <gtest/gtest.h>

namespace {

// Puts five bytes as "x", which must fail with Failure; how long that took.
template <class Failure>
std::chrono::steady_clock::duration FailingPut(TIdFTP& ftp) {
    TIdStringStream source;
    source.Write("bytes", 5);
    source.Seek(0);
    return Timed([&] { EXPECT_THROW(ftp.Put(source, "x", false), Failure); });
}

// The session is in step after the failure: the next command gets its own reply. The lines
// the server received.
std::vector<std::string> ExpectSessionGoesOn(ScriptedSession& s) {
    EXPECT_TRUE(s.ftp.Connected());
    EXPECT_EQ(s.ftp.CurrentDirectory(), "/");
    return s.Finish();
}

}  // namespace

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
        if (upload) EXPECT_LT(FailingPut<EIdConnClosedGracefully>(s.ftp), std::chrono::seconds(1));
        else EXPECT_LT(Timed([&] { EXPECT_THROW(s.ftp.Get("x", stream), EIdConnClosedGracefully); }),
                       std::chrono::milliseconds(200 + 250));
        EXPECT_TRUE(taken);
        EXPECT_EQ(s.ftp.DataChannel(), nullptr);
        const std::vector<std::string> lines = ExpectSessionGoesOn(s);
        const auto command = std::find(lines.begin(), lines.end(), upload ? "STOR x" : "RETR x");
        EXPECT_EQ(command != lines.end(), upload);
        EXPECT_EQ(std::find(lines.begin(), lines.end(), "ABOR") - command, upload ? 1 : 0);
    }
}

// Some servers answer a STOR only once the data connection is made, so the upload connects
// before it reads the reply; a refusal there is the command's last reply, not one more due.
TEST(DataConnectAbort, AnUploadRefusedAfterThePassiveConnectFailsAtOnceAndTheSessionGoesOn) {
    ScriptedPeer data;
    data.Pause(500).Close();
    data.Start();
    ScriptedSession s(5000);
    s.control.Reply(PassiveReply(data.Port())).Reply("550 Permission denied.\r\n").Reply("257 \"/\"\r\n");
    s.Start();
    EXPECT_LT(FailingPut<EIdProtocolReplyError>(s.ftp), std::chrono::seconds(1));
    ExpectSessionGoesOn(s);
}
