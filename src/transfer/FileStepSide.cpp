#include "transfer/FileStepSide.h"

#include "service/SessionService.h"

TWindowStepSide::TWindowStepSide(TSessionService& service, std::function<TTransferChoice()> mode)
    : service_(service), mode_(std::move(mode))
{
}

void TWindowStepSide::Window(std::function<void()> call)
{
    call();
}

void TWindowStepSide::Engine(const std::function<void(TIdFTP&)>& step)
{
    service_.Run([&step](TIdFTP& engine) { step(engine); });
}

TTransferChoice TWindowStepSide::Mode() const
{
    return mode_();
}

TEngineStepSide::TEngineStepSide(TSessionService& service, TIdFTP& engine, TTransferChoice mode)
    : service_(service), engine_(engine), mode_(mode)
{
}

void TEngineStepSide::Window(std::function<void()> call)
{
    service_.Post(std::move(call));
}

void TEngineStepSide::Engine(const std::function<void(TIdFTP&)>& step)
{
    step(engine_);
}

TTransferChoice TEngineStepSide::Mode() const
{
    return mode_;
}
