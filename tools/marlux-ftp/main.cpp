// marlux-ftp: runs FTP or SFTP commands in one session of the engine.
#include "ToolCommandLine.h"
#include "ToolCommands.h"
#include "ToolSession.h"
#include "ftp/IdText.h"
#include "ftp/IdVerification.h"

#include <algorithm>
#include <exception>
#include <iostream>

namespace {

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

    const std::unique_ptr<TToolSession> session = options.sftp ? MakeSftpToolSession(options) : MakeFtpToolSession(options);
    int status = 0;
    try {
        session->Connect();
        for (const ToolCommand& command : options.commands)
            status = std::max(status, RunToolCommand(*session, options, command, std::cout));
        session->Quit();
    } catch (const EIdVerificationFailed& e) {
        std::cout.flush();
        std::cerr << "marlux-ftp: " << OneLine(e.what()) << '\n';
        return 3;
    } catch (const std::exception& e) {
        std::cout.flush();
        std::cerr << "marlux-ftp: " << OneLine(e.what()) << '\n';
        return 1;
    }
    return status;
}
