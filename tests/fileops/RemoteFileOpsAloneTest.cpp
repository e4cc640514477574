// The remote file commands over the session service alone, without the main window.
#include "fileops/RemoteFileOps.h"
#include "fixtures/FtpServer.h"
#include "log/FileOperationLog.h"
#include "service/ExceptionGuard.h"
#include "service/SessionService.h"
#include "settings/WindowSettings.h"
#include "settings/WindowState.h"
#include "support/OperationLogFile.h"
#include "support/RecordedBusy.h"
#include "support/ScriptedDialogs.h"
#include "support/ServiceJobs.h"

#include <QDialog>
#include <QLineEdit>
#include <QWidget>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using Answer = TUserDialogs::Answer;

class RemoteFileOpsAlone : public ::testing::Test {
protected:
    RemoteFileOpsAlone()
    {
        LogInOnLoopback(service_, server_.Port(), FtpServer::User, FtpServer::Password);
        SetUncaughtExceptionHandler([this](std::exception_ptr) { ++errors_; });
    }
    ~RemoteFileOpsAlone() override
    {
        SetUncaughtExceptionHandler({});
        service_.Stop();
    }

    // The next name dialog gets this text and OK, and the question after it Yes.
    void QueueName(const QString& text)
    {
        dialogs_.QueueDialog([text](QDialog& dialog) {
            dialog.findChild<QLineEdit*>(QStringLiteral("NewEdit"))->setText(text);
            return int(QDialog::Accepted);
        });
        dialogs_.QueueAnswer(Answer::Yes);
    }
    bool OnServer(const std::string& name) const { return std::filesystem::exists(server_.File(name)); }
    std::string OperationLog()
    {
        fileLog_.Flush();
        return OperationLogIn(home_.Path());
    }

    FtpServer server_;
    TempDir home_;
    TSessionService service_;
    QWidget owner_;
    TScriptedDialogs dialogs_;
    QString appDir_ = QString::fromStdString(home_.Path());
    TFileOperationLog fileLog_{appDir_, [] { return 500; }};
    TWindowOptions options_;
    TTransferState transfer_;
    QList<TFileOpRow> selected_;
    TRecordedBusy busy_;
    int refreshes_ = 0;
    int errors_ = 0;
    TRemoteFileOps ops_{{.service = service_,
                         .owner = owner_,
                         .dialogs = dialogs_,
                         .fileOperationLog = fileLog_,
                         .appDir = appDir_,
                         .options = options_,
                         .transfer = transfer_,
                         .selectedRows = [this] { return selected_; },
                         .remoteDirectory = [] { return QStringLiteral("/"); },
                         .remoteSpec = [](const QString& name) { return QStringLiteral("test:/") + name; },
                         .skipUnsafeLocalName = [](const QString&) { return false; },
                         .remoteRefresh = [this] { ++refreshes_; },
                         .busy = busy_,
                         .aOptionExecute = [] {}}};
};

TEST_F(RemoteFileOpsAlone, MakeRenameAndDeleteReachTheServerAndTheFileOperationLog)
{
    QueueName(QStringLiteral("made"));
    RunToIdle(service_, [this] { ops_.aRemoteMkDirExecute(); });
    EXPECT_TRUE(std::filesystem::is_directory(server_.File("made")));
    EXPECT_EQ(refreshes_, 1);

    TempDir::WriteFile(server_.File("old.txt"), "content");
    selected_ = {{.name = QStringLiteral("old.txt"), .folder = false, .nameBytes = "old.txt", .listedSize = 7}};
    QueueName(QStringLiteral("new.txt"));
    RunToIdle(service_, [this] { ops_.aRemoteRenameExecute(); });
    EXPECT_FALSE(OnServer("old.txt"));
    EXPECT_EQ(TempDir::ReadFile(server_.File("new.txt")), "content");

    // The server's refusal ends the command at its row and reaches the error handler; nothing
    // is re-listed for it.
    selected_ = {{.name = QStringLiteral("gone.txt"), .folder = false, .nameBytes = "gone.txt"}};
    const int refreshesBefore = refreshes_;
    QueueName(QStringLiteral("other.txt"));
    RunToIdle(service_, [this] { ops_.aRemoteRenameExecute(); });
    EXPECT_EQ(errors_, 1);
    EXPECT_EQ(refreshes_, refreshesBefore);

    // Deleting a file, and its log line, is the window's file commands test.
    selected_ = {{.name = QStringLiteral("made"), .folder = true, .nameBytes = "made"}};
    for (int answer = 0; answer < 3; ++answer)
        dialogs_.QueueAnswer(Answer::Yes);
    RunToIdle(service_, [this] { ops_.aRemoteFileDeleteExecute(); });
    EXPECT_FALSE(OnServer("made"));

    const std::string log = OperationLog();
    for (const char* expected : {"Rename test:/old.txt --> test:/new.txt", "RemoveDir test:/made"})
        EXPECT_NE(log.find(expected), std::string::npos) << expected << "\n" << log;
}

}  // namespace
