#include "EngineSessions.h"
#include "fixtures/RandomBytes.h"
#include "fixtures/TestCertificate.h"
#include "fixtures/TlsVsftpdServer.h"
#include "ftp/IdException.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

// Points the FTP object at a TLS server as the fixture's user, trusting `fingerprint`.
void AimAtTls(TIdFTP& ftp, const std::string& host, int port, const std::string& fingerprint = {},
              TIdUseTLS tls = utUseExplicitTLS, bool passive = true) {
    AimAtServer(ftp, host, port, passive);
    ftp.UseTLS = tls;
    ftp.TrustedFingerprint = fingerprint;
}

// Get and put byte for byte, a resumed download and a listing, on a logged-in session.
void ExpectTransfersExact(TIdFTP& ftp, const std::function<std::string(const std::string&)>& serverFile,
                          const std::string& prefix) {
    TempDir local;
    const std::string bytes = RandomBytes(3 << 20, 7);
    TempDir::WriteFile(local.File("up.bin"), bytes);
    ftp.Put(local.File("up.bin"), prefix + "up.bin");
    EXPECT_TRUE(TempDir::ReadFile(serverFile("up.bin")) == bytes);
    ftp.Get(prefix + "up.bin", local.File("down.bin"), true);
    EXPECT_TRUE(TempDir::ReadFile(local.File("down.bin")) == bytes);
    TempDir::WriteFile(local.File("part.bin"), bytes.substr(0, 1000000));
    ftp.Get(prefix + "up.bin", local.File("part.bin"), false, true);
    EXPECT_TRUE(TempDir::ReadFile(local.File("part.bin")) == bytes);
    ftp.List(nullptr, prefix);
    EXPECT_TRUE(std::any_of(ftp.ListLines.begin(), ftp.ListLines.end(),
                            [](std::string_view l) { return l.find("up.bin") != std::string_view::npos; }));
}

// A connect that must fail with a TLS error whose message says `why`.
void ExpectTlsRefusal(TIdFTP& ftp, const std::string& why) {
    try {
        ftp.Connect(true, 5000);
        ADD_FAILURE() << "connected although " << why;
    } catch (const EIdTLSError& e) {
        EXPECT_NE(std::string(e.what()).find(why), std::string::npos) << e.what();
    }
    EXPECT_FALSE(ftp.Connected());
}

class FtpTls : public ::testing::TestWithParam<bool> {
protected:
    TestCertificate certificate;
};

INSTANTIATE_TEST_SUITE_P(Modes, FtpTls, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Passive" : "Active"; });

}  // namespace

// Then an abort mid-download and mid-upload, each leaving a working session.
TEST_P(FtpTls, ExplicitTlsWithPyftpdlibMovesFilesExactlyListsAndAborts) {
    FtpServer server({.tls = "explicit", .certificateFile = certificate.CombinedFile()});
    TIdFTP ftp;
    AimAtTls(ftp, server.Host(), server.Port(), certificate.Fingerprint(), utUseExplicitTLS, GetParam());
    EngineEvents events;
    events.Attach(ftp);
    SentCommands sent;
    sent.Attach(ftp);
    ftp.Connect(true, 5000);
    const auto status = std::find_if(events.events.begin(), events.events.end(), [](const std::string& e) {
        return e.rfind("TLS connection established: TLSv1.", 0) == 0;
    });
    ASSERT_NE(status, events.events.end());
    EXPECT_NE(status->find(", TLS_"), std::string::npos) << *status;
    for (const char* command : {"PBSZ 0", "PROT P", "PASS secret"}) EXPECT_TRUE(sent.Sent(command)) << command;
    ExpectTransfersExact(ftp, [&](const std::string& name) { return server.File(name); }, "");

    TempDir::WriteFile(server.File("big.bin"), RandomBytes(20 << 20, 3));
    const auto abortSoon = [&](TIdComponent*, TWorkMode, int64_t count) {
        if (count >= 100000 && ftp.DataChannel()) ftp.Abort();
    };
    ftp.OnWork = abortSoon;
    TIdStringStream stream;
    EXPECT_THROW(ftp.Get("big.bin", stream), EIdTransferAborted);
    EXPECT_LT(stream.Size(), 20 << 20);
    ftp.OnWork = nullptr;
    TIdStringStream whole;
    ftp.Get("big.bin", whole);
    EXPECT_EQ(whole.Size(), 20 << 20);
    ftp.OnWork = abortSoon;
    whole.Seek(0);
    EXPECT_THROW(ftp.Put(whole, "up.bin"), EIdException);
    ftp.OnWork = nullptr;
    ftp.MakeDirectory("after");
    EXPECT_TRUE(std::filesystem::is_directory(server.File("after")));
    ftp.Quit();
    EXPECT_FALSE(ftp.Connected());
}

TEST_P(FtpTls, VsftpdWithForcedTlsAndRequiredSessionReuseServesEveryDataConnection) {
    if (!TlsVsftpdServer::Available()) GTEST_SKIP() << "vsftpd needs root and the user ftp";
    TlsVsftpdServer server(certificate.CertificateFile(), certificate.KeyFile());
    TIdFTP ftp;
    AimAtTls(ftp, server.Host(), server.Port(), certificate.Fingerprint(), utUseExplicitTLS, GetParam());
    ftp.Username = "anonymous";
    ftp.Connect(true, 5000);
    // Several data connections in a row: each must resume a session the server still accepts.
    ExpectTransfersExact(ftp, [&](const std::string& name) { return server.File(name); }, "pub/");
    ExpectTransfersExact(ftp, [&](const std::string& name) { return server.File(name); }, "pub/");
}

TEST(FtpTlsImplicit, ImplicitTlsFromTheFirstByte) {
    TestCertificate certificate;
    FtpServer server({.tls = "implicit", .certificateFile = certificate.CombinedFile()});
    TempDir::WriteFile(server.File("a.txt"), "implicit");
    TIdFTP ftp;
    AimAtTls(ftp, server.Host(), server.Port(), certificate.Fingerprint(), utUseImplicitTLS);
    SentCommands sent;
    sent.Attach(ftp);
    ftp.Connect(true, 5000);
    EXPECT_FALSE(sent.Sent("AUTH"));
    TIdStringStream stream;
    ftp.Get("a.txt", stream);
    EXPECT_EQ(stream.Bytes(), "implicit");
}

TEST(FtpTlsRefused, AServerWithoutTlsEndsTheConnectBeforeTheLogin) {
    FtpServer server;
    TIdFTP ftp;
    AimAtTls(ftp, server.Host(), server.Port());
    SentCommands sent;
    sent.Attach(ftp);
    ExpectTlsRefusal(ftp, "refused AUTH TLS");
    EXPECT_FALSE(sent.Sent("USER"));
}

// Unknown: asked, refused, then accepted and stored; stored in another spelling (lower case
// without colons): not asked; stored for another certificate: asked as a changed one.
TEST(FtpTlsTrust, TheFingerprintQuestionAndTheStoredAnswer) {
    TestCertificate certificate("ftp.test");
    FtpServer server({.tls = "explicit", .certificateFile = certificate.CombinedFile()});
    TIdFTP ftp;
    AimAtTls(ftp, server.Host(), server.Port());
    std::vector<TIdCertificateInfo> asked;
    bool answer = false;
    ftp.OnVerifyCertificate = [&](TIdFTP*, const TIdCertificateInfo& info) {
        asked.push_back(info);
        return answer;
    };
    EXPECT_THROW(ftp.Connect(true, 5000), EIdTLSError);
    EXPECT_FALSE(ftp.Connected());
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].Fingerprint, certificate.Fingerprint());
    EXPECT_EQ(asked[0].Subject, "CN=ftp.test");
    EXPECT_EQ(asked[0].Issuer, "CN=ftp.test");
    EXPECT_FALSE(asked[0].Problem.empty());
    EXPECT_FALSE(asked[0].Changed);
    EXPECT_TRUE(ftp.TrustedFingerprint.empty());

    answer = true;
    ftp.Connect(true, 5000);
    EXPECT_EQ(asked.size(), 2u);
    EXPECT_EQ(ftp.TrustedFingerprint, certificate.Fingerprint());
    ftp.Quit();

    std::string typed;
    for (char c : certificate.Fingerprint())
        if (c != ':') typed += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    ftp.TrustedFingerprint = typed;
    ftp.Connect(true, 5000);
    EXPECT_EQ(asked.size(), 2u);
    ftp.Quit();

    const std::string other = TestCertificate().Fingerprint();
    ftp.TrustedFingerprint = other;
    answer = false;
    ExpectTlsRefusal(ftp, "changed");
    ASSERT_EQ(asked.size(), 3u);
    EXPECT_TRUE(asked[2].Changed);
    EXPECT_EQ(asked[2].Fingerprint, certificate.Fingerprint());
    EXPECT_EQ(ftp.TrustedFingerprint, other);
}

TEST(FtpTlsHostile, AStalledHandshakeEndsWithinTheTimeOut) {
    ScriptedPeer peer;
    peer.Send("220 ready\r\n").Reply("234 go ahead\r\n").Pause(1500).Close().Start();
    TIdFTP ftp;
    AimAtTls(ftp, "127.0.0.1", peer.Port());
    ftp.ReadTimeout = 500;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_THROW(ftp.Connect(true, 2000), EIdReadTimeout);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(2500));
    EXPECT_FALSE(ftp.Connected());
}

TEST(FtpTlsHostile, GarbageInsteadOfTlsAndPlainTextInjectedBeforeTheHandshakeAreRefused) {
    for (const std::string& afterAuth : {std::string("234 go ahead\r\n"), std::string("234 go ahead\r\n230 injected\r\n")}) {
        ScriptedPeer peer;
        peer.Send("220 ready\r\n").Reply(afterAuth).Pause(100).Send("this is not a TLS record\r\n").Pause(500).Close().Start();
        TIdFTP ftp;
        AimAtTls(ftp, "127.0.0.1", peer.Port());
        ftp.ReadTimeout = 2000;
        EXPECT_THROW(ftp.Connect(true, 2000), EIdTLSError) << afterAuth;
        EXPECT_FALSE(ftp.Connected());
    }
}

TEST(FtpTlsHostile, AHugeCertificateChainIsRefused) {
    TestCertificate certificate;
    // Far beyond any real chain: the handshake refuses it before it is all held in memory.
    std::string chain = TempDir::ReadFile(certificate.CombinedFile());
    const std::string one = TempDir::ReadFile(certificate.CertificateFile());
    for (int i = 0; i < 400; ++i) chain += one;
    TempDir dir;
    TempDir::WriteFile(dir.File("chain.pem"), chain);
    FtpServer server({.tls = "explicit", .certificateFile = dir.File("chain.pem")});
    TIdFTP ftp;
    AimAtTls(ftp, server.Host(), server.Port(), certificate.Fingerprint());
    EXPECT_THROW(ftp.Connect(true, 5000), EIdTLSError);
    EXPECT_FALSE(ftp.Connected());
}

TEST(FtpTlsHostile, ADownloadCutWithoutTlsShutdownIsAnErrorNotACompleteFile) {
    TestCertificate certificate;
    FtpServer server({.tls = "cut", .certificateFile = certificate.CombinedFile()});
    TempDir::WriteFile(server.File("a.bin"), RandomBytes(100000, 4));
    TIdFTP ftp;
    AimAtTls(ftp, server.Host(), server.Port(), certificate.Fingerprint());
    ftp.Connect(true, 5000);
    TIdStringStream stream;
    try {
        ftp.Get("a.bin", stream);
        FAIL() << "a cut download counted as complete";
    } catch (const EIdTLSError& e) {
        EXPECT_NE(std::string(e.what()).find("without TLS shutdown"), std::string::npos) << e.what();
    }
    EXPECT_EQ(ftp.CurrentDirectory(), "/");
}
