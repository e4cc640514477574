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
    const TFileListModel& model = controls_.RemoteFileListView->Model();
    remoteFileOps_ = std::make_unique<TRemoteFileOps>(TRemoteFileOps::Sources{
        .service = service_,
        .owner = *this,
        .dialogs = dialogs_,
        .fileOperationLog = *fileOperationLog_,
        .appDir = appDir_,
        .options = options_,
        .transfer = transfer_,
        .selectedRows =
            [this, &model] {
                QList<TFileOpRow> rows;
                for (int index : SelectedRows(*controls_.RemoteFileListView)) {
                    const TFileEntry& file = model.Row(index).entry;
                    rows.append({file.name, file.IsFolder(), file.nameBytes,
                                 file.sizeKnown ? std::optional<qint64>(file.size) : std::nullopt});
                }
                return rows;
            },
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
        .enterBusyState = [this] { EnterBusyState(); },
        .leaveBusyState = [this] { LeaveBusyState(); },
        .aOptionExecute = [this] { Action(QStringLiteral("aOption"))->trigger(); },
    });
    TRemoteFileOps& ops = *remoteFileOps_;
    SetActionHandler("aRemoteFileView", [&ops] { ops.aRemoteFileViewExecute(); });
    SetActionHandler("aRemoteMkDir", [&ops] { ops.aRemoteMkDirExecute(); });
    SetActionHandler("aRemoteRename", [&ops] { ops.aRemoteRenameExecute(); });
    SetActionHandler("aRemoteExtModify", [&ops] { ops.aRemoteExtModifyExecute(); });
    SetActionHandler("aRemoteUpperCase", [&ops] { ops.aRemoteUpperCaseExecute(); });
    SetActionHandler("aRemoteLowerCase", [&ops] { ops.aRemoteLowerCaseExecute(); });
    SetActionHandler("aRemoteFileDelete", [&ops] { ops.aRemoteFileDeleteExecute(); });
    SetActionHandler("aChmod", [&ops] { ops.aChmodExecute(); });
    SetActionHandler("aRemoteDetail", [&ops] { ops.aRemoteDetailExecute(); });
    AddEnablingRule(TRemoteFileOps::EnableActions);
}
