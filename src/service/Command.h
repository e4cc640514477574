#pragma once
#include <coroutine>
#include <exception>
#include <optional>
#include <type_traits>
#include <utility>

// The window's commands are coroutines: a command runs until it awaits a job of the session
// service, hands the window's thread back to the event loop, and goes on when the job ends. So
// no wait for the network holds the window, and the command still reads in the order it acts.
//
// GCC 12 miscompiles some shapes of co_await without a word; the tests refuse them
// (scripts/check-coroutines), and the service's Run refuses the third at compile time:
// - co_await inside the condition of an if, while or for skips the whole coroutine;
// - a conditional operator in a statement that awaits destroys its temporaries twice;
// - a lambda made inside a co_await expression has its non-trivial by-value captures destroyed
//   twice: capture by reference there (the command's frame outlives what it awaits).
// Await into a variable first.

template <class Result = void>
class TTask;

namespace command_detail {

template <class Promise>
struct TFinalAwaiter {
    bool await_ready() const noexcept { return false; }
    std::coroutine_handle<> await_suspend(std::coroutine_handle<Promise> done) const noexcept
    {
        const std::coroutine_handle<> waiting = done.promise().waiting;
        return waiting ? waiting : std::noop_coroutine();
    }
    void await_resume() const noexcept {}
};

struct TPromiseBase {
    std::coroutine_handle<> waiting;
    std::exception_ptr error;

    std::suspend_always initial_suspend() const noexcept { return {}; }
    void unhandled_exception() noexcept { error = std::current_exception(); }
};

// Where a task's promise keeps what the task returns.
template <class Result>
struct TResultSlot : TPromiseBase {
    std::optional<Result> value;
    template <class Value>
    void return_value(Value&& result)
    {
        value.emplace(std::forward<Value>(result));
    }
};

template <>
struct TResultSlot<void> : TPromiseBase {
    void return_void() const noexcept {}
};

}  // namespace command_detail

// A step of a command, started when awaited; its result or its error is the await's.
template <class Result>
class TTask {
public:
    struct promise_type : command_detail::TResultSlot<Result> {
        TTask get_return_object() { return TTask(std::coroutine_handle<promise_type>::from_promise(*this)); }
        command_detail::TFinalAwaiter<promise_type> final_suspend() const noexcept { return {}; }
    };

    TTask(TTask&& other) noexcept : frame_(std::exchange(other.frame_, {})) {}
    TTask(const TTask&) = delete;
    TTask& operator=(const TTask&) = delete;
    ~TTask()
    {
        if (frame_)
            frame_.destroy();
    }

    bool await_ready() const noexcept { return false; }
    std::coroutine_handle<> await_suspend(std::coroutine_handle<> waiting) noexcept
    {
        frame_.promise().waiting = waiting;
        return frame_;
    }
    Result await_resume()
    {
        if (frame_.promise().error)
            std::rethrow_exception(frame_.promise().error);
        if constexpr (!std::is_void_v<Result>)
            return std::move(*frame_.promise().value);
    }

private:
    explicit TTask(std::coroutine_handle<promise_type> frame) : frame_(frame) {}
    std::coroutine_handle<promise_type> frame_;
};

// Starts a command at once; it runs on by itself as its jobs end. Its error goes to the
// application's handler, as an action handler's does.
void Launch(TTask<> command);

// Destroys the commands still waiting for a job that will never end, as the window goes away
// after the engine's thread has stopped: what they hold is released.
void DestroyWaitingCommands();
