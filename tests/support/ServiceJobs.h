#pragma once
#include "service/SessionService.h"
#include "support/RunEventsUntil.h"

#include <chrono>
#include <stdexcept>
#include <utility>

// What a test does where the window's commands await: the event loop runs until the service has
// nothing pending, within a bound so that a hung job fails the test instead of hanging it.
inline void WaitForService(TSessionService& service, std::chrono::milliseconds bound = std::chrono::seconds(60))
{
    if (!RunEventsUntil([&service] { return service.Idle(); }, bound))
        throw std::runtime_error("the session service is still busy");
}

// Runs a command of the window as its action does, until the service is idle.
template <class Command>
void RunToIdle(TSessionService& service, Command command)
{
    command();
    WaitForService(service);
}

// Runs one job to its end and gives its result or raises its error.
template <class Job>
auto RunJob(TSessionService& service, Job job)
{
    auto awaiter = service.Run(std::move(job));
    awaiter.await_suspend(std::noop_coroutine());
    WaitForService(service);
    return awaiter.await_resume();
}

// Aims the service's FTP engine at a loopback server as that user, with a short time-out unless
// given; nothing is sent.
inline void AimAtLoopback(TSessionService& service, int port, const char* user, const char* password,
                          int readTimeoutMs = 5000)
{
    TIdFTP& engine = service.Ftp();
    engine.Host = "127.0.0.1";
    engine.Port = port;
    engine.Username = user;
    engine.Password = password;
    engine.ReadTimeout = readTimeoutMs;
}

// The same, and logged in.
inline void LogInOnLoopback(TSessionService& service, int port, const char* user, const char* password,
                            int readTimeoutMs = 5000)
{
    AimAtLoopback(service, port, user, password, readTimeoutMs);
    RunJob(service, [](TRemoteEngine& remote) { remote.Connect(5000); });
}
