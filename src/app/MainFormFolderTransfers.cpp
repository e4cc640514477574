// The folder transfers, over the panes' folders and masks and the file transfers' per-file steps.
#include "app/MainForm.h"

#include "app/PaintThrottle.h"
#include "log/FileOperationLog.h"
#include "log/SessionLog.h"
#include "panes/LocalPane.h"
#include "panes/RemotePane.h"
#include "transfer/FolderTransfers.h"

#include <QComboBox>

void TMainForm::SetUpFolderTransfers()
{
    folderTransfers_ = std::make_unique<TFolderTransfers>(TFolderTransfers::Sources{
        .service = service_,
        .files = *fileTransfers_,
        .options = options_,
        .extensions = extensions_,
        .progress = *transferProgress_,
        .dialogs = dialogs_,
        .masks = [this] {
            return TFolderTransfers::TMasks{.local = controls_.LocalMaskBox->currentText(),
                                            .remote = controls_.RemoteMaskBox->currentText()};
        },
        .localFolder = [this] { return localPane_->Folder(); },
        .remoteRefresh = [this] { return remotePane_->Refresh(); },
        .leaveBusyState = [this] { LeaveBusyState(); },
        .appendLogLine = [this](const QString& line) { sessionLog_->AppendLogLine(line); },
        .appendFileOperationLog =
            [this](const QString& operation, const QString& local, const QString& arrow, const QString& remote) {
                fileOperationLog_->AppendFileOperationLog(operation, local, arrow, remote);
            },
    });
    // A folder of small files updates the window several times per file.
    new TPaintThrottle([this] { return folderTransfers_->Walking(); }, this);
}
