// The transfers' progress: the engine's work events, the progress window and the abort request.
#include "app/MainForm.h"

#include "log/SessionLog.h"
#include "transfer/TransferProgress.h"

void TMainForm::SetUpTransferProgress()
{
    transferProgress_ = std::make_unique<TTransferProgress>(TTransferProgress::Sources{
        transfer_, [this] { IdFTP1.Abort(); }, *this, [this](const QString& line) { sessionLog_->AppendLogLine(line); },
        [this](int index, const QString& text) { SetStatusPanel(index, text); }, [this] { LeaveBusyState(); }});
    TTransferProgress& progress = *transferProgress_;
    IdFTP1.OnWorkBegin = [&progress](TIdComponent*, TWorkMode mode, int64_t countMax) {
        progress.IdFTP1WorkBegin(mode, countMax);
    };
    IdFTP1.OnWork = [&progress](TIdComponent*, TWorkMode mode, int64_t count) { progress.IdFTP1Work(mode, count); };
    IdFTP1.OnWorkEnd = [&progress](TIdComponent*, TWorkMode mode) { progress.IdFTP1WorkEnd(mode); };
    // A stalled transfer sends no work events, so the pump is where it learns of an abort.
    IdAntiFreeze1.OnCheckAbort = [&progress] { return progress.TakeAbortRequestWhileDataFlows(); };
    SetActionHandler("aAbort", [&progress] { progress.aAbortExecute(); });
}
