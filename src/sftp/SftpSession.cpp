#include "sftp/SftpSession.h"

#include "sftp/SftpException.h"
#include "sftp/SftpSiteCommand.h"

#include <libssh/libssh.h>
#include <libssh/sftp.h>

#include <algorithm>
#include <malloc.h>
#include <mutex>

namespace {

// The meaning of an SFTP status, for servers that send no text of their own.
std::string StatusMeaning(int status)
{
    switch (status) {
    case SSH_FX_EOF: return "end of file";
    case SSH_FX_NO_SUCH_FILE: return "no such file";
    case SSH_FX_PERMISSION_DENIED: return "permission denied";
    case SSH_FX_FAILURE: return "failure";
    case SSH_FX_BAD_MESSAGE: return "bad message";
    case SSH_FX_OP_UNSUPPORTED: return "operation unsupported";
    case SSH_FX_FILE_ALREADY_EXISTS: return "file already exists";
    default: return "status " + std::to_string(status);
    }
}

}  // namespace

namespace {

// libssh allocates a buffer for every packet and frees it soon after. With glibc's defaults the
// heap's top is handed back to the kernel again and again, and every page is faulted in anew:
// some downloads then took three times the processor time. Freed memory is kept instead, up to
// a bound, for the whole process (the allocator has no narrower setting).
void KeepFreedMemoryForPackets()
{
    static std::once_flag once;
    std::call_once(once, [] {
        mallopt(M_MMAP_THRESHOLD, 4 << 20);
        mallopt(M_TRIM_THRESHOLD, 64 << 20);
    });
}

}  // namespace

TSftpSession::TSftpSession() { KeepFreedMemoryForPackets(); }

TSftpSession::~TSftpSession() { Close(); }

bool TSftpSession::Connected() const { return sftp_ && !broken_; }

void TSftpSession::RequireConnected() const
{
    if (!Connected())
        throw EIdNotConnected();
}

void TSftpSession::Connect(int timeoutMs)
{
    if (Connected())
        throw EIdAlreadyConnected();
    Close();
    const int waitMs = timeoutMs > 0 ? timeoutMs : ReadTimeout;
    NameCodec.Restart();
    try {
        ssh_ = ssh_new();
        if (!ssh_)
            throw EIdConnectException("SSH session could not be created.");
        const unsigned port = static_cast<unsigned>(Port);
        const long seconds = (waitMs + 999) / 1000;
        const bool no = false;
        const int yes = 1;
        ssh_options_set(ssh_, SSH_OPTIONS_HOST, Host.c_str());
        ssh_options_set(ssh_, SSH_OPTIONS_PORT, &port);
        ssh_options_set(ssh_, SSH_OPTIONS_USER, Username.c_str());
        ssh_options_set(ssh_, SSH_OPTIONS_TIMEOUT, &seconds);
        // Read requests are small packets sent ahead: Nagle's algorithm would hold each back
        // until the server's delayed acknowledgement.
        ssh_options_set(ssh_, SSH_OPTIONS_NODELAY, &yes);
        // The caller's settings and trusted key decide, not the user's OpenSSH files.
        ssh_options_set(ssh_, SSH_OPTIONS_PROCESS_CONFIG, &no);
        ssh_options_set(ssh_, SSH_OPTIONS_KNOWNHOSTS, "/dev/null");
        ssh_options_set(ssh_, SSH_OPTIONS_GLOBAL_KNOWNHOSTS, "/dev/null");
        if (!Ciphers.empty()
            && (ssh_options_set(ssh_, SSH_OPTIONS_CIPHERS_C_S, Ciphers.c_str()) != SSH_OK
                || ssh_options_set(ssh_, SSH_OPTIONS_CIPHERS_S_C, Ciphers.c_str()) != SSH_OK))
            throw EIdConnectException("Unknown cipher list: " + Ciphers);
        ReportStatus(stConnecting, Host + ":" + std::to_string(Port));
        if (ssh_connect(ssh_) != SSH_OK)
            throw EIdConnectException(std::string("Connect failed: ") + ssh_get_error(ssh_));
        // From now on the watchdog bounds every wait; libssh's own limit lies beyond it, so
        // that a wait ends one way only.
        const long beyondReadTimeout = (std::max(waitMs, ReadTimeout) + 999) / 1000 + 1;
        ssh_options_set(ssh_, SSH_OPTIONS_TIMEOUT, &beyondReadTimeout);
        watchdog_.Start(ssh_get_fd(ssh_));
        TSftpWait wait(watchdog_, waitMs);
        if (const char* banner = ssh_get_serverbanner(ssh_))
            SystemName = banner;
        ReportStatus(stConnected);
        VerifyHostKey();
        Authenticate();
        sftp_ = sftp_new(ssh_);
        if (!sftp_ || sftp_init(sftp_) != SSH_OK) {
            if (sftp_) {
                sftp_free(sftp_);
                sftp_ = nullptr;
            }
            throw EIdConnectException(std::string("The server offers no SFTP: ") + ssh_get_error(ssh_));
        }
        // Version 3 names are the bytes on the server's disk: UTF-8 in practice, until names
        // prove otherwise.
        NameCodec.ServerUsesUtf8();
        currentDirectory_ = Canonical(".");
        ReportStatus(stStatusText, "SFTP version " + std::to_string(sftp_server_version(sftp_)) + ", in " +
                                       currentDirectory_);
    } catch (...) {
        Close();
        throw;
    }
}

void TSftpSession::Close()
{
    // The watchdog goes first, as it must not touch the socket once libssh has closed it; the
    // goodbye to a server that no longer answers is bounded by libssh's own time-out instead.
    watchdog_.Stop();
    if (ssh_) {
        const long seconds = 1;
        ssh_options_set(ssh_, SSH_OPTIONS_TIMEOUT, &seconds);
    }
    if (sftp_) {
        sftp_free(sftp_);
        sftp_ = nullptr;
    }
    if (ssh_) {
        ssh_disconnect(ssh_);
        ssh_free(ssh_);
        ssh_ = nullptr;
    }
    broken_ = false;
    listing_.Clear();
    listingLines_.clear();
}

void TSftpSession::Disconnect()
{
    if (!ssh_)
        return;
    ReportStatus(stDisconnecting);
    Close();
    ReportStatus(stDisconnected);
}

void TSftpSession::Abort() { watchdog_.RequestAbort(); }

void TSftpSession::CheckAbort()
{
    if (watchdog_.AbortRequested()) {
        ReportStatus(stAborted, "Transfer aborted");
        throw EIdTransferAborted(0);
    }
}

void TSftpSession::Fail(const std::string& what)
{
    switch (watchdog_.Fired()) {
    case TSftpWatchdog::TFired::Aborted:
        broken_ = true;
        ReportStatus(stAborted, "Transfer aborted; the connection was closed");
        throw EIdTransferAborted(0);
    case TSftpWatchdog::TFired::TimedOut:
        broken_ = true;
        throw EIdReadTimeout();
    case TSftpWatchdog::TFired::None: break;
    }
    if (ConnectionLost()) {
        const std::string reason = ssh_ ? ssh_get_error(ssh_) : "not connected";
        broken_ = true;
        throw ESftpConnectionError(what + ": the connection was lost (" + reason + ").");
    }
    const int status = sftp_ ? sftp_get_error(sftp_) : SSH_FX_FAILURE;
    std::string text = ssh_get_error(ssh_);
    if (text.rfind("SFTP server: ", 0) == 0)
        text.erase(0, 13);
    if (text.empty())
        text = StatusMeaning(status);
    throw ESftpStatusError(status, what + ": " + text);
}

bool TSftpSession::ConnectionLost() const
{
    // Without its channel the subsystem is gone even while the SSH connection stays.
    return !ssh_ || !ssh_is_connected(ssh_)
           || (sftp_ && (!ssh_channel_is_open(sftp_->channel) || ssh_channel_is_eof(sftp_->channel)));
}

std::string TSftpSession::Resolved(const std::string& name) const
{
    // libssh takes C strings: the name would end at the NUL and name another file.
    if (name.find('\0') != std::string::npos)
        throw EIdException("Name refused: it contains a NUL byte.");
    if (name.empty())
        return currentDirectory_;
    if (name.front() == '/')
        return name;
    return currentDirectory_ == "/" ? "/" + name : currentDirectory_ + "/" + name;
}

std::string TSftpSession::Canonical(const std::string& path)
{
    char* real = sftp_canonicalize_path(sftp_, path.c_str());
    if (!real)
        Fail(path);
    std::string result = real;
    ssh_string_free_char(real);
    return result;
}

void TSftpSession::ChangeDirectory(const std::string& directory)
{
    RequireConnected();
    TSftpWait wait(watchdog_, ReadTimeout);
    const std::string path = Canonical(Resolved(directory));
    sftp_attributes attributes = sftp_stat(sftp_, path.c_str());
    if (!attributes)
        Fail(directory);
    const bool isDirectory = attributes->type == SSH_FILEXFER_TYPE_DIRECTORY;
    sftp_attributes_free(attributes);
    if (!isDirectory)
        throw ESftpStatusError(SSH_FX_NO_SUCH_FILE, directory + ": not a directory");
    currentDirectory_ = path;
}

void TSftpSession::ChangeToParent() { ChangeDirectory(".."); }

void TSftpSession::MakeDirectory(const std::string& directory)
{
    RequireConnected();
    TSftpWait wait(watchdog_, ReadTimeout);
    if (sftp_mkdir(sftp_, Resolved(directory).c_str(), 0755) != SSH_OK)
        Fail(directory);
}

void TSftpSession::RemoveDirectory(const std::string& directory)
{
    RequireConnected();
    TSftpWait wait(watchdog_, ReadTimeout);
    if (sftp_rmdir(sftp_, Resolved(directory).c_str()) != SSH_OK)
        Fail(directory);
}

void TSftpSession::DeleteFile(const std::string& name)
{
    RequireConnected();
    TSftpWait wait(watchdog_, ReadTimeout);
    if (sftp_unlink(sftp_, Resolved(name).c_str()) != SSH_OK)
        Fail(name);
}

void TSftpSession::RenameFile(const std::string& oldName, const std::string& newName)
{
    RequireConnected();
    TSftpWait wait(watchdog_, ReadTimeout);
    const std::string target = Resolved(newName);
    // Version 3 rename refuses an existing target on OpenSSH; asking first gives every server
    // that refusal, with a clear message.
    if (sftp_attributes existing = sftp_lstat(sftp_, target.c_str())) {
        sftp_attributes_free(existing);
        throw EIdFTPFileAlreadyExists();
    }
    if (sftp_get_error(sftp_) != SSH_FX_NO_SUCH_FILE)
        Fail(newName);
    if (sftp_rename(sftp_, Resolved(oldName).c_str(), target.c_str()) != SSH_OK)
        Fail(oldName);
}

void TSftpSession::Chmod(const std::string& name, unsigned mode)
{
    RequireConnected();
    if (mode > 07777)
        throw EIdException("Invalid mode: " + std::to_string(mode));
    TSftpWait wait(watchdog_, ReadTimeout);
    if (sftp_chmod(sftp_, Resolved(name).c_str(), mode) != SSH_OK)
        Fail(name);
}

void TSftpSession::SiteCommand(const std::string& command)
{
    const TSftpChmod chmod = ParseSiteChmod(command);
    Chmod(chmod.name, chmod.mode);
}

int64_t TSftpSession::FileSize(const std::string& name)
{
    RequireConnected();
    TSftpWait wait(watchdog_, ReadTimeout);
    sftp_attributes attributes = sftp_stat(sftp_, Resolved(name).c_str());
    if (!attributes) {
        if (ConnectionLost())
            Fail(name);
        return -1;
    }
    const int64_t size = (attributes->flags & SSH_FILEXFER_ATTR_SIZE) ? static_cast<int64_t>(attributes->size) : -1;
    sftp_attributes_free(attributes);
    return size;
}

std::optional<std::int64_t> TSftpSession::ModificationTime(const std::string& name)
{
    RequireConnected();
    TSftpWait wait(watchdog_, ReadTimeout);
    sftp_attributes attributes = sftp_stat(sftp_, Resolved(name).c_str());
    if (!attributes)
        Fail(name);
    std::optional<std::int64_t> time;
    if (attributes->flags & SSH_FILEXFER_ATTR_ACMODTIME)
        time = attributes->mtime;
    sftp_attributes_free(attributes);
    return time;
}

bool TSftpSession::SetModificationTime(const std::string& name, std::int64_t unixTime)
{
    RequireConnected();
    // Version 3 carries times as unsigned 32-bit seconds.
    if (unixTime < 0 || unixTime > 0xffffffffLL)
        return false;
    TSftpWait wait(watchdog_, ReadTimeout);
    const timeval times[2] = {{static_cast<time_t>(unixTime), 0}, {static_cast<time_t>(unixTime), 0}};
    if (sftp_utimes(sftp_, Resolved(name).c_str(), times) == SSH_OK)
        return true;
    if (ConnectionLost())
        Fail(name);
    return false;
}

void TSftpSession::FileCloser::operator()(sftp_file_struct* file) const { sftp_close(file); }

TSftpSession::TRemoteFile TSftpSession::OpenRemote(const std::string& path, int access, unsigned mode)
{
    sftp_file file = sftp_open(sftp_, Resolved(path).c_str(), access, mode);
    if (!file)
        Fail(path);
    return TRemoteFile(file);
}
