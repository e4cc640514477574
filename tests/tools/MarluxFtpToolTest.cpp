#include "fixtures/ProftpdServer.h"
#include "fixtures/TestCertificate.h"
#include "fixtures/VsftpdServer.h"
#include "ftp/EngineSessions.h"
#include "tools/ToolRun.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

// The tool run with `options`, logged in as the fixture's user at host:port, running `commands`.
ProcessResult AsUser(const std::string& host, int port, const Strings& commands, Strings options = {},
                     const Strings& environment = {}) {
    options.insert(options.end(), {"-u", "user", "-p", "secret", host + ":" + std::to_string(port)});
    options.insert(options.end(), commands.begin(), commands.end());
    return MarluxFtp(options, environment);
}

}  // namespace

// The dialogue goes to the error stream with the password masked; an error ends the run there.
TEST(MarluxFtpTool, RunsCommandsInOneSessionUntilTheFirstErrorResumesOnlyWhatIsMissingAndRefusesBadUsage) {
    FtpServer server;
    TempDir::WriteFile(server.File("a.txt"), "12345");
    ProcessResult r = AsUser(server.Host(), server.Port(),
                             {"mkdir", "d", ";", "cd", "d", ";", "pwd", ";", "cdup", ";", "size", "a.txt", ";",
                              "rename", "a.txt", "b.txt", ";", "rm", "b.txt", ";", "rmdir", "d", ";", "pwd"},
                             {"-v"});
    EXPECT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_EQ(r.out, "/d\n5\n/\n");
    EXPECT_FALSE(std::filesystem::exists(server.File("b.txt")));
    EXPECT_FALSE(std::filesystem::exists(server.File("d")));
    EXPECT_TRUE(Contains(r.err, "<< PASS ****\n"));
    EXPECT_FALSE(Contains(r.err, "secret"));

    r = AsUser(server.Host(), server.Port(), {"pwd", ";", "cd", "missing", ";", "mkdir", "never"});
    EXPECT_EQ(r.exitStatus, 1);
    EXPECT_EQ(r.out, "/\n");
    EXPECT_FALSE(std::filesystem::exists(server.File("never")));

    // A resumed download fetches only what the remote file has beyond the local one: longer,
    // equal, shorter and missing local files; a longer one is never cut.
    TempDir local;
    TempDir::WriteFile(server.File("f.bin"), "0123456789");
    const std::vector<std::pair<std::string, std::string>> cases{
        {"local file longer than the remote one", "local file longer than the remote one"},
        {"abcdefghij", "abcdefghij"},
        {"0123", "0123456789"},
        {"", "0123456789"}};
    Strings commands;
    for (size_t i = 0; i < cases.size(); ++i) {
        if (!cases[i].first.empty()) TempDir::WriteFile(local.File(std::to_string(i)), cases[i].first);
        commands.insert(commands.end(), {"get", "f.bin", local.File(std::to_string(i)), "--resume", ";"});
    }
    commands.pop_back();
    r = AsUser(server.Host(), server.Port(), commands);
    EXPECT_EQ(r.exitStatus, 0) << r.err;
    for (size_t i = 0; i < cases.size(); ++i)
        EXPECT_EQ(TempDir::ReadFile(local.File(std::to_string(i))), cases[i].second) << cases[i].first;

    // Bad usage is refused before connecting.
    for (const Strings& arguments : {Strings{}, {"127.0.0.1", "frobnicate"}, {"127.0.0.1", "cd"},
                                     {"--trust", "12:34", "h", "pwd"}, {"[::1", "pwd"}}) {
        r = MarluxFtp(arguments);
        EXPECT_EQ(r.exitStatus, 2);
        EXPECT_TRUE(Contains(r.err, "usage: marlux-ftp"));
    }
}

// After each get and put the tool says how the file was checked; a file that differs ends the
// run with status 3, renamed so that it is not taken for a good one.
TEST(MarluxFtpTool, SaysHowEachTransferWasVerifiedAndFailsOnAMismatch) {
    ProftpdServer digests;
    TempDir local;
    TempDir::WriteFile(local.File("a.bin"), "0123456789");
    ProcessResult r = AsUser(digests.Host(), digests.Port(),
                             {"put", local.File("a.bin"), "a.bin", ";", "get", "a.bin", local.File("b.bin"), ";", "put",
                              local.File("a.bin"), "a.bin", "--append", ";", "get", "a.bin", local.File("b.bin"),
                              "--resume"});
    EXPECT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_EQ(r.out, "verified (SHA-256)\nverified (SHA-256)\nverified (SHA-256)\nverified (SHA-256)\n");
    EXPECT_EQ(TempDir::ReadFile(local.File("b.bin")), "01234567890123456789");
    r = AsUser(digests.Host(), digests.Port(), {"get", "a.bin", local.File("c.bin")}, {"--ascii"});
    EXPECT_EQ(r.out, "not verified: ASCII mode\n");
    r = AsUser(digests.Host(), digests.Port(), {"put", local.File("a.bin"), "d.bin"}, {"--no-verify"});
    EXPECT_EQ(r.out, "not verified: verification is off\n");

    FtpServer sizesOnly;
    r = AsUser(sizesOnly.Host(), sizesOnly.Port(), {"put", local.File("a.bin"), "a.bin"});
    EXPECT_EQ(r.out, "verified (size)\n");

    DataPeer data("hello");
    ScriptedPeer lying;
    lying.ScriptLogin("211-Features:\r\n HASH SHA-256*\r\n211 End\r\n").Reply(PassiveReply(data.Port()));
    lying.Reply("150 here\r\n226 done\r\n").Reply("213 SHA-256 0-5 " + std::string(64, 'a') + " x\r\n").Start();
    r = MarluxFtpAt(lying.Port(), {}, {"get", "x", local.File("x")});
    EXPECT_EQ(r.exitStatus, 3);
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(Contains(r.err, "marlux-ftp: Verification failed for \"x\"")) << r.err;
    EXPECT_TRUE(TempDir::Exists(local.File("x.part")));
}

TEST(MarluxFtpTool, ServerTextReachesTheTerminalWithControlCharactersEscaped) {
    FtpServer server;
    TempDir::WriteFile(server.File("evil\x1b[2Jname\x07"), "");
    ProcessResult listing = AsUser(server.Host(), server.Port(), {"nlst", ";", "ls"});
    EXPECT_EQ(listing.exitStatus, 0) << listing.err;
    EXPECT_FALSE(Contains(listing.out, "\x1b"));
    EXPECT_TRUE(Contains(listing.out, "evil\\x1b[2Jname\\x07\n")) << listing.out;

    ScriptedPeer hostile;
    hostile.Send("220 hi\x1b]0;owned\x07\r\n").Reply("230 ok\r\n").Reply("200 ok\r\n").Reply("500 no FEAT\r\n");
    hostile.Reply("215 UNIX\r\n").Reply("550 no \xc2\x9b" "31m such\r\n").Start();
    ProcessResult reply = MarluxFtpAt(hostile.Port(), {"-v"}, {"cd", "x"});
    EXPECT_EQ(reply.exitStatus, 1);
    EXPECT_FALSE(Contains(reply.err, "\x1b"));
    EXPECT_FALSE(Contains(reply.err, "\xc2\x9b"));
    EXPECT_TRUE(Contains(reply.err, "marlux-ftp: no \\xc2\\x9b31m such")) << reply.err;
}

TEST(MarluxFtpTool, TheTimeOutBoundsEveryWaitNotOnlyTheConnect) {
    ScriptedPeer silent;
    silent.ScriptLogin().ExpectLine().Start();
    auto start = std::chrono::steady_clock::now();
    ProcessResult r = MarluxFtpAt(silent.Port(), {"--timeout", "1"}, {"pwd"});
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(4));
    EXPECT_EQ(r.exitStatus, 1);
    EXPECT_TRUE(Contains(r.err, "Read Timeout")) << r.err;
}

// The authority list is read once per process, so the tool runs with SSL_CERT_FILE naming a test
// authority instead of the system's. A certificate it signed for the server's address needs no
// fingerprint; one for another name, or from an authority the tool does not know, is refused
// with its fingerprint named, which --trust then accepts.
TEST(MarluxFtpTool, CertificatesFromATrustedAuthorityAreCheckedAgainstTheServersName) {
    const TestCertificate authority("Marlux Test Authority");
    const TestCertificate stranger;
    const TestCertificate right("127.0.0.1", "IP:127.0.0.1,DNS:localhost", &authority);
    const TestCertificate wrong("wrong.example", "DNS:wrong.example,IP:127.0.0.2", &authority);
    struct Case {
        const TestCertificate& certificate;
        std::string host, authorityFile, problem;
    };
    for (const Case& c : std::vector<Case>{{right, "127.0.0.1", authority.CertificateFile(), ""},
                                           {right, "127.0.0.1", stranger.CertificateFile(), "not trusted: "},
                                           {wrong, "localhost", authority.CertificateFile(), "hostname mismatch"}}) {
        SCOPED_TRACE(c.host + " " + c.problem);
        FtpServer server({.tls = "explicit", .certificateFile = c.certificate.CombinedFile()});
        TempDir::WriteFile(server.File("f.txt"), "served");
        TempDir local;
        const Strings commands{"get", "f.txt", local.File("f.txt")}, environment{"SSL_CERT_FILE=" + c.authorityFile};
        Strings options{"--timeout", "5", "--tls", "explicit"};
        ProcessResult r = AsUser(c.host, server.Port(), commands, options, environment);
        if (!c.problem.empty()) {
            EXPECT_EQ(r.exitStatus, 1);
            EXPECT_TRUE(Contains(r.err, c.problem)) << r.err;
            EXPECT_TRUE(Contains(r.err, "(SHA-256 " + c.certificate.Fingerprint() + ")")) << r.err;
            EXPECT_FALSE(std::filesystem::exists(local.File("f.txt")));
            options.insert(options.end(), {"--trust", c.certificate.Fingerprint()});
            r = AsUser(c.host, server.Port(), commands, options, environment);
        }
        EXPECT_EQ(r.exitStatus, 0) << r.err;
        EXPECT_EQ(TempDir::ReadFile(local.File("f.txt")), "served");
    }
}

// Names from a server that keeps them as bytes: printed in UTF-8 whatever the server's
// encoding, undecodable bytes as \xNN, and typed names sent in the server's encoding.
TEST(MarluxFtpTool, ListsJapaneseNamesInUtf8AndSendsTypedNamesInTheServersEncoding) {
    VsftpdServer server(VsftpdServer::TAccess::Writable);
    TempDir local;
    const std::string tokyo = "\x93\x8C\x8B\x9E.txt", table = "\x95\x5C.txt";  // Shift_JIS
    TempDir::WriteFile(server.File(tokyo), "tokyo");
    TempDir::WriteFile(server.File(table), "table");
    TempDir::WriteFile(server.File("bad\xFF"), "");
    TempDir::WriteFile(local.File("up.txt"), "up");
    const auto run = [&](const Strings& commands, Strings options = {}) {
        options.insert(options.end(), {"-u", "anonymous", "-p", "guest", "--passive"});
        return MarluxFtpAt(server.Port(), options, commands);
    };
    ProcessResult r = run({"nlst"});
    EXPECT_EQ(r.exitStatus, 0) << r.err;
    Strings lines;
    for (size_t start = 0, end; (end = r.out.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(r.out.substr(start, end - start));
    std::sort(lines.begin(), lines.end());
    EXPECT_EQ(lines, (Strings{"bad\\xff", "東京.txt", "表.txt"}));

    // Typed before any listing: the tool reads the folder's names first.
    r = run({"get", "表.txt", local.File("表.txt"), ";", "put", local.File("up.txt"), "大阪.txt", ";", "rename",
             "東京.txt", "京都.txt"});
    EXPECT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_EQ(TempDir::ReadFile(local.File("表.txt")), "table");
    EXPECT_EQ(TempDir::ReadFile(server.File("\x91\xE5\x8D\xE3.txt")), "up");
    EXPECT_EQ(TempDir::ReadFile(server.File("\x8B\x9E\x93\x73.txt")), "tokyo");

    // A character the chosen encoding lacks is refused before anything is sent.
    r = run({"mkdir", "😀"}, {"--encoding", "shift_jis", "-v"});
    EXPECT_EQ(r.exitStatus, 1);
    EXPECT_TRUE(Contains(r.err, "Shift_JIS has no character")) << r.err;
    EXPECT_FALSE(Contains(r.err, "<< MKD"));
    EXPECT_EQ(MarluxFtp({"--encoding", "latin1", "h", "pwd"}).exitStatus, 2);
}
