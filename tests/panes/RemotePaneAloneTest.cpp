// The remote pane over the session service alone, without the main window.
#include "fixtures/FtpServer.h"
#include "panes/FileListModel.h"
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

class RemotePaneAlone : public ::testing::Test {
protected:
    RemotePaneAlone()
    {
        for (const char* name : {"pub/sub", "docs"})
            std::filesystem::create_directories(server_.File(name));
        TempDir::WriteFile(server_.File("pub/readme.txt"), "hello");
        TempDir::WriteFile(server_.File("pub/data.bin"), "data");
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
    RunToIdle(service_, [this] { pane_.aRemoteRefreshExecute(); });
    EXPECT_EQ(dirBox_.currentText(), QStringLiteral("/pub"));
    // What each row shows of its entry is the pane rows' and times' test.
    EXPECT_EQ(Rows(), (QStringList{"sub", "data.bin", "readme.txt"}));
    EXPECT_EQ(model_.Row(2).icon, fiText);
    EXPECT_GE(busy_.entered, 1);

    RunToIdle(service_, [this] { pane_.OpenRemoteSubdirectory("sub"); });
    EXPECT_EQ(dirBox_.currentText(), QStringLiteral("/pub/sub"));
    EXPECT_TRUE(Rows().isEmpty());
    RunToIdle(service_, [this] { pane_.aRemoteDirectoryUpExecute(); });
    RunToIdle(service_, [this] { pane_.aRemoteDirectoryUpExecute(); });
    EXPECT_EQ(dirBox_.currentText(), QStringLiteral("/"));
    EXPECT_EQ(Rows(), (QStringList{"docs", "pub"}));

    RunToIdle(service_, [this] { pane_.OpenRemoteSubdirectory("pub"); });
    EXPECT_EQ(Rows(), (QStringList{"sub", "data.bin", "readme.txt"}));

    // A folder the server refuses reaches the error handler and leaves the listing, the box's
    // history and the session's folder as they were.
    int errors = 0;
    SetUncaughtExceptionHandler([&errors](std::exception_ptr) { ++errors; });
    dirBox_.setEditText(QStringLiteral("/nosuch"));
    RunToIdle(service_, [this] { pane_.aRemoteRefreshExecute(); });
    SetUncaughtExceptionHandler({});
    EXPECT_EQ(errors, 1);
    EXPECT_EQ(Rows(), (QStringList{"sub", "data.bin", "readme.txt"}));
    EXPECT_EQ(RunJob(service_, [](TRemoteEngine& remote) { return remote.CurrentDirectory(); }), "/pub");
}

}  // namespace
