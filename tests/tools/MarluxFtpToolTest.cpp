#include "fixtures/ClosedPort.h"
#include "fixtures/FtpServer.h"
#include "fixtures/ProcessRun.h"
#include "fixtures/ScriptedPeer.h"
#include "fixtures/TestCertificate.h"

#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

using Strings = std::vector<std::string>;

ProcessResult MarluxFtp(const Strings& arguments, const Strings& environment = {}) {
    return RunProcess(std::string(MARLUX_BIN_DIR) + "/marlux-ftp", arguments, environment);
}

std::string Address(const std::string& host, int port) { return host + ":" + std::to_string(port); }

// The tool run with `options`, logged in as the fixture's user at host:port, running `commands`.
ProcessResult AsUser(const std::string& host, int port, const Strings& commands, Strings options = {},
                     const Strings& environment = {}) {
    options.insert(options.end(), {"-u", "user", "-p", "secret", Address(host, port)});
    options.insert(options.end(), commands.begin(), commands.end());
    return MarluxFtp(options, environment);
}

ProcessResult AsUser(const FtpServer& server, const Strings& commands, const Strings& options = {}) {
    return AsUser(server.Host(), server.Port(), commands, options);
}

}  // namespace

TEST(MarluxFtpTool, RunsEveryCommandInOneSessionAndShowsTheDialogueWithTheMaskedPassword) {
    FtpServer server;
    TempDir::WriteFile(server.File("a.txt"), "12345");
    ProcessResult r = AsUser(server, {"system", ";", "mkdir", "d", ";", "cd", "d", ";", "pwd", ";", "cdup", ";",
                                      "size", "a.txt", ";", "rename", "a.txt", "b.txt", ";", "rm", "b.txt", ";",
                                      "rmdir", "d", ";", "pwd"},
                             {"-v"});
    EXPECT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_EQ(r.out, "UNIX Type: L8\n/d\n5\n/\n");
    EXPECT_FALSE(std::filesystem::exists(server.File("b.txt")));
    EXPECT_FALSE(std::filesystem::exists(server.File("d")));
    for (const char* line : {"<< USER user\n", "<< PASS ****\n", ">> 220", "Connection established\n"})
        EXPECT_NE(r.err.find(line), std::string::npos) << line;
    EXPECT_EQ(r.err.find("secret"), std::string::npos);
}

TEST(MarluxFtpTool, StopsAtTheFirstErrorWithItsMessage) {
    FtpServer server;
    ProcessResult r = AsUser(server, {"pwd", ";", "cd", "missing", ";", "mkdir", "never"});
    EXPECT_EQ(r.exitStatus, 1);
    EXPECT_EQ(r.out, "/\n");
    EXPECT_NE(r.err.find("marlux-ftp: "), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(server.File("never")));

    ProcessResult wrong = MarluxFtp({"-u", "user", "-p", "bad", Address(server.Host(), server.Port()), "pwd"});
    EXPECT_EQ(wrong.exitStatus, 1);
    EXPECT_TRUE(wrong.out.empty());

    ProcessResult refused = MarluxFtp({"--timeout", "5", Address("127.0.0.1", ClosedLoopbackPort()), "pwd"});
    EXPECT_EQ(refused.exitStatus, 1);
    EXPECT_NE(refused.err.find("Connection refused."), std::string::npos);
}

TEST(MarluxFtpTool, LogsInThroughAProxyInTheTypeAsked) {
    ScriptedPeer proxy;
    proxy.Send("220 proxy\r\n").Reply("331 pass\r\n").Reply("230 ok\r\n").Reply("200 ok\r\n").Reply("215 UNIX\r\n")
        .Reply("257 \"/\"\r\n");
    proxy.Start();
    ProcessResult r = MarluxFtp({"--ascii", "--proxy-type", "1", "--proxy", Address("127.0.0.1", proxy.Port()), "-u",
                                 "alice", "-p", "pw", "ftp.example.com", "pwd"});
    proxy.Wait();
    EXPECT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_EQ(r.out, "/\n");
    EXPECT_EQ(proxy.Lines(), (Strings{"USER alice@ftp.example.com", "PASS pw", "TYPE A", "SYST", "PWD", "QUIT"}));
}

TEST(MarluxFtpTool, UsageErrorsExitWithTwoBeforeConnecting) {
    for (const Strings& arguments :
         {Strings{}, {"127.0.0.1"}, {"127.0.0.1", "frobnicate"}, {"127.0.0.1", "cd"}, {"127.0.0.1", "pwd", ";"},
          {"--proxy-type", "9", "h", "pwd"}, {"-x", "h", "pwd"}, {"h:port", "pwd"}, {"-u"},
          {"--tls", "sometimes", "h", "pwd"}, {"--trust", "12:34", "h", "pwd"}, {"[::1", "pwd"}, {"[::1]x", "pwd"}}) {
        ProcessResult r = MarluxFtp(arguments);
        EXPECT_EQ(r.exitStatus, 2);
        EXPECT_NE(r.err.find("usage: marlux-ftp"), std::string::npos);
    }
}

// Longer, equal, shorter and missing local files.
TEST(MarluxFtpTool, ResumeFetchesOnlyWhatTheRemoteFileHasBeyondTheLocalOne) {
    FtpServer server;
    TempDir local;
    TempDir::WriteFile(server.File("f.bin"), "0123456789");
    for (const auto& [before, after] : std::vector<std::pair<std::string, std::string>>{
             {"local file longer than the remote one", "local file longer than the remote one"},
             {"abcdefghij", "abcdefghij"},
             {"0123", "0123456789"},
             {"", "0123456789"}}) {
        std::filesystem::remove(local.File("f.bin"));
        if (!before.empty()) TempDir::WriteFile(local.File("f.bin"), before);
        ProcessResult r = AsUser(server, {"get", "f.bin", local.File("f.bin"), "--resume"});
        EXPECT_EQ(r.exitStatus, 0) << r.err;
        EXPECT_EQ(TempDir::ReadFile(local.File("f.bin")), after);
        if (before.size() > after.size()) {
            EXPECT_NE(r.err.find("nothing to resume"), std::string::npos);
        }
    }
}

TEST(MarluxFtpTool, ServerTextReachesTheTerminalWithControlCharactersEscaped) {
    FtpServer server;
    TempDir::WriteFile(server.File("evil\x1b[2Jname\x07"), "");
    ProcessResult listing = AsUser(server, {"nlst", ";", "ls"});
    EXPECT_EQ(listing.exitStatus, 0) << listing.err;
    EXPECT_EQ(listing.out.find('\x1b'), std::string::npos);
    EXPECT_EQ(listing.out.find('\x07'), std::string::npos);
    EXPECT_NE(listing.out.find("evil\\x1b[2Jname\\x07\n"), std::string::npos) << listing.out;

    ScriptedPeer hostile;
    hostile.Send("220 hi\x1b]0;owned\x07\r\n").Reply("230 ok\r\n").Reply("200 ok\r\n").Reply("215 UNIX\r\n")
        .Reply("550 no \xc2\x9b" "31m such\r\n");
    hostile.Start();
    ProcessResult reply = MarluxFtp({"-v", Address("127.0.0.1", hostile.Port()), "cd", "x"});
    EXPECT_EQ(reply.exitStatus, 1);
    EXPECT_EQ(reply.err.find('\x1b'), std::string::npos);
    EXPECT_EQ(reply.err.find("\xc2\x9b"), std::string::npos);
    EXPECT_NE(reply.err.find(">> 220 hi\\x1b]0;owned\\x07\n"), std::string::npos) << reply.err;
    EXPECT_NE(reply.err.find("marlux-ftp: no \\xc2\\x9b31m such"), std::string::npos) << reply.err;
}

TEST(MarluxFtpTool, TheTimeOutBoundsEveryWaitNotOnlyTheConnect) {
    ScriptedPeer silent;
    silent.ScriptLogin().ExpectLine();
    silent.Start();
    auto start = std::chrono::steady_clock::now();
    ProcessResult r = MarluxFtp({"--timeout", "1", Address("127.0.0.1", silent.Port()), "pwd"});
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(4));
    EXPECT_EQ(r.exitStatus, 1);
    EXPECT_NE(r.err.find("Read Timeout"), std::string::npos) << r.err;
}

// The authority list is read once per process, so the tool runs with SSL_CERT_FILE naming a test
// authority instead of the system's. A certificate it signed for the server's address and name
// needs no fingerprint; one for another name, or from an authority the tool does not know, is
// refused with its fingerprint named, so that the user can pass it with --trust in the printed
// spelling or lower case without colons.
TEST(MarluxFtpTool, CertificatesFromATrustedAuthorityAreCheckedAgainstTheServersName) {
    const TestCertificate authority("Marlux Test Authority");
    const TestCertificate stranger;
    const TestCertificate right("127.0.0.1", "IP:127.0.0.1,DNS:localhost", authority);
    const TestCertificate wrong("wrong.example", "DNS:wrong.example,IP:127.0.0.2", authority);
    struct Case {
        const TestCertificate& certificate;
        std::string host, authorityFile, problem;
    };
    for (const Case& c : std::vector<Case>{{right, "127.0.0.1", authority.CertificateFile(), ""},
                                           {right, "localhost", authority.CertificateFile(), ""},
                                           {right, "127.0.0.1", stranger.CertificateFile(), "not trusted: "},
                                           {wrong, "127.0.0.1", authority.CertificateFile(), "IP address mismatch"},
                                           {wrong, "localhost", authority.CertificateFile(), "hostname mismatch"}}) {
        SCOPED_TRACE(c.host + " " + c.problem);
        FtpServer server({.tls = "explicit", .certificateFile = c.certificate.CombinedFile()});
        TempDir::WriteFile(server.File("f.txt"), "served");
        TempDir local;
        const Strings commands{"ls", ";", "get", "f.txt", local.File("f.txt")};
        const Strings options{"--timeout", "5", "--tls", "explicit"};
        const Strings environment{"SSL_CERT_FILE=" + c.authorityFile};
        ProcessResult r = AsUser(c.host, server.Port(), commands, options, environment);
        if (c.problem.empty()) {
            EXPECT_EQ(r.exitStatus, 0) << r.err;
            EXPECT_NE(r.out.find("f.txt"), std::string::npos) << r.out;
            EXPECT_EQ(TempDir::ReadFile(local.File("f.txt")), "served");
            continue;
        }
        EXPECT_EQ(r.exitStatus, 1);
        EXPECT_NE(r.err.find(c.problem), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("(SHA-256 " + c.certificate.Fingerprint() + ")"), std::string::npos) << r.err;
        EXPECT_TRUE(r.out.empty());
        EXPECT_FALSE(std::filesystem::exists(local.File("f.txt")));
        std::string spelling = c.certificate.Fingerprint();
        if (c.host == "localhost") {
            std::erase(spelling, ':');
            for (char& letter : spelling) letter = static_cast<char>(std::tolower(static_cast<unsigned char>(letter)));
        }
        Strings trusting = options;
        trusting.insert(trusting.end(), {"-v", "--trust", spelling});
        r = AsUser(c.host, server.Port(), commands, trusting, environment);
        EXPECT_EQ(r.exitStatus, 0) << r.err;
        EXPECT_NE(r.err.find("TLS connection established: TLSv1."), std::string::npos);
        EXPECT_EQ(TempDir::ReadFile(local.File("f.txt")), "served");
    }
}

TEST(MarluxFtpTool, IPv6AddressesWithAndWithoutBracketsAndPort) {
    FtpServer server({.ipv6 = true});
    ProcessResult r = MarluxFtp({"-u", "user", "-p", "secret", "[::1]:" + std::to_string(server.Port()), "ls"});
    EXPECT_EQ(r.exitStatus, 0) << r.err;
    // A bare IPv6 address takes no port: this one goes to port 21, where nothing listens.
    ProcessResult bare = MarluxFtp({"--timeout", "2", "::1", "pwd"});
    EXPECT_EQ(bare.exitStatus, 1);
    EXPECT_NE(bare.err.find("refused"), std::string::npos) << bare.err;
}
