#include "sftp/SftpTestSession.h"

#include "fixtures/ClosedPort.h"
#include "fixtures/FtpServer.h"
#include "sftp/SftpException.h"
#include "sftp/SftpFingerprint.h"

#include <chrono>
#include <gtest/gtest.h>

namespace {

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

}  // namespace

// The log names the method but no secret; failures are clear, and a key's passphrase is never
// sent as a password.
TEST(SftpLogin, LogsInByPasswordOrKeyAndRefusesClearlyWithoutLeakingASecret)
{
    SshServer server;
    const std::string plainKey = server.AddClientKey("plain", "");
    const std::string lockedKey = server.AddClientKey("locked", "key phrase");

    SftpTestSession byPassword(server);
    byPassword.Connect();
    EXPECT_TRUE(Contains(byPassword.log, "Authenticated by password"));
    EXPECT_EQ(byPassword.CurrentDirectory(), server.Root());

    SftpTestSession byKey(server, plainKey, "");
    byKey.Connect();
    EXPECT_TRUE(Contains(byKey.log, "Authenticated by public key"));

    SftpTestSession byLockedKey(server, lockedKey, "key phrase");
    byLockedKey.Connect();
    EXPECT_TRUE(Contains(byLockedKey.log, "Authenticated by public key"));

    for (const SftpTestSession* session : {&byPassword, &byKey, &byLockedKey}) {
        EXPECT_FALSE(Contains(session->log, SshServer::TestPassword));
        EXPECT_FALSE(Contains(session->log, "key phrase"));
    }

    SftpTestSession wrongPassword(server, {}, "wrong");
    try {
        wrongPassword.Connect();
        FAIL() << "logged in with a wrong password";
    } catch (const ESftpAuthenticationError& e) {
        EXPECT_TRUE(Contains(e.what(), "password")) << e.what();
    }
    EXPECT_FALSE(wrongPassword.Connected());

    SftpTestSession wrongPassphrase(server, lockedKey, "not it");
    EXPECT_THROW(wrongPassphrase.Connect(), ESftpAuthenticationError);

    // A key the server does not know, with the account's password as its "passphrase": the
    // password login that would succeed is not tried, since it would hand the passphrase over.
    SshServer other;
    const std::string unknownKey = other.AddClientKey("unknown", SshServer::TestPassword);
    SftpTestSession keyed(server, unknownKey, SshServer::TestPassword);
    EXPECT_THROW(keyed.Connect(), ESftpAuthenticationError);

    SftpTestSession missingKey(server, server.ConfigDir() + "/no-such-key", "");
    EXPECT_THROW(missingKey.Connect(), ESftpAuthenticationError);
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

TEST(SftpHostKey, AnUnknownKeyIsAskedAboutAndKeptWhenTrustedAChangedOneRefused)
{
    SshServer server;
    SftpTestSession session(server);
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
    try {
        changed.Connect();
        FAIL() << "connected to a changed host key";
    } catch (const ESftpHostKeyChanged& e) {
        EXPECT_EQ(e.Trusted, trusted);
        EXPECT_EQ(e.Presented, server.HostKeyFingerprint());
        EXPECT_TRUE(Contains(e.what(), trusted) && Contains(e.what(), server.HostKeyFingerprint()));
    }
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

TEST(SftpConnect, FailuresBeforeTheLoginAreClearAndBounded)
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
        const auto start = std::chrono::steady_clock::now();
        EXPECT_THROW(session.Connect(2000), EIdException);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
        EXPECT_FALSE(session.Connected());
    }

    session.Port = server.Port();
    session.Connect();
    EXPECT_THROW(session.Connect(), EIdAlreadyConnected);
}
