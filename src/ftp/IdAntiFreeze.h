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
    // Asked after each pump: true when the user asked to abort the running transfer. The work
    // events that normally carry that request do not come while the data stalls.
    std::function<bool()> OnCheckAbort;

    // Calls closer together than this are skipped, so pumping (and the repaints it brings) does
    // not cap throughput; the window still gets control about 60 times a second.
    static constexpr std::chrono::milliseconds MinimumSpacing{15};

    // The hook in force for the calling thread, or none.
    static TIdAntiFreeze* InForce();
    // Pumps when the hook is in force and the call qualifies (idle, forced or not only-when-idle);
    // true when it pumped and OnCheckAbort then asked for an abort.
    static bool DoProcess(bool idle = true, bool force = false);
    // How many pumps the calling thread is inside. A command that starts deeper than the command
    // already running came from the pump.
    static int PumpDepth();
    // S of the sliced waits: the hook's IdleTimeOut capped at `cap`, `cap` without a hook.
    static int SliceMs(int cap);

private:
    bool Process(bool idle, bool force);

    std::chrono::steady_clock::time_point lastProcess_{};
};
