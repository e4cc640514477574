#pragma once
#include "ftp/IdComponent.h"
#include "settings/WindowState.h"

#include "transfer/WorkReport.h"

#include <QString>

#include <chrono>
#include <cstdint>
#include <functional>

class QWidget;

// How a running data transfer proceeds and how the user stops it: the engine's work events,
// the progress window and the abort request. Every data transfer passes through here, file
// transfers and directory listings alike.
class TTransferProgress {
public:
    struct Sources {
        TTransferState& transfer;
        // The engine's Abort: ABOR and the data channel closed.
        std::function<void()> abortTransfer;
        // The progress window's owner, which it is centred on.
        QWidget& owner;
        std::function<void(const QString&)> appendLogLine;
        std::function<void(int, const QString&)> setStatusPanel;
        std::function<void()> leaveBusyState;
    };

    explicit TTransferProgress(Sources sources);
    ~TTransferProgress();
    TTransferProgress(const TTransferProgress&) = delete;
    TTransferProgress& operator=(const TTransferProgress&) = delete;

    // A command creates the window at its start (when bShowTransactionDlg is set) and
    // destroys it at its end; both do nothing when there is nothing to do.
    void CreateProgressWindow();
    void DestroyProgressWindow();
    // Shows the window, when one exists, modeless and in front.
    void ShowProgressWindow();
    // Sets the window's texts and bar, when it exists, then lets pending messages run.
    void UpdateProgressWindow(const QString& status, const QString& file, const QString& bytes,
                              std::int64_t position);
    // On idle: a window the user closed is only hidden while its command runs; it goes here.
    void DestroyHiddenProgressWindow();

    void IdFTP1WorkBegin(TWorkMode mode, std::int64_t workCountMax);
    void IdFTP1Work(TWorkMode mode, std::int64_t workCount);
    void IdFTP1WorkEnd(TWorkMode mode);

    // The abort request is a flag: the next work report of a running transfer acts on it.
    void aAbortExecute();
    // The message pump's abort check: a request made while data flows is taken, once, and the
    // engine aborts that transfer; one made before stays for WorkBegin to clear.
    bool TakeAbortRequestWhileDataFlows();

private:
    TTransactionDlg* Window() const;

    Sources sources_;
    TWorkLineFormat lineFormat_;
    // The clock of the running transfer's speed; unaffected by changes of the system time.
    std::chrono::steady_clock::time_point start_;
};
