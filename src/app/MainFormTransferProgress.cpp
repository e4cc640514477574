// The transfers' progress: the engine's work events, the progress window and the abort request.
#include "app/MainForm.h"

#include "log/SessionLog.h"
#include "transfer/TransferProgress.h"
#include "transfer/TransferQueue.h"

void TMainForm::SetUpTransferProgress()
{
    transferProgress_ = std::make_unique<TTransferProgress>(TTransferProgress::Sources{
        .transfer = transfer_,
        .requestAbort = [this] { service_.RequestAbort(); transferQueue_->AbortAll(); },
        .owner = *this,
        .appendLogLine = [this](const QString& line) { sessionLog_->AppendLogLine(line); },
        .setStatusPanel = [this](int index, const QString& text) { SetStatusPanel(index, text); },
        .leaveBusyState = [this] { LeaveBusyState(); },
    });
    TTransferProgress& progress = *transferProgress_;
    progress.FollowEngine(service_);
    actions_.SetHandler("aAbort", [&progress] { progress.aAbortExecute(); });
}
