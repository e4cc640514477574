#pragma once
#include <atomic>
#include <functional>

// A request, made on any thread, to end the data transfer that the engine's thread runs. The
// engine's waits look at it at least every SliceMs, so a stalled transfer ends too.
class TIdAbortSignal {
public:
    static constexpr int SliceMs = 50;

    // Any thread.
    void Request() { requested_.store(true, std::memory_order_relaxed); }
    // The engine's thread: a request made before a transfer starts belongs to that transfer.
    void Clear() { requested_.store(false, std::memory_order_relaxed); }
    bool Pending() const { return requested_.load(std::memory_order_relaxed); }
    // The engine's thread: consumes a pending request.
    bool Take() { return requested_.exchange(false, std::memory_order_relaxed); }

    // Called on the engine's thread once a request has ended a transfer.
    std::function<void()> OnTaken;

private:
    std::atomic<bool> requested_{false};
};
