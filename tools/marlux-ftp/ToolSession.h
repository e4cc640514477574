#pragma once
#include "ToolCommandLine.h"
#include "ftp/IdFTPList.h"
#include "platform/NameCodec.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TRemoteEngine;

// What the tool's commands need of a session: the FTP and the SFTP engine both provide it, so
// that every command is written once.
class TToolSession {
public:
    virtual ~TToolSession() = default;

    virtual void Connect() = 0;
    virtual void Quit() = 0;

    virtual std::string CurrentDirectory() = 0;
    virtual void ChangeDirectory(const std::string& directory) = 0;
    virtual void ChangeToParent() = 0;
    virtual void MakeDirectory(const std::string& directory) = 0;
    virtual void RemoveDirectory(const std::string& directory) = 0;
    virtual void DeleteFile(const std::string& name) = 0;
    virtual void RenameFile(const std::string& oldName, const std::string& newName) = 0;
    virtual void SiteCommand(const std::string& command) = 0;
    virtual int64_t FileSize(const std::string& name) = 0;
    virtual bool ResumeSupported() = 0;
    virtual void Get(const std::string& remote, const std::string& local, bool mayOverwrite, bool resume) = 0;
    virtual void Put(const std::string& local, const std::string& remote, bool append) = 0;

    // How the transfer just made was checked: "verified (SHA-256)", "not verified: REASON".
    virtual std::string VerificationLine() = 0;

    // What the server says it is.
    virtual std::string SystemName() = 0;
    virtual const TIdFTPListItems& ListDirectory(const std::string& mask) = 0;
    // The server's own lines for the entries: names only, or with details.
    virtual std::vector<std::string> ListLines(const std::string& mask, bool details) = 0;
    virtual TNameCodec& NameCodec() = 0;
    // Lists the current folder, so that NameCodec learns the server's encoding.
    virtual void LearnNameEncoding() = 0;
    // The same connection as the window's folder walks use it.
    virtual TRemoteEngine& RemoteEngine() = 0;
};

// The engine each is for, set up from the options; nothing is sent before Connect.
std::unique_ptr<TToolSession> MakeFtpToolSession(const ToolOptions& options);
std::unique_ptr<TToolSession> MakeSftpToolSession(const ToolOptions& options);
