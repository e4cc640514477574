#include "sftp/SftpTestSession.h"

#include "fixtures/ClosedPort.h"
#include "ftp/EngineSessions.h"
#include "sftp/SftpException.h"
#include "sftp/SftpFingerprint.h"

#include <chrono>
#include <gtest/gtest.h>
#include <tuple>

namespace {

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

}  // namespace

// The log names the method but no secret; failures are clear, and a key's passphrase is never
// sent as a password: a key the server does not know, with the account's password as its
// "passphrase", does not fall back to the password login that would succeed.
TEST(SftpLogin, LogsInByPasswordOrKeyAndRefusesClearlyWithoutLeakingASecret)
{
    SshServer server, other;
    const std::string plainKey = server.AddClientKey("plain", "");
    const std::string lockedKey = server.AddClientKey("locked", "key phrase");
    const std::string unknownKey = other.AddClientKey("unknown", SshServer::TestPassword);
    for (const auto& [key, password, method] : {std::tuple{std::string(), std::string(SshServer::TestPassword), "password"},
                                                {plainKey, "", "public key"}, {lockedKey, "key phrase", "public key"}}) {
        SftpTestSession session(server, key, password);
        session.Connect();
        EXPECT_TRUE(Contains(session.log, std::string("Authenticated by ") + method)) << session.log;
        EXPECT_EQ(session.CurrentDirectory(), server.Root());
        EXPECT_FALSE(Contains(session.log, SshServer::TestPassword));
        EXPECT_FALSE(Contains(session.log, "key phrase"));
    }

    SftpTestSession wrongPassword(server, {}, "wrong");
    const auto refused = Caught<ESftpAuthenticationError>([&] { wrongPassword.Connect(); });
    ASSERT_TRUE(refused);
    EXPECT_TRUE(Contains(refused->what(), "password")) << refused->what();
    EXPECT_FALSE(wrongPassword.Connected());
    for (const auto& [key, password] : {std::pair{lockedKey, std::string("not it")}, {unknownKey, SshServer::TestPassword},
                                        {server.ConfigDir() + "/no-such-key", ""}}) {
        SftpTestSession session(server, key, password);
        EXPECT_THROW(session.Connect(), ESftpAuthenticationError) << key;
    }
}

TEST(SftpLogin, AnswersKeyboardInteractivePromptsWithThePassword)
{
    SshServer server(SshServer::TLogin::KeyboardInteractive);
    SftpTestSession session(server);
    session.Connect();
    EXPECT_TRUE(Contains(session.log, "Authenticated by keyboard-interactive"));

    SftpTestSession wrong(server, {}, "wrong");
    EXPECT_THROW(wrong.Connect(), ESftpAuthenticationError);
}

// Failures before the login are clear and bounded; an unknown host key is asked about and kept
// when trusted, a changed one refused.
TEST(SftpConnect, FailsClearlyAndBoundedBeforeTheLoginAndAsksAboutUnknownHostKeysAndRefusesChangedOnes)
{
    SshServer server;
    SftpTestSession session(server);
    session.Port = ClosedLoopbackPort();
    EXPECT_THROW(session.Connect(), EIdConnectException);
    EXPECT_FALSE(session.Connected());

    // A server that speaks another protocol, and one that never answers.
    FtpServer ftp;
    UnreachableLoopbackPort silent;
    for (int port : {ftp.Port(), static_cast<int>(silent.port)}) {
        session.Port = port;
        EXPECT_LT(Timed([&] { EXPECT_THROW(session.Connect(2000), EIdException); }), std::chrono::seconds(5));
        EXPECT_FALSE(session.Connected());
    }

    session.Port = server.Port();
    session.Connect();
    EXPECT_THROW(session.Connect(), EIdAlreadyConnected);
    session.Disconnect();

    session.TrustedFingerprint.clear();
    std::string askedFingerprint, askedType;
    int asked = 0;
    session.OnVerifyHostKey = [&](TSftpSession*, const std::string& fingerprint, const std::string& type) {
        ++asked;
        askedFingerprint = fingerprint;
        askedType = type;
        return true;
    };
    session.Connect();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(askedFingerprint, server.HostKeyFingerprint());
    EXPECT_EQ(askedType, "ssh-ed25519");
    EXPECT_EQ(session.TrustedFingerprint, server.HostKeyFingerprint());
    session.Disconnect();

    // Trusted now: not asked again.
    session.Connect();
    EXPECT_EQ(asked, 1);
    session.Disconnect();

    SftpTestSession refusing(server);
    refusing.TrustedFingerprint.clear();
    refusing.OnVerifyHostKey = [](TSftpSession*, const std::string&, const std::string&) { return false; };
    EXPECT_THROW(refusing.Connect(), ESftpHostKeyNotTrusted);
    EXPECT_TRUE(refusing.TrustedFingerprint.empty());

    SftpTestSession unasked(server);
    unasked.TrustedFingerprint.clear();
    EXPECT_THROW(unasked.Connect(), ESftpHostKeyNotTrusted);

    // A changed key is refused without asking and before any login.
    const std::string trusted = server.HostKeyFingerprint();
    server.ReplaceHostKey();
    ASSERT_NE(server.HostKeyFingerprint(), trusted);
    SftpTestSession changed(server);
    changed.TrustedFingerprint = trusted;
    changed.OnVerifyHostKey = [&](TSftpSession*, const std::string&, const std::string&) { return ++asked > 0; };
    const auto e = Caught<ESftpHostKeyChanged>([&] { changed.Connect(); });
    ASSERT_TRUE(e) << "connected to a changed host key";
    EXPECT_EQ(std::pair(e->Trusted, e->Presented), std::pair(trusted, server.HostKeyFingerprint()));
    EXPECT_TRUE(Contains(e->what(), trusted) && Contains(e->what(), server.HostKeyFingerprint()));
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(changed.TrustedFingerprint, trusted);
    EXPECT_FALSE(Contains(changed.log, "Authenticated"));
}

TEST(SftpHostKey, FingerprintsCompareInOpenSshsFormOnly)
{
    const std::string key = "SHA256:uNiVztksCsDhcc0u9e8BujQXVUpKZIDTMczCvj3tD2s";
    EXPECT_EQ(NormalizeHostKeyFingerprint(" sha256:uNiVztksCsDhcc0u9e8BujQXVUpKZIDTMczCvj3tD2s= "), key);
    EXPECT_TRUE(SameFingerprint(key, "sha256:uNiVztksCsDhcc0u9e8BujQXVUpKZIDTMczCvj3tD2s"));
    // The digest is case-sensitive base64.
    EXPECT_FALSE(SameFingerprint(key, "SHA256:UNIVZTKSCSDHCC0U9E8BUJQXVUPKZIDTMCZCVJ3TD2S"));
    for (const char* bad : {"", "SHA256:", "MD5:uNiVztksCsDhcc0u9e8BujQXVUpKZIDTMczCvj3tD2s",
                            "SHA256:uNiVztksCsDhcc0u9e8BujQXVUpKZIDTMczCvj3tD2", "SHA256:uNiV?tksCsDhcc0u9e8BujQXVUpKZIDTMczCvj3tD2s"})
        EXPECT_EQ(NormalizeHostKeyFingerprint(bad), "") << bad;
    EXPECT_FALSE(SameFingerprint("", ""));
}
