#include "ftp/IdFTP.h"

#include "ftp/IdException.h"
#include "ftp/IdText.h"

TIdFTP::TIdFTP() {
    Port = 21;
    // No server may hold a command for ever; the window and marlux-ftp set their own limit.
    ReadTimeout = DefaultReadTimeoutMs;
}

TIdFTP::~TIdFTP() = default;

void TIdFTP::Connect(bool autoLogin, int timeoutMs) {
    try {
        const std::string serverHost = Host;
        const int serverPort = Port;
        if (ProxySettings.ProxyType != fpcmNone && !ProxySettings.Host.empty()) {
            Host = ProxySettings.Host;
            Port = ProxySettings.Port;
        }
        try {
            TIdTCPClient::Connect(timeoutMs);
        } catch (...) {
            Host = serverHost;
            Port = serverPort;
            throw;
        }
        Host = serverHost;
        Port = serverPort;
        extendedPassive_ = false;
        controlFingerprint_.clear();
        Features.clear();
        mlsdRefused_ = false;
        pendingSizeChecks_.reset();
        NameCodec.Restart();

        if (UseTLS == utUseImplicitTLS) SecureControlConnection();
        ReadReply({220});
        WelcomeReply = LastReply;
        if (UseTLS == utUseExplicitTLS) {
            // Never a silent fall back to plain text: the password would travel in clear.
            if (SendCommand("AUTH TLS") != 234)
                throw EIdTLSError("The server refused AUTH TLS: " + LastReply.JoinedText());
            SecureControlConnection();
        }
        if (autoLogin) {
            Login();
            RequestFeatures();
            if (OnAfterClientLogin) OnAfterClientLogin(this);
            if (SendCommand("SYST", {200, 215, 500}) == 500)
                SystemName = "Unknown";
            else
                SystemName = LastReply.Text.empty() ? std::string() : LastReply.Text.front();
            ReportStatus(stReady, "Connection established");
        }
    } catch (...) {
        Disconnect();
        throw;
    }
}

void TIdFTP::SetTransferType(TIdFTPTransferType type) {
    if (type == transferType_ || dataChannel_) return;
    transferType_ = type;
    if (Connected()) SendTransferType();
}

void TIdFTP::SendTransferType() { SendCommand(transferType_ == ftASCII ? "TYPE A" : "TYPE I", {200}); }

void TIdFTP::ChangeDirectory(const std::string& directory) { SendCommand("CWD " + directory, {200, 250}); }

void TIdFTP::ChangeToParent() { SendCommand("CDUP", {200, 250}); }

std::string TIdFTP::CurrentDirectory() {
    SendCommand("PWD", {257});
    return LastReply.Text.empty() ? std::string() : QuotedPath(LastReply.Text.front());
}

void TIdFTP::MakeDirectory(const std::string& directory) { SendCommand("MKD " + directory, {257}); }

void TIdFTP::RemoveDirectory(const std::string& directory) { SendCommand("RMD " + directory, {250}); }

void TIdFTP::DeleteFile(const std::string& name) { SendCommand("DELE " + name, {250}); }

void TIdFTP::RenameFile(const std::string& oldName, const std::string& newName) {
    SendCommand("RNFR " + oldName, {350});
    SendCommand("RNTO " + newName, {250});
}

void TIdFTP::SiteCommand(const std::string& command) { SendCommand("SITE " + command, {200}); }

int64_t TIdFTP::FileSize(const std::string& name) {
    if (SendCommand("SIZE " + name) != 213) return -1;
    return SizeFromReplyText(LastReply.JoinedText());
}

bool TIdFTP::ResumeSupported() {
    if (!resumeProbed_) {
        resumeSupported_ = SendCommand("REST 1") == 350;
        SendCommand("REST 0");
        resumeProbed_ = true;
    }
    return resumeSupported_;
}

void TIdFTP::Quit() {
    if (Connected()) {
        // Its reply, and any still due from a wait that was given up, are not waited for.
        SendCommandAhead("QUIT");
        EndTls(false);
    }
    Disconnect();
}

void TIdFTP::Disconnect() {
    // Ends a running transfer also when the control connection is already gone.
    CloseDataChannel();
    ForgetListing();
    TIdTCPClient::Disconnect();
}

void TIdFTP::DropSocket() {
    CloseDataChannel();
    ForgetListing();
    TIdTCPClient::DropSocket();
}

void TIdFTP::Abort() {
    // One ABOR per transfer: a second would be answered after the first's replies and be taken
    // for the next command's.
    if (Connected() && !abortSent_) {
        WriteLine("ABOR");
        abortSent_ = dataChannel_ != nullptr;
    }
    CloseDataChannel();
}

void TIdFTP::ForgetListing() {
    ListLines.clear();
    parsedListing_.reset();
}

void TIdFTP::CloseDataChannel() {
    if (dataChannel_) dataChannel_->DropSocket();
}

std::string QuotedPath(const std::string& line) {
    size_t open = line.find('"');
    if (open == std::string::npos) return {};
    size_t close = line.find('"', open + 1);
    if (close == std::string::npos) return {};
    return line.substr(open + 1, close - open - 1);
}

int64_t SizeFromReplyText(const std::string& text) {
    std::string_view rest = Trim(text);
    size_t blank = rest.find(' ');
    if (blank != std::string_view::npos) rest.remove_prefix(blank + 1);
    return StrToInt64Def(rest, -1);
}
