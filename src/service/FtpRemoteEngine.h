#pragma once
#include "service/RemoteEngineOver.h"

// The jobs' operations over FTP.
class TFtpRemoteEngine : public TRemoteEngineOver<TIdFTP> {
public:
    using TRemoteEngineOver::TRemoteEngineOver;

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
    void DeferUploadChecks() override { engine_.DeferSizeChecks(); }
    std::vector<EIdVerificationFailed> SettleUploadChecks() override { return engine_.SettleSizeChecks(); }
};
