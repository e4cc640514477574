#include "transfer/TransferProgress.h"

#include "service/SessionService.h"

#include "transfer/TransactionDlg.h"

TTransferProgress::TTransferProgress(Sources sources)
    : sources_(std::move(sources)), lineFormat_(QLocale::system())
{
}

TTransferProgress::~TTransferProgress()
{
    delete sources_.transfer.ProgressWindow;
    sources_.transfer.ProgressWindow = nullptr;
}

TTransactionDlg* TTransferProgress::Window() const
{
    return sources_.transfer.ProgressWindow;
}

void TTransferProgress::CreateProgressWindow()
{
    if (Window())
        return;
    sources_.transfer.ProgressWindow = new TTransactionDlg(&sources_.owner, [this] { aAbortExecute(); });
}

void TTransferProgress::DestroyProgressWindow()
{
    TTransactionDlg* window = Window();
    if (!window)
        return;
    sources_.transfer.ProgressWindow = nullptr;
    // Deleted once control is back in the event loop: this may run from the window's own
    // button handler, while a command waits for its job.
    window->hide();
    window->deleteLater();
}

void TTransferProgress::ShowProgressWindow()
{
    // Raised as it appears, not for every file: a folder's thousands of files would restack it
    // over whatever the user brought forward meanwhile.
    if (TTransactionDlg* window = Window(); window && window->isHidden()) {
        window->show();
        window->raise();
    }
}

void TTransferProgress::UpdateProgressWindow(const QString& status, const QString& file, const QString& bytes,
                                             std::int64_t position)
{
    if (TTransactionDlg* window = Window()) {
        window->SetTexts(status, file, bytes);
        window->SetBarPosition(position);
    }
}

void TTransferProgress::ShowTotals(const QString& status, const QString& file, const QString& bytes,
                                   std::int64_t done, std::int64_t total)
{
    if (TTransactionDlg* window = Window()) {
        window->SetTexts(status, file, bytes);
        window->SetBarMaximum(total);
        window->SetBarPosition(done);
    }
}

void TTransferProgress::DestroyHiddenProgressWindow()
{
    // A window not shown yet belongs to a command that is about to show it.
    if (TTransactionDlg* window = Window(); window && window->ShownOnce() && window->isHidden())
        DestroyProgressWindow();
}

void TTransferProgress::FollowEngine(TSessionService& service)
{
    service.ForEachEngine([this, &service](TIdComponent& engine) {
        engine.OnWorkBegin = [this, &service](TIdComponent*, TWorkMode mode, int64_t countMax) {
            service.Report([this, mode, countMax, at = std::chrono::steady_clock::now()] {
                IdFTP1WorkBegin(mode, countMax, at);
            });
        };
        engine.OnWork = [this, &service](TIdComponent*, TWorkMode mode, int64_t count) {
            service.Report([this, mode, count, at = std::chrono::steady_clock::now()] { IdFTP1Work(mode, count, at); });
        };
        engine.OnWorkEnd = [this, &service](TIdComponent*, TWorkMode mode) {
            service.Report([this, mode] { IdFTP1WorkEnd(mode); });
        };
    });
}

void TTransferProgress::IdFTP1WorkBegin(TWorkMode, std::int64_t workCountMax,
                                        std::chrono::steady_clock::time_point at)
{
    TTransferState& state = sources_.transfer;
    dataFlowing_ = true;
    start_ = at;
    if (workCountMax >= 1)
        state.ExpectedSize = workCountMax;
    if (TTransactionDlg* window = Window(); window && state.ExpectedSize > 0)
        window->SetBarMaximum(state.ExpectedSize);
    state.TransferSpeed = 0;
}

void TTransferProgress::IdFTP1Work(TWorkMode mode, std::int64_t workCount, std::chrono::steady_clock::time_point at)
{
    TTransferState& state = sources_.transfer;
    const auto elapsed = at - start_;
    state.TransferSpeed = NextTransferSpeed(
        workCount, std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count(), state.TransferSpeed);
    const QString line = lineFormat_.Line(mode, workCount, state.ExpectedSize, state.TransferSpeed);
    if (TTransactionDlg* window = Window()) {
        window->SetBytesText(line);
        window->SetBarPosition(workCount);
    }
    sources_.appendLogLine(line);
}

void TTransferProgress::IdFTP1WorkEnd(TWorkMode)
{
    TTransferState& state = sources_.transfer;
    sources_.setStatusPanel(3, QStringLiteral("Transfer complete."));
    state.ExpectedSize = 0;
    dataFlowing_ = false;
    if (TTransactionDlg* window = Window())
        window->SetBarPosition(0);
    state.TransferSpeed = 0;
    sources_.leaveBusyState();
}

void TTransferProgress::aAbortExecute()
{
    sources_.requestAbort();
}
