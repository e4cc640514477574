// What only the window shows of the transfer queue: its tab beside the log, and a folder going
// through it on extra connections while the panes stay usable.
#include "RemoteScene.h"

#include "fixtures/FileTree.h"
#include "fixtures/RandomBytes.h"
#include "panes/FileViewStack.h"
#include "support/TestPanes.h"
#include "transfer/TransferQueue.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTabWidget>
#include <QTimer>
#include <QTreeView>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

class TransferQueueWindowTest : public RemoteSceneTest {
protected:
    // The commands the queue's context menu offers enabled.
    QStringList EnabledQueueCommands() const
    {
        QStringList enabled;
        QTimer::singleShot(0, [&enabled] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu)
                return;
            for (const QAction* action : menu->actions())
                if (action->isEnabled())
                    enabled << action->text();
            menu->close();
        });
        emit form_->findChild<QTreeView*>(QStringLiteral("QueueView"))->customContextMenuRequested({1, 1});
        return enabled;
    }
};

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
    RunQueue();
    EXPECT_EQ(FileTree(server_.Root()), original);

    EXPECT_EQ(QueueStates(), QStringList(12, QStringLiteral("完了")));
    // Nothing to abort or retry: only the removal of finished rows is offered.
    EXPECT_EQ(EnabledQueueCommands(), QStringList{QStringLiteral("終了した行を削除")});
    EXPECT_TRUE(LogLines().contains(QStringLiteral("[2] << PASS ****")));
    EXPECT_TRUE(OperationLog().find("Upload " + Local("tree/f11.bin")) != std::string::npos);
}

TEST_F(TransferQueueWindowTest, TheRemoteRelistAfterAQueueRunWaitsForTheCommandHoldingTheSessionsConnection)
{
    Write(Local("late.bin"), RandomBytes(5000, 7));
    TMainForm& form = OpenConnected();
    form.Options().iTransferConnections = 2;
    form.IdFTP1.Passive = true;
    // A command of the panes holds the session's connection until released.
    std::atomic<bool> release{false};
    form.Service().Submit([&release](TRemoteEngine&) {
        while (!release)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    });
    form.TransferQueue().Add({.upload = true,
                              .file = FileNamed(QStringLiteral("late.bin")),
                              .folders = {.local = QString::fromStdString(work_.Path()), .remote = QByteArrayLiteral("/")}});
    const auto bound = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (form.TransferQueue().Running() && std::chrono::steady_clock::now() < bound)
        Pump(5);
    Pump(50);
    EXPECT_EQ(Read(Remote("late.bin")), Read(Local("late.bin")));
    // Nothing collided with the held connection, and the pane waits for it.
    EXPECT_TRUE(dialogs_->Shown().isEmpty()) << dialogs_->Shown().join('\n').toStdString();
    EXPECT_TRUE(LogLines().filter(QStringLiteral("in progress")).isEmpty());
    EXPECT_FALSE(Captions(RemoteList().Model()).contains(QStringLiteral("late.bin")));

    release = true;
    Settle(form);
    Pump(50);
    Settle(form);
    EXPECT_TRUE(Captions(RemoteList().Model()).contains(QStringLiteral("late.bin")));
}

}  // namespace
