#include "ftp/IdComponent.h"

std::string StatusText(TIdStatus status, const std::string& argument) {
    switch (status) {
    case stResolving: return "Resolving hostname " + argument + ".";
    case stConnecting: return "Connecting to " + argument + ".";
    case stConnected: return "Connected.";
    case stDisconnecting: return "Disconnecting.";
    case stDisconnected: return "Disconnected.";
    case stStatusText:
    case stTransfer:
    case stReady:
    case stAborted: break;
    }
    return argument;
}

void TIdComponent::ReportStatus(TIdStatus status, const std::string& argument) {
    if (OnStatus) OnStatus(this, status, StatusText(status, argument));
}

void TIdComponent::BeginWork(TWorkMode mode, int64_t size) {
    WorkRecord& work = work_[mode];
    if (++work.level == 1) {
        work.count = 0;
        work.countMax = size;
        if (OnWorkBegin) OnWorkBegin(this, mode, size);
    }
}

void TIdComponent::StepWork(TWorkMode mode, int64_t count) {
    WorkRecord& work = work_[mode];
    if (work.level == 0) return;
    work.count += count;
    if (OnWork) OnWork(this, mode, work.count);
}

void TIdComponent::EndWork(TWorkMode mode) {
    WorkRecord& work = work_[mode];
    if (work.level == 1 && OnWorkEnd) OnWorkEnd(this, mode);
    if (work.level > 0) --work.level;
}
