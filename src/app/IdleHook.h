#pragma once
#include <QObject>
#include <functional>

// Runs a function whenever the event loop has handled everything pending and is about to
// wait: the "on idle" moment. Never from inside a nested event loop, never re-entered.
class TIdleHook : public QObject {
    Q_OBJECT
public:
    TIdleHook(std::function<void()> onIdle, QObject* parent = nullptr);

private:
    void AboutToBlock();

    std::function<void()> onIdle_;
    bool running_ = false;
};
