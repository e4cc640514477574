#include "app/IdleHook.h"

#include "service/ExceptionGuard.h"

#include <QAbstractEventDispatcher>
#include <QThread>

TIdleHook::TIdleHook(std::function<void()> onIdle, QObject* parent) : QObject(parent), onIdle_(std::move(onIdle))
{
    auto* dispatcher = QAbstractEventDispatcher::instance(QThread::currentThread());
    if (dispatcher)
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &TIdleHook::AboutToBlock);
}

void TIdleHook::AboutToBlock()
{
    if (running_)
        return;
    running_ = true;
    Guarded([this] { onIdle_(); })();
    running_ = false;
}
