#include "EngineEvents.h"
#include "SentCommands.h"
#include "fixtures/FtpServer.h"
#include "fixtures/RandomBytes.h"
#include "fixtures/ScriptedPeer.h"
#include "fixtures/TestCertificate.h"
#include "fixtures/TlsVsftpdServer.h"
#include "ftp/IdException.h"
#include "ftp/IdFTP.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <random>

namespace {

FtpServer::Options TlsServer(const std::string& mode, const std::string& certificateFile) {
    FtpServer::Options options;
    options.tls = mode;
    options.certificateFile = certificateFile;
    return options;
}

void Configure(TIdFTP& ftp, const std::string& host, int port, TIdUseTLS tls, bool passive) {
    AimAtServer(ftp, host, port, passive);
    ftp.UseTLS = tls;
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
    const auto& lines = ftp.ListLines;
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](std::string_view l) { return l.find("up.bin") != std::string_view::npos; }));
}

class FtpTls : public ::testing::TestWithParam<bool> {
protected:
    TestCertificate certificate;
};

INSTANTIATE_TEST_SUITE_P(Modes, FtpTls, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Passive" : "Active"; });

}  // namespace

TEST_P(FtpTls, ExplicitTlsWithPyftpdlibMovesFilesExactlyAndLists) {
    FtpServer server(TlsServer("explicit", certificate.CombinedFile()));
    TIdFTP ftp;
    Configure(ftp, server.Host(), server.Port(), utUseExplicitTLS, GetParam());
    ftp.TrustedFingerprint = certificate.Fingerprint();
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
    EXPECT_TRUE(sent.Sent("PBSZ 0"));
    EXPECT_TRUE(sent.Sent("PROT P"));
    EXPECT_TRUE(sent.Sent("PASS secret"));
    ExpectTransfersExact(ftp, [&](const std::string& name) { return server.File(name); }, "");
    ftp.Quit();
    EXPECT_FALSE(ftp.Connected());
}

TEST_P(FtpTls, VsftpdWithForcedTlsAndRequiredSessionReuseServesEveryDataConnection) {
    if (!TlsVsftpdServer::Available()) GTEST_SKIP() << "vsftpd needs root and the user ftp";
    TlsVsftpdServer server(certificate.CertificateFile(), certificate.KeyFile());
    TIdFTP ftp;
    Configure(ftp, server.Host(), server.Port(), utUseExplicitTLS, GetParam());
    ftp.Username = "anonymous";
    ftp.TrustedFingerprint = certificate.Fingerprint();
    ftp.Connect(true, 5000);
    // Several data connections in a row: each must resume a session the server still accepts.
    ExpectTransfersExact(ftp, [&](const std::string& name) { return server.File(name); }, "pub/");
    ExpectTransfersExact(ftp, [&](const std::string& name) { return server.File(name); }, "pub/");
}

TEST_P(FtpTls, AbortMidDownloadAndMidUploadOverTlsLeaveAWorkingSession) {
    FtpServer server(TlsServer("explicit", certificate.CombinedFile()));
    TempDir::WriteFile(server.File("big.bin"), RandomBytes(20 << 20, 3));
    TIdFTP ftp;
    Configure(ftp, server.Host(), server.Port(), utUseExplicitTLS, GetParam());
    ftp.TrustedFingerprint = certificate.Fingerprint();
    ftp.Connect(true, 5000);
    ftp.OnWork = [&](TIdComponent*, TWorkMode, int64_t count) {
        if (count >= 100000 && ftp.DataChannel()) ftp.Abort();
    };
    EngineEvents events;
    events.Attach(ftp);
    TIdStringStream stream;
    EXPECT_THROW(ftp.Get("big.bin", stream), EIdTransferAborted);
    EXPECT_LT(stream.Size(), 20 << 20);
    EXPECT_NE(std::find(events.events.begin(), events.events.end(), "Transfer aborted"), events.events.end());
    ftp.OnWork = nullptr;
    EXPECT_EQ(ftp.CurrentDirectory(), "/");
    TIdStringStream whole;
    ftp.Get("big.bin", whole);
    EXPECT_EQ(whole.Size(), 20 << 20);

    ftp.OnWork = [&](TIdComponent*, TWorkMode, int64_t count) {
        if (count >= 100000 && ftp.DataChannel()) ftp.Abort();
    };
    whole.Seek(0);
    EXPECT_THROW(ftp.Put(whole, "up.bin"), EIdException);
    ftp.OnWork = nullptr;
    ftp.MakeDirectory("after");
    EXPECT_TRUE(std::filesystem::is_directory(server.File("after")));
}

TEST(FtpTlsImplicit, ImplicitTlsFromTheFirstByte) {
    TestCertificate certificate;
    FtpServer server(TlsServer("implicit", certificate.CombinedFile()));
    TempDir::WriteFile(server.File("a.txt"), "implicit");
    TIdFTP ftp;
    Configure(ftp, server.Host(), server.Port(), utUseImplicitTLS, true);
    ftp.TrustedFingerprint = certificate.Fingerprint();
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
    Configure(ftp, server.Host(), server.Port(), utUseExplicitTLS, true);
    SentCommands sent;
    sent.Attach(ftp);
    try {
        ftp.Connect(true, 5000);
        FAIL() << "connected without TLS";
    } catch (const EIdTLSError& e) {
        EXPECT_NE(std::string(e.what()).find("refused AUTH TLS"), std::string::npos) << e.what();
    }
    EXPECT_FALSE(sent.Sent("USER"));
    EXPECT_FALSE(ftp.Connected());
}

TEST(FtpTlsTrust, TheFingerprintQuestionAnsweredBothWaysAndAStoredAnswerAskedNoMore) {
    TestCertificate certificate("ftp.test");
    FtpServer server(TlsServer("explicit", certificate.CombinedFile()));
    TIdFTP ftp;
    Configure(ftp, server.Host(), server.Port(), utUseExplicitTLS, true);
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

    // Stored in another spelling: lower case without colons.
    std::string typed;
    for (char c : certificate.Fingerprint())
        if (c != ':') typed += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    ftp.TrustedFingerprint = typed;
    ftp.Connect(true, 5000);
    EXPECT_EQ(asked.size(), 2u);
    ftp.Quit();
}

TEST(FtpTlsTrust, AChangedCertificateAsksAgainAndSaysSo) {
    TestCertificate trusted;
    TestCertificate presented;
    FtpServer server(TlsServer("explicit", presented.CombinedFile()));
    TIdFTP ftp;
    Configure(ftp, server.Host(), server.Port(), utUseExplicitTLS, true);
    ftp.TrustedFingerprint = trusted.Fingerprint();
    std::vector<TIdCertificateInfo> asked;
    ftp.OnVerifyCertificate = [&](TIdFTP*, const TIdCertificateInfo& info) {
        asked.push_back(info);
        return false;
    };
    try {
        ftp.Connect(true, 5000);
        FAIL() << "connected with a changed certificate";
    } catch (const EIdTLSError& e) {
        EXPECT_NE(std::string(e.what()).find("changed"), std::string::npos) << e.what();
    }
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_TRUE(asked[0].Changed);
    EXPECT_EQ(asked[0].Fingerprint, presented.Fingerprint());
    EXPECT_EQ(ftp.TrustedFingerprint, trusted.Fingerprint());
}

TEST(FtpTlsHostile, AStalledHandshakeEndsWithinTheTimeOut) {
    ScriptedPeer peer;
    peer.Send("220 ready\r\n").Reply("234 go ahead\r\n").Pause(1500).Close().Start();
    TIdFTP ftp;
    Configure(ftp, "127.0.0.1", peer.Port(), utUseExplicitTLS, true);
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
        Configure(ftp, "127.0.0.1", peer.Port(), utUseExplicitTLS, true);
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
    FtpServer server(TlsServer("explicit", dir.File("chain.pem")));
    TIdFTP ftp;
    Configure(ftp, server.Host(), server.Port(), utUseExplicitTLS, true);
    ftp.TrustedFingerprint = certificate.Fingerprint();
    EXPECT_THROW(ftp.Connect(true, 5000), EIdTLSError);
    EXPECT_FALSE(ftp.Connected());
}

TEST(FtpTlsHostile, ADownloadCutWithoutTlsShutdownIsAnErrorNotACompleteFile) {
    TestCertificate certificate;
    FtpServer server(TlsServer("cut", certificate.CombinedFile()));
    TempDir::WriteFile(server.File("a.bin"), RandomBytes(100000, 4));
    TIdFTP ftp;
    Configure(ftp, server.Host(), server.Port(), utUseExplicitTLS, true);
    ftp.TrustedFingerprint = certificate.Fingerprint();
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
