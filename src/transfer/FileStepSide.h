#pragma once
#include "settings/WindowSettings.h"

#include <functional>

class TRemoteEngine;
class TSessionService;

// Where a single-file step runs, inside a job on the engine's thread: the engine's work is
// done there, the window's (logs, progress window, busy state) is posted to the window, and
// the mode was read before the job.
class TFileStepSide {
public:
    TFileStepSide(TSessionService& service, TRemoteEngine& engine, TTransferChoice mode);
    // Runs call on the window's thread, after what was handed over before.
    void Window(std::function<void()> call);
    // Runs step with the engine; its errors are raised here.
    void Engine(const std::function<void(TRemoteEngine&)>& step);
    // The checked transfer mode.
    TTransferChoice Mode() const { return mode_; }

private:
    TSessionService& service_;
    TRemoteEngine& engine_;
    TTransferChoice mode_;
};
