#pragma once
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

// Bounds every blocking libssh call of a session. libssh waits on its socket without an end of
// its own in places (a reply that never comes), and it may not be called from another thread;
// so a thread of ours shuts the socket down when a wait has gone without progress for its
// time-out, or when an abort was requested and the waiting call has not taken it up in time.
// The blocked call then fails at once, and the session is lost.
class TSftpWatchdog {
public:
    enum class TFired { None, TimedOut, Aborted };

    // How long an abort is left to the transfer loop, which ends it cleanly, before the socket goes.
    static constexpr std::chrono::milliseconds AbortGrace{150};

    TSftpWatchdog() = default;
    ~TSftpWatchdog();
    TSftpWatchdog(const TSftpWatchdog&) = delete;
    TSftpWatchdog& operator=(const TSftpWatchdog&) = delete;

    // Watches the socket until Stop.
    void Start(int socket);
    void Stop();

    // A call that waits at most timeoutMs without progress begins, or ends. Beginning forgets
    // an abort requested before.
    void Arm(int timeoutMs);
    void Disarm();
    // The waiting call has made progress: its time-out starts again.
    void Progress();

    // From any thread.
    void RequestAbort();
    bool AbortRequested() const { return abortRequested_.load(); }

    // What the watchdog did since the last Arm.
    TFired Fired() const;

private:
    void Watch();

    using Clock = std::chrono::steady_clock;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::thread thread_;
    int socket_ = -1;
    bool stopping_ = false;
    bool armed_ = false;
    std::chrono::milliseconds timeout_{0};
    Clock::time_point lastProgress_;
    Clock::time_point abortAt_;
    TFired fired_ = TFired::None;
    std::atomic<bool> abortRequested_{false};
};

// Arms the watchdog for the lifetime of one engine call.
class TSftpWait {
public:
    TSftpWait(TSftpWatchdog& watchdog, int timeoutMs) : watchdog_(watchdog) { watchdog_.Arm(timeoutMs); }
    ~TSftpWait() { watchdog_.Disarm(); }
    TSftpWait(const TSftpWait&) = delete;
    TSftpWait& operator=(const TSftpWait&) = delete;

private:
    TSftpWatchdog& watchdog_;
};
