#include "EngineSessions.h"
#include "ftp/IdException.h"

#include <gtest/gtest.h>

namespace {

// A scripted peer greeting the engine; `ftp` is aimed at it.
struct ScriptedServer {
    ScriptedPeer peer;
    TIdFTP ftp;

    explicit ScriptedServer(const std::string& greeting) {
        ftp.Host = "127.0.0.1";
        ftp.Port = peer.Port();
        peer.Send(greeting);
    }
};

}  // namespace

// A refusing greeting, or an account the engine has none of: the connect fails with the
// server's reply and leaves nothing connected.
TEST(FtpLogin, AGreetingOtherThan220OrAnAccountRequestFailsTheConnect) {
    for (const int code : {421, 332}) {
        ScriptedServer s(code == 421 ? "421 Too many users\r\n" : "220 hi\r\n");
        if (code == 332) s.peer.Reply("332 Need account\r\n");
        s.peer.Start();
        try {
            s.ftp.Connect(true, 5000);
            ADD_FAILURE() << code;
        } catch (const EIdProtocolReplyError& e) {
            EXPECT_EQ(e.ReplyErrorCode(), code);
        }
        EXPECT_FALSE(s.ftp.Connected());
    }
}

TEST(FtpLogin, RepliesThatRealServersRarelySend) {
    ScriptedServer s("220 hi\r\n");
    s.peer.Reply("230 ok\r\n")
        .Reply("200 ok\r\n")
        .Reply("215 Windows_NT\r\n")
        .Reply("257 no quotes here\r\n")
        .Reply("257 \"/a\"\"b\" doubled\r\n")
        .Reply("213 1024 bytes\r\n")
        .Reply("213 size: 1024\r\n")
        .Reply("213 6442450944\r\n")
        .Reply("550 no\r\n")
        .Reply("502 REST not implemented\r\n")
        .Reply("502 REST not implemented\r\n")
        .Start();
    s.ftp.Connect(true, 5000);
    EXPECT_EQ(s.ftp.CurrentDirectory(), "");
    EXPECT_EQ(s.ftp.CurrentDirectory(), "/a");
    EXPECT_EQ(s.ftp.FileSize("x"), -1);
    EXPECT_EQ(s.ftp.FileSize("x"), 1024);
    EXPECT_EQ(s.ftp.FileSize("big"), 6442450944);
    EXPECT_EQ(s.ftp.FileSize("x"), -1);
    EXPECT_FALSE(s.ftp.ResumeSupported());
    EXPECT_FALSE(s.ftp.ResumeSupported());
    s.ftp.Disconnect();
    s.peer.Wait();
    EXPECT_EQ(s.peer.Lines().back(), "REST 0");
}
