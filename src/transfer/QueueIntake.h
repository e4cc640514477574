#pragma once
#include "service/FileEntry.h"
#include "service/FolderWalk.h"
#include "transfer/FileStepSide.h"

// One file for the transfer queue: which way, the entry, the folders it goes between (the
// remote one by its path, which every connection can enter) and the step's settings.
struct TQueuedFile {
    bool upload = false;
    TFileEntry file = {};
    TWalkFolders folders = {};
    TFileStepSide::TSettings settings = {};
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
