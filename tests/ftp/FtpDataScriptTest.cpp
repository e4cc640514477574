#include "EngineSessions.h"
#include "ftp/IdException.h"
#include "platform/DateTime.h"

#include <gtest/gtest.h>

namespace {

using Strings = std::vector<std::string>;

}  // namespace

TEST(FtpDataScript, APassiveAddressWithoutParenthesesAndOfAnotherHost) {
    ScriptedPeer data;
    data.Send("hello").Close();
    data.Start();
    ScriptedSession s;
    s.control.Reply("227 Entering Passive Mode 10,0,0,1," + PortFields(data.Port()) + "\r\n")
        .Reply("150 here it comes\r\n")
        .Send("226 done\r\n")
        .Reply("257 \"/\"\r\n");
    s.Start();
    TIdStringStream stream;
    s.ftp.Get("x", stream);
    EXPECT_EQ(stream.Bytes(), "hello");
    EXPECT_EQ(s.ftp.CurrentDirectory(), "/");
    s.ftp.Disconnect();
    s.control.Wait();
    EXPECT_EQ(s.control.Lines(), (Strings{"USER ", "TYPE I", "SYST", "PASV", "RETR x", "PWD"}));
}

TEST(FtpDataScript, ARefusedPortCommandFailsTheTransferOnly) {
    ScriptedSession s;
    s.ftp.Passive = false;
    s.control.Reply("500 PORT not allowed\r\n").Reply("257 \"/\"\r\n");
    s.Start();
    TIdStringStream stream;
    EXPECT_THROW(s.ftp.List(nullptr), EIdProtocolReplyError);
    EXPECT_EQ(s.events.events.back(), "Transfer complete");
    EXPECT_EQ(s.ftp.DataChannel(), nullptr);
    EXPECT_EQ(s.ftp.CurrentDirectory(), "/");
    s.ftp.Disconnect();
    s.control.Wait();
    EXPECT_EQ(s.control.Lines()[3].rfind("PORT 127,0,0,1,", 0), 0u);
}

TEST(FtpDataScript, A426FollowedBy226RaisesTheAbortWithTheDataThatCame) {
    ScriptedPeer data;
    data.Send("partial").Close();
    data.Start();
    ScriptedSession s;
    s.control.Reply(PassiveReply(data.Port()))
        .Reply("150 go\r\n")
        .Send("426 Connection closed; transfer aborted.\r\n226 Abort successful\r\n")
        .Reply("257 \"/\"\r\n");
    s.Start();
    TIdStringStream stream;
    EXPECT_THROW(s.ftp.Get("x", stream), EIdTransferAborted);
    EXPECT_EQ(stream.Bytes(), "partial");
    EXPECT_EQ(s.events.events.back(), "Transfer aborted");
    EXPECT_EQ(s.ftp.CurrentDirectory(), "/");
}

TEST(FtpDataScript, APreliminaryReplyOutsideTheListFailsAndLeavesTheSessionInStep) {
    ScriptedPeer data;
    data.Start();
    ScriptedSession s;
    s.control.Reply(PassiveReply(data.Port()))
        .Reply("200 that is odd\r\n")
        .Reply("257 \"/\"\r\n");
    s.Start();
    TIdStringStream stream;
    try {
        s.ftp.Get("x", stream);
        FAIL();
    } catch (const EIdProtocolReplyError& e) {
        EXPECT_EQ(e.ReplyErrorCode(), 200);
    }
    EXPECT_EQ(s.ftp.CurrentDirectory(), "/");
}

TEST(FtpDataScript, AResumeSendsRestWithTheStreamPosition) {
    ScriptedPeer data;
    data.Send("rest").Close();
    data.Start();
    ScriptedSession s;
    s.control.Reply("350 Restarting at 1\r\n")
        .Reply("350 Restarting at 0\r\n")
        .Reply(PassiveReply(data.Port()))
        .Reply("350 Restarting at 1000\r\n")
        .Reply("150 go\r\n")
        .Send("226 done\r\n");
    s.Start();
    TIdStringStream stream;
    stream.Write(std::string(1000, 'x').data(), 1000);
    s.ftp.Get("x", stream, true);
    EXPECT_EQ(stream.Size(), 1004);
    s.ftp.Disconnect();
    s.control.Wait();
    Strings lines = s.control.Lines();
    EXPECT_EQ(Strings(lines.begin() + 3, lines.end()), (Strings{"REST 1", "REST 0", "PASV", "REST 1000", "RETR x"}));
}

TEST(FtpDataScript, PassiveRepliesAndPortCommands) {
    TIdFTP::PassiveAddress a = ParsePassiveReply("Entering Passive Mode (192,168,0,10,19,137)");
    EXPECT_EQ(a.address, "192.168.0.10");
    EXPECT_EQ(a.port, 5001);
    EXPECT_THROW(ParsePassiveReply("Entering Passive Mode (1,2,3,4,x,1)"), EConvertError);
    EXPECT_THROW(ParsePassiveReply("garbage"), EConvertError);
    EXPECT_EQ(PortCommand("192.168.0.5", 4660), "PORT 192,168,0,5,18,52");
}
