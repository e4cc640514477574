#pragma once
#include "settings/WindowSettings.h"

#include <functional>

class TIdFTP;
class TSessionService;

// Where the single-file steps do their two kinds of work: the window's (logs, progress window,
// busy state) and the engine's. Either side runs one of them where it is and hands the other
// to the session service.
class TFileStepSide {
public:
    virtual ~TFileStepSide() = default;
    // Runs call on the window's thread, after what was handed over before.
    virtual void Window(std::function<void()> call) = 0;
    // Runs step with the engine; its errors are raised here.
    virtual void Engine(const std::function<void(TIdFTP&)>& step) = 0;
    // The checked transfer mode.
    virtual TTransferChoice Mode() const = 0;
};

// On the window's thread: each engine step is a job of the service.
class TWindowStepSide : public TFileStepSide {
public:
    TWindowStepSide(TSessionService& service, std::function<TTransferChoice()> mode);
    void Window(std::function<void()> call) override;
    void Engine(const std::function<void(TIdFTP&)>& step) override;
    TTransferChoice Mode() const override;

private:
    TSessionService& service_;
    std::function<TTransferChoice()> mode_;
};

// On the engine's thread, inside a job: the window's work is posted to it, the mode was read
// before the job.
class TEngineStepSide : public TFileStepSide {
public:
    TEngineStepSide(TSessionService& service, TIdFTP& engine, TTransferChoice mode);
    void Window(std::function<void()> call) override;
    void Engine(const std::function<void(TIdFTP&)>& step) override;
    TTransferChoice Mode() const override;

private:
    TSessionService& service_;
    TIdFTP& engine_;
    TTransferChoice mode_;
};
