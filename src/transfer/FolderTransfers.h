#pragma once
#include "service/Command.h"
#include "service/FolderWalk.h"
#include "settings/WindowSettings.h"
#include "settings/WindowState.h"

#include <QString>

#include <functional>

class TFileTransfers;
class TSessionService;
class TTransferProgress;
class TUserDialogs;

// Whole directory trees between the local pane's folder and the remote pane's: the walk runs
// over listings with the window's masks and options, the files go through the file transfers'
// single-file steps, and the panes stay where they are.
class TFolderTransfers {
public:
    // The masks as the panes' boxes hold them.
    struct TMasks {
        QString local;
        QString remote;
    };

    struct Sources {
        TSessionService& service;
        TFileTransfers& files;
        const TWindowOptions& options;
        const TExtensionLists& extensions;
        TTransferProgress& progress;
        TUserDialogs& dialogs;
        std::function<TMasks()> masks;
        // The local pane's folder, where the walk starts.
        std::function<QString()> localFolder;
        // aRemoteRefreshExecute: the remote pane lists its folder again after a download that
        // listed others.
        std::function<TTask<>()> remoteRefresh;
        std::function<void()> leaveBusyState;
        std::function<void(const QString&)> appendLogLine;
        // AppendFileOperationLog: operation, local side, arrow, remote side.
        std::function<void(const QString&, const QString&, const QString&, const QString&)> appendFileOperationLog;
    };

    explicit TFolderTransfers(Sources sources);

    // The subfolder `name` of both panes' folders, or both folders whole when name is empty,
    // as one job of the service. Errors outside a file's transfer end the whole walk.
    TTask<> UploadFolder(QString name);
    TTask<> DownloadFolder(QString name);
    // True while an upload or download of a folder runs.
    bool Walking() const { return walking_; }

private:
    // The walk's host on the engine's thread: what the window shows is posted to it, what it
    // decides is asked.
    class TEngineHost;

    TFolderWalk::TSettings WalkSettings() const;
    // Runs walk(localFolder) on the engine's thread; true when it listed folders below the start.
    TTask<bool> RunWalk(std::function<void(TFolderWalk&, const QString&)> walk);

    Sources sources_;
    bool walking_ = false;
};
