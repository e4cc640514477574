// marlux-ftp: runs FTP commands in one session of the engine.
#include "ToolCommandLine.h"
#include "ToolCommands.h"
#include "ftp/IdFTP.h"
#include "ftp/IdLogEvent.h"
#include "ftp/IdPasswordMask.h"
#include "ftp/IdText.h"

#include <exception>
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

// An engine message without its line breaks, safe to print.
std::string OneLine(const std::string& message) {
    std::string text;
    for (char c : message) {
        if (c == '\r') continue;
        text += c == '\n' ? ' ' : c;
    }
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return PrintableText(text);
}

void Configure(TIdFTP& ftp, const ToolOptions& options) {
    ftp.Host = options.host;
    ftp.Port = options.port;
    ftp.Username = options.user;
    ftp.Password = options.password;
    ftp.Passive = options.passive;
    ftp.ReadTimeout = options.timeoutMs;
    ftp.SetTransferType(options.ascii ? ftASCII : ftBinary);
    ftp.VerifyTransfers = options.verify;
    ftp.UseTLS = static_cast<TIdUseTLS>(options.tls);
    ftp.TrustedFingerprint = options.trust;
    ftp.NameCodec.SetChoice(options.nameEncoding);
    ftp.ProxySettings = {static_cast<TIdFtpProxyType>(options.proxyType), options.proxyHost, options.proxyUser,
                         options.proxyPassword, options.proxyPort};
}

}  // namespace

int main(int argc, char** argv) {
    ToolOptions options;
    try {
        options = ParseToolCommandLine(std::vector<std::string>(argv + 1, argv + argc));
        CheckToolCommands(options.commands);
    } catch (const UsageError& e) {
        std::cerr << "marlux-ftp: " << e.what() << "\n" << ToolUsage;
        return 2;
    }

    TIdFTP ftp;
    TIdLogEvent log;
    if (options.verbose) {
        log.Active = true;
        log.ReplaceCRLF = false;
        // The dialogue shows names decoded; the wire keeps the server's bytes.
        log.OnReceived = [&ftp](TIdLogBase*, const std::string&, const std::string& data) {
            PrintDialogue(">> ", ftp.NameCodec.Decode(data, TUndecodable::Backslash));
        };
        log.OnSent = [&ftp](TIdLogBase*, const std::string&, const std::string& data) {
            PrintDialogue("<< ", ftp.NameCodec.Decode(MaskSentData(data), TUndecodable::Backslash));
        };
        ftp.Intercept = &log;
        ftp.OnStatus = [](TIdComponent*, TIdStatus, const std::string& text) { std::cerr << PrintableText(text) << '\n'; };
    }
    Configure(ftp, options);
    try {
        ftp.Connect(true, options.timeoutMs);
        for (const ToolCommand& command : options.commands) RunToolCommand(ftp, command, std::cout);
        ftp.Quit();
    } catch (const EIdVerificationFailed& e) {
        std::cout.flush();
        std::cerr << "marlux-ftp: " << OneLine(e.what()) << '\n';
        return 3;
    } catch (const std::exception& e) {
        std::cout.flush();
        std::cerr << "marlux-ftp: " << OneLine(e.what()) << '\n';
        return 1;
    }
    return 0;
}
