// The remote file operations, built over the remote list, the session log and the engine.
#include "app/MainForm.h"

#include "fileops/RemoteFileOps.h"
#include "log/SessionLog.h"
#include "panes/FileViewStack.h"
#include "panes/RemotePane.h"
#include "service/LocalNames.h"
#include "transfer/TransferNames.h"

#include <QAction>
#include <QComboBox>

void TMainForm::SetUpRemoteFileOps()
{
    remoteFileOps_ = std::make_unique<TRemoteFileOps>(TRemoteFileOps::Sources{
        .service = service_,
        .owner = *this,
        .dialogs = dialogs_,
        .fileOperationLog = *fileOperationLog_,
        .appDir = appDir_,
        .options = options_,
        .transfer = transfer_,
        .selectedRows = [this] { return FileOpRows(controls_.RemoteFileListView->SelectedEntries()); },
        .remoteDirectory = [this] { return controls_.RemoteDirBox->currentText(); },
        .remoteSpec =
            [this](const QString& name) { return RemoteSpec(*controls_.ProfileNameBox, *controls_.RemoteDirBox, name); },
        .skipUnsafeLocalName =
            [this](const QString& name) {
                if (!UnsafeLocalName(name))
                    return false;
                sessionLog_->AppendLogLine(UnsafeNameSkippedLine(name));
                return true;
            },
        .remoteRefresh = [this] { remotePane_->aRemoteRefreshExecute(); },
        .busy = *this,
        .aOptionExecute = [this] { Action(QStringLiteral("aOption"))->trigger(); },
    });
    TRemoteFileOps& ops = *remoteFileOps_;
    actions_.SetHandler("aRemoteFileView", [&ops] { ops.aRemoteFileViewExecute(); });
    actions_.SetHandler("aRemoteMkDir", [&ops] { ops.aRemoteMkDirExecute(); });
    actions_.SetHandler("aRemoteRename", [&ops] { ops.aRemoteRenameExecute(); });
    actions_.SetHandler("aRemoteExtModify", [&ops] { ops.aRemoteExtModifyExecute(); });
    actions_.SetHandler("aRemoteUpperCase", [&ops] { ops.aRemoteUpperCaseExecute(); });
    actions_.SetHandler("aRemoteLowerCase", [&ops] { ops.aRemoteLowerCaseExecute(); });
    actions_.SetHandler("aRemoteFileDelete", [&ops] { ops.aRemoteFileDeleteExecute(); });
    actions_.SetHandler("aChmod", [&ops] { ops.aChmodExecute(); });
    actions_.SetHandler("aRemoteDetail", [&ops] { ops.aRemoteDetailExecute(); });
    actions_.AddEnablingRule(TRemoteFileOps::EnableActions);
}
