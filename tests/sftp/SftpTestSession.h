#pragma once
#include "fixtures/SshServer.h"
#include "sftp/SftpSession.h"

#include <gtest/gtest.h>
#include <string>

// A session set up for the fixture's server and user, trusting its host key, its status lines
// gathered in `log`.
class SftpTestSession : public TSftpSession {
public:
    explicit SftpTestSession(const SshServer& server, const std::string& key = {},
                             const std::string& password = SshServer::TestPassword)
    {
        Host = server.Host();
        Port = server.Port();
        Username = SshServer::TestUser;
        Password = password;
        PrivateKeyFile = key;
        TrustedFingerprint = server.HostKeyFingerprint();
        ReadTimeout = 10000;
        OnStatus = [this](TIdComponent*, TIdStatus, const std::string& text) { log += text + "\n"; };
    }

    std::string log;
};

// A fresh server, a local folder and a session logged in to the server.
class SftpConnected : public ::testing::Test {
protected:
    void SetUp() override { session.Connect(); }

    SshServer server;
    TempDir local;
    SftpTestSession session{server};
};
