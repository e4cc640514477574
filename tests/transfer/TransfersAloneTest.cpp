// The file and folder transfers over the session service alone: the panes and the busy display
// are the test's own, the server is real.
#include "fixtures/FileTimes.h"
#include "fixtures/FileTree.h"
#include "fixtures/FtpServer.h"
#include "fixtures/ProftpdServer.h"
#include "fixtures/RandomBytes.h"
#include "ftp/EngineSessions.h"
#include "support/QStringPrinter.h"
#include "support/TransferScene.h"

#include <QDateTime>

#include <gtest/gtest.h>

namespace {

// Logged in to the server, the session's commands recorded from then on.
template <class Server>
class TransfersOn : public TransferScene {
protected:
    TransfersOn()
    {
        LogIn(server_.Port(), FtpServer::User, FtpServer::Password);
        sent_.Attach(service_.Ftp());
    }
    ~TransfersOn() override { service_.Ftp().Intercept = nullptr; }

    // Runs the upload or download of the whole folder and confirms its question.
    void RunAll(bool upload)
    {
        dialogs_.QueueAnswer(TUserDialogs::Answer::Yes);
        RunToIdle(service_, [this, upload] { upload ? files_->aUploadAllExecute() : files_->aDownloadAllExecute(); });
    }

    Server server_;
    SentCommands sent_;
};
using TransfersAlone = TransfersOn<FtpServer>;
using TransfersOnProftpd = TransfersOn<ProftpdServer>;

// 2023-11-05 01:02:03 UTC: seconds that a minute text would lose.
constexpr std::time_t OddSecond = 1699146123;

// A folder's files go by the same file step (the folder tests below, FolderTransfersTest).
TEST_F(TransfersAlone, SelectedFilesMoveByteExactWithTheirLogLinesAndTheBusyDisplayBalanced)
{
    const std::string bytes(300000, '\r');
    TempDir::WriteFile(local_.File("up.bin"), bytes);
    panes_.local = {FileNamed(QStringLiteral("up.bin"))};
    RunToIdle(service_, [this] { files_->aUploadExecute(); });
    EXPECT_EQ(TempDir::ReadFile(server_.File("up.bin")), bytes);
    EXPECT_EQ(panes_.relisted, QStringList{"remote"});
    EXPECT_EQ(busy_.holds, (QList<bool>{true, false}));
    EXPECT_GE(busy_.entered, 1);
    EXPECT_GE(busy_.left, busy_.entered);

    TempDir::WriteFile(server_.File("down.txt"), "line\r\n");
    panes_.remote = {FileNamed(QStringLiteral("down.txt"))};
    RunToIdle(service_, [this] { files_->aDownloadExecute(); });
    EXPECT_EQ(TempDir::ReadFile(local_.File("down.txt")), "line\r\n");
    EXPECT_EQ(errors_, 0);

    const std::string log = OperationLog();
    for (const std::string& line :
         {"Upload " + local_.File("up.bin") + " --> test:/:up.bin", "Download " + local_.File("down.txt") + " <-- test:/:down.txt"})
        EXPECT_NE(log.find(line), std::string::npos) << line << "\n" << log << SessionLines().join(u'\n').toStdString();
    EXPECT_FALSE(SessionLines().filter(QStringLiteral("bytes sent")).isEmpty());
}

// The window's options and extension lists reach the walk: the comparison with its skip list,
// mirroring with its keep list. How each rule decides is the walk's test. The walk's batched check
// of the folder's uploads reaches the transfers' report of a damaged file; which commands check
// them and setting the file apart are FolderWalkTest's.
TEST_F(TransfersAlone, AFolderUploadComparesSkipsMirrorsAsTheOptionsSayAndReportsAFileDamagedBeforeItsCheck)
{
    const std::time_t earlier = QDateTime::currentSecsSinceEpoch() - 3 * 86400;
    for (const char* name : {"keep.bak", "newer.txt", "older.txt", "a.html"})
        TempDir::WriteFile(local_.File(name), "local");
    for (const char* name : {"keep.bak", "newer.txt", "older.txt", "a.html", "old.html", "old.log"})
        TempDir::WriteFile(server_.File(name), "remote");
    // Only the listed extensions keep keep.bak and a.html from replacing their older twins.
    for (const char* name : {"newer.txt", "keep.bak", "a.html"})
        SetModified(server_.File(name), earlier);
    SetModified(local_.File("older.txt"), earlier);
    extensions_.SkipExtList = {".BAK", ".HTML"};
    options_.bCompareTimeStamp = true;
    RunAll(true);
    for (const char* name : {"keep.bak", "older.txt", "a.html"})
        EXPECT_EQ(TempDir::ReadFile(server_.File(name)), "remote") << name;
    EXPECT_EQ(TempDir::ReadFile(server_.File("newer.txt")), "local");

    // Without the comparison the skip list is not used either. older.txt is cut on the server
    // after it arrived, just before the listing that checks the folder's uploads.
    bool olderSent = false;
    sent_.onLine = [&](const std::string& line) {
        olderSent = olderSent || line == "STOR older.txt";
        if (olderSent && line == "MLSD")
            TempDir::WriteFile(server_.File("older.txt"), "cut");
    };
    options_.bCompareTimeStamp = false;
    extensions_.NoDeleteExtList = {".log"};
    options_.bMirroringAtUploadAll = true;
    options_.bMirrorPreview = false;
    RunAll(true);
    EXPECT_EQ(TempDir::ReadFile(server_.File("a.html")), "local");
    EXPECT_FALSE(TempDir::Exists(server_.File("old.html")));
    EXPECT_TRUE(TempDir::Exists(server_.File("old.log")));
    const QString report = QStringLiteral("転送後の検証で size が一致しません: older.txt（older.txt.part として残しました）");
    EXPECT_FALSE(SessionLines().filter(report).isEmpty()) << SessionLines().join(u'\n').toStdString();
    EXPECT_EQ(errors_, 0);
}

// Uploads give the server the local times (MFMT) and downloads take the listed ones to the
// second, so a second "skip older" run either way moves nothing; a download of the size its
// listing gave asks no SIZE.
TEST_F(TransfersAlone, TimesSurviveBothWaysToTheSecondSoSkipOlderSkipsEverythingTheSecondTime)
{
    for (const char* name : {"one.txt", "sub/two.txt"}) {
        WriteWithFolders(local_.File(name), name);
        SetModified(local_.File(name), OddSecond);
    }
    options_.bCompareTimeStamp = true;
    options_.bRetrieveRemoteTimeStamp = true;
    RunAll(true);
    EXPECT_EQ(Modified(server_.File("one.txt")), OddSecond);
    EXPECT_EQ(Modified(server_.File("sub/two.txt")), OddSecond);
    EXPECT_EQ(sent_.Count("STOR"), 2u);

    RunAll(true);
    EXPECT_EQ(sent_.Count("STOR"), 2u);
    RunAll(false);
    EXPECT_EQ(sent_.Count("RETR"), 0u);

    // One second newer on the server is newer.
    SetModified(server_.File("one.txt"), OddSecond + 1);
    const std::size_t sizes = sent_.Count("SIZE");
    RunAll(false);
    EXPECT_EQ(sent_.Count("RETR"), 1u);
    EXPECT_EQ(Modified(local_.File("one.txt")), OddSecond + 1);

    // A selected file of the size its listing gave is not asked its SIZE either.
    TempDir::WriteFile(server_.File("three.txt"), "three");
    SetModified(server_.File("three.txt"), OddSecond);
    TFileEntry listed = FileNamed(QStringLiteral("three.txt"));
    listed.size = 5;
    listed.sizeKnown = true;
    panes_.remote = {listed};
    RunToIdle(service_, [this] { files_->aDownloadExecute(); });
    EXPECT_EQ(TempDir::ReadFile(local_.File("three.txt")), "three");
    EXPECT_EQ(Modified(local_.File("three.txt")), OddSecond);
    EXPECT_EQ(sent_.Count("SIZE"), sizes);
    EXPECT_EQ(errors_, 0);
}

// A download whose copy differs after the transfer is not logged as moved: the session log
// names it and the ".part" it was left as, the operation log has its "Verify" line. A file that
// arrives whole is logged as before.
TEST_F(TransfersOnProftpd, ADownloadThatArrivesDifferentIsReportedAndLeftAsPart)
{
    const std::string bytes = RandomBytes(50000, 9);
    for (const char* name : {"bad.bin", "good.bin"})
        TempDir::WriteFile(server_.File(name), bytes);
    // A byte of the server's copy changes just before its digest is asked for, as a disk or a
    // server might damage it.
    bool damaged = false;
    sent_.onLine = [&](const std::string& line) {
        if (!damaged && (line.rfind("HASH ", 0) == 0 || line.rfind("XSHA256 ", 0) == 0)) {
            damaged = true;
            std::string copy = TempDir::ReadFile(server_.File("bad.bin"));
            copy[100] = char(copy[100] ^ 0x55);
            TempDir::WriteFile(server_.File("bad.bin"), copy);
        }
    };
    panes_.remote = {FileNamed(QStringLiteral("bad.bin")), FileNamed(QStringLiteral("good.bin"))};
    RunToIdle(service_, [this] { files_->aDownloadExecute(); });

    // Renaming the copy that differs is the engine's test; the transfers go on to the next file.
    EXPECT_EQ(TempDir::ReadFile(local_.File("good.bin")), bytes);
    EXPECT_EQ(TempDir::ReadFile(local_.File("bad.bin.part")), bytes);
    EXPECT_TRUE(SessionLines().contains(
        QStringLiteral("転送後の検証で SHA-256 が一致しません: bad.bin（bad.bin.part として残しました）")))
        << SessionLines().join(u'\n').toStdString();
    const std::string operations = OperationLog();
    EXPECT_NE(operations.find(" Verify " + local_.File("bad.bin") + " != "), std::string::npos) << operations;
    EXPECT_NE(operations.find("Download " + local_.File("good.bin")), std::string::npos) << operations;
    EXPECT_EQ(operations.find("Download " + local_.File("bad.bin")), std::string::npos) << operations;
    EXPECT_FALSE(busy_.busy);
    EXPECT_EQ(errors_, 0);
}

}  // namespace
