#pragma once
#include "session/ConnectForm.h"

#include <coroutine>

// In a command: `co_await TPasswordReadAwaiter(form)` goes on once the connection dialog is no
// longer reading a saved password, at once when it is not; the window's thread runs on meanwhile.
class [[nodiscard]] TPasswordReadAwaiter {
public:
    explicit TPasswordReadAwaiter(TConnectForm& form) : form_(form) {}

    bool await_ready() const { return !form_.PasswordPending(); }
    void await_suspend(std::coroutine_handle<> waiting)
    {
        // Queued: the command may end the dialog, whose read is still handing out its result.
        QObject::connect(&form_, &TConnectForm::PasswordSettled, &form_, [waiting] { waiting.resume(); },
                         Qt::ConnectionType(Qt::QueuedConnection | Qt::SingleShotConnection));
    }
    void await_resume() const noexcept {}

private:
    TConnectForm& form_;
};
