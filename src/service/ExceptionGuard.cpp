#include "service/ExceptionGuard.h"

namespace {

TUncaughtExceptionHandler& InstalledHandler()
{
    static TUncaughtExceptionHandler handler;
    return handler;
}

}  // namespace

void SetUncaughtExceptionHandler(TUncaughtExceptionHandler handler)
{
    InstalledHandler() = std::move(handler);
}

void HandleUncaughtException(std::exception_ptr error) noexcept
{
    try {
        if (InstalledHandler())
            InstalledHandler()(error);
    } catch (...) {
    }
}
