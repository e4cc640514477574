#pragma once
#include "service/FileEntry.h"
#include "service/FolderWalk.h"
#include "service/JobResult.h"
#include "transfer/FileStepSide.h"

#include <functional>
#include <vector>

// How a queued file is sent: whole, appended to the remote file, or a download resumed after
// the bytes the local file already holds.
enum class TQueuedMode { Whole, Append, Resume };

// One file for the transfer queue: which way and how, the entry, the folders it goes between
// (the remote one by its path, which every connection can enter) and the step's settings.
struct TQueuedFile {
    bool upload = false;
    TQueuedMode mode = TQueuedMode::Whole;
    TFileEntry file = {};
    TWalkFolders folders = {};
    TFileStepSide::TSettings settings = {};
    // Set where the walk batches its folder's upload checks (the server checks sizes only):
    // settles, on the connection that sent them, the checks of the files it sent into the
    // folder, giving each one's outcome in order. Unset, the file is checked alone, at once.
    using TSettleChecks =
        std::function<std::vector<TJobResult>(const std::vector<TFileEntry>&, const TWalkFolders&, TFileStepSide&)>;
    TSettleChecks settleChecks = {};
};

// Where transfers hand their files when they run in parallel.
class TQueueIntake {
public:
    virtual ~TQueueIntake() = default;
    // Whether transfers go through the queue (option iTransferConnections of 2 or more).
    virtual bool Parallel() const = 0;
    // On the window's thread.
    virtual void Add(TQueuedFile file) = 0;
};
