#pragma once
#include "ftp/IdTCPClient.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

enum TIdFTPTransferType { ftASCII, ftBinary };

enum TIdFtpProxyType {
    fpcmNone,
    fpcmUserSite,
    fpcmSite,
    fpcmOpen,
    fpcmUserPass,
    fpcmTransparent,
    fpcmHttpProxyWithFtp,
};

struct TIdFtpProxySettings {
    TIdFtpProxyType ProxyType = fpcmNone;
    std::string Host;
    std::string UserName;
    std::string Password;
    int Port = 0;
};

// The FTP client: a control connection that speaks the FTP command language. Arguments go into
// the command lines byte for byte, without quoting or conversion.
class TIdFTP : public TIdTCPClient {
public:
    TIdFTP();
    ~TIdFTP() override;

    std::string Username;
    std::string Password;
    bool Passive = false;
    TIdFtpProxySettings ProxySettings;
    std::function<void(TIdFTP* sender)> OnAfterClientLogin;

    TIdRFCReply LoginReply;
    std::string SystemName;

    // Connects (to the proxy when one is set), reads the 220 greeting and logs in. Any failure
    // disconnects and is raised again.
    void Connect(bool autoLogin = true, int timeoutMs = -1);
    void Login();

    TIdFTPTransferType TransferType() const { return transferType_; }
    // Stores and sends a new type; ignored while a data channel is open.
    void SetTransferType(TIdFTPTransferType type);
    void SendTransferType();

    void ChangeDirectory(const std::string& directory);
    void ChangeToParent();
    std::string CurrentDirectory();
    void MakeDirectory(const std::string& directory);
    void RemoveDirectory(const std::string& directory);
    void DeleteFile(const std::string& name);
    void RenameFile(const std::string& oldName, const std::string& newName);
    void SiteCommand(const std::string& command);
    // The size from a 213 reply, -1 for any other reply or a text that is not a number.
    int64_t FileSize(const std::string& name);
    // Probes REST once per object; later calls answer from the first probe.
    bool ResumeSupported();

    void Quit();
    void Abort();

protected:
    // The open data connection of a transfer, if any.
    std::unique_ptr<TIdTCPConnection> dataChannel_;

private:
    void SendUser(const std::string& userLine, const std::string& passLine);
    void ProxyLoginStep();

    TIdFTPTransferType transferType_ = ftBinary;
    bool resumeProbed_ = false;
    bool resumeSupported_ = false;
};

// The path between the first two double quotes of a PWD reply line, empty without them.
std::string QuotedPath(const std::string& line);
// The number after the first blank of a SIZE reply's trimmed text, -1 when it is not a number.
int64_t SizeFromReplyText(const std::string& text);
