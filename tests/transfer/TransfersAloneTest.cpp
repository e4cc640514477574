// The file and folder transfers over the session service alone: the panes and the busy display
// are the test's own, the server is real.
#include "fixtures/FtpServer.h"
#include "ftp/EngineSessions.h"
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

#include <QWidget>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

namespace fs = std::filesystem;

class TransfersAlone : public ::testing::Test {
protected:
    TransfersAlone()
    {
        panes_.folder = QString::fromStdString(local_.Path());
        options_.bShowTransactionDlg = false;
        LogInOnLoopback(service_, server_.Port(), FtpServer::User, FtpServer::Password);
        progress_.FollowEngine(service_);
        SetUncaughtExceptionHandler([this](std::exception_ptr) { ++errors_; });
    }
    ~TransfersAlone() override
    {
        SetUncaughtExceptionHandler({});
        service_.Stop();
        DestroyWaitingCommands();
    }
    template <class Command>
    void Run(Command command)
    {
        command();
        WaitForService(service_);
    }
    void MakeFolderTransfers()
    {
        folders_ = std::make_unique<TFolderTransfers>(TFolderTransfers::Sources{.service = service_,
                                                                                .files = files_,
                                                                                .options = options_,
                                                                                .extensions = extensions_,
                                                                                .progress = progress_,
                                                                                .dialogs = dialogs_,
                                                                                .panes = panes_,
                                                                                .busy = busy_,
                                                                                .sessionLog = sessionLog_,
                                                                                .fileOperationLog = fileLog_});
    }
    std::string OperationLog()
    {
        fileLog_.Flush();
        return TempDir::ReadFile(home_.File("FileOperationLog.txt"));
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
    TSessionLog sessionLog_{&logPane_, [] { return 500; }};
    TFileOperationLog fileLog_{QString::fromStdString(home_.Path()), [] { return 500; }};
    int errors_ = 0;
    TTransferProgress progress_{{.transfer = transfer_,
                                 .requestAbort = [this] { service_.RequestAbort(); },
                                 .owner = owner_,
                                 .appendLogLine = [this](const QString& line) { sessionLog_.AppendLogLine(line); },
                                 .setStatusPanel = [](int, const QString&) {},
                                 .leaveBusyState = [this] { busy_.LeaveBusyState(); }}};
    std::unique_ptr<TFolderTransfers> folders_;
    TFileTransfers files_{{.service = service_,
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
                           .downloadFolder = [this](const QString& name) { return folders_->DownloadFolder(name); }}};
};

TEST_F(TransfersAlone, SelectedFilesAndAWholeTreeMoveByteExactWithTheirLogLinesAndTheBusyDisplayBalanced)
{
    MakeFolderTransfers();
    const std::string bytes(300000, '\r');
    TempDir::WriteFile(local_.File("up.bin"), bytes);
    panes_.local = {FileNamed(QStringLiteral("up.bin"))};
    Run([this] { files_.aUploadExecute(); });
    EXPECT_EQ(TempDir::ReadFile(server_.File("up.bin")), bytes);
    EXPECT_EQ(panes_.relisted, QStringList{"remote"});
    EXPECT_EQ(busy_.holds, (QList<bool>{true, false}));
    EXPECT_GE(busy_.entered, 1);
    EXPECT_GE(busy_.left, busy_.entered);

    TempDir::WriteFile(server_.File("down.txt"), "line\r\n");
    panes_.remote = {FileNamed(QStringLiteral("down.txt"))};
    Run([this] { files_.aDownloadExecute(); });
    EXPECT_EQ(TempDir::ReadFile(local_.File("down.txt")), "line\r\n");

    // The whole local folder, with a subfolder, after the question.
    fs::create_directories(local_.File("tree"));
    TempDir::WriteFile(local_.File("tree/leaf.txt"), "leaf");
    dialogs_.QueueAnswer(TUserDialogs::Answer::Yes);
    Run([this] { files_.aUploadAllExecute(); });
    EXPECT_EQ(TempDir::ReadFile(server_.File("tree/leaf.txt")), "leaf");
    EXPECT_EQ(TempDir::ReadFile(server_.File("down.txt")), "line\r\n");
    EXPECT_EQ(errors_, 0);

    const std::string log = OperationLog();
    for (const std::string& line :
         {"Upload " + local_.File("up.bin") + " --> test:/:up.bin", "Download " + local_.File("down.txt") + " <-- test:/:down.txt",
          "Upload " + local_.File("tree/leaf.txt")})
        EXPECT_NE(log.find(line), std::string::npos) << line << "\n" << log << PaneLines(logPane_).join(u'\n').toStdString();
    EXPECT_FALSE(PaneLines(logPane_).filter(QStringLiteral("bytes sent")).isEmpty());
}

// A folder's files are checked together after the last one; a file damaged before that check
// gets the lines a single file's failed check gets, and is set apart on the server.
TEST_F(TransfersAlone, AFolderUploadFindsAFileDamagedBeforeItsBatchedCheck)
{
    MakeFolderTransfers();
    for (const char* name : {"a.bin", "b.bin"})
        TempDir::WriteFile(local_.File(name), std::string(4000, name[0]));
    SentCommands sent;
    sent.Attach(service_.Ftp());
    bool bSent = false;
    sent.log.OnSent = [&](TIdLogBase*, const std::string&, const std::string& data) {
        const std::string line = data.substr(0, data.find('\r'));
        sent.lines.push_back(line);
        bSent = bSent || line == "STOR b.bin";
        if (bSent && line == "MLSD")
            TempDir::WriteFile(server_.File("b.bin"), "cut");
    };
    dialogs_.QueueAnswer(TUserDialogs::Answer::Yes);
    Run([this] { files_.aUploadAllExecute(); });
    service_.Ftp().Intercept = nullptr;

    EXPECT_EQ(sent.Count("SIZE"), 1u);  // only the ".part" name before the rename
    EXPECT_EQ(TempDir::ReadFile(server_.File("a.bin")), std::string(4000, 'a'));
    EXPECT_TRUE(TempDir::Exists(server_.File("b.bin.part")));
    EXPECT_FALSE(PaneLines(logPane_).filter(QStringLiteral("転送後の検証で size が一致しません: b.bin（b.bin.part として残しました）")).isEmpty())
        << PaneLines(logPane_).join(u'\n').toStdString();
    const std::string log = OperationLog();
    EXPECT_NE(log.find("Verify " + local_.File("b.bin") + " != test:/:b.bin size"), std::string::npos) << log;
    EXPECT_EQ(errors_, 0);
}

}  // namespace
