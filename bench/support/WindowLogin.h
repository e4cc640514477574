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
    form.IdFTP1.Passive = true;
    LogInOnLoopback(form.Service(), port, user.c_str(), password.c_str(), readTimeoutMs);
}

inline void QuitSession(TMainForm& form)
{
    RunJob(form.Service(), [](TRemoteEngine& engine) { engine.Quit(); });
}
