#pragma once
#include "fileops/FileOpSteps.h"
#include "fileops/ViewFolder.h"
#include "settings/ActionEnabling.h"

#include <QList>
#include <QString>

#include <functional>
#include <string>

class QWidget;
class TBusyDisplay;
class TFileOperationLog;
class TSessionService;
class TUserDialogs;
struct TTransferState;
struct TWindowOptions;

// The remote pane's commands on entries of the server: view, create a directory, rename,
// change the extension or letter case, delete, SITE commands through the command dialog and
// the raw text of the last listing. A refusal of the server ends a command at that row: its
// error reaches the window's handler, nothing further is sent and the pane is not re-listed.
class TRemoteFileOps {
public:
    struct Sources {
        TSessionService& service;
        QWidget& owner;
        TUserDialogs& dialogs;
        TFileOperationLog& fileOperationLog;
        // The program directory, below which the viewer's files go.
        const QString& appDir;
        const TWindowOptions& options;
        // ExpectedSize of a download for viewing.
        TTransferState& transfer;
        // The selected rows of the remote list, in list order, with the bytes the server
        // listed for each name.
        std::function<QList<TFileOpRow>()> selectedRows;
        // The text of RemoteDirBox.
        std::function<QString()> remoteDirectory;
        // RemoteSpec of a name: profile, remote directory and name.
        std::function<QString(const QString&)> remoteSpec;
        // True for a name that must not become a local path, after the session log has said
        // that it is skipped.
        std::function<bool(const QString&)> skipUnsafeLocalName;
        std::function<void()> remoteRefresh;
        TBusyDisplay& busy;
        std::function<void()> aOptionExecute;
    };

    explicit TRemoteFileOps(Sources sources);

    void aRemoteFileViewExecute();
    void aRemoteMkDirExecute();
    void aRemoteRenameExecute();
    void aRemoteExtModifyExecute();
    void aRemoteUpperCaseExecute();
    void aRemoteLowerCaseExecute();
    void aRemoteFileDeleteExecute();
    void aChmodExecute();
    void aRemoteDetailExecute();

    // Making directories, the listing and SITE commands need a session; viewing and renaming
    // a selected file, deleting any selected row.
    static void EnableActions(const TEnablingFacts& facts, const TActionSwitch& actions);

private:
    QList<TFileOpRow> SelectedRowsOrNotice(TFileOpSteps::TNotice notice) const;
    void Log(const QString& operation, const QString& first, const QString& direction = {},
             const QString& second = {}) const;
    // RNFR and RNTO, then the "Rename" line.
    TTask<> RenameOnServer(TFileOpRow row, QString newName) const;
    // Lists the pane again when the renames changed a name.
    TTask<> RelistAfter(TTask<bool> renames);
    TTask<> MakeDirectory(std::string bytes);
    TTask<> DeleteRows(QList<TFileOpRow> rows);
    TTask<> ViewFiles(QList<TFileOpRow> rows);
    TTask<> ShowDetailedListing();
    // The selected file rows whose text gives back the bytes the server listed: only those can
    // be given a name derived from their text without corrupting it.
    QList<TFileOpRow> FileRowsWithKnownNames(TFileOpSteps::TNotice notice) const;
    void ChangeCase(TLetterCase letterCase);
    // Downloads into the folder, keeping the engine's data type; true when the file arrived.
    TTask<bool> DownloadForViewing(const TFileOpRow& row, QString localPath);
    TTask<> SendSiteLine(QString line) const;
    void StartViewerOrReconfigure(const QString& path) const;

    Sources sources_;
    TFileOpSteps steps_;
    TViewFolder viewFolder_;
};
