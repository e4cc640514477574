#include "service/Command.h"

#include "service/ExceptionGuard.h"

#include <set>

namespace {

// A launched command that owns its frame until it ends.
class TLaunched {
public:
    struct promise_type {
        TLaunched get_return_object() { return {std::coroutine_handle<promise_type>::from_promise(*this)}; }
        std::suspend_never initial_suspend() const noexcept { return {}; }
        std::suspend_never final_suspend() const noexcept { return {}; }
        void return_void() const noexcept {}
        void unhandled_exception() const noexcept { HandleUncaughtException(std::current_exception()); }
    };
    std::coroutine_handle<promise_type> frame;
};

std::set<void*>& Waiting()
{
    static std::set<void*> frames;
    return frames;
}

// Removes its frame from the waiting ones when the command ends, however it ends.
struct TWaitingEntry {
    void* frame = nullptr;
    ~TWaitingEntry() { Waiting().erase(frame); }
};

struct TOwnFrame {
    bool await_ready() const noexcept { return false; }
    bool await_suspend(std::coroutine_handle<> frame) noexcept
    {
        address = frame.address();
        return false;
    }
    void* await_resume() const noexcept { return address; }
    void* address = nullptr;
};

TLaunched Run(TTask<> command)
{
    TWaitingEntry entry{co_await TOwnFrame{}};
    Waiting().insert(entry.frame);
    co_await command;
}

}  // namespace

void Launch(TTask<> command)
{
    Run(std::move(command));
}

void DestroyWaitingCommands()
{
    while (!Waiting().empty()) {
        void* frame = *Waiting().begin();
        Waiting().erase(Waiting().begin());
        std::coroutine_handle<>::from_address(frame).destroy();
    }
}
