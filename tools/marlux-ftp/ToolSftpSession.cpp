#include "ToolSessionOf.h"
#include "ftp/IdText.h"
#include "sftp/SftpSession.h"

#include <iostream>

namespace {

class TSftpToolSession : public TToolSessionOf<TSftpSession> {
public:
    explicit TSftpToolSession(const ToolOptions& options) : timeoutMs_(options.timeoutMs) {
        if (options.verbose)
            engine.OnStatus = [](TIdComponent*, TIdStatus, const std::string& text) { std::cerr << PrintableText(text) << '\n'; };
        engine.Host = options.host;
        engine.Port = options.port;
        engine.Username = options.user;
        engine.Password = options.password;
        engine.PrivateKeyFile = options.identity;
        engine.TrustedFingerprint = options.trust;
        engine.ReadTimeout = options.timeoutMs;
        engine.Ciphers = options.ciphers;
        engine.NameCodec.SetChoice(options.nameEncoding);
        // Nobody to ask: an unknown key is refused with the option that trusts it.
        engine.OnVerifyHostKey = [](TSftpSession*, const std::string& fingerprint, const std::string& type) {
            std::cerr << "marlux-ftp: the server's " << PrintableText(type) << " host key " << PrintableText(fingerprint)
                      << " is not known; pass --trust " << PrintableText(fingerprint) << " to accept it\n";
            return false;
        };
    }

    void Connect() override { engine.Connect(timeoutMs_); }

    const TIdFTPListItems& ListDirectory(const std::string& mask) override {
        engine.ListDirectory(mask);
        return engine.ParsedListing();
    }

    // Names, or the server's own "ls -l" lines.
    std::vector<std::string> ListLines(const std::string& mask, bool details) override {
        engine.ListDirectory(mask);
        if (details) return engine.ListingLines();
        std::vector<std::string> names;
        for (const TIdFTPListItem& item : engine.ParsedListing()) names.emplace_back(item.Name());
        return names;
    }

    void LearnNameEncoding() override { engine.ListDirectory({}); }

private:
    int timeoutMs_;
};

}  // namespace

std::unique_ptr<TToolSession> MakeSftpToolSession(const ToolOptions& options) {
    return std::make_unique<TSftpToolSession>(options);
}
