#include "EngineEvents.h"
#include "fixtures/ScriptedPeer.h"
#include "ftp/IdException.h"
#include "ftp/IdFTP.h"

#include <gtest/gtest.h>

namespace {

using Strings = std::vector<std::string>;

// An FTP object whose proxy (or server) is a scripted peer.
struct ScriptedLogin {
    ScriptedPeer peer;
    TIdFTP ftp;
    EngineEvents events;

    explicit ScriptedLogin(TIdFtpProxyType type, const std::string& proxyUser = {},
                           const std::string& proxyPassword = {}) {
        ftp.Host = "ftp.example.com";
        ftp.Port = 2121;
        ftp.Username = "alice";
        ftp.Password = "pw";
        ftp.ProxySettings = {type, "127.0.0.1", proxyUser, proxyPassword, peer.Port()};
        events.Attach(ftp);
        peer.Send("220 proxy ready\r\n");
    }

    // Connects, logs in, asks SYST, quits; returns the lines the peer received.
    Strings Run() {
        peer.Start();
        ftp.Connect(true, 5000);
        EXPECT_EQ(ftp.Host, "ftp.example.com");
        EXPECT_EQ(ftp.Port, 2121);
        ftp.Quit();
        peer.Wait();
        return peer.Lines();
    }
};

}  // namespace

TEST(FtpLogin, EveryProxyVariantSendsItsSequence) {
    struct Case {
        TIdFtpProxyType type;
        std::string proxyUser, proxyPassword;
        Strings replies, sent;
    };
    for (const Case& c : std::vector<Case>{
             {fpcmUserSite, "proxyuser", "proxypw", {"331 pass", "230 proxy ok", "331 pass", "230 ok"},
              {"USER proxyuser", "PASS proxypw", "USER alice@ftp.example.com", "PASS pw"}},
             {fpcmSite, "", "", {"500 what site", "331 pass", "230 ok"}, {"SITE ftp.example.com", "USER alice", "PASS pw"}},
             {fpcmOpen, "proxyuser", "", {"230 proxy ok", "220 opened", "331 pass", "230 ok"},
              {"USER proxyuser", "OPEN ftp.example.com", "USER alice", "PASS pw"}},
             {fpcmUserPass, "proxyuser", "proxypw", {"331 pass", "230 ok"},
              {"USER alice@proxyuser@ftp.example.com", "PASS pw@proxypw"}},
             {fpcmUserPass, "proxyuser", "", {"331 pass", "230 ok"}, {"USER alice@proxyuser@ftp.example.com", "PASS pw"}},
             {fpcmTransparent, "proxyuser", "proxypw", {"331 pass", "230 proxy ok", "230 ok"},
              {"USER proxyuser", "PASS proxypw", "USER alice"}}}) {
        SCOPED_TRACE(c.sent.front() + " / " + c.proxyPassword);
        ScriptedLogin s(c.type, c.proxyUser, c.proxyPassword);
        for (const std::string& reply : c.replies) s.peer.Reply(reply + "\r\n");
        s.peer.Reply("200 Type set\r\n").Reply("215 UNIX Type: L8\r\n");
        Strings expected = c.sent;
        expected.insert(expected.end(), {"TYPE I", "SYST", "QUIT"});
        EXPECT_EQ(s.Run(), expected);
    }
}

TEST(FtpLogin, AnHttpProxyIsNotSupported) {
    ScriptedLogin s(fpcmHttpProxyWithFtp);
    s.peer.Start();
    try {
        s.ftp.Connect(true, 5000);
        FAIL();
    } catch (const EIdException& e) {
        EXPECT_STREQ(e.what(), "Command not supported.");
    }
    EXPECT_FALSE(s.ftp.Connected());
}

TEST(FtpLogin, WithoutAProxyHostTheConnectionGoesToTheServerWithTheProxySequence) {
    ScriptedPeer server;
    server.Send("220 direct\r\n").Reply("500 no site\r\n").Reply("230 ok\r\n").Reply("200 ok\r\n").Reply("500 no\r\n");
    server.Start();
    TIdFTP ftp;
    ftp.Host = "127.0.0.1";
    ftp.Port = server.Port();
    ftp.Username = "alice";
    ftp.ProxySettings.ProxyType = fpcmSite;
    ftp.Connect(true, 5000);
    EXPECT_EQ(ftp.SystemName, "Unknown");
    ftp.Disconnect();
    server.Wait();
    EXPECT_EQ(server.Lines(), (Strings{"SITE 127.0.0.1", "USER alice", "TYPE I", "SYST"}));
}

// A refusing greeting, or an account the engine has none of: the connect fails with the
// server's reply and leaves nothing connected.
TEST(FtpLogin, AGreetingOtherThan220OrAnAccountRequestFailsTheConnect) {
    for (const int code : {421, 332}) {
        ScriptedPeer server;
        if (code == 421) server.Send("421 Too many users\r\n");
        else server.Send("220 hi\r\n").Reply("332 Need account\r\n");
        server.Start();
        TIdFTP ftp;
        EngineEvents events;
        events.Attach(ftp);
        ftp.Host = "127.0.0.1";
        ftp.Port = server.Port();
        try {
            ftp.Connect(true, 5000);
            ADD_FAILURE() << code;
        } catch (const EIdProtocolReplyError& e) {
            EXPECT_EQ(e.ReplyErrorCode(), code);
            EXPECT_STREQ(e.what(), code == 421 ? "Too many users\r\n" : "Need account\r\n");
        }
        EXPECT_FALSE(ftp.Connected());
        EXPECT_EQ(events.events.back(), "Disconnected.") << code;
    }
}

TEST(FtpLogin, RepliesThatRealServersRarelySend) {
    ScriptedPeer server;
    server.Send("220 hi\r\n")
        .Reply("230 ok\r\n")
        .Reply("200 ok\r\n")
        .Reply("215 Windows_NT\r\n")
        .Reply("257 no quotes here\r\n")
        .Reply("257 \"/home/user\" is current\r\n")
        .Reply("257 \"/a\"\"b\" doubled\r\n")
        .Reply("213 1024 bytes\r\n")
        .Reply("213 1024\r\n")
        .Reply("213 6442450944\r\n")
        .Reply("550 no\r\n")
        .Reply("502 REST not implemented\r\n")
        .Reply("502 REST not implemented\r\n");
    server.Start();
    TIdFTP ftp;
    ftp.Host = "127.0.0.1";
    ftp.Port = server.Port();
    ftp.Connect(true, 5000);
    EXPECT_EQ(ftp.SystemName, "Windows_NT");
    EXPECT_EQ(ftp.CurrentDirectory(), "");
    EXPECT_EQ(ftp.CurrentDirectory(), "/home/user");
    EXPECT_EQ(ftp.CurrentDirectory(), "/a");
    EXPECT_EQ(ftp.FileSize("x"), -1);
    EXPECT_EQ(ftp.FileSize("x"), 1024);
    EXPECT_EQ(ftp.FileSize("big"), 6442450944);
    EXPECT_EQ(ftp.FileSize("x"), -1);
    EXPECT_FALSE(ftp.ResumeSupported());
    EXPECT_FALSE(ftp.ResumeSupported());
    ftp.Disconnect();
    server.Wait();
    EXPECT_EQ(server.Lines().back(), "REST 0");
}

TEST(FtpLogin, PathAndSizeTextsAreTakenApart) {
    EXPECT_EQ(QuotedPath("\"/x y\" created"), "/x y");
    EXPECT_EQ(QuotedPath("only \"one quote"), "");
    EXPECT_EQ(SizeFromReplyText("  77 \r\n"), 77);
    EXPECT_EQ(SizeFromReplyText("size: 77\r\n"), 77);
    EXPECT_EQ(SizeFromReplyText("a lot\r\n"), -1);
}
