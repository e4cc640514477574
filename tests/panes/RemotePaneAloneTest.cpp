// The remote pane over the session service alone, without the main window.
#include "fixtures/FileTimes.h"
#include "fixtures/FtpServer.h"
#include "panes/FileListModel.h"
#include "panes/RemoteFileRow.h"
#include "platform/DateTime.h"
#include "panes/RemotePane.h"
#include "service/ExceptionGuard.h"
#include "service/SessionService.h"
#include "support/QStringPrinter.h"
#include "support/RecordedBusy.h"
#include "support/ServiceJobs.h"

#include <QComboBox>
#include <QTreeView>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

// 2023-11-05 01:02:03 UTC: seconds that a minute text would lose.
constexpr std::time_t OddSecond = 1699146123;

class RemotePaneAlone : public ::testing::Test {
protected:
    RemotePaneAlone()
    {
        for (const char* name : {"pub/sub", "docs"})
            std::filesystem::create_directories(server_.File(name));
        TempDir::WriteFile(server_.File("pub/readme.txt"), "hello");
        SetModified(server_.File("pub/readme.txt"), OddSecond);
        TempDir::WriteFile(server_.File("pub/data.bin"), std::string(70000, 'x'));
        maskBox_.setEditable(true);
        dirBox_.setEditable(true);
        LogInOnLoopback(service_, server_.Port(), FtpServer::User, FtpServer::Password);
    }
    ~RemotePaneAlone() override { service_.Stop(); }

    QStringList Rows() const
    {
        QStringList names;
        for (const TFileRow& row : model_.Rows())
            names << row.entry.name;
        return names;
    }
    // Runs a command of the pane as its action does, to its end.
    template <class Command>
    void Run(Command command)
    {
        command();
        WaitForService(service_);
    }

    FtpServer server_;
    TSessionService service_;
    TWindowOptions options_;
    StringList textExtensions_{".txt"};
    StringList imageExtensions_;
    TFileListModel model_;
    QTreeView view_;
    QComboBox dirBox_;
    QComboBox maskBox_;
    QTreeWidget tree_;
    TRecordedBusy busy_;
    TRemotePane pane_{model_,
                      {.service = service_,
                       .options = options_,
                       .textExtensions = textExtensions_,
                       .imageExtensions = imageExtensions_,
                       .view = view_,
                       .dirBox = dirBox_,
                       .maskBox = maskBox_,
                       .tree = tree_,
                       .fitColumns = [] {},
                       .busy = busy_}};
};

TEST_F(RemotePaneAlone, ListsEntersAndGoesUpOverTheServiceAlone)
{
    dirBox_.setEditText(QStringLiteral("/pub"));
    Run([this] { pane_.aRemoteRefreshExecute(); });
    EXPECT_EQ(dirBox_.currentText(), QStringLiteral("/pub"));
    EXPECT_EQ(Rows(), (QStringList{"sub", "data.bin", "readme.txt"}));
    const TFileRow& data = model_.Row(1);
    EXPECT_TRUE(data.entry.sizeKnown);
    EXPECT_EQ(data.entry.size, 70000);
    EXPECT_TRUE(model_.Row(0).entry.IsFolder());
    EXPECT_EQ(model_.Row(2).icon, fiText);
    // The machine listing's UTC instant, exact to the second, shown on the local clock.
    EXPECT_EQ(ExactInstant(model_.Row(2).entry.modified), std::int64_t(OddSecond));
    EXPECT_EQ(model_.Row(2).timeText, RemoteDateText(DateTimeFromTimeT(OddSecond)));
    EXPECT_GE(busy_.entered, 1);

    Run([this] { pane_.OpenRemoteSubdirectory("sub"); });
    EXPECT_EQ(dirBox_.currentText(), QStringLiteral("/pub/sub"));
    EXPECT_TRUE(Rows().isEmpty());
    Run([this] { pane_.aRemoteDirectoryUpExecute(); });
    Run([this] { pane_.aRemoteDirectoryUpExecute(); });
    EXPECT_EQ(dirBox_.currentText(), QStringLiteral("/"));
    EXPECT_EQ(Rows(), (QStringList{"docs", "pub"}));

    Run([this] { pane_.OpenRemoteSubdirectory("pub"); });
    EXPECT_EQ(Rows(), (QStringList{"sub", "data.bin", "readme.txt"}));

    // A folder the server refuses reaches the error handler and leaves the listing, the box's
    // history and the session's folder as they were.
    int errors = 0;
    SetUncaughtExceptionHandler([&errors](std::exception_ptr) { ++errors; });
    dirBox_.setEditText(QStringLiteral("/nosuch"));
    Run([this] { pane_.aRemoteRefreshExecute(); });
    SetUncaughtExceptionHandler({});
    EXPECT_EQ(errors, 1);
    EXPECT_EQ(Rows(), (QStringList{"sub", "data.bin", "readme.txt"}));
    EXPECT_EQ(RunJob(service_, [](TRemoteEngine& remote) { return remote.CurrentDirectory(); }), "/pub");
}

}  // namespace
