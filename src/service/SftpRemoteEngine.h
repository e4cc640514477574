#pragma once
#include "ftp/IdAbortSignal.h"
#include "service/RemoteEngineOver.h"
#include "sftp/SftpSession.h"

#include <functional>

// The jobs' operations over SFTP. The service's abort request reaches the session directly; the
// signal is kept as the FTP engine keeps it, so that a command of several files reads the same
// state after a transfer ended by it.
class TSftpRemoteEngine : public TRemoteEngineOver<TSftpSession> {
public:
    TSftpRemoteEngine(TSftpSession& engine, TIdAbortSignal& abortSignal);

    void Connect(int timeoutMs) override;
    void KeepAlive() override;
    void ListDirectory(const std::string& mask) override;
    const TIdFTPListItems& Listing() override;
    bool ListingUnreadable() override;
    void ListForReading() override;
    std::vector<std::string> ListingLines() override;
    bool ListsExactTimes() override;
    void SetTransferType(TIdFTPTransferType type) override;
    void Get(const std::string& remoteName, const std::string& localFile, bool mayOverwrite, bool resume,
             std::optional<int64_t> listedSize) override;
    void Put(const std::string& localFile, const std::string& remoteName, bool append) override;
    void DeferUploadChecks() override {}
    std::vector<EIdVerificationFailed> SettleUploadChecks() override { return {}; }

private:
    // Runs a data transfer: a request made before it belongs to it, one that ended it is taken.
    void Transfer(const std::function<void()>& transfer);

    TIdAbortSignal& abortSignal_;
};
