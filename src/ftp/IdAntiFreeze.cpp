#include "ftp/IdAntiFreeze.h"

#include <algorithm>
#include <unistd.h>

namespace {

TIdAntiFreeze* activeHook = nullptr;
thread_local int pumpDepth = 0;

struct InsidePump {
    InsidePump() { ++pumpDepth; }
    ~InsidePump() { --pumpDepth; }
};

bool OnMainThread() {
    // Asked on every receive of a transfer: ask the kernel once per thread.
    thread_local const bool main = gettid() == getpid();
    return main;
}

}  // namespace

TIdAntiFreeze::TIdAntiFreeze() { activeHook = this; }

TIdAntiFreeze::~TIdAntiFreeze() {
    if (activeHook == this) activeHook = nullptr;
}

TIdAntiFreeze* TIdAntiFreeze::InForce() {
    return activeHook && activeHook->Active && OnMainThread() ? activeHook : nullptr;
}

bool TIdAntiFreeze::DoProcess(bool idle, bool force) {
    TIdAntiFreeze* hook = InForce();
    return hook && hook->Process(idle, force);
}

int TIdAntiFreeze::PumpDepth() { return pumpDepth; }

int TIdAntiFreeze::SliceMs(int cap) {
    TIdAntiFreeze* hook = InForce();
    return hook ? std::clamp(hook->IdleTimeOut, 1, cap) : cap;
}

bool TIdAntiFreeze::Process(bool idle, bool force) {
    if (OnlyWhenIdle && !idle && !force) return false;
    if (!OnProcess) return false;
    auto now = std::chrono::steady_clock::now();
    if (!force && now - lastProcess_ < MinimumSpacing) return false;
    lastProcess_ = now;
    {
        InsidePump inside;
        OnProcess(ApplicationHasPriority);
    }
    return OnCheckAbort && OnCheckAbort();
}
