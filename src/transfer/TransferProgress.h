#pragma once
#include "ftp/IdComponent.h"
#include "settings/WindowState.h"

#include "transfer/WorkReport.h"

#include <QString>

#include <chrono>
#include <cstdint>
#include <functional>

class QWidget;
class TSessionService;

// How a running data transfer proceeds and how the user stops it: the engine's work events,
// the progress window and the abort request. Every data transfer passes through here, file
// transfers and directory listings alike.
class TTransferProgress {
public:
    struct Sources {
        TTransferState& transfer;
        // Asks the engine's thread to end the running data transfer (ABOR, data channel closed).
        std::function<void()> requestAbort;
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
    // Sets the window's texts and bar, when it exists.
    void UpdateProgressWindow(const QString& status, const QString& file, const QString& bytes,
                              std::int64_t position);
    // The texts and bar of a run of several files at once, when the window exists.
    void ShowTotals(const QString& status, const QString& file, const QString& bytes, std::int64_t done,
                    std::int64_t total);
    // On idle: a window the user closed is only hidden while its command runs; it goes here.
    void DestroyHiddenProgressWindow();

    // Takes the service engine's work events, which come from its thread one per chunk, to the
    // handlers below on the window's thread in order; those in the middle of a transfer in
    // batches. `at` is when the engine reported: a batch handled at once would otherwise count
    // its reports as made in the same instant, and show speeds of hundreds of MB/s.
    void FollowEngine(TSessionService& service);
    void IdFTP1WorkBegin(TWorkMode mode, std::int64_t workCountMax, std::chrono::steady_clock::time_point at);
    void IdFTP1Work(TWorkMode mode, std::int64_t workCount, std::chrono::steady_clock::time_point at);
    void IdFTP1WorkEnd(TWorkMode mode);

    // The request ends the running data transfer, and a command between two files stops.
    void aAbortExecute();
    // Between the begin and end work events of a data transfer.
    bool DataFlowing() const { return dataFlowing_; }
    // Where the dialogs of a transfer are centred.
    QWidget& Owner() const { return sources_.owner; }

private:
    TTransactionDlg* Window() const;

    Sources sources_;
    TWorkLineFormat lineFormat_;
    // The clock of the running transfer's speed; unaffected by changes of the system time.
    std::chrono::steady_clock::time_point start_;
    bool dataFlowing_ = false;
};
