#include "sftp/SftpWatchdog.h"

#include <sys/socket.h>

namespace {

// How often the watchdog looks: well inside the abort's 250 ms.
constexpr std::chrono::milliseconds Tick{25};

}  // namespace

TSftpWatchdog::~TSftpWatchdog() { Stop(); }

void TSftpWatchdog::Start(int socket)
{
    Stop();
    std::lock_guard lock(mutex_);
    socket_ = socket;
    stopping_ = false;
    armed_ = false;
    thread_ = std::thread([this] { Watch(); });
}

void TSftpWatchdog::Stop()
{
    {
        std::lock_guard lock(mutex_);
        if (!thread_.joinable())
            return;
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
    std::lock_guard lock(mutex_);
    socket_ = -1;
}

void TSftpWatchdog::Arm(int timeoutMs)
{
    std::lock_guard lock(mutex_);
    armed_ = true;
    timeout_ = std::chrono::milliseconds(timeoutMs);
    lastProgress_ = Clock::now();
    fired_ = TFired::None;
    // An abort asked for before this call began was meant for an earlier one.
    abortRequested_ = false;
}

void TSftpWatchdog::Disarm()
{
    std::lock_guard lock(mutex_);
    armed_ = false;
}

void TSftpWatchdog::Progress()
{
    std::lock_guard lock(mutex_);
    lastProgress_ = Clock::now();
}

void TSftpWatchdog::RequestAbort()
{
    std::lock_guard lock(mutex_);
    if (!abortRequested_.exchange(true))
        abortAt_ = Clock::now();
}

TSftpWatchdog::TFired TSftpWatchdog::Fired() const
{
    std::lock_guard lock(mutex_);
    return fired_;
}

void TSftpWatchdog::Watch()
{
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        changed_.wait_for(lock, Tick);
        if (!armed_ || fired_ != TFired::None || socket_ < 0)
            continue;
        const Clock::time_point now = Clock::now();
        if (abortRequested_ && now - abortAt_ >= AbortGrace)
            fired_ = TFired::Aborted;
        else if (timeout_.count() > 0 && now - lastProgress_ >= timeout_)
            fired_ = TFired::TimedOut;
        else
            continue;
        // The descriptor stays open (libssh owns it), so no other file can take its number.
        shutdown(socket_, SHUT_RDWR);
    }
}
