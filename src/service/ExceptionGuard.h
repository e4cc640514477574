#pragma once
#include <exception>
#include <functional>
#include <type_traits>
#include <utility>

// No exception may unwind through Qt's event loop. Every entry point the loop calls (action
// handlers, control signals, timers) runs through Guarded(); what escapes goes to the one
// application-wide handler.

using TUncaughtExceptionHandler = std::function<void(std::exception_ptr)>;

// Installs the handler (the main window's); an empty handler swallows silently.
void SetUncaughtExceptionHandler(TUncaughtExceptionHandler handler);
// Passes the exception to the installed handler; a fault inside the handler itself is dropped.
void HandleUncaughtException(std::exception_ptr error) noexcept;

template <class F>
auto Guarded(F function)
{
    return [function = std::move(function)](auto&&... args) {
        try {
            // Signals may pass more than the function takes (QTimer's private tag).
            if constexpr (std::is_invocable_v<F&, decltype(args)...>)
                function(std::forward<decltype(args)>(args)...);
            else
                function();
        } catch (...) {
            HandleUncaughtException(std::current_exception());
        }
    };
}
