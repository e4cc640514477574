#include "EngineSessions.h"
#include "ftp/IdException.h"

#include <gtest/gtest.h>

namespace {

using Strings = std::vector<std::string>;

// A passive download of "x" from a data peer sending `data`, the control peer answering RETR
// with `afterRetr`, then PWD; returns the bytes that came and the lines the server read.
Strings DownloadThrough(const std::string& pasvReply, const std::string& data, const std::string& afterRetr,
                        std::string& received, ScriptedPeer& dataPeer) {
    dataPeer.Send(data).Close();
    dataPeer.Start();
    ScriptedSession s;
    s.control.Reply(pasvReply).Reply(afterRetr).Reply("257 \"/\"\r\n");
    s.Start();
    TIdStringStream stream;
    try {
        s.ftp.Get("x", stream);
    } catch (const EIdException& e) {
        received = std::string("error: ") + e.what();
    }
    EXPECT_EQ(s.ftp.CurrentDirectory(), "/");
    received += "|" + stream.Bytes();
    s.ftp.Disconnect();
    s.control.Wait();
    return s.control.Lines();
}

}  // namespace

// The address in a PASV reply is not trusted: data comes from the control connection's host.
// A 426 with its 226, or a reply outside the expected ones, fails the transfer only.
TEST(FtpDataScript, ClosingRepliesAndPassiveAddressesKeepTheSessionInStep) {
    struct Case {
        std::string pasvAddress, afterRetr, received;
    };
    for (const Case& c : std::vector<Case>{
             {"227 Entering Passive Mode 10,0,0,1,", "150 here it comes\r\n226 done\r\n", "|hello"},
             {"227 Entering Passive Mode (127,0,0,1,", "150 go\r\n426 Connection closed.\r\n226 Abort successful\r\n",
              "error: Transfer aborted|hello"},
             {"227 Entering Passive Mode (127,0,0,1,", "200 that is odd\r\n", "error: that is odd\r\n|"}}) {
        SCOPED_TRACE(c.afterRetr);
        ScriptedPeer data;
        std::string received;
        const std::string close = c.pasvAddress.back() == '(' ? ")" : "";
        const Strings lines = DownloadThrough(c.pasvAddress + PortFields(data.Port()) + close + "\r\n", "hello",
                                              c.afterRetr, received, data);
        EXPECT_EQ(received, c.received);
        EXPECT_EQ(lines, (Strings{"USER ", "TYPE I", "SYST", "PASV", "RETR x", "PWD"}));
    }
}

TEST(FtpDataScript, ARefusedPortCommandFailsTheTransferOnly) {
    ScriptedSession s;
    s.ftp.Passive = false;
    s.control.Reply("500 PORT not allowed\r\n").Reply("257 \"/\"\r\n");
    s.Start();
    EXPECT_THROW(s.ftp.List(nullptr), EIdProtocolReplyError);
    EXPECT_EQ(s.ftp.DataChannel(), nullptr);
    EXPECT_EQ(s.ftp.CurrentDirectory(), "/");
    s.ftp.Disconnect();
    s.control.Wait();
    EXPECT_EQ(s.control.Lines()[3].rfind("PORT 127,0,0,1,", 0), 0u);
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
