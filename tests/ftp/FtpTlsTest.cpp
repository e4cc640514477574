#include "EngineSessions.h"
#include "fixtures/RandomBytes.h"
#include "fixtures/TestCertificate.h"
#include "fixtures/VsftpdServer.h"
#include "ftp/IdException.h"

#include <algorithm>
#include <chrono>
#include <gtest/gtest.h>

namespace {

// Points the FTP object at a TLS server as the fixture's user, trusting `fingerprint`.
void AimAtTls(TIdFTP& ftp, const std::string& host, int port, const std::string& fingerprint = {},
              bool passive = true) {
    AimAtServer(ftp, host, port, passive);
    ftp.UseTLS = utUseExplicitTLS;
    ftp.TrustedFingerprint = fingerprint;
}

// Put byte for byte (to `serverCopy` on the server's disk), a resumed download and a listing of
// the folder `prefix`, on a logged-in session.
void ExpectTransfersExact(TIdFTP& ftp, const std::string& serverCopy, const std::string& prefix) {
    TempDir local;
    const std::string bytes = RandomBytes(3 << 20, 7);
    TempDir::WriteFile(local.File("up.bin"), bytes);
    ftp.Put(local.File("up.bin"), prefix + "up.bin");
    EXPECT_TRUE(TempDir::ReadFile(serverCopy) == bytes);
    TempDir::WriteFile(local.File("part.bin"), bytes.substr(0, 1000000));
    ftp.Get(prefix + "up.bin", local.File("part.bin"), false, true);
    EXPECT_TRUE(TempDir::ReadFile(local.File("part.bin")) == bytes);
    ftp.List(nullptr, prefix);
    EXPECT_TRUE(std::any_of(ftp.ListLines.begin(), ftp.ListLines.end(),
                            [](std::string_view l) { return l.find("up.bin") != std::string_view::npos; }));
}

// A connect that must fail with a TLS error, leaving nothing connected.
void ExpectTlsRefusal(TIdFTP& ftp) {
    EXPECT_THROW(ftp.Connect(true, 5000), EIdTLSError);
    EXPECT_FALSE(ftp.Connected());
}

// A scripted server that answers AUTH TLS with `authReply` instead of a handshake: the connect
// fails within the read time-out and the user name never goes out in the clear.
void ExpectHandshakeRefused(const std::string& authReply, int readTimeoutMs) {
    ScriptedPeer peer;
    peer.Send("220 ready\r\n").Reply(authReply).Start();
    TIdFTP ftp;
    AimAtTls(ftp, "127.0.0.1", peer.Port());
    ftp.ReadTimeout = readTimeoutMs;
    EXPECT_LT(Timed([&] { EXPECT_THROW(ftp.Connect(true, 2000), EIdException) << authReply; }), std::chrono::milliseconds(1400));
    EXPECT_FALSE(ftp.Connected());
    peer.Wait();
    for (const std::string& line : peer.Lines()) EXPECT_NE(line.rfind("USER", 0), 0u) << authReply;
}

class FtpTls : public ::testing::TestWithParam<bool> {
protected:
    TestCertificate certificate;
};

INSTANTIATE_TEST_SUITE_P(Modes, FtpTls, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Passive" : "Active"; });

}  // namespace

// The certificate: unknown, asked and refused, then accepted and stored; stored for another
// certificate, asked as a changed one; stored, not asked. Then files move byte for byte, a
// listing comes, and an abort mid-download and mid-upload, from the work events, each leaves a
// working session.
TEST_P(FtpTls, ExplicitTlsWithPyftpdlibAsksTrustMovesFilesExactlyListsAndAborts) {
    FtpServer server({.tls = "explicit", .certificateFile = certificate.CombinedFile()});
    TIdFTP ftp;
    AimAtTls(ftp, server.Host(), server.Port(), {}, GetParam());
    std::vector<TIdCertificateInfo> asked;
    bool answer = false;
    ftp.OnVerifyCertificate = [&](TIdFTP*, const TIdCertificateInfo& info) {
        asked.push_back(info);
        return answer;
    };
    ExpectTlsRefusal(ftp);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].Fingerprint, certificate.Fingerprint());
    EXPECT_EQ(asked[0].Subject, "CN=localhost");
    EXPECT_FALSE(asked[0].Changed);
    EXPECT_TRUE(ftp.TrustedFingerprint.empty());

    answer = true;
    ftp.Connect(true, 5000);
    EXPECT_EQ(ftp.TrustedFingerprint, certificate.Fingerprint());
    ftp.Quit();

    const std::string other = TestCertificate().Fingerprint();
    ftp.TrustedFingerprint = other;
    answer = false;
    ExpectTlsRefusal(ftp);
    ASSERT_EQ(asked.size(), 3u);
    EXPECT_TRUE(asked[2].Changed);
    EXPECT_EQ(ftp.TrustedFingerprint, other);

    ftp.TrustedFingerprint = certificate.Fingerprint();
    SentCommands sent;
    sent.Attach(ftp);
    ftp.Connect(true, 5000);
    EXPECT_EQ(asked.size(), 3u);
    for (const char* command : {"PBSZ 0", "PROT P", "PASS secret"}) EXPECT_TRUE(sent.Sent(command)) << command;
    ExpectTransfersExact(ftp, server.File("up.bin"), "");

    TempDir::WriteFile(server.File("big.bin"), RandomBytes(20 << 20, 3));
    ftp.OnWork = [&](TIdComponent*, TWorkMode, int64_t count) {
        if (count >= 100000 && ftp.DataChannel()) ftp.Abort();
    };
    TIdStringStream stream;
    EXPECT_THROW(ftp.Get("big.bin", stream), EIdTransferAborted);
    EXPECT_LT(stream.Size(), 20 << 20);
    stream.Write(std::string(20 << 20, 'u').data(), 20 << 20);
    stream.Seek(0);
    EXPECT_THROW(ftp.Put(stream, "up.bin"), EIdException);
    ftp.OnWork = nullptr;
    EXPECT_EQ(ftp.CurrentDirectory(), "/");
}

// Three data connections in a row: each must resume a session the server still accepts.
TEST_P(FtpTls, VsftpdWithForcedTlsAndRequiredSessionReuseServesEveryDataConnection) {
    VsftpdServer server(certificate.CertificateFile(), certificate.KeyFile());
    TIdFTP ftp;
    AimAtTls(ftp, server.Host(), server.Port(), certificate.Fingerprint(), GetParam());
    ftp.Username = "anonymous";
    ftp.Connect(true, 5000);
    ExpectTransfersExact(ftp, server.File("up.bin"), "pub/");
}

// A server without TLS, a stalled handshake (ended at the time-out), garbage or plain text
// injected before the handshake are refused; so is a chain far beyond any real one, before it
// is all held in memory.
TEST(FtpTlsHostile, NoTlsAStalledGarbledOrInjectedHandshakeOrAHugeChainIsRefused) {
    ExpectHandshakeRefused("500 AUTH not understood\r\n", 5000);
    ExpectHandshakeRefused("234 go ahead\r\n", 500);
    ExpectHandshakeRefused("234 go ahead\r\nthis is not a TLS record\r\n", 5000);
    ExpectHandshakeRefused("234 go ahead\r\n230 injected\r\nthis is not a TLS record\r\n", 5000);

    TestCertificate certificate;
    std::string chain = TempDir::ReadFile(certificate.CombinedFile());
    for (int i = 0; i < 400; ++i) chain += TempDir::ReadFile(certificate.CertificateFile());
    TempDir dir;
    TempDir::WriteFile(dir.File("chain.pem"), chain);
    FtpServer server({.tls = "explicit", .certificateFile = dir.File("chain.pem")});
    TIdFTP ftp;
    AimAtTls(ftp, server.Host(), server.Port(), certificate.Fingerprint());
    ExpectTlsRefusal(ftp);
}

TEST(FtpTlsHostile, ADownloadCutWithoutTlsShutdownIsAnErrorNotACompleteFile) {
    TestCertificate certificate;
    FtpServer server({.tls = "cut", .certificateFile = certificate.CombinedFile()});
    TempDir::WriteFile(server.File("a.bin"), RandomBytes(100000, 4));
    TIdFTP ftp;
    AimAtTls(ftp, server.Host(), server.Port(), certificate.Fingerprint());
    ftp.Connect(true, 5000);
    TIdStringStream stream;
    EXPECT_THROW(ftp.Get("a.bin", stream), EIdTLSError);
    EXPECT_EQ(ftp.CurrentDirectory(), "/");
}
