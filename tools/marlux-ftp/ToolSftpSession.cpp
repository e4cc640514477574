#include "ToolSessionOf.h"
#include "ftp/IdText.h"
#include "service/SftpRemoteEngine.h"
#include "sftp/SftpSession.h"

#include <iostream>

namespace {

class TSftpToolSession : public TToolSessionOf<TSftpSession> {
public:
    explicit TSftpToolSession(const ToolOptions& options) : TToolSessionOf<TSftpSession>(options) {
        engine.PrivateKeyFile = options.identity;
        engine.Ciphers = options.ciphers;
        // Nobody to ask: an unknown key is refused with the option that trusts it.
        engine.OnVerifyHostKey = [](TSftpSession*, const std::string& fingerprint, const std::string& type) {
            std::cerr << "marlux-ftp: the server's " << PrintableText(type) << " host key " << PrintableText(fingerprint)
                      << " is not known; pass --trust " << PrintableText(fingerprint) << " to accept it\n";
            return false;
        };
    }

    // SFTP version 3 has no digest of a file on the server.
    std::string VerificationLine() override { return "not verified: the server offers no digest"; }

    // Names, or the server's own "ls -l" lines.
    std::vector<std::string> ListLines(const std::string& mask, bool details) override {
        engine.ListDirectory(mask);
        if (details) return engine.ListingLines();
        std::vector<std::string> names;
        for (const TIdFTPListItem& item : engine.ParsedListing()) names.emplace_back(item.Name());
        return names;
    }

    void LearnNameEncoding() override { engine.ListDirectory({}); }

    TRemoteEngine& RemoteEngine() override { return remote_; }

private:
    TIdAbortSignal abortSignal_;
    TSftpRemoteEngine remote_{engine, abortSignal_};
};

}  // namespace

std::unique_ptr<TToolSession> MakeSftpToolSession(const ToolOptions& options) {
    return std::make_unique<TSftpToolSession>(options);
}
