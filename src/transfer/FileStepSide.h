#pragma once
#include "settings/WindowSettings.h"

#include <functional>

class TRemoteEngine;
class TSessionService;

// Where a single-file step runs, inside a job on an engine's thread: the engine's work is
// done there, the window's (logs, progress window, busy state) is posted to the window, and
// the settings were read before the job.
class TFileStepSide {
public:
    struct TSettings {
        // The checked transfer mode.
        TTransferChoice mode = TTransferChoice::Auto;
        // iFileNameAfterTransfer, or the command's own transform.
        int nameTransform = 0;
        // The file runs in the transfer queue, which shows its progress: it leaves the busy
        // state and the progress window alone.
        bool queued = false;
    };

    TFileStepSide(TSessionService& service, TRemoteEngine& engine, TSettings settings);
    // Runs call on the window's thread, after what was handed over before.
    void Window(std::function<void()> call);
    // The same for what need not wake the window (a log line): it runs with the next call that
    // does, or by the service's report timer.
    void Report(std::function<void()> call);
    // Runs step with the engine; its errors are raised here.
    void Engine(const std::function<void(TRemoteEngine&)>& step);
    const TSettings& Settings() const { return settings_; }

private:
    TSessionService& service_;
    TRemoteEngine& engine_;
    TSettings settings_;
};
