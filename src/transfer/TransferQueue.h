#pragma once
#include "service/JobResult.h"
#include "transfer/QueueIntake.h"
#include "transfer/QueueModel.h"
#include "service/ConnectionPool.h"

#include <QString>
#include <QTimer>

#include <deque>
#include <functional>
#include <string>

class TNameCodec;
class TRemoteEngine;
class TFileStepSide;
class TSessionService;
class TTransferProgress;

// The transfer queue: files run in parallel, one per extra connection of the session, while the
// session's own connection stays free for the panes. Every file's fate stays in its row until
// the user removes it. Nothing here asks the user: a file never holds the other connections.
class TTransferQueue : public TQueueIntake {
public:
    struct Sources {
        // The session, whose settings, trust, protocol and name encoding the connections take.
        TSessionService& session;
        // On the window's thread: a chunk of an extra connection's dialogue, by its number.
        std::function<void(int number, bool sent, const std::string& data)> dialogue;
        // iTransferConnections.
        std::function<int()> connections;
        // One file's step, on the thread of the connection it runs on.
        std::function<TJobResult(const TQueuedFile&, TFileStepSide&)> runFile;
        // The progress window shows the whole queue while it runs (when showProgress says so).
        TTransferProgress& progress;
        std::function<bool()> showProgress;
        // Once the last file of a run has ended: the panes of the sides that received files.
        std::function<void(bool uploaded, bool downloaded)> relist;
    };

    explicit TTransferQueue(Sources sources);
    ~TTransferQueue() override;

    bool Parallel() const override;
    void Add(TQueuedFile file) override;

    TQueueModel& Model() { return model_; }
    // A file waiting or running, or the checks of files sent still to settle: a row shown done
    // may yet fail its check.
    bool Running() const { return runActive_; }

    // The context menu's commands. An abort ends a running file within the engine's abort time.
    void AbortRow(int id);
    void AbortAll();
    // Failed files wait again, for the connections to take them up; a failed append stays.
    void RetryFailed();
    // An append that failed may have appended part of the file: sending it again would add
    // those bytes twice, so it stays failed for the user to look at.
    static bool Retryable(const TQueueRow& row)
    {
        return row.state == TQueueState::Failed && row.file.mode != TQueuedMode::Append;
    }
    void RemoveFinished();
    // The session has ended: waiting files are aborted, and each connection checks the files it
    // sent but has not checked yet before it is closed.
    void SessionEnded();

private:
    // A row's file outcome, with the row.
    struct TRowResult {
        int id = 0;
        TJobResult result;
    };
    // The uploads a connection sent into one folder whose checks wait for one listing of it.
    struct TCheckBatch {
        std::vector<int> rows;
        std::vector<TFileEntry> files;
        TWalkFolders folders;
        TFileStepSide::TSettings settings;
        TQueuedFile::TSettleChecks settle;
    };
    // What a job on a connection came to, for the window's thread.
    struct TJobOutcome {
        TJobResult result;
        // The connection could not log in: the file is for another one.
        bool loginFailed = false;
        // Files sent before whose checks this job settled, and that failed them or could not
        // be checked.
        std::vector<TRowResult> checks;
        // Files whose checks still wait on the connection.
        bool checksWaiting = false;
    };
    // What the queue knows of one extra connection.
    struct TSlot {
        // The rows handed to it, the running one first. A connection holds the next file
        // already, so that it does not wait for the window between two small files.
        std::deque<int> rows;
        // The server refused it, or it could not log in: unused until the next run.
        bool retired = false;
        // A settling of the connection's waiting checks runs, with no file handed to it.
        bool settling = false;
        // The connection holds files whose checks wait (as of its last job's end).
        bool checksWaiting = false;
        // The remote folder of the file handed to it last: the next is taken from there.
        QByteArray workFolder;
        // On the connection's thread only: the remote folder it is in, and the files it sent
        // there whose checks wait.
        std::string folder;
        TCheckBatch batch;
    };

    static constexpr std::size_t FilesPerConnection = 2;
    // Starts waiting files on free connections; ends the run when nothing is left.
    void Pump();
    void Start(int slot, TQueueRow& row);
    // The folders the other connections holding files work in.
    std::vector<QByteArray> FoldersWorkedBesides(int slot) const;
    // On a connection's thread: the connection logged in and in the file's folder, then the
    // file. Checks waiting for a folder are settled before the connection does anything else
    // there: another folder, or a file checked alone.
    TJobOutcome RunOnConnection(TSessionService& connection, TRemoteEngine& engine, TSlot& slot, int id,
                                const TQueuedFile& file, const TNameCodec& codec);
    // On a connection's thread, logged in: the file from its folder (the connection's now).
    TJobResult SendFile(TSessionService& connection, TRemoteEngine& engine, std::string& folder,
                        const TQueuedFile& file);
    // On a connection's thread: settles the batch's checks, giving the rows that failed them
    // (failed) and those it could not check (done, with why).
    static std::vector<TRowResult> SettleChecks(TSessionService& connection, TRemoteEngine& engine,
                                                TCheckBatch& batch);
    // A connection with no file left settles the checks it holds.
    void SettleIdle(int slot);
    // The connection settles its checks after the file it may still be sending.
    void Settle(int slot);
    void Finished(int slot, int id, const TJobOutcome& outcome);
    // Rows whose data arrived but not as sent fail; those that could not be checked say so.
    void TakeChecks(const std::vector<TRowResult>& checked);
    // The row's end; a file that arrived shows its average speed.
    void End(TQueueRow& row, TQueueState state, const QString& reason);
    void Follow(int slot);
    // The row running on the connection, if any.
    TQueueRow* RunningOn(int slot);
    // `at`: when the engine's thread saw it. Reports reach the window in batches, so a small
    // file's start and end may arrive together: times taken here would make it look instant.
    void WorkBegin(int slot, std::int64_t size, std::chrono::steady_clock::time_point at);
    void Work(int slot, std::int64_t count, std::chrono::steady_clock::time_point at);
    void ShowTotals();
    void EndRun();

    Sources sources_;
    TQueueModel model_;
    std::deque<TSlot> slots_;
    int nextId_ = 1;
    bool runActive_ = false;
    // Counts the runs: a run begins when a file waits and ends when none is left.
    int run_ = 0;
    bool uploaded_ = false;
    bool downloaded_ = false;
    // Why the last connection that could not log in could not.
    QString loginRefusal_;
    QTimer totalsTimer_;
    // Last: its connections' threads stop before what their jobs use goes.
    TConnectionPool pool_;
};
