// The folder transfers, over the panes' folders and masks and the file transfers' per-file steps.
#include "app/MainForm.h"

#include "app/PaintThrottle.h"
#include "app/WindowPanes.h"
#include "transfer/FolderTransfers.h"
#include "transfer/TransferQueue.h"

void TMainForm::SetUpFolderTransfers()
{
    folderTransfers_ = std::make_unique<TFolderTransfers>(TFolderTransfers::Sources{
        .service = service_,
        .files = *fileTransfers_,
        .options = options_,
        .extensions = extensions_,
        .progress = *transferProgress_,
        .dialogs = dialogs_,
        .panes = *transferPanes_,
        .busy = *this,
        .sessionLog = *sessionLog_,
        .fileOperationLog = *fileOperationLog_,
        .queue = transferQueue_.get(),
    });
    // A folder of small files updates the window several times per file.
    new TPaintThrottle([this] { return folderTransfers_->Walking(); }, this);
}
