// A folder upload over the queue's connections on a server that checks sizes only: each
// connection checks the files it sent into a folder with one listing of it, and a file damaged
// before its check fails its row as a single upload's failed check would.
#include "fixtures/FtpServer.h"
#include "log/Editor.h"
#include "log/FileOperationLog.h"
#include "log/SessionLog.h"
#include "service/ExceptionGuard.h"
#include "service/SessionService.h"
#include "support/PaneLines.h"
#include "support/QStringPrinter.h"
#include "support/RecordedBusy.h"
#include "support/ScriptedDialogs.h"
#include "support/ServiceJobs.h"
#include "support/TestPanes.h"
#include "transfer/FileTransfers.h"
#include "transfer/FolderTransfers.h"
#include "transfer/TransferProgress.h"
#include "transfer/TransferQueue.h"

#include <QCoreApplication>
#include <QWidget>

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

namespace {

namespace fs = std::filesystem;

class QueueUploadChecks : public ::testing::Test {
protected:
    QueueUploadChecks()
    {
        options_.bShowTransactionDlg = false;
        options_.iTransferConnections = 3;
        panes_.folder = QString::fromStdString(local_.Path());
        SetUncaughtExceptionHandler([this](std::exception_ptr) { ++errors_; });
        service_.Ftp().Passive = true;
        LogInOnLoopback(service_, server_.Port(), FtpServer::User, FtpServer::Password);
        files_ = std::make_unique<TFileTransfers>(TFileTransfers::Sources{
            .service = service_,
            .options = options_,
            .extensions = extensions_,
            .transfer = transfer_,
            .progress = progress_,
            .dialogs = dialogs_,
            .panes = panes_,
            .busy = busy_,
            .sessionLog = sessionLog_,
            .fileOperationLog = fileLog_,
            .transferMode = [] { return TTransferChoice::Binary; },
            .uploadFolder = [this](const QString& name) { return folders_->UploadFolder(name); },
            .downloadFolder = [this](const QString& name) { return folders_->DownloadFolder(name); },
            .queue = queue_.get()});
        folders_ = std::make_unique<TFolderTransfers>(TFolderTransfers::Sources{.service = service_,
                                                                                .files = *files_,
                                                                                .options = options_,
                                                                                .extensions = extensions_,
                                                                                .progress = progress_,
                                                                                .dialogs = dialogs_,
                                                                                .panes = panes_,
                                                                                .busy = busy_,
                                                                                .sessionLog = sessionLog_,
                                                                                .fileOperationLog = fileLog_,
                                                                                .queue = queue_.get()});
    }
    ~QueueUploadChecks() override
    {
        SetUncaughtExceptionHandler({});
        queue_.reset();
        service_.Stop();
        DestroyWaitingCommands();
    }
    void WaitForQueue()
    {
        WaitForService(service_);
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (queue_->Running() && std::chrono::steady_clock::now() < end)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        ASSERT_FALSE(queue_->Running()) << "the queue is still running";
    }
    // The commands the extra connections sent that start with the prefix.
    int Sent(const char* prefix) const
    {
        return int(std::count_if(sentByConnections_.begin(), sentByConnections_.end(),
                                 [prefix](const std::string& line) { return line.starts_with(prefix); }));
    }

    FtpServer server_;
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
    std::vector<std::string> sentByConnections_;
    // Run on a connection's thread right after a file's step.
    std::function<void(const TQueuedFile&)> afterFile_ = [](const TQueuedFile&) {};
    TTransferProgress progress_{{.transfer = transfer_,
                                 .requestAbort = [] {},
                                 .owner = owner_,
                                 .appendLogLine = [](const QString&) {},
                                 .setStatusPanel = [](int, const QString&) {},
                                 .leaveBusyState = [] {}}};
    std::unique_ptr<TTransferQueue> queue_ = std::make_unique<TTransferQueue>(TTransferQueue::Sources{
        .session = service_,
        .dialogue =
            [this](int number, bool sent, const std::string& data) {
                sessionLog_.LogDialogue(number, sent, data);
                if (sent)
                    sentByConnections_.push_back(data.substr(0, data.find('\r')));
            },
        .connections = [this] { return options_.iTransferConnections; },
        .runFile =
            [this](const TQueuedFile& queued, TFileStepSide& side) {
                const TJobResult result = files_->UploadFile(queued.file, false, queued.folders, side);
                afterFile_(queued);
                return result;
            },
        .progress = progress_,
        .showProgress = [] { return false; },
        .relist = [](bool, bool) {}});
    std::unique_ptr<TFileTransfers> files_;
    std::unique_ptr<TFolderTransfers> folders_;
};

TEST_F(QueueUploadChecks, EachConnectionChecksAFoldersFilesWithOneListingAndADamagedOneFailsItsRow)
{
    std::map<std::string, std::string> tree;
    for (const char* folder : {"a", "b", "c"})
        for (int file = 0; file < 8; ++file) {
            const std::string name = std::string(folder) + "/f" + std::to_string(file) + ".bin";
            tree[name] = std::string(std::size_t(2000 + 31 * file), char('k' + file)) + name;
        }
    // A folder with one file: its check is the file's own.
    tree["lone/only.bin"] = "only";
    for (const auto& [name, bytes] : tree) {
        fs::create_directories(fs::path(local_.File(name)).parent_path());
        TempDir::WriteFile(local_.File(name), bytes);
    }
    // Cut short on the server after it arrived, before the listing that checks it.
    afterFile_ = [this](const TQueuedFile& queued) {
        if (queued.file.name == QStringLiteral("f5.bin") && queued.folders.remote.endsWith("/b"))
            TempDir::WriteFile(server_.File("b/f5.bin"), "cut");
    };

    dialogs_.QueueAnswer(TUserDialogs::Answer::Yes);
    files_->aUploadAllExecute();
    WaitForQueue();

    std::map<TQueueState, int> states;
    for (const TQueueRow& row : queue_->Model().Rows()) {
        ++states[row.state];
        if (row.state == TQueueState::Failed) {
            EXPECT_TRUE(row.remotePath.endsWith(QStringLiteral("/b/f5.bin"))) << row.remotePath.toStdString();
            EXPECT_TRUE(row.reason.startsWith(QStringLiteral("Verification failed"))) << row.reason.toStdString();
            EXPECT_TRUE(row.reason.contains(QStringLiteral("f5.bin.part"))) << row.reason.toStdString();
        }
    }
    EXPECT_EQ(states, (std::map<TQueueState, int>{{TQueueState::Done, 24}, {TQueueState::Failed, 1}}));
    EXPECT_TRUE(fs::exists(server_.File("b/f5.bin.part")));
    EXPECT_FALSE(fs::exists(server_.File("b/f5.bin")));
    tree.erase("b/f5.bin");
    for (const auto& [name, bytes] : tree)
        EXPECT_EQ(TempDir::ReadFile(server_.File(name)), bytes) << name;

    // No SIZE per file: the lone file's, and the ".part" name's before the rename.
    EXPECT_EQ(Sent("SIZE"), 2);
    // At most one listing of each batched folder per connection.
    EXPECT_GE(Sent("MLSD"), 3);
    EXPECT_LE(Sent("MLSD"), 3 * 3);
    // The lines a single upload's failed check gets.
    EXPECT_FALSE(PaneLines(logPane_).filter(QStringLiteral("転送後の検証で size が一致しません: f5.bin")).isEmpty());
    fileLog_.Flush();
    const std::string operations = TempDir::ReadFile(home_.File("FileOperationLog.txt"));
    EXPECT_NE(operations.find(" Verify " + local_.File("b/f5.bin") + " != "), std::string::npos) << operations;
    EXPECT_EQ(errors_, 0);
}

}  // namespace
