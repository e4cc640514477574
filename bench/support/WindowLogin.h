#pragma once
// Logs a benchmark's window in to a loopback server, passive, with a time-out long enough for
// the largest transfer.
#include "ftp/IdFTP.h"

#include <string>

inline void LogInOnLoopback(TIdFTP& ftp, int port, const std::string& user = "user",
                            const std::string& password = "secret", int readTimeoutMs = 120000)
{
    ftp.Host = "127.0.0.1";
    ftp.Port = port;
    ftp.Username = user;
    ftp.Password = password;
    ftp.Passive = true;
    ftp.ReadTimeout = readTimeoutMs;
    ftp.Connect(true, 5000);
}
