// The transfer queue and its extra connections without the main window: the transfers hand it
// their files, real servers take them on several connections at once.
#include "fixtures/FileTree.h"
#include "fixtures/FtpServer.h"
#include "fixtures/RandomBytes.h"
#include "fixtures/VsftpdServer.h"
#include "support/QStringPrinter.h"
#include "support/RunEventsUntil.h"
#include "support/TransferScene.h"
#include "transfer/TransactionDlg.h"

#include <QLabel>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <iostream>
#include <mutex>
#include <thread>

namespace {

namespace fs = std::filesystem;

// The session, its queue and the transfers over a real server; the server is started by the
// test, the queue's connections are given at the login.
class QueueAlone : public TransferScene {
protected:
    QueueAlone() { service_.Ftp().Passive = true; }
    // Runs the event loop until the queue has nothing waiting or running.
    void WaitForQueue(std::chrono::seconds bound = std::chrono::seconds(60))
    {
        WaitForService(service_);
        ASSERT_TRUE(RunEventsUntil([this] { return !queue_->Running(); }, bound)) << "the queue is still running";
    }
    // How many rows ended in each state; those that did not arrive are printed with why.
    std::map<TQueueState, int> States()
    {
        std::map<TQueueState, int> states;
        for (const TQueueRow& row : queue_->Model().Rows()) {
            ++states[row.state];
            if (row.state != TQueueState::Done)
                std::cout << row.remotePath.toStdString() << ": " << row.reason.toStdString() << "\n";
        }
        return states;
    }
    // The commands the queue's connections sent that start with the prefix.
    int Sent(const char* prefix) const
    {
        return int(std::count_if(sentByConnections_.begin(), sentByConnections_.end(),
                                 [prefix](const std::string& line) { return line.starts_with(prefix); }));
    }
    const TQueueRow& RowOf(const QString& name)
    {
        for (const TQueueRow& row : queue_->Model().Rows())
            if (row.file.file.name == name)
                return row;
        throw std::runtime_error("no row for " + name.toStdString());
    }
};

// Files named "<folder>/f<n>.bin" of distinct contents in `folders` folders.
void WriteTree(const std::string& root, int folders, int files)
{
    for (int folder = 0; folder < folders; ++folder)
        for (int file = 0; file < files; ++file) {
            const std::string name = "d" + std::to_string(folder) + "/f" + std::to_string(file) + ".bin";
            const std::string bytes(std::size_t(1000 + 977 * file + folder), char('a' + (file + folder) % 26));
            WriteWithFolders(root + "/" + name, bytes + name);
        }
}

class QueueOnPyftpdlib : public QueueAlone {
protected:
    FtpServer server_;
};

TEST_F(QueueOnPyftpdlib, TreesGoBothWaysByteExactOnSeveralConnectionsWithTheirLoginsInTheLog)
{
    LogIn(server_.Port(), FtpServer::User, FtpServer::Password, 4);
    WriteTree(local_.Path(), 5, 12);
    dialogs_.QueueAnswer(TUserDialogs::Answer::Yes);
    files_->aUploadAllExecute();
    WaitForQueue();
    EXPECT_EQ(FileTree(server_.Root()), FileTree(local_.Path()));
    EXPECT_EQ(States(), (std::map<TQueueState, int>{{TQueueState::Done, 60}}));
    // The panes were never held: the session's connection only walked the folders.
    EXPECT_TRUE(busy_.holds.isEmpty());
    // A small file's speed counts from when its data began to move, not from when the window
    // heard of it (with its end, as often as not): no file took under 50 µs from there.
    for (const TQueueRow& row : queue_->Model().Rows())
        EXPECT_LT(row.speed, double(row.size) / 1024 / 50e-6) << row.remotePath.toStdString();

    TempDir fresh;
    panes_.folder = QString::fromStdString(fresh.Path());
    queue_->RemoveFinished();
    dialogs_.QueueAnswer(TUserDialogs::Answer::Yes);
    files_->aDownloadAllExecute();
    WaitForQueue();
    EXPECT_EQ(FileTree(fresh.Path()), FileTree(local_.Path()));
    EXPECT_EQ(States(), (std::map<TQueueState, int>{{TQueueState::Done, 60}}));
    EXPECT_EQ(errors_, 0);

    const QStringList lines = SessionLines();
    for (int number : {2, 3, 4, 5})
        EXPECT_TRUE(lines.contains(QStringLiteral("[%1] << PASS ****").arg(number))) << number;
    EXPECT_TRUE(lines.filter(QStringLiteral("secret")).isEmpty());
    const std::string log = OperationLog();
    EXPECT_NE(log.find("Upload " + local_.File("d4/f11.bin")), std::string::npos);
    EXPECT_NE(log.find("Download " + fresh.File("d4/f11.bin")), std::string::npos);
}

TEST_F(QueueOnPyftpdlib, ARefusedFileFailsAloneAndArrivesWhenRetriedAndSelectedRowsAreAppendedAndResumed)
{
    LogIn(server_.Port(), FtpServer::User, FtpServer::Password, 3);
    WriteTree(local_.Path(), 1, 8);
    // A folder where the file would go: the server refuses the STOR.
    fs::create_directories(server_.File("d0/f3.bin"));
    TFileEntry folder = FileNamed(QStringLiteral("d0"));
    folder.kind = TEntryKind::Folder;
    panes_.local = {folder};
    dialogs_.QueueAnswer(TUserDialogs::Answer::Yes);
    files_->aUploadExecute();
    WaitForQueue();
    EXPECT_EQ(States(), (std::map<TQueueState, int>{{TQueueState::Done, 7}, {TQueueState::Failed, 1}}));
    const TQueueRow& failed = RowOf(QStringLiteral("f3.bin"));
    EXPECT_EQ(failed.state, TQueueState::Failed);
    EXPECT_TRUE(failed.reason.startsWith(QStringLiteral("550"))) << failed.reason.toStdString();

    fs::remove(server_.File("d0/f3.bin"));
    queue_->RetryFailed();
    WaitForQueue();
    EXPECT_EQ(States(), (std::map<TQueueState, int>{{TQueueState::Done, 8}}));
    EXPECT_EQ(FileTree(server_.Root()), FileTree(local_.Path()));

    // A download, not counted as written before: listed, but gone from the server by the time
    // it is asked for.
    queue_->RemoveFinished();
    panes_.remote = {FileNamed(QStringLiteral("late.bin"))};
    files_->aDownloadExecute();
    WaitForQueue();
    EXPECT_EQ(States(), (std::map<TQueueState, int>{{TQueueState::Failed, 1}}));
    TempDir::WriteFile(server_.File("late.bin"), "arrived late");
    queue_->RetryFailed();
    WaitForQueue();
    EXPECT_EQ(States(), (std::map<TQueueState, int>{{TQueueState::Done, 1}}));
    EXPECT_EQ(TempDir::ReadFile(local_.File("late.bin")), "arrived late");

    // Append and resume of selected rows run in the queue as the plain transfers do.
    queue_->RemoveFinished();
    TempDir::WriteFile(server_.File("log.txt"), "one\n");
    TempDir::WriteFile(local_.File("log.txt"), "two\n");
    const std::string whole = RandomBytes(300000, 7);
    TempDir::WriteFile(server_.File("partial.bin"), whole);
    TempDir::WriteFile(local_.File("partial.bin"), whole.substr(0, 123457));
    TempDir::WriteFile(server_.File("fresh.bin"), whole);

    panes_.local = {FileNamed(QStringLiteral("log.txt"))};
    files_->aUploadAppendExecute();
    WaitForQueue();
    panes_.remote = {FileNamed(QStringLiteral("partial.bin")), FileNamed(QStringLiteral("fresh.bin"))};
    files_->aDownloadRestoreExecute();
    WaitForQueue();

    EXPECT_EQ(TempDir::ReadFile(server_.File("log.txt")), "one\ntwo\n");
    EXPECT_EQ(TempDir::ReadFile(local_.File("partial.bin")), whole);
    EXPECT_EQ(TempDir::ReadFile(local_.File("fresh.bin")), whole);
    EXPECT_EQ(States(), (std::map<TQueueState, int>{{TQueueState::Done, 3}}));
    EXPECT_EQ(Sent("APPE log.txt"), 1);
    EXPECT_EQ(Sent("REST 123457"), 1);
    // The resumed row's speed counts the part that moved.
    EXPECT_EQ(RowOf(QStringLiteral("partial.bin")).bytesDone, 300000 - 123457);
    EXPECT_TRUE(busy_.holds.isEmpty());
    EXPECT_EQ(errors_, 0);
}

// A server that checks sizes only: each connection checks the files it sent into a folder with
// one listing of it, and a file damaged before its check fails its row as a single upload's
// failed check would.
TEST_F(QueueOnPyftpdlib, EachConnectionChecksAFoldersFilesWithOneListingAndADamagedOneFailsItsRow)
{
    LogIn(server_.Port(), FtpServer::User, FtpServer::Password, 3);
    WriteTree(local_.Path(), 3, 8);
    // A folder with one file: its check is the file's own.
    WriteWithFolders(local_.File("lone/only.bin"), "only");
    // Cut short on the server after it arrived, before the listing that checks it.
    afterFile_ = [this](const TQueuedFile& queued) {
        if (queued.file.name == QStringLiteral("f5.bin") && queued.folders.remote.endsWith("/d1"))
            TempDir::WriteFile(server_.File("d1/f5.bin"), "cut");
    };

    dialogs_.QueueAnswer(TUserDialogs::Answer::Yes);
    files_->aUploadAllExecute();
    WaitForQueue();

    EXPECT_EQ(States(), (std::map<TQueueState, int>{{TQueueState::Done, 24}, {TQueueState::Failed, 1}}));
    for (const TQueueRow& row : queue_->Model().Rows())
        if (row.state == TQueueState::Failed) {
            EXPECT_TRUE(row.remotePath.endsWith(QStringLiteral("/d1/f5.bin"))) << row.remotePath.toStdString();
            EXPECT_TRUE(row.reason.startsWith(QStringLiteral("Verification failed"))) << row.reason.toStdString();
            EXPECT_TRUE(row.reason.contains(QStringLiteral("f5.bin.part"))) << row.reason.toStdString();
        }
    // The damaged file is set apart, as the engine's test has it.
    auto arrived = FileTree(local_.Path());
    arrived.erase("d1/f5.bin");
    arrived["d1/f5.bin.part"] = "cut";
    EXPECT_EQ(FileTree(server_.Root()), arrived);

    // No SIZE per file: the lone file's, and the ".part" name's before the rename.
    EXPECT_EQ(Sent("SIZE"), 2);
    // At most one listing of each batched folder per connection.
    EXPECT_GE(Sent("MLSD"), 3);
    EXPECT_LE(Sent("MLSD"), 3 * 3);
    // The lines a single upload's failed check gets.
    EXPECT_FALSE(SessionLines().filter(QStringLiteral("転送後の検証で size が一致しません: f5.bin")).isEmpty());
    const std::string operations = OperationLog();
    EXPECT_NE(operations.find(" Verify " + local_.File("d1/f5.bin") + " != "), std::string::npos) << operations;
    EXPECT_EQ(errors_, 0);
}

TEST_F(QueueOnPyftpdlib, FilesSentBeforeTheSessionEndsAreCheckedBeforeTheConnectionQuits)
{
    LogIn(server_.Port(), FtpServer::User, FtpServer::Password, 2);
    WriteTree(local_.Path(), 1, 8);
    // The first file to arrive is cut on the server; the session ends while its connection
    // still holds its next file, so that connection has not settled its checks yet.
    std::mutex names;
    QString cut, held;
    std::atomic<bool> endNow = false, ended = false;
    afterFile_ = [&](const TQueuedFile& queued) {
        thread_local int filesHere = 0;
        thread_local bool cutHere = false;
        std::unique_lock lock(names);
        if (++filesHere == 1 && cut.isEmpty()) {
            cut = queued.file.name;
            cutHere = true;
            TempDir::WriteFile(server_.File("d0/" + cut.toStdString()), "cut");
        } else if (filesHere == 2 && cutHere) {
            held = queued.file.name;
            lock.unlock();
            endNow = true;
            for (int wait = 0; wait < 2000 && !ended; ++wait)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    };
    dialogs_.QueueAnswer(TUserDialogs::Answer::Yes);
    files_->aUploadAllExecute();
    WaitForService(service_);
    ASSERT_TRUE(RunEventsUntil([&] { return endNow.load(); }))
        << "no connection sent a second file after the cut one:\n" << SessionLines().join('\n').toStdString();
    queue_->SessionEnded();
    ended = true;
    ASSERT_TRUE(RunEventsUntil([&] { return Sent("QUIT") == 2; }));

    std::lock_guard lock(names);
    EXPECT_EQ(RowOf(cut).state, TQueueState::Failed);
    EXPECT_TRUE(RowOf(cut).reason.startsWith(QStringLiteral("Verification failed"))) << RowOf(cut).reason.toStdString();
    EXPECT_EQ(RowOf(held).state, TQueueState::Done);
    EXPECT_FALSE(queue_->Running());
}

class QueueOnThrottledServer : public QueueAlone {
protected:
    FtpServer server_{FtpServer::Options{.sendLimit = 256 * 1024}};
};

TEST_F(QueueOnThrottledServer, TheSessionListsWhileFilesFlowAbortsEndOneRowThenAllAndClosingDoesNotWait)
{
    LogIn(server_.Port(), FtpServer::User, FtpServer::Password, 2);
    options_.bShowTransactionDlg = true;
    for (const char* name : {"a.bin", "b.bin", "c.bin", "d.bin"}) {
        TempDir::WriteFile(server_.File(name), std::string(8 * 1024 * 1024, 'x'));
        TFileEntry entry = FileNamed(QString::fromLatin1(name));
        entry.size = 8 * 1024 * 1024;
        entry.sizeKnown = true;
        panes_.remote.push_back(entry);
    }
    files_->aDownloadExecute();
    WaitForService(service_);
    RunEventsUntil([&] {
        return RowOf(QStringLiteral("a.bin")).bytesDone != 0 && RowOf(QStringLiteral("b.bin")).bytesDone != 0;
    });
    ASSERT_EQ(RowOf(QStringLiteral("a.bin")).state, TQueueState::Running);
    // Both connections hold their next file already; until its bytes move it shows as waiting.
    ASSERT_EQ(RowOf(QStringLiteral("d.bin")).state, TQueueState::Running);
    QStringList shown;
    for (int row = 0; row < 4; ++row)
        shown << queue_->Model().data(queue_->Model().index(row, TQueueModel::State)).toString();
    EXPECT_EQ(shown, (QStringList{QStringLiteral("転送中"), QStringLiteral("転送中"), QStringLiteral("待機中"),
                                  QStringLiteral("待機中")}));
    // The progress window names the files whose bytes move.
    ASSERT_TRUE(transfer_.ProgressWindow);
    const auto* fileLabel = transfer_.ProgressWindow->findChild<QLabel*>(QStringLiteral("lbFile"));
    EXPECT_TRUE(RunEventsUntil([&] { return fileLabel->text() == QStringLiteral("a.bin ほか 1 件"); }))
        << fileLabel->text().toStdString();

    // The session's connection is free: a listing is a job of its own, not refused.
    const std::size_t listed = RunJob(service_, [](TRemoteEngine& engine) {
        engine.ListDirectory("");
        return engine.Listing().Count();
    });
    EXPECT_EQ(listed, 4u);

    queue_->AbortRow(RowOf(QStringLiteral("a.bin")).id);
    RunEventsUntil([&] { return RowOf(QStringLiteral("a.bin")).state != TQueueState::Running; });
    EXPECT_EQ(RowOf(QStringLiteral("a.bin")).state, TQueueState::Aborted);
    // Its connection takes the next file.
    EXPECT_EQ(RowOf(QStringLiteral("c.bin")).state, TQueueState::Running);

    queue_->AbortAll();
    WaitForQueue(std::chrono::seconds(10));
    for (const char* name : {"a.bin", "b.bin", "c.bin", "d.bin"})
        EXPECT_EQ(RowOf(QString::fromLatin1(name)).state, TQueueState::Aborted) << name;

    // A later run's progress counts its own file, not the rows still listed from this one.
    panes_.remote.resize(1);
    files_->aDownloadExecute();
    ASSERT_TRUE(RunEventsUntil([&] { return transfer_.ProgressWindow != nullptr; }));
    const auto* status = transfer_.ProgressWindow->findChild<QLabel*>(QStringLiteral("lbStatus"));
    EXPECT_TRUE(RunEventsUntil([&] { return status->text() == QStringLiteral("転送キュー: 0 / 1 ファイル"); }))
        << status->text().toStdString();
    // The queue going with the window does not wait for a file still moving: the connection
    // pool's close aborts it.
    ASSERT_TRUE(RunEventsUntil([&] { return queue_->Model().Rows().back().bytesDone != 0; }));
    const auto closing = std::chrono::steady_clock::now();
    queue_.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - closing, std::chrono::seconds(3));
    EXPECT_EQ(errors_, 0);
}

class QueueOnVsftpd : public QueueAlone {
protected:
    VsftpdServer server_{VsftpdServer::TAccess::Writable, "max_per_ip=3\n"};
};

TEST_F(QueueOnVsftpd, AServerRefusingAFourthConnectionIsUsedWithTheConnectionsItAccepts)
{
    LogIn(server_.Port(), "anonymous", "guest", 4);
    WriteTree(local_.Path(), 2, 10);
    dialogs_.QueueAnswer(TUserDialogs::Answer::Yes);
    files_->aUploadAllExecute();
    WaitForQueue();
    EXPECT_EQ(States(), (std::map<TQueueState, int>{{TQueueState::Done, 20}}));
    EXPECT_EQ(FileTree(server_.Root()), FileTree(local_.Path()));
    // Two extra connections logged in beside the session's; the others were turned away.
    const QStringList lines = SessionLines();
    EXPECT_EQ(lines.filter(QRegularExpression(QStringLiteral(R"(^\[\d\] >> 230)"))).size(), 2)
        << lines.join(u'\n').toStdString();
    EXPECT_FALSE(lines.filter(QRegularExpression(QStringLiteral(R"(^\[\d\] >> 421)"))).isEmpty());
}

}  // namespace
