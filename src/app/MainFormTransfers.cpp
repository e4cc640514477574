// The file transfers, built over the window's panes, engine, logs and progress handling.
#include "app/MainForm.h"

#include "log/FileOperationLog.h"
#include "log/SessionLog.h"
#include "panes/LocalPane.h"
#include "panes/RemotePane.h"
#include "transfer/FileTransfers.h"
#include "transfer/FolderTransfers.h"

#include <QAction>
#include <QComboBox>
#include <QSplitter>

void TMainForm::SetUpFileTransfers()
{
    const TWindowControls& c = controls_;
    fileTransfers_ = std::make_unique<TFileTransfers>(TFileTransfers::Sources{
        .service = service_,
        .options = options_,
        .extensions = extensions_,
        .transfer = transfer_,
        .progress = *transferProgress_,
        .dialogs = dialogs_,
        .transferMode =
            [this] {
                if (Action(QStringLiteral("aTypeASCII"))->isChecked())
                    return TTransferChoice::ASCII;
                return Action(QStringLiteral("aTypeBinary"))->isChecked() ? TTransferChoice::Binary
                                                                          : TTransferChoice::Auto;
            },
        .localList = *c.LocalFileListView,
        .remoteList = *c.RemoteFileListView,
        .localDirBox = *c.LocalDirBox,
        .remoteDirBox = *c.RemoteDirBox,
        .profileNameBox = *c.ProfileNameBox,
        .enterBusyState = [this] { EnterBusyState(); },
        .leaveBusyState = [this] { LeaveBusyState(); },
        .holdPanes = [this](bool hold) { controls_.MainPanel->setEnabled(!hold); },
        .setStatusPanel = [this](int panel, const QString& text) { SetStatusPanel(panel, text); },
        .appendLogLine = [this](const QString& line) { sessionLog_->AppendLogLine(line); },
        .appendFileOperationLog =
            [this](const QString& operation, const QString& local, const QString& arrow, const QString& remote) {
                fileOperationLog_->AppendFileOperationLog(operation, local, arrow, remote);
            },
        .remoteRefresh = [this] { remotePane_->aRemoteRefreshExecute(); },
        .fillLocalFileList = [this] { localPane_->FillLocalFileList(); },
        .localRefresh = [this] { localPane_->aLocalRefreshExecute(); },
        .uploadFolder = [this](const QString& name) { return folderTransfers_->UploadFolder(name); },
        .downloadFolder = [this](const QString& name) { return folderTransfers_->DownloadFolder(name); },
        .localFolder = [this] { return localPane_->Folder(); },
    });

    TFileTransfers& transfers = *fileTransfers_;
    actions_.SetHandler("aUploadAppend", [&transfers] { transfers.aUploadAppendExecute(); });
    actions_.SetHandler("aDownloadRestore", [&transfers] { transfers.aDownloadRestoreExecute(); });
    const std::pair<const char*, void (TFileTransfers::*)(std::optional<int>)> commands[] = {
        {"aUpload", &TFileTransfers::aUploadExecute},
        {"aUploadAll", &TFileTransfers::aUploadAllExecute},
        {"aDownload", &TFileTransfers::aDownloadExecute},
        {"aDownloadAll", &TFileTransfers::aDownloadAllExecute},
    };
    const std::pair<const char*, std::optional<int>> transforms[] = {
        {"", std::nullopt}, {"AsIs", 0}, {"UpperCase", 1}, {"LowerCase", 2}};
    for (const auto& [base, command] : commands)
        for (const auto& [suffix, transform] : transforms)
            actions_.SetHandler(QLatin1String(base) + QLatin1String(suffix),
                             [&transfers, command, transform] { (transfers.*command)(transform); });
    actions_.AddEnablingRule(TFileTransfers::EnableActions);
}
