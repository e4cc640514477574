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
    const TMainFormControls& c = controls_;
    fileTransfers_ = std::make_unique<TFileTransfers>(TFileTransfers::Sources{
        service_, options_, extensions_, transfer_, *transferProgress_, dialogs_,
        [this] {
            if (Action(QStringLiteral("aTypeASCII"))->isChecked())
                return TTransferChoice::ASCII;
            return Action(QStringLiteral("aTypeBinary"))->isChecked() ? TTransferChoice::Binary : TTransferChoice::Auto;
        },
        *c.LocalFileListView, *c.RemoteFileListView, *c.LocalDirBox, *c.RemoteDirBox, *c.ProfileNameBox,
        [this] { EnterBusyState(); }, [this] { LeaveBusyState(); },
        [this](bool hold) { controls_.MainPanel->setEnabled(!hold); },
        [this](int panel, const QString& text) { SetStatusPanel(panel, text); },
        [this](const QString& line) { sessionLog_->AppendLogLine(line); },
        [this](const QString& operation, const QString& local, const QString& arrow, const QString& remote) {
            fileOperationLog_->AppendFileOperationLog(operation, local, arrow, remote);
        },
        [this] { remotePane_->aRemoteRefreshExecute(); }, [this] { localPane_->FillLocalFileList(); },
        [this] { localPane_->aLocalRefreshExecute(); },
        [this](const QString& name) { folderTransfers_->UploadFolder(name); },
        [this](const QString& name) { folderTransfers_->DownloadFolder(name); },
        [this] { return localPane_->Folder(); }});

    TFileTransfers& transfers = *fileTransfers_;
    SetActionHandler("aUpload", [&transfers] { transfers.aUploadExecute(); });
    SetActionHandler("aUploadAppend", [&transfers] { transfers.aUploadAppendExecute(); });
    SetActionHandler("aUploadAll", [&transfers] { transfers.aUploadAllExecute(); });
    SetActionHandler("aDownload", [&transfers] { transfers.aDownloadExecute(); });
    SetActionHandler("aDownloadRestore", [&transfers] { transfers.aDownloadRestoreExecute(); });
    SetActionHandler("aDownloadAll", [&transfers] { transfers.aDownloadAllExecute(); });
    const std::pair<const char*, void (TFileTransfers::*)()> commands[] = {
        {"aUpload", &TFileTransfers::aUploadExecute},
        {"aUploadAll", &TFileTransfers::aUploadAllExecute},
        {"aDownload", &TFileTransfers::aDownloadExecute},
        {"aDownloadAll", &TFileTransfers::aDownloadAllExecute},
    };
    const std::pair<const char*, int> transforms[] = {{"AsIs", 0}, {"UpperCase", 1}, {"LowerCase", 2}};
    for (const auto& [base, command] : commands)
        for (const auto& [suffix, transform] : transforms)
            SetActionHandler(QLatin1String(base) + QLatin1String(suffix),
                             [&transfers, command, transform] {
                                 transfers.RunWithNameTransform(transform, [&transfers, command] { (transfers.*command)(); });
                             });
    AddEnablingRule(TFileTransfers::EnableActions);
}
