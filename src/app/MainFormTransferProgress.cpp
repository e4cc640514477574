// The transfers' progress: the engine's work events, the progress window and the abort request.
#include "app/MainForm.h"

#include "log/SessionLog.h"
#include "transfer/TransferProgress.h"

void TMainForm::SetUpTransferProgress()
{
    transferProgress_ = std::make_unique<TTransferProgress>(TTransferProgress::Sources{
        .transfer = transfer_,
        .requestAbort = [this] { service_.RequestAbort(); },
        .owner = *this,
        .appendLogLine = [this](const QString& line) { sessionLog_->AppendLogLine(line); },
        .setStatusPanel = [this](int index, const QString& text) { SetStatusPanel(index, text); },
        .leaveBusyState = [this] { LeaveBusyState(); },
    });
    TTransferProgress& progress = *transferProgress_;
    // The work events come from the engine's thread, one per chunk, and are shown here in order;
    // those in the middle of a transfer in batches.
    service_.ForEachEngine([this, &progress](TIdComponent& engine) {
        engine.OnWorkBegin = [this, &progress](TIdComponent*, TWorkMode mode, int64_t countMax) {
            service_.Post([&progress, mode, countMax] { progress.IdFTP1WorkBegin(mode, countMax); });
        };
        engine.OnWork = [this, &progress](TIdComponent*, TWorkMode mode, int64_t count) {
            service_.PostProgress([&progress, mode, count] { progress.IdFTP1Work(mode, count); });
        };
        engine.OnWorkEnd = [this, &progress](TIdComponent*, TWorkMode mode) {
            service_.Post([&progress, mode] { progress.IdFTP1WorkEnd(mode); });
        };
    });
    actions_.SetHandler("aAbort", [&progress] { progress.aAbortExecute(); });
}
