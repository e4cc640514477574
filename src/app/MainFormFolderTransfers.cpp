// The folder transfers, built over both panes and the file transfers' per-file steps.
#include "app/MainForm.h"

#include "app/PaintThrottle.h"
#include "log/FileOperationLog.h"
#include "log/SessionLog.h"
#include "panes/FileViewStack.h"
#include "panes/LocalPane.h"
#include "panes/RemotePane.h"
#include "transfer/FolderTransfers.h"


void TMainForm::SetUpFolderTransfers()
{
    folderTransfers_ = std::make_unique<TFolderTransfers>(TFolderTransfers::Sources{
        service_, *fileTransfers_, options_, extensions_, transfer_, *transferProgress_, dialogs_,
        controls_.LocalFileListView->Model(), controls_.RemoteFileListView->Model(), *controls_.LocalDirBox,
        *controls_.RemoteDirBox, [this](const QString& name) { localPane_->OpenLocalSubdirectory(name); },
        [this](const QByteArray& name) { remotePane_->OpenRemoteSubdirectory(name); },
        [this] { localPane_->aLocalRefreshExecute(); }, [this] { remotePane_->aRemoteRefreshExecute(); },
        [this] { LeaveBusyState(); },
        [this](const QString& line) { sessionLog_->AppendLogLine(line); },
        [this](const QString& operation, const QString& local, const QString& arrow, const QString& remote) {
            fileOperationLog_->AppendFileOperationLog(operation, local, arrow, remote);
        },
        [this] { return localPane_->Folder(); }});
    // A folder of small files pumps events several times per file.
    new TPaintThrottle([this] { return folderTransfers_->Walking(); }, this);
}
