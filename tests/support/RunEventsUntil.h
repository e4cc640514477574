#pragma once
#include <QEventLoop>
#include <QTimer>

#include <chrono>

// Runs the event loop until condition holds, for at most bound; whether it came to hold. The
// keyring answers over D-Bus while the event loop runs.
template <class Condition>
bool RunEventsUntil(Condition condition, std::chrono::milliseconds bound = std::chrono::seconds(20))
{
    const auto end = std::chrono::steady_clock::now() + bound;
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, [&] {
        if (condition() || std::chrono::steady_clock::now() > end)
            loop.quit();
    });
    check.start(2);
    if (!condition())
        loop.exec();
    return condition();
}
