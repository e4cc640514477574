#pragma once
#include "ftp/IdFTP.h"
#include "ftp/IdFTPList.h"
#include "platform/NameCodec.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// What the window's jobs do on the server, whichever protocol carries it. Called on the engine's
// thread only. How to connect (addresses, TLS, proxy, keys, trust) is set on the concrete engine
// between jobs; paths and names are the server's bytes.
class TRemoteEngine {
public:
    virtual ~TRemoteEngine() = default;

    // Connects and logs in as the engine is set up; any failure disconnects and is raised.
    virtual void Connect(int timeoutMs) = 0;
    virtual bool Connected() = 0;
    // Ends the session politely; Disconnect just closes it.
    virtual void Quit() = 0;
    virtual void Disconnect() = 0;
    // Something cheap the server answers, so that an idle session is not dropped.
    virtual void KeepAlive() = 0;
    virtual const std::string& Host() const = 0;
    // What the server says it is, once connected.
    virtual std::string SystemName() const = 0;
    virtual TNameCodec& NameCodec() = 0;

    virtual std::string CurrentDirectory() = 0;
    virtual void ChangeDirectory(const std::string& directory) = 0;
    virtual void ChangeToParent() = 0;
    virtual void MakeDirectory(const std::string& directory) = 0;
    virtual void RemoveDirectory(const std::string& directory) = 0;
    virtual void DeleteFile(const std::string& name) = 0;
    virtual void RenameFile(const std::string& oldName, const std::string& newName) = 0;
    // A line of the command dialog, as the protocol can carry it.
    virtual void SiteCommand(const std::string& command) = 0;

    // Lists the current directory through the mask (all when empty) into Listing, which the
    // window reads after the job.
    virtual void ListDirectory(const std::string& mask) = 0;
    virtual const TIdFTPListItems& Listing() = 0;
    // The lines a user reads of the last listing. When the last listing was for the program
    // only, ListForReading lists again (a data transfer) to have them.
    virtual bool ListingUnreadable() = 0;
    virtual void ListForReading() = 0;
    virtual std::vector<std::string> ListingLines() = 0;

    // -1 when unknown.
    virtual int64_t FileSize(const std::string& name) = 0;
    virtual bool ResumeSupported() = 0;
    // Seconds since the epoch (UTC).
    virtual std::optional<std::int64_t> ModificationTime(const std::string& name) = 0;
    virtual bool CanSetModificationTime() = 0;
    virtual bool SetModificationTime(const std::string& name, std::int64_t unixTime) = 0;
    // Listings carry times to the second in UTC, so a time set on the server reads back exact.
    virtual bool ListsExactTimes() = 0;

    // Where the protocol converts text (FTP's ASCII type); the bytes move as they are otherwise.
    virtual void SetTransferType(TIdFTPTransferType type) = 0;
    // Into a local file: truncated (mayOverwrite) or appended to from its length (resume), only
    // once the server has answered. listedSize: the size a listing gave, where the engine checks
    // the transfer by it.
    virtual void Get(const std::string& remoteName, const std::string& localFile, bool mayOverwrite, bool resume,
                     std::optional<int64_t> listedSize) = 0;
    virtual void Put(const std::string& localFile, const std::string& remoteName, bool append) = 0;
    // Uploads from here on whose check is a size comparison leave it to SettleUploadChecks,
    // which checks them together with one listing of each folder they went to (the current
    // directory for a name without '/') and gives the damaged ones (set apart as a single
    // upload's would be). A protocol that checks uploads otherwise does each at once, and
    // gives nothing here.
    virtual void DeferUploadChecks() = 0;
    virtual std::vector<EIdVerificationFailed> SettleUploadChecks() = 0;
};
