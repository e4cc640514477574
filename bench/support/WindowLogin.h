#pragma once
// Logs a benchmark's window in to a loopback server, passive, with a time-out long enough for
// the largest transfer.
#include "app/MainForm.h"
#include "service/SessionService.h"
#include "support/ServiceJobs.h"

#include <string>

inline void LogInOnLoopback(TMainForm& form, int port, const std::string& user = "user",
                            const std::string& password = "secret", int readTimeoutMs = 120000)
{
    TIdFTP& ftp = form.IdFTP1;
    ftp.Host = "127.0.0.1";
    ftp.Port = port;
    ftp.Username = user;
    ftp.Password = password;
    ftp.Passive = true;
    ftp.ReadTimeout = readTimeoutMs;
    RunJob(form.Service(), [](TRemoteEngine& engine) { engine.Connect(5000); });
}

inline void QuitSession(TMainForm& form)
{
    RunJob(form.Service(), [](TRemoteEngine& engine) { engine.Quit(); });
}
