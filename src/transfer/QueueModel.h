#pragma once
#include "service/JobResult.h"
#include "transfer/QueueIntake.h"

#include <QAbstractTableModel>
#include <QString>

#include <atomic>
#include <chrono>
#include <memory>
#include <cstdint>
#include <vector>

enum class TQueueState { Waiting, Running, Done, Failed, Skipped, Aborted };

// One file of the transfer queue and what became of it.
struct TQueueRow {
    int id = 0;
    TQueuedFile file;
    QString localPath;
    QString remotePath;
    // -1 while unknown.
    std::int64_t size = -1;
    TQueueState state = TQueueState::Waiting;
    QString reason;
    std::int64_t bytesDone = 0;
    double speed = 0;
    // The extra connection it runs on, -1 when none.
    int connection = -1;
    bool abortRequested = false;
    // Read by the connection's thread before the file starts: an abort of a file handed to a
    // connection that is still busy with the one before.
    std::shared_ptr<std::atomic<bool>> cancelled = std::make_shared<std::atomic<bool>>(false);
    std::chrono::steady_clock::time_point started;
    // Its bytes began to move. A file handed to a connection still busy with the one before
    // is running as far as the queue goes, but shows as waiting.
    bool begun = false;
    // The queue's run it last ran or ended in: the progress window counts the files of the
    // present run, not those still listed from an earlier one.
    int run = 0;

    bool Finished() const { return state != TQueueState::Waiting && state != TQueueState::Running; }
    // Running, and its bytes moving.
    bool Moving() const { return state == TQueueState::Running && begun; }
};

// The queue's rows as the queue tab shows them: direction, local path, remote path, size, state,
// speed and why a file did not arrive.
class TQueueModel : public QAbstractTableModel {
public:
    enum TColumn { Direction, LocalPath, RemotePath, Size, State, Speed, Reason, ColumnCount };

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    static QString StateText(TQueueState state);

    const std::vector<TQueueRow>& Rows() const { return rows_; }
    TQueueRow* Find(int id);
    void Append(TQueueRow row);
    // Tells the views that the row of that id changed.
    void Changed(int id);
    // Drops the rows that have finished.
    void RemoveFinished();
    // The row shown at view index `row`; nullptr when out of range.
    TQueueRow* At(int row);

private:
    int IndexOf(int id) const;
    std::vector<TQueueRow> rows_;
};
