#include "EngineSessions.h"
#include "ftp/IdException.h"

#include <gtest/gtest.h>

namespace {

using Strings = std::vector<std::string>;

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

// The proxy is a scripted peer; the host stays the one the user named. Without a proxy host
// the sequence goes to the server itself.
TEST(FtpLogin, EveryProxyVariantSendsItsSequence) {
    struct Case {
        TIdFtpProxyType type;
        std::string proxyHost, proxyUser, proxyPassword;
        Strings replies, sent;
    };
    for (const Case& c : std::vector<Case>{
             {fpcmUserSite, "127.0.0.1", "proxyuser", "proxypw", {"331 pass", "230 proxy ok", "331 pass", "230 ok"},
              {"USER proxyuser", "PASS proxypw", "USER alice@ftp.example.com", "PASS pw"}},
             {fpcmOpen, "127.0.0.1", "proxyuser", "", {"230 proxy ok", "220 opened", "331 pass", "230 ok"},
              {"USER proxyuser", "OPEN ftp.example.com", "USER alice", "PASS pw"}},
             {fpcmUserPass, "127.0.0.1", "proxyuser", "proxypw", {"331 pass", "230 ok"},
              {"USER alice@proxyuser@ftp.example.com", "PASS pw@proxypw"}},
             {fpcmSite, "", "", "", {"500 no site", "331 pass", "230 ok"}, {"SITE 127.0.0.1", "USER alice", "PASS pw"}}}) {
        SCOPED_TRACE(c.sent.front());
        ScriptedServer s("220 proxy ready\r\n");
        if (!c.proxyHost.empty()) s.ftp.Host = "ftp.example.com";
        s.ftp.Username = "alice";
        s.ftp.Password = "pw";
        s.ftp.ProxySettings = {c.type, c.proxyHost, c.proxyUser, c.proxyPassword, s.peer.Port()};
        for (const std::string& reply : c.replies) s.peer.Reply(reply + "\r\n");
        s.peer.Reply("200 Type set\r\n").Reply("215 UNIX Type: L8\r\n").Start();
        s.ftp.Connect(true, 5000);
        EXPECT_EQ(s.ftp.Host, c.proxyHost.empty() ? "127.0.0.1" : "ftp.example.com");
        s.ftp.Quit();
        s.peer.Wait();
        Strings expected = c.sent;
        expected.insert(expected.end(), {"TYPE I", "SYST", "QUIT"});
        EXPECT_EQ(s.peer.Lines(), expected);
    }
}

// A refusing greeting, an account the engine has none of, or a proxy type it does not speak:
// the connect fails with the server's reply and leaves nothing connected.
TEST(FtpLogin, AGreetingOtherThan220AnAccountRequestOrAnHttpProxyFailsTheConnect) {
    for (const int code : {421, 332, 0}) {
        ScriptedServer s(code == 421 ? "421 Too many users\r\n" : "220 hi\r\n");
        if (code == 332) s.peer.Reply("332 Need account\r\n");
        if (code == 0) s.ftp.ProxySettings = {fpcmHttpProxyWithFtp, "127.0.0.1", "", "", s.peer.Port()};
        s.peer.Start();
        try {
            s.ftp.Connect(true, 5000);
            ADD_FAILURE() << code;
        } catch (const EIdProtocolReplyError& e) {
            EXPECT_EQ(e.ReplyErrorCode(), code);
        } catch (const EIdException&) {
            EXPECT_EQ(code, 0);
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
    EXPECT_EQ(s.ftp.SystemName, "Windows_NT");
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
