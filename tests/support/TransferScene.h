#pragma once
// The file and folder transfers over the session service without the main window: the panes,
// the busy display and the logs are stand-ins the test reads; the server is the test's own.
#include "fixtures/TempDir.h"
#include "log/Editor.h"
#include "log/FileOperationLog.h"
#include "log/SessionLog.h"
#include "service/ExceptionGuard.h"
#include "service/SessionService.h"
#include "support/OperationLogFile.h"
#include "support/PaneLines.h"
#include "support/RecordedBusy.h"
#include "support/ScriptedDialogs.h"
#include "support/ServiceJobs.h"
#include "support/TestPanes.h"
#include "transfer/FileTransfers.h"
#include "transfer/FolderTransfers.h"
#include "transfer/TransferProgress.h"
#include "transfer/TransferQueue.h"

#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TransferScene : public ::testing::Test {
protected:
    ~TransferScene() override
    {
        SetUncaughtExceptionHandler({});
        queue_.reset();
        service_.Stop();
        DestroyWaitingCommands();
    }
    // Logs in to a loopback server and builds the transfers; with connections above zero they
    // hand their files to a queue of that many extra connections.
    void LogIn(int port, const char* user, const char* password, int connections = 0)
    {
        options_.bShowTransactionDlg = false;
        options_.iTransferConnections = connections;
        panes_.folder = QString::fromStdString(local_.Path());
        SetUncaughtExceptionHandler([this](std::exception_ptr) { ++errors_; });
        LogInOnLoopback(service_, port, user, password);
        progress_.FollowEngine(service_);
        if (connections > 0)
            queue_ = std::make_unique<TTransferQueue>(TTransferQueue::Sources{
                .session = service_,
                .dialogue = [this](int number, bool sent, const std::string& data) {
                    sessionLog_.LogDialogue(number, sent, data);
                    if (sent)
                        sentByConnections_.push_back(data.substr(0, data.find('\r')));
                },
                .connections = [this] { return options_.iTransferConnections; },
                .runFile = [this](const TQueuedFile& queued, TFileStepSide& side) {
                    const TJobResult result = files_->RunQueued(queued, side);
                    afterFile_(queued);
                    return result;
                },
                .progress = progress_, .showProgress = [this] { return options_.bShowTransactionDlg; },
                .relist = [](bool, bool) {}});
        files_ = std::make_unique<TFileTransfers>(TFileTransfers::Sources{
            .service = service_, .options = options_, .extensions = extensions_, .transfer = transfer_,
            .progress = progress_, .dialogs = dialogs_, .panes = panes_, .busy = busy_, .sessionLog = sessionLog_,
            .fileOperationLog = fileLog_, .transferMode = [] { return TTransferChoice::Binary; },
            .uploadFolder = [this](const QString& name) { return folders_->UploadFolder(name); },
            .downloadFolder = [this](const QString& name) { return folders_->DownloadFolder(name); },
            .queue = queue_.get()});
        folders_ = std::make_unique<TFolderTransfers>(TFolderTransfers::Sources{
            .service = service_, .files = *files_, .options = options_, .extensions = extensions_,
            .progress = progress_, .dialogs = dialogs_, .panes = panes_, .busy = busy_, .sessionLog = sessionLog_,
            .fileOperationLog = fileLog_, .queue = queue_.get()});
    }
    QStringList SessionLines() const { return PaneLines(logPane_); }
    std::string OperationLog()
    {
        fileLog_.Flush();
        return OperationLogIn(home_.Path());
    }

    TempDir local_;
    TempDir home_;
    TSessionService service_;
    TWindowOptions options_;
    TExtensionLists extensions_;
    TTransferState transfer_;
    QWidget owner_;
    TScriptedDialogs dialogs_;
    TestPanes panes_;
    TRecordedBusy busy_;
    TEditor logPane_;
    TSessionLog sessionLog_{&logPane_, [] { return 100000; }};
    TFileOperationLog fileLog_{QString::fromStdString(home_.Path()), [] { return 500; }};
    int errors_ = 0;
    // What the queue's connections sent, a line each.
    std::vector<std::string> sentByConnections_;
    // Run on a queue connection's thread right after a file's step.
    std::function<void(const TQueuedFile&)> afterFile_ = [](const TQueuedFile&) {};
    TTransferProgress progress_{{.transfer = transfer_, .requestAbort = [this] { service_.RequestAbort(); }, .owner = owner_,
                                 .appendLogLine = [this](const QString& line) { sessionLog_.AppendLogLine(line); },
                                 .setStatusPanel = [](int, const QString&) {},
                                 .leaveBusyState = [this] { busy_.LeaveBusyState(); }}};
    std::unique_ptr<TFolderTransfers> folders_;
    std::unique_ptr<TTransferQueue> queue_;
    std::unique_ptr<TFileTransfers> files_;
};
