#pragma once
#include "ToolCommandLine.h"
#include "service/RemoteEngine.h"

#include <memory>
#include <string>
#include <vector>

// A session of the tool: the same connection as the window's jobs use (RemoteEngine), plus
// what only the command line shows of it. The FTP and the SFTP engine both provide it, so
// that every command is written once.
class TToolSession {
public:
    explicit TToolSession(int timeoutMs) : timeoutMs_(timeoutMs) {}
    virtual ~TToolSession() = default;

    virtual TRemoteEngine& RemoteEngine() = 0;
    void Connect() { RemoteEngine().Connect(timeoutMs_); }
    void Quit() { RemoteEngine().Quit(); }

    // How the transfer just made was checked: "verified (SHA-256)", "not verified: REASON".
    virtual std::string VerificationLine() = 0;
    // The server's own lines for the entries: names only, or with details.
    virtual std::vector<std::string> ListLines(const std::string& mask, bool details) = 0;
    // Lists the current folder, so that the name codec learns the server's encoding.
    virtual void LearnNameEncoding() = 0;

private:
    int timeoutMs_;
};

// The engine each is for, set up from the options; nothing is sent before Connect.
std::unique_ptr<TToolSession> MakeFtpToolSession(const ToolOptions& options);
std::unique_ptr<TToolSession> MakeSftpToolSession(const ToolOptions& options);
