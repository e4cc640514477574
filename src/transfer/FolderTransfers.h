#pragma once
#include "service/Command.h"
#include "service/FolderWalk.h"
#include "settings/WindowSettings.h"
#include "settings/WindowState.h"
#include "transfer/QueueIntake.h"

#include <QString>

#include <functional>

class TBusyDisplay;
class TFileOperationLog;
class TFileTransfers;
class TSessionLog;
class TSessionService;
class TTransferPanes;
class TTransferProgress;
class TUserDialogs;

// Whole directory trees between the local pane's folder and the remote pane's: the walk runs
// over listings with the window's masks and options, the files go through the file transfers'
// single-file steps, and the panes stay where they are.
class TFolderTransfers {
public:
    struct Sources {
        TSessionService& service;
        TFileTransfers& files;
        const TWindowOptions& options;
        const TExtensionLists& extensions;
        TTransferProgress& progress;
        TUserDialogs& dialogs;
        // The local pane's folder, where the walk starts, the masks, and the remote pane's
        // listing again after a download that listed others.
        TTransferPanes& panes;
        TBusyDisplay& busy;
        TSessionLog& sessionLog;
        TFileOperationLog& fileOperationLog;
        // Where the walk hands its files when transfers run in parallel; none keeps them here.
        TQueueIntake* queue = nullptr;
    };

    explicit TFolderTransfers(Sources sources);

    // The subfolder `name` of both panes' folders, or both folders whole when name is empty,
    // as one job of the service. Errors outside a file's transfer end the whole walk. A
    // mirroring upload under bMirrorPreview is planned first and runs only as the user saw it.
    TTask<> UploadFolder(QString name);
    TTask<> DownloadFolder(QString name);
    // True while an upload or download of a folder runs.
    bool Walking() const { return walking_; }

private:
    // The walk's host on the engine's thread: what the window shows is posted to it, what it
    // decides is asked.
    class TEngineHost;

    // Mirroring is for uploads only.
    TFolderWalk::TSettings WalkSettings(bool mirror) const;
    // Runs walk(localFolder) on the engine's thread; true when it listed folders below the start.
    TTask<bool> RunWalk(TFolderWalk::TSettings settings, std::function<void(TFolderWalk&, const QString&)> walk);
    TTask<> UploadPreviewed(QString name);
    // The plan shown in full; true when the user said OK.
    bool PlanConfirmed(const TWalkPlan& plan);

    Sources sources_;
    bool walking_ = false;
};
