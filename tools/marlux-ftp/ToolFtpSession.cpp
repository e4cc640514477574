#include "ToolSessionOf.h"
#include "ftp/IdFTP.h"
#include "ftp/IdLogEvent.h"
#include "ftp/IdPasswordMask.h"
#include "ftp/IdText.h"
#include "ftp/IdVerification.h"
#include "service/FtpRemoteEngine.h"

#include <iostream>

namespace {

// Writes every line of a chunk with its mark, as the session log shows the dialogue.
void PrintDialogue(const char* mark, const std::string& data) {
    size_t start = 0;
    while (start < data.size()) {
        size_t end = data.find_first_of("\r\n", start);
        if (end == std::string::npos) end = data.size();
        if (end > start) std::cerr << mark << PrintableText(data.substr(start, end - start)) << '\n';
        start = end + 1;
    }
}

class TFtpToolSession : public TToolSessionOf<TIdFTP> {
public:
    explicit TFtpToolSession(const ToolOptions& options) : TToolSessionOf<TIdFTP>(options) {
        if (options.verbose) {
            log_.Active = true;
            log_.ReplaceCRLF = false;
            // The dialogue shows names decoded; the wire keeps the server's bytes.
            log_.OnReceived = [this](TIdLogBase*, const std::string&, const std::string& data) {
                PrintDialogue(">> ", engine.NameCodec.Decode(data, TUndecodable::Backslash));
            };
            log_.OnSent = [this](TIdLogBase*, const std::string&, const std::string& data) {
                PrintDialogue("<< ", engine.NameCodec.Decode(MaskSentData(data), TUndecodable::Backslash));
            };
            engine.Intercept = &log_;
        }
        engine.Passive = options.passive;
        // Large socket reads: a download hashed as it streams shares the cores with its digest,
        // and every read saved leaves the digest more of them.
        engine.RecvBufferSize = 256 * 1024;
        engine.SetTransferType(options.ascii ? ftASCII : ftBinary);
        engine.VerifyTransfers = options.verify;
        engine.UseTLS = static_cast<TIdUseTLS>(options.tls);
        engine.ProxySettings = {static_cast<TIdFtpProxyType>(options.proxyType), options.proxyHost, options.proxyUser,
                                options.proxyPassword, options.proxyPort};
    }

    std::string VerificationLine() override {
        const TIdVerification& verification = engine.LastVerification;
        if (verification.Kind == vkVerified || verification.Kind == vkSizeMatched)
            return "verified (" + verification.Algorithm + ")";
        return "not verified: " + verification.Reason;
    }

    std::vector<std::string> ListLines(const std::string& mask, bool details) override {
        engine.List(nullptr, mask, details);
        // Parsing teaches the name encoding the lines are shown in.
        try {
            engine.ParsedListing();
        } catch (const EIdInvalidFTPListingFormat&) {
        }
        return {engine.ListLines.begin(), engine.ListLines.end()};
    }

    void LearnNameEncoding() override {
        try {
            engine.List(nullptr, {}, true);
            engine.ParsedListing();
        } catch (const EIdProtocolReplyError&) {
        } catch (const EIdInvalidFTPListingFormat&) {
        }
    }

    TRemoteEngine& RemoteEngine() override { return remote_; }

private:
    TIdLogEvent log_;
    TFtpRemoteEngine remote_{engine};
};

}  // namespace

std::unique_ptr<TToolSession> MakeFtpToolSession(const ToolOptions& options) {
    return std::make_unique<TFtpToolSession>(options);
}
