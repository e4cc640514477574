#pragma once
#include "ToolCommandLine.h"
#include "service/FileEntry.h"

#include <QString>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

class TRemoteEngine;

// One file for whichever connection is free, by paths every connection can follow: the
// remote one from the server's root, the local one absolute.
struct TPoolFile {
    bool upload = true;
    std::string remotePath = {};
    std::string localPath = {};
    std::int64_t size = 0;
    bool sizeKnown = false;
    // The source's time, which the copy takes.
    TEntryTime modified = {};
    // As the user reads it, in error lines.
    QString shown = {};
    // An upload whose check waits, with the others its connection sends into the same folder,
    // for one listing of that folder (where the walk batches the folder's checks).
    bool checkBatched = false;
};

// What the files came to, counted across the threads.
struct TTransferTally {
    std::atomic<int> files{0};
    std::atomic<std::int64_t> bytes{0};
    std::atomic<int> failed{0};
    std::atomic<bool> verificationFailed{false};
};

// Moves one file on an engine, counting it; a failed file is reported on stderr. False, with
// nothing counted, when the connection dropped under it: the file is for another connection.
bool MoveFile(TRemoteEngine& engine, const TPoolFile& file, TTransferTally& tally);
// Settles the engine's deferred upload checks: each damaged file is reported on stderr and
// counted as failed rather than moved.
void SettleUploadChecks(TRemoteEngine& engine, TTransferTally& tally);

// Extra connections, each its own session set up from the same options on its own thread,
// taking files from one queue. A connection the server refuses is simply not used: the files
// go over those it accepted, and over the caller's own once it calls Finish.
class TToolConnectionPool {
public:
    TToolConnectionPool(const ToolOptions& options, int extraConnections, TTransferTally& tally);
    ~TToolConnectionPool();
    TToolConnectionPool(const TToolConnectionPool&) = delete;
    TToolConnectionPool& operator=(const TToolConnectionPool&) = delete;

    void Add(TPoolFile file);
    // Takes files on own as well until the queue is empty, then waits for the others.
    void Finish(TRemoteEngine& own);
    // How many extra connections logged in.
    int Accepted() const { return accepted_.load(); }

private:
    void Work(const ToolOptions& options);
    // Runs files on an engine until the queue is empty and no more will come. A file whose
    // connection dropped under it goes back to the queue for another, and false is returned.
    // Batched checks are settled when the next file goes elsewhere or is checked alone, and
    // at the end.
    bool Drain(TRemoteEngine& engine);
    // The next file for the draining connection `worker`, preferring its folder; none once the
    // queue is empty and no more will come.
    std::optional<TPoolFile> Take(std::size_t worker);

    TTransferTally& tally_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<TPoolFile> queue_;
    // The remote folder each draining connection works in, empty once it has drained.
    std::vector<std::string> workFolders_;
    bool finished_ = false;
    std::atomic<int> accepted_{0};
    std::vector<std::thread> threads_;
};
