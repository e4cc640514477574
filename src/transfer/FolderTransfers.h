#pragma once
#include "platform/DirectoryIdentity.h"
#include "platform/ListFile.h"
#include "settings/WindowSettings.h"
#include "settings/WindowState.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>
#include <stdexcept>
#include <vector>

class QComboBox;
class TFileListModel;
class TFileTransfers;
class TSessionService;
class TTransferProgress;
class TUserDialogs;
struct TFileRow;

// A folder transfer that cannot go on: a directory it cannot enter or read. It ends the whole
// transfer, as an engine error outside the per-file guard does.
class EFolderTransferError : public std::runtime_error {
public:
    explicit EFolderTransferError(const QString& message);
};

// Whole directory trees between the panes. The walk goes through the panes themselves: each
// level makes both panes show its directories, takes the entries from their rows and returns
// them to where the level started, so the panes' masks filter what is transferred.
class TFolderTransfers {
public:
    struct Sources {
        TSessionService& service;
        TFileTransfers& files;
        const TWindowOptions& options;
        const TExtensionLists& extensions;
        TTransferState& transfer;
        TTransferProgress& progress;
        TUserDialogs& dialogs;
        const TFileListModel& localRows;
        const TFileListModel& remoteRows;
        QComboBox& localDirBox;
        QComboBox& remoteDirBox;
        // OpenLocalSubdirectory, OpenRemoteSubdirectory (by the bytes the server knows the
        // name by), aLocalRefreshExecute and aRemoteRefreshExecute.
        std::function<void(const QString&)> openLocalSubdirectory;
        std::function<void(const QByteArray&)> openRemoteSubdirectory;
        std::function<void()> localRefresh;
        std::function<void()> remoteRefresh;
        std::function<void()> leaveBusyState;
        std::function<void(const QString&)> appendLogLine;
        // AppendFileOperationLog: operation, local side, arrow, remote side.
        std::function<void(const QString&, const QString&, const QString&, const QString&)> appendFileOperationLog;
        // The local pane's directory, which the walk follows.
        std::function<QString()> localFolder;
    };

    explicit TFolderTransfers(Sources sources);

    // localDir and remoteDir: the directory boxes' texts when the level starts; name: the
    // subfolder to enter, or empty for the directory itself. Errors outside a file's transfer
    // end the whole walk and leave the panes where it stopped.
    void UploadFolder(const QString& localDir, const QString& remoteDir, const QString& name);
    void DownloadFolder(const QString& localDir, const QString& remoteDir, const QString& name);

    // Under bCompareTimeStamp: true when the file stays where it is, because its extension is
    // in SkipExtList or the other pane's first row of that name (letter case aside) is not
    // older. Raises EConvertError for a time text that cannot be read.
    bool ShouldSkipUpload(const TFileRow& localRow) const;
    bool ShouldSkipDownload(const TFileRow& remoteRow) const;
    // Deletes the remote files of the current remote directory that have no entry of that
    // name in the local directory, whatever the local mask shows; folders and the extensions
    // of NoDeleteExtList stay. Raises EFolderTransferError when the local directory cannot be
    // read, rather than take it for empty.
    void MirrorRemoteDirectory();
    // True when no remote row has that name (locale-aware, letter case aside).
    bool RemoteEntryMissing(const QString& name) const;
    // True while an upload or download of a folder runs.
    bool Walking() const { return walking_; }

private:
    using TAncestors = std::vector<DirectoryIdentity>;

    std::optional<DirectoryIdentity> LocalFolderIdentity() const;

    // One level of an upload; ancestors are the local directories already on the way down.
    void UploadLevel(const QString& localDir, const QString& remoteDir, const QString& name, TAncestors& ancestors);
    void DownloadLevel(const QString& localDir, const QString& remoteDir, const QString& name,
                       const QByteArray& remoteName);
    // Enters the local subdirectory and checks that the pane shows it: the pane stays where it
    // is when it cannot change, and the walk must not take the parent for the child.
    void EnterLocalSubdirectory(const QString& name);
    // False, with the abort message, when the user asked to stop.
    bool GoOn();
    // Puts both panes back on the level's starting directories; start is the local one's
    // identity.
    void ReturnToLevelStart(const QString& localDir, const QString& remoteDir,
                            const std::optional<DirectoryIdentity>& start);
    // The first remote row that RemoteEntryMissing counts as the name's.
    const TFileRow* RemoteCounterpart(const QString& name) const;

    Sources sources_;
    bool walking_ = false;
};
