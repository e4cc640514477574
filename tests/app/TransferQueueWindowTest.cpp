// What only the window shows of the transfer queue: its tab beside the log, and a folder going
// through it on extra connections while the panes stay usable.
#include "RemoteScene.h"

#include "fixtures/FileTree.h"
#include "fixtures/RandomBytes.h"
#include "transfer/TransferQueue.h"

#include <QCoreApplication>
#include <QSplitter>
#include <QTabWidget>

#include <chrono>

namespace {

class TransferQueueWindowTest : public RemoteSceneTest {};

TEST_F(TransferQueueWindowTest, WithFourConnectionsAFolderGoesThroughTheQueueTabAndThePanesAreNotHeld)
{
    for (int file = 0; file < 12; ++file)
        Write(Local("tree/f" + std::to_string(file) + ".bin"), RandomBytes(20000 + std::size_t(file), unsigned(file)));
    const auto original = FileTree(work_.Path());
    // Out of range in the file: read as the nearest bound, then set as the options dialog does.
    TMainForm& form = OpenConnected("iTransferConnections=40\n");
    EXPECT_EQ(form.Options().iTransferConnections, 8);
    form.Options().iTransferConnections = 4;
    form.IdFTP1.Passive = true;
    Run("aTypeBinary");

    const auto* tabs = form.findChild<QTabWidget*>(QStringLiteral("LogTabs"));
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(tabs->tabText(0), QStringLiteral("ログ"));
    EXPECT_EQ(tabs->tabText(1), QStringLiteral("転送キュー"));

    dialogs_->QueueAnswer(TUserDialogs::Answer::Yes);
    Run("aUploadAll");
    const auto bound = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (form.TransferQueue().Running() && std::chrono::steady_clock::now() < bound) {
        EXPECT_TRUE(form.Controls().MainPanel->isEnabled());
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    Settle(form);
    EXPECT_EQ(FileTree(server_.Root()), original);

    const TQueueModel& rows = form.TransferQueue().Model();
    ASSERT_EQ(rows.rowCount(), 12);
    for (int row = 0; row < rows.rowCount(); ++row)
        EXPECT_EQ(rows.index(row, TQueueModel::State).data().toString(), QStringLiteral("完了")) << row;
    EXPECT_TRUE(LogLines().contains(QStringLiteral("[2] << PASS ****")));
    EXPECT_TRUE(OperationLog().find("Upload " + Local("tree/f11.bin")) != std::string::npos);
}

}  // namespace
