// The transfer queue and the session's extra connections, shown in the tab beside the log.
#include "app/MainForm.h"

#include "app/WindowPanes.h"
#include "log/SessionLog.h"
#include "transfer/FileTransfers.h"
#include "transfer/QueueView.h"
#include "transfer/TransferQueue.h"

#include <QTabWidget>

void TMainForm::SetUpTransferQueue()
{
    transferQueue_ = std::make_unique<TTransferQueue>(TTransferQueue::Sources{
        .session = service_,
        .dialogue =
            [this](int number, bool sent, const std::string& data) {
                sessionLog_->LogDialogue(number, sent, service_.NameCodec().Decode(data));
            },
        .connections = [this] { return options_.iTransferConnections; },
        .runFile =
            [this](const TQueuedFile& queued, TFileStepSide& side) {
                return queued.upload ? fileTransfers_->UploadFile(queued.file, false, queued.folders, side)
                                     : fileTransfers_->DownloadFile(queued.file, queued.folders, side);
            },
        .progress = *transferProgress_,
        .showProgress = [this] { return options_.bShowTransactionDlg; },
        .relist =
            [this](bool uploaded, bool downloaded) {
                if (uploaded)
                    transferPanes_->RefreshRemote();
                if (downloaded)
                    transferPanes_->FillLocalList();
            },
    });
    controls_.LogTabs->addTab(new TQueueView(*transferQueue_), QStringLiteral("転送キュー"));
}
