#pragma once
#include "ftp/IdComponent.h"

#include <chrono>
#include <functional>

// The message-pump hook: while the engine blocks on a socket it hands control to the window's
// event loop through OnProcess. The last instance created is the process-wide hook.
class TIdAntiFreeze : public TIdBaseComponent {
public:
    TIdAntiFreeze();
    ~TIdAntiFreeze() override;

    bool Active = true;
    bool ApplicationHasPriority = true;
    int IdleTimeOut = 250;
    bool OnlyWhenIdle = true;
    // Pumps the event loop: all pending events when the argument is true, else at most one.
    std::function<void(bool allPending)> OnProcess;

    // Calls closer together than this are skipped, so pumping does not cap throughput.
    static constexpr std::chrono::milliseconds MinimumSpacing{3};

    // The hook in force for the calling thread, or none.
    static TIdAntiFreeze* InForce();
    // Pumps when the hook is in force and the call qualifies (idle, forced or not only-when-idle).
    static void DoProcess(bool idle = true, bool force = false);
    // S of the sliced waits: the hook's IdleTimeOut capped at `cap`, `cap` without a hook.
    static int SliceMs(int cap);

private:
    void Process(bool idle, bool force);

    std::chrono::steady_clock::time_point lastProcess_{};
};
