#include "fixtures/ClosedPort.h"
#include "fixtures/FtpServer.h"
#include "fixtures/ProcessRun.h"
#include "fixtures/ScriptedPeer.h"
#include "fixtures/TestCertificate.h"

#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

ProcessResult MarluxFtp(const std::vector<std::string>& arguments, const std::vector<std::string>& environment = {}) {
    return RunProcess(std::string(MARLUX_BIN_DIR) + "/marlux-ftp", arguments, environment);
}

std::string Address(const FtpServer& server) { return std::string(server.Host()) + ":" + std::to_string(server.Port()); }

}  // namespace

TEST(MarluxFtpTool, RunsEveryCommandInOneSession) {
    FtpServer server;
    TempDir::WriteFile(server.File("a.txt"), "12345");
    ProcessResult r = MarluxFtp({"-u", "user", "-p", "secret", Address(server), "system", ";", "mkdir", "d", ";",
                                 "cd", "d", ";", "pwd", ";", "cdup", ";", "size", "a.txt", ";", "rename", "a.txt",
                                 "b.txt", ";", "rm", "b.txt", ";", "rmdir", "d", ";", "pwd"});
    EXPECT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_EQ(r.out, "UNIX Type: L8\n/d\n5\n/\n");
    EXPECT_FALSE(std::filesystem::exists(server.File("b.txt")));
    EXPECT_FALSE(std::filesystem::exists(server.File("d")));
}

TEST(MarluxFtpTool, StopsAtTheFirstErrorWithItsMessage) {
    FtpServer server;
    ProcessResult r = MarluxFtp({"-u", "user", "-p", "secret", Address(server), "pwd", ";", "cd", "missing", ";", "mkdir", "never"});
    EXPECT_EQ(r.exitStatus, 1);
    EXPECT_EQ(r.out, "/\n");
    EXPECT_NE(r.err.find("marlux-ftp: "), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(server.File("never")));

    ProcessResult wrong = MarluxFtp({"-u", "user", "-p", "bad", Address(server), "pwd"});
    EXPECT_EQ(wrong.exitStatus, 1);
    EXPECT_TRUE(wrong.out.empty());
}

TEST(MarluxFtpTool, VerboseShowsTheDialogueWithTheMaskedPassword) {
    FtpServer server;
    ProcessResult r = MarluxFtp({"-v", "--ascii", "-u", "user", "-p", "secret", Address(server), "pwd"});
    EXPECT_EQ(r.exitStatus, 0);
    EXPECT_NE(r.err.find("<< USER user\n"), std::string::npos);
    EXPECT_NE(r.err.find("<< PASS ****\n"), std::string::npos);
    EXPECT_NE(r.err.find("<< TYPE A\n"), std::string::npos);
    EXPECT_NE(r.err.find(">> 220"), std::string::npos);
    EXPECT_NE(r.err.find("Connection established\n"), std::string::npos);
    EXPECT_EQ(r.err.find("secret"), std::string::npos);
}

TEST(MarluxFtpTool, LogsInThroughAProxy) {
    ScriptedPeer proxy;
    proxy.Send("220 proxy\r\n").Reply("331 pass\r\n").Reply("230 ok\r\n").Reply("200 ok\r\n").Reply("215 UNIX\r\n")
        .Reply("257 \"/\"\r\n");
    proxy.Start();
    ProcessResult r = MarluxFtp({"--proxy-type", "1", "--proxy", "127.0.0.1:" + std::to_string(proxy.Port()), "-u",
                                 "alice", "-p", "pw", "ftp.example.com", "pwd"});
    proxy.Wait();
    EXPECT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_EQ(r.out, "/\n");
    EXPECT_EQ(proxy.Lines(), (std::vector<std::string>{"USER alice@ftp.example.com", "PASS pw", "TYPE I", "SYST", "PWD", "QUIT"}));
}

TEST(MarluxFtpTool, UsageErrorsExitWithTwoBeforeConnecting) {
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{}, {"127.0.0.1"}, {"127.0.0.1", "frobnicate"}, {"127.0.0.1", "cd"},
          {"127.0.0.1", "pwd", ";"}, {"--proxy-type", "9", "h", "pwd"}, {"-x", "h", "pwd"}, {"h:port", "pwd"},
          {"-u"}, {"--tls", "sometimes", "h", "pwd"}, {"--trust", "12:34", "h", "pwd"}, {"[::1", "pwd"},
          {"[::1]x", "pwd"}}) {
        ProcessResult r = MarluxFtp(arguments);
        EXPECT_EQ(r.exitStatus, 2);
        EXPECT_NE(r.err.find("usage: marlux-ftp"), std::string::npos);
    }
}

TEST(MarluxFtpTool, ARefusedConnectionIsANetworkError) {
    ProcessResult r = MarluxFtp({"--timeout", "5", "127.0.0.1:" + std::to_string(ClosedLoopbackPort()), "pwd"});
    EXPECT_EQ(r.exitStatus, 1);
    EXPECT_NE(r.err.find("Connection refused."), std::string::npos);
}

TEST(MarluxFtpTool, ResumeFetchesOnlyWhatTheRemoteFileHasBeyondTheLocalOne) {
    FtpServer server;
    TempDir local;
    TempDir::WriteFile(server.File("f.bin"), "0123456789");
    auto resume = [&](const std::string& localName) {
        return MarluxFtp({"-u", "user", "-p", "secret", Address(server), "get", "f.bin", local.File(localName),
                          "--resume"});
    };
    TempDir::WriteFile(local.File("longer"), "local file longer than the remote one");
    ProcessResult r = resume("longer");
    EXPECT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_NE(r.err.find("nothing to resume"), std::string::npos);
    EXPECT_EQ(TempDir::ReadFile(local.File("longer")), "local file longer than the remote one");

    TempDir::WriteFile(local.File("same"), "abcdefghij");
    EXPECT_EQ(resume("same").exitStatus, 0);
    EXPECT_EQ(TempDir::ReadFile(local.File("same")), "abcdefghij");

    TempDir::WriteFile(local.File("part"), "0123");
    EXPECT_EQ(resume("part").exitStatus, 0);
    EXPECT_EQ(TempDir::ReadFile(local.File("part")), "0123456789");

    EXPECT_EQ(resume("missing").exitStatus, 0);
    EXPECT_EQ(TempDir::ReadFile(local.File("missing")), "0123456789");
}

TEST(MarluxFtpTool, ServerTextReachesTheTerminalWithControlCharactersEscaped) {
    FtpServer server;
    TempDir::WriteFile(server.File("evil\x1b[2Jname\x07"), "");
    ProcessResult listing = MarluxFtp({"-u", "user", "-p", "secret", Address(server), "nlst", ";", "ls"});
    EXPECT_EQ(listing.exitStatus, 0) << listing.err;
    EXPECT_EQ(listing.out.find('\x1b'), std::string::npos);
    EXPECT_EQ(listing.out.find('\x07'), std::string::npos);
    EXPECT_NE(listing.out.find("evil\\x1b[2Jname\\x07\n"), std::string::npos) << listing.out;

    ScriptedPeer hostile;
    hostile.Send("220 hi\x1b]0;owned\x07\r\n").Reply("230 ok\r\n").Reply("200 ok\r\n").Reply("215 UNIX\r\n")
        .Reply("550 no \xc2\x9b" "31m such\r\n");
    hostile.Start();
    ProcessResult reply = MarluxFtp({"-v", "127.0.0.1:" + std::to_string(hostile.Port()), "cd", "x"});
    EXPECT_EQ(reply.exitStatus, 1);
    EXPECT_EQ(reply.err.find('\x1b'), std::string::npos);
    EXPECT_EQ(reply.err.find("\xc2\x9b"), std::string::npos);
    EXPECT_NE(reply.err.find(">> 220 hi\\x1b]0;owned\\x07\n"), std::string::npos) << reply.err;
    EXPECT_NE(reply.err.find("marlux-ftp: no \\xc2\\x9b31m such"), std::string::npos) << reply.err;
}

TEST(MarluxFtpTool, TheTimeOutBoundsEveryWaitNotOnlyTheConnect) {
    ScriptedPeer silent;
    silent.Send("220 hi\r\n").Reply("230 ok\r\n").Reply("200 ok\r\n").Reply("215 UNIX\r\n").ExpectLine();
    silent.Start();
    auto start = std::chrono::steady_clock::now();
    ProcessResult r = MarluxFtp({"--timeout", "1", "127.0.0.1:" + std::to_string(silent.Port()), "pwd"});
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(4));
    EXPECT_EQ(r.exitStatus, 1);
    EXPECT_NE(r.err.find("Read Timeout"), std::string::npos) << r.err;
}

TEST(MarluxFtpTool, TlsNeedsTheCertificateTrustedAndTakesTheFingerprintInAnySpelling) {
    TestCertificate certificate;
    FtpServer::Options options;
    options.tls = "explicit";
    options.certificateFile = certificate.CombinedFile();
    FtpServer server(options);
    const std::vector<std::string> login{"--timeout", "5", "--tls", "explicit", "-u", "user", "-p", "secret"};

    ProcessResult refused = MarluxFtp([&] {
        auto a = login;
        a.insert(a.end(), {Address(server), "pwd"});
        return a;
    }());
    EXPECT_EQ(refused.exitStatus, 1);
    // The message names the fingerprint, so that the user can decide to pass it with --trust.
    EXPECT_NE(refused.err.find(certificate.Fingerprint()), std::string::npos) << refused.err;

    std::string lowerBare;
    for (char c : certificate.Fingerprint())
        if (c != ':') lowerBare += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const std::string& spelling : {certificate.Fingerprint(), lowerBare}) {
        auto a = login;
        a.insert(a.end(), {"-v", "--trust", spelling, Address(server), "pwd"});
        ProcessResult r = MarluxFtp(a);
        EXPECT_EQ(r.exitStatus, 0) << r.err;
        EXPECT_EQ(r.out, "/\n");
        EXPECT_NE(r.err.find("TLS connection established: TLSv1."), std::string::npos);
        EXPECT_NE(r.err.find("<< PASS ****"), std::string::npos);
    }
}

// The authority list is read once per process, so these run the tool with SSL_CERT_FILE naming a
// test authority instead of the system's.
class MarluxFtpToolAuthority : public ::testing::Test {
protected:
    // Lists and downloads f.txt, addressing the server by host (an IP address or a DNS name).
    ProcessResult Run(const std::string& host, const FtpServer& server, std::vector<std::string> arguments) {
        std::vector<std::string> all{"--timeout", "5", "--tls", "explicit", "-u", "user", "-p", "secret"};
        all.insert(all.end(), arguments.begin(), arguments.end());
        all.insert(all.end(), {host + ":" + std::to_string(server.Port()), "ls", ";", "get", "f.txt",
                               local_.File("f.txt")});
        std::filesystem::remove(local_.File("f.txt"));
        return MarluxFtp(all, {"SSL_CERT_FILE=" + authority_.CertificateFile()});
    }
    static FtpServer::Options Serving(const TestCertificate& certificate) {
        FtpServer::Options options;
        options.tls = "explicit";
        options.certificateFile = certificate.CombinedFile();
        return options;
    }

    TestCertificate authority_{"Marlux Test Authority"};
    TempDir local_;
};

TEST_F(MarluxFtpToolAuthority, ACertificateFromATrustedAuthorityForTheServerNeedsNoFingerprint) {
    TestCertificate certificate("127.0.0.1", "IP:127.0.0.1,DNS:localhost", authority_);
    FtpServer server(Serving(certificate));
    TempDir::WriteFile(server.File("f.txt"), "signed");
    for (const std::string host : {"127.0.0.1", "localhost"}) {
        ProcessResult r = Run(host, server, {});
        EXPECT_EQ(r.exitStatus, 0) << host << ": " << r.err;
        EXPECT_NE(r.out.find("f.txt"), std::string::npos) << r.out;
        EXPECT_EQ(TempDir::ReadFile(local_.File("f.txt")), "signed");
    }

    // The same server is refused where the authority is not known.
    ProcessResult unknown = MarluxFtp({"--timeout", "5", "--tls", "explicit", "-u", "user", "-p", "secret",
                                       Address(server), "pwd"},
                                      {"SSL_CERT_FILE=" + TestCertificate().CertificateFile()});
    EXPECT_EQ(unknown.exitStatus, 1);
    EXPECT_NE(unknown.err.find(certificate.Fingerprint()), std::string::npos) << unknown.err;
}

TEST_F(MarluxFtpToolAuthority, ACertificateFromATrustedAuthorityForAnotherNameIsRefusedUnlessTrusted) {
    TestCertificate certificate("wrong.example", "DNS:wrong.example,IP:127.0.0.2", authority_);
    FtpServer server(Serving(certificate));
    TempDir::WriteFile(server.File("f.txt"), "misnamed");
    for (const auto& [host, problem] :
         {std::pair<std::string, std::string>{"127.0.0.1", "IP address mismatch"}, {"localhost", "hostname mismatch"}}) {
        ProcessResult refused = Run(host, server, {});
        EXPECT_EQ(refused.exitStatus, 1);
        EXPECT_NE(refused.err.find("The server certificate is not trusted: " + problem + " (SHA-256 " +
                                   certificate.Fingerprint() + ")"),
                  std::string::npos)
            << refused.err;
        EXPECT_TRUE(refused.out.empty());
        EXPECT_FALSE(std::filesystem::exists(local_.File("f.txt")));

        ProcessResult trusted = Run(host, server, {"--trust", certificate.Fingerprint()});
        EXPECT_EQ(trusted.exitStatus, 0) << host << ": " << trusted.err;
        EXPECT_EQ(TempDir::ReadFile(local_.File("f.txt")), "misnamed");
    }
}

TEST(MarluxFtpTool, IPv6AddressesWithAndWithoutBracketsAndPort) {
    FtpServer::Options options;
    options.ipv6 = true;
    FtpServer server(options);
    ProcessResult r = MarluxFtp({"-u", "user", "-p", "secret", "[::1]:" + std::to_string(server.Port()), "ls"});
    EXPECT_EQ(r.exitStatus, 0) << r.err;
    // A bare IPv6 address takes no port: this one goes to port 21, where nothing listens.
    ProcessResult bare = MarluxFtp({"--timeout", "2", "::1", "pwd"});
    EXPECT_EQ(bare.exitStatus, 1);
    EXPECT_NE(bare.err.find("refused"), std::string::npos) << bare.err;
}
