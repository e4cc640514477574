#pragma once
#include "fixtures/FtpServer.h"
#include "ftp/IdFTP.h"
#include "ftp/IdLogEvent.h"

#include <algorithm>
#include <string>
#include <vector>

// Points an FTP object at a server fixture as the fixture's user, with a short wait for replies.
inline void AimAtServer(TIdFTP& ftp, const std::string& host, int port, bool passive = true) {
    ftp.Host = host;
    ftp.Port = port;
    ftp.Username = FtpServer::User;
    ftp.Password = FtpServer::Password;
    ftp.Passive = passive;
    ftp.ReadTimeout = 5000;
}

// The commands a connection sent, as the session log records them, without their line ends.
struct SentCommands {
    TIdLogEvent log;
    std::vector<std::string> lines;

    void Attach(TIdTCPConnection& connection) {
        log.Active = true;
        log.ReplaceCRLF = false;
        log.OnSent = [this](TIdLogBase*, const std::string&, const std::string& data) {
            lines.push_back(data.substr(0, data.find('\r')));
        };
        connection.Intercept = &log;
    }
    std::size_t Count(const std::string& prefix) const {
        return static_cast<std::size_t>(
            std::count_if(lines.begin(), lines.end(), [&](const std::string& l) { return l.rfind(prefix, 0) == 0; }));
    }
    bool Sent(const std::string& prefix) const { return Count(prefix) > 0; }
};
