// The file transfers, built over the window's panes, engine, logs and progress handling.
#include "app/MainForm.h"

#include "app/WindowPanes.h"
#include "log/FileOperationLog.h"
#include "log/SessionLog.h"
#include "transfer/FileTransfers.h"
#include "transfer/FolderTransfers.h"
#include "transfer/TransferQueue.h"

#include <QAction>

void TMainForm::SetUpFileTransfers()
{
    transferPanes_ = std::make_unique<TWindowPanes>(controls_, *localPane_, *remotePane_);
    fileTransfers_ = std::make_unique<TFileTransfers>(TFileTransfers::Sources{
        .service = service_,
        .options = options_,
        .extensions = extensions_,
        .transfer = transfer_,
        .progress = *transferProgress_,
        .dialogs = dialogs_,
        .panes = *transferPanes_,
        .busy = *this,
        .sessionLog = *sessionLog_,
        .fileOperationLog = *fileOperationLog_,
        .transferMode =
            [this] {
                if (Action(QStringLiteral("aTypeASCII"))->isChecked())
                    return TTransferChoice::ASCII;
                return Action(QStringLiteral("aTypeBinary"))->isChecked() ? TTransferChoice::Binary
                                                                          : TTransferChoice::Auto;
            },
        .uploadFolder = [this](const QString& name) { return folderTransfers_->UploadFolder(name); },
        .downloadFolder = [this](const QString& name) { return folderTransfers_->DownloadFolder(name); },
        .queue = transferQueue_.get(),
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
