#include "transfer/FileStepSide.h"

#include "service/SessionService.h"

TFileStepSide::TFileStepSide(TSessionService& service, TRemoteEngine& engine, TTransferChoice mode)
    : service_(service), engine_(engine), mode_(mode)
{
}

void TFileStepSide::Window(std::function<void()> call)
{
    service_.Post(std::move(call));
}

void TFileStepSide::Engine(const std::function<void(TRemoteEngine&)>& step)
{
    step(engine_);
}
