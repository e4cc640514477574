#pragma once
#include "ftp/IdComponent.h"
#include "ftp/IdFTPList.h"
#include "ftp/IdStream.h"
#include "platform/NameCodec.h"
#include "sftp/SftpWatchdog.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

struct ssh_session_struct;
struct sftp_session_struct;
struct sftp_file_struct;

// An SFTP client session over libssh, with the FTP engine's operations and meanings, so that one
// service drives either engine. Paths are the server's bytes; relative ones are taken from the
// current directory, which the client keeps (SFTP has none) as the server canonicalised it.
// One command runs at a time; only Abort may be called from another thread.
class TSftpSession : public TIdComponent {
public:
    TSftpSession();
    ~TSftpSession() override;

    static constexpr int DefaultPort = 22;
    static constexpr int DefaultReadTimeoutMs = 60000;

    std::string Host;
    int Port = DefaultPort;
    std::string Username;
    // The login password; with a private key set, the key's passphrase instead (and then never
    // sent to the server).
    std::string Password;
    std::string PrivateKeyFile;
    // The host key trusted for this server, "SHA256:" and unpadded base64 as OpenSSH shows it.
    // Set to the presented key's when OnVerifyHostKey trusts it, so that the caller can store it.
    std::string TrustedFingerprint;
    // Asked about an unknown host key (none trusted yet); true trusts it. Without it an unknown
    // key ends the connect. A key other than the trusted one is refused without asking.
    std::function<bool(TSftpSession* sender, const std::string& fingerprint, const std::string& keyType)>
        OnVerifyHostKey;
    // The longest wait without progress, in ms, for every exchange after the connect.
    int ReadTimeout = DefaultReadTimeoutMs;
    // The ciphers offered, in OpenSSH's list form; empty for libssh's defaults.
    std::string Ciphers;
    // The encoding of the server's file names; listings teach it.
    TNameCodec NameCodec;

    // Set by the connect: the server's identification ("SSH-2.0-OpenSSH_9.2p1"), its host key.
    std::string SystemName;
    std::string HostKeyFingerprint;
    std::string HostKeyType;

    // Connects, checks the host key and logs in (public key from PrivateKeyFile, the SSH agent,
    // password, keyboard-interactive); the session log tells which method succeeded. Any failure
    // disconnects and is raised again.
    void Connect(int timeoutMs = -1);
    // False also once the connection failed; Disconnect or Connect then frees it.
    bool Connected() const;
    void Disconnect();
    void Quit() { Disconnect(); }
    // From any thread: a running transfer ends within 250 ms with EIdTransferAborted. One that
    // does not take the request up in time (a stalled server) loses the connection instead.
    void Abort();

    void ChangeDirectory(const std::string& directory);
    void ChangeToParent();
    std::string CurrentDirectory() const { return currentDirectory_; }
    void MakeDirectory(const std::string& directory);
    void RemoveDirectory(const std::string& directory);
    void DeleteFile(const std::string& name);
    // Refuses (EIdFTPFileAlreadyExists) when the new name exists; never replaces it.
    void RenameFile(const std::string& oldName, const std::string& newName);
    // Sets the permission bits (07777 at most).
    void Chmod(const std::string& name, unsigned mode);
    // "CHMOD MODE NAME" (letter case aside, MODE octal) as an attribute change; any other SITE
    // command is refused, naming SFTP.
    void SiteCommand(const std::string& command);
    // The size, -1 when the server gives none or the file cannot be reached.
    int64_t FileSize(const std::string& name);
    bool ResumeSupported() const { return true; }
    // The modification time in seconds since the epoch (UTC); nothing when the file has none.
    std::optional<std::int64_t> ModificationTime(const std::string& name);
    bool CanSetModificationTime() const { return true; }
    bool SetModificationTime(const std::string& name, std::int64_t unixTime);
    // Listings carry times to the second in UTC.
    bool ListsExactTimes() const { return true; }

    // The entries of the current directory whose names match the Windows-style mask (all when
    // empty), "." and ".." left out, into ParsedListing.
    void ListDirectory(const std::string& mask);
    TIdFTPListItems& ParsedListing() { return listing_; }
    // The server's own "ls -l" lines of the last listing (one per entry, empty where it gave
    // none), for showing.
    const std::vector<std::string>& ListingLines() const { return listingLines_; }

    // Downloads from the stream's position; resume reads the remote file from that offset.
    void Get(const std::string& remoteName, TIdStream& destination, bool resume = false);
    // Into a local file. An existing file is truncated (mayOverwrite) or appended to from its
    // length (resume), only once the server has answered the first read; with neither, an
    // existing file is refused (EIdFTPFileAlreadyExists).
    void Get(const std::string& remoteName, const std::string& localFile, bool mayOverwrite, bool resume = false);
    // Uploads from the stream's position; append writes after the remote file's end, otherwise
    // the remote file is created or truncated.
    void Put(TIdStream& source, const std::string& remoteName, bool append = false);
    void Put(const std::string& localFile, const std::string& remoteName, bool append = false);

private:
    void Authenticate();
    void VerifyHostKey();
    // The absolute path of a name: as given when it starts with "/", else below the current
    // directory.
    std::string Resolved(const std::string& name) const;
    std::string Canonical(const std::string& path);
    // Raises the failure of the last libssh call: a server status as ESftpStatusError; a lost
    // connection, a time-out or an abort that had to cut the connection break the session.
    [[noreturn]] void Fail(const std::string& what);
    bool ConnectionLost() const;
    void RequireConnected() const;
    void Close();

    struct FileCloser {
        void operator()(sftp_file_struct* file) const;
    };
    using TRemoteFile = std::unique_ptr<sftp_file_struct, FileCloser>;
    TRemoteFile OpenRemote(const std::string& path, int access, unsigned mode);
    // `answered` runs once the server has answered the first read, before any byte is written.
    void Receive(sftp_file_struct* file, TIdStream& destination, int64_t offset, const std::function<void()>& answered);
    void Download(sftp_file_struct* file, int64_t offset, TIdStream& destination, const std::function<void()>& answered);
    void Upload(TIdStream& source, sftp_file_struct* file, int64_t offset);
    // Raises EIdTransferAborted when Abort asked for it.
    void CheckAbort();

    ssh_session_struct* ssh_ = nullptr;
    // The connection failed: the session counts as disconnected, but is freed only by
    // Disconnect, the next Connect or the destructor, after the handles still open are closed.
    bool broken_ = false;
    sftp_session_struct* sftp_ = nullptr;
    std::string currentDirectory_;
    TIdFTPListItems listing_;
    std::vector<std::string> listingLines_;
    TSftpWatchdog watchdog_;
};
