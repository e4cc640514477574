#include "ftp/IdAntiFreeze.h"

#include <algorithm>
#include <unistd.h>

namespace {

TIdAntiFreeze* activeHook = nullptr;

bool OnMainThread() { return gettid() == getpid(); }

}  // namespace

TIdAntiFreeze::TIdAntiFreeze() { activeHook = this; }

TIdAntiFreeze::~TIdAntiFreeze() {
    if (activeHook == this) activeHook = nullptr;
}

TIdAntiFreeze* TIdAntiFreeze::InForce() {
    return activeHook && activeHook->Active && OnMainThread() ? activeHook : nullptr;
}

void TIdAntiFreeze::DoProcess(bool idle, bool force) {
    if (TIdAntiFreeze* hook = InForce()) hook->Process(idle, force);
}

int TIdAntiFreeze::SliceMs(int cap) {
    TIdAntiFreeze* hook = InForce();
    return hook ? std::clamp(hook->IdleTimeOut, 1, cap) : cap;
}

void TIdAntiFreeze::Process(bool idle, bool force) {
    if (OnlyWhenIdle && !idle && !force) return;
    if (!OnProcess) return;
    auto now = std::chrono::steady_clock::now();
    if (!force && now - lastProcess_ < MinimumSpacing) return;
    lastProcess_ = now;
    OnProcess(ApplicationHasPriority);
}
