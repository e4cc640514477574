// The window's relisting after a queue run. A folder going through the queue in the window is the
// SFTP window test's; the queue itself is tested without the window.
#include "RemoteScene.h"

#include "fixtures/RandomBytes.h"
#include "panes/FileViewStack.h"
#include "support/TestPanes.h"
#include "transfer/TransferQueue.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace {

using TransferQueueWindowTest = RemoteSceneTest;

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
