#pragma once
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
class TFolderTransfers : private TFolderWalk::THost {
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
        TTransferState& transfer;
        TTransferProgress& progress;
        TUserDialogs& dialogs;
        std::function<TMasks()> masks;
        // The local pane's folder, where the walk starts.
        std::function<QString()> localFolder;
        // aRemoteRefreshExecute: the remote pane lists its folder again after a download that
        // listed others.
        std::function<void()> remoteRefresh;
        std::function<void()> leaveBusyState;
        std::function<void(const QString&)> appendLogLine;
        // AppendFileOperationLog: operation, local side, arrow, remote side.
        std::function<void(const QString&, const QString&, const QString&, const QString&)> appendFileOperationLog;
    };

    explicit TFolderTransfers(Sources sources);

    // The subfolder `name` of both panes' folders, or both folders whole when name is empty.
    // Errors outside a file's transfer end the whole walk.
    void UploadFolder(const QString& name);
    void DownloadFolder(const QString& name);
    // True while an upload or download of a folder runs.
    bool Walking() const { return walking_; }

private:
    TFolderWalk::TSettings WalkSettings() const;

    void RunOnEngine(const std::function<void(TIdFTP&)>& step) override;
    void LogLine(const QString& line) override;
    void LocalFolderCreated(const QString& name) override;
    void ShowProgress(const QString& status, const QString& file) override;
    bool StopRequested() override;
    void ShowStopped() override;
    bool UploadFile(const TWalkEntry& file, const TWalkFolders& folders) override;
    bool DownloadFile(const TWalkEntry& file, const TWalkFolders& folders) override;

    Sources sources_;
    bool walking_ = false;
};
