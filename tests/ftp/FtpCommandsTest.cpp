#include "EngineSessions.h"
#include "ftp/IdException.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

Strings SortedNames(TIdFTP& ftp) {
    Strings names = ItemNames(ftp.ParsedListing());
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

// A wrong password disconnects. TYPE goes out only when the type changes and the resume probe
// once per object, even across a reconnect; the login sends the type chosen. Then the commands
// on files and folders, a refused one and a refused two-step one, and listings.
TEST(FtpCommands, LoginReconnectDirectoriesFilesListingsAndTheirRefusals) {
    ServerSession s;
    s.ftp.Quit();
    s.ftp.Password = "wrong";
    EXPECT_THROW(s.ftp.Connect(true, 5000), EIdProtocolReplyError);
    EXPECT_FALSE(s.ftp.Connected());
    s.ftp.Password = FtpServer::Password;
    s.events.events.clear();
    s.sent.lines.clear();
    s.ftp.OnAfterClientLogin = [&](TIdFTP*) { s.events.events.push_back("OnAfterClientLogin"); };
    s.ftp.Connect(true, 5000);
    EXPECT_EQ(s.events.events,
              (Strings{"Connecting to 127.0.0.1.", "Connected.", "OnAfterClientLogin", "Connection established"}));
    EXPECT_EQ(s.ftp.SystemName, "UNIX Type: L8");
    // pyftpdlib keeps the file mode fact back unless asked for it.
    const std::string modeFact = "OPTS MLST type;perm;size;modify;unique;unix.mode;";
    EXPECT_EQ(s.sent.lines, (Strings{"USER user", "PASS secret", "TYPE I", "FEAT", "OPTS UTF8 ON", modeFact, "SYST"}));

    s.sent.lines.clear();
    s.ftp.SetTransferType(ftBinary);
    EXPECT_TRUE(s.ftp.ResumeSupported());
    s.ftp.SetTransferType(ftASCII);
    s.ftp.Quit();
    EXPECT_FALSE(s.ftp.Connected());
    s.ftp.Connect(true, 5000);
    EXPECT_TRUE(s.ftp.ResumeSupported());
    EXPECT_EQ(s.sent.lines, (Strings{"REST 1", "REST 0", "TYPE A", "QUIT", "USER user", "PASS secret", "TYPE A",
                                     "FEAT", "OPTS UTF8 ON", modeFact, "SYST"}));

    s.ftp.SetTransferType(ftBinary);
    s.ftp.MakeDirectory("sub dir");
    EXPECT_TRUE(std::filesystem::is_directory(s.server.File("sub dir")));
    s.ftp.ChangeDirectory("sub dir");
    EXPECT_EQ(s.ftp.CurrentDirectory(), "/sub dir");
    EXPECT_THROW(s.ftp.ChangeDirectory("missing"), EIdProtocolReplyError);
    s.ftp.ChangeToParent();
    EXPECT_EQ(s.ftp.CurrentDirectory(), "/");

    TempDir::WriteFile(s.server.File("a.txt"), std::string(1024, 'x'));
    EXPECT_EQ(s.ftp.FileSize("a.txt"), 1024);
    s.ftp.RenameFile("a.txt", "b.txt");
    EXPECT_TRUE(std::filesystem::exists(s.server.File("b.txt")));
    EXPECT_THROW(s.ftp.RenameFile("a.txt", "c.txt"), EIdProtocolReplyError);
    s.ftp.DeleteFile("b.txt");
    EXPECT_FALSE(std::filesystem::exists(s.server.File("b.txt")));
    s.ftp.RemoveDirectory("sub dir");
    EXPECT_FALSE(std::filesystem::exists(s.server.File("sub dir")));
    EXPECT_EQ(s.ftp.CurrentDirectory(), "/");

    // A listing with a mask, and one with a line that cannot be parsed: the other entries stay.
    s.ftp.List(nullptr);
    EXPECT_TRUE(s.ftp.ListLines.empty());
    for (const char* name : {"a b.txt", "evil\nname", "z.txt"}) TempDir::WriteFile(s.server.File(name), "12345");
    std::filesystem::create_directory(s.server.File("dir one"));
    s.ftp.List(nullptr, "a b.txt ", true);
    EXPECT_EQ(SortedNames(s.ftp), Strings{"a b.txt"});
    EXPECT_EQ(s.ftp.ParsedListing().Item(0).Size, 5);
    EXPECT_THROW(s.ftp.List(nullptr, "*.none", false), EIdProtocolReplyError);

    Strings destination;
    s.ftp.List(&destination);
    EXPECT_EQ(destination.size(), 5u);
    EXPECT_EQ(SortedNames(s.ftp), (Strings{"a b.txt", "dir one", "evil", "z.txt"}));
    EXPECT_EQ(s.events.events.back(), "Listing line skipped, it could not be parsed: \"name\"");
    // Built once: asking again neither parses nor reports again.
    const std::size_t reported = s.events.events.size();
    EXPECT_EQ(s.ftp.ParsedListing().Count(), 4u);
    EXPECT_EQ(s.events.events.size(), reported);

    // A machine listing shows a mode just set, not only the login's rights.
    ASSERT_EQ(s.ftp.SendCommand("SITE CHMOD 751 z.txt"), 200);
    s.ftp.ListDirectory("");
    const TIdFTPListItem* z = FindItem(s.ftp.ParsedListing(), "z.txt");
    ASSERT_NE(z, nullptr);
    EXPECT_EQ(Rights(*z), "rwxr-x--x");

    // A mask goes to LIST, which applies it, even where MLSD is offered (pyftpdlib refuses it).
    EXPECT_THROW(s.ftp.ListDirectory("*.txt"), EIdProtocolReplyError);
    EXPECT_TRUE(s.sent.Sent("LIST *.txt"));
    EXPECT_EQ(s.sent.Count("MLSD"), 1u);
}

// Many active-mode IPv6 transfers are the active-mode test's.
TEST(IPv6, BracketedAndBareAddressesReachTheServerWithEpsvAndEprt) {
    FtpServer server({.ipv6 = true});
    TempDir::WriteFile(server.File("six.txt"), "over IPv6");
    for (const auto& [host, passive] : {std::pair{"[::1]", true}, std::pair{"::1", false}}) {
        TIdFTP ftp;
        SentCommands sent;
        AimAtServer(ftp, host, server.Port(), passive);
        sent.Attach(ftp);
        ftp.Connect(true, 5000);
        EXPECT_EQ(ftp.Binding().PeerIP, "::1");
        TIdStringStream stream;
        ftp.Get("six.txt", stream);
        EXPECT_EQ(stream.Bytes(), "over IPv6");
        EXPECT_EQ(sent.Count("PASV") + sent.Count("PORT"), 0u);
        EXPECT_EQ(sent.Count(passive ? "EPSV" : "EPRT |2|::1|"), 1u) << host;
    }
}

// The proxy is a scripted peer; the host stays the one the user named. Without a proxy host
// the sequence goes to the server itself. A wrong sequence would hand the user's password to
// the wrong host.
TEST(FtpCommands, EveryProxyKindSendsItsLoginSequence) {
    struct Case { TIdFtpProxyType type; std::string proxyHost, proxyUser, proxyPassword; Strings replies, sent; };
    for (const Case& c : std::vector<Case>{
             {fpcmUserSite, "127.0.0.1", "proxyuser", "proxypw", {"331 pass", "230 proxy ok", "331 pass", "230 ok"},
              {"USER proxyuser", "PASS proxypw", "USER alice@ftp.example.com", "PASS pw"}},
             {fpcmOpen, "127.0.0.1", "proxyuser", "", {"230 proxy ok", "220 opened", "331 pass", "230 ok"},
              {"USER proxyuser", "OPEN ftp.example.com", "USER alice", "PASS pw"}},
             {fpcmUserPass, "127.0.0.1", "proxyuser", "proxypw", {"331 pass", "230 ok"},
              {"USER alice@proxyuser@ftp.example.com", "PASS pw@proxypw"}},
             {fpcmSite, "", "", "", {"500 no site", "331 pass", "230 ok"}, {"SITE 127.0.0.1", "USER alice", "PASS pw"}}}) {
        SCOPED_TRACE(c.sent.front());
        ScriptedPeer peer;
        peer.Send("220 proxy ready\r\n");
        for (const std::string& reply : c.replies) peer.Reply(reply + "\r\n");
        peer.Reply("200 Type set\r\n").Reply("500 no FEAT\r\n").Reply("215 UNIX Type: L8\r\n").Start();
        TIdFTP ftp;
        AimAtServer(ftp, c.proxyHost.empty() ? "127.0.0.1" : "ftp.example.com", peer.Port());
        ftp.Username = "alice";
        ftp.Password = "pw";
        ftp.ProxySettings = {c.type, c.proxyHost, c.proxyUser, c.proxyPassword, peer.Port()};
        ftp.Connect(true, 5000);
        EXPECT_EQ(ftp.Host, c.proxyHost.empty() ? "127.0.0.1" : "ftp.example.com");
        ftp.Quit();
        peer.Wait();
        Strings expected = c.sent;
        expected.insert(expected.end(), {"TYPE I", "FEAT", "SYST", "QUIT"});
        EXPECT_EQ(peer.Lines(), expected);
    }
}
