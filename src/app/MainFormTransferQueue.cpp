// The transfer queue and the session's extra connections, shown in the tab beside the log.
#include "app/MainForm.h"

#include "app/WindowPanes.h"
#include "log/SessionLog.h"
#include "transfer/FileTransfers.h"
#include "transfer/QueueView.h"
#include "transfer/TransferQueue.h"

#include <QApplication>
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
        .runFile = [this](const TQueuedFile& queued, TFileStepSide& side) { return fileTransfers_->RunQueued(queued, side); },
        .progress = *transferProgress_,
        .showProgress = [this] { return options_.bShowTransactionDlg; },
        .relist =
            [this](bool uploaded, bool downloaded) {
                remoteRelistPending_ = remoteRelistPending_ || uploaded;
                RelistRemoteWhenFree();
                if (downloaded)
                    transferPanes_->FillLocalList();
            },
    });
    controls_.LogTabs->addTab(new TQueueView(*transferQueue_), QStringLiteral("転送キュー"));
}

void TMainForm::RelistRemoteWhenFree()
{
    // A command of the panes (a browse, a folder walk, or one waiting on a question between its
    // jobs) would find the connection taken; the idle moment after its end tries again.
    if (!remoteRelistPending_ || service_.Running() || QApplication::activeModalWidget())
        return;
    remoteRelistPending_ = false;
    if (service_.Connected())
        transferPanes_->RefreshRemote();
}
