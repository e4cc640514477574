#include "transfer/FileStepSide.h"

#include "service/SessionService.h"

TFileStepSide::TFileStepSide(TSessionService& service, TRemoteEngine& engine, TSettings settings)
    : service_(service), engine_(engine), settings_(settings)
{
}

void TFileStepSide::Window(std::function<void()> call)
{
    service_.Post(std::move(call));
}

void TFileStepSide::Report(std::function<void()> call)
{
    service_.Report(std::move(call));
}

void TFileStepSide::Engine(const std::function<void(TRemoteEngine&)>& step)
{
    step(engine_);
}
