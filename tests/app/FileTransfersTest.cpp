#include "MainFormFixture.h"

#include "fixtures/FtpServer.h"
#include "fixtures/RandomBytes.h"
#include "fixtures/VsftpdServer.h"
#include "log/Editor.h"
#include "panes/FileListModel.h"
#include "panes/FileViewStack.h"
#include "panes/LocalPane.h"
#include "panes/PaneTime.h"
#include "panes/RemotePane.h"
#include "transfer/TransactionDlg.h"

#include <QAction>
#include <QComboBox>
#include <QDateTime>
#include <QFileInfo>
#include <QGroupBox>
#include <QTimer>
#include <QTreeView>
#include <QWidget>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <utime.h>

namespace {

class FileTransfersTest : public MainFormTest {
protected:
    // Opens the window, logs in to the server and lists both panes.
    TMainForm& OpenConnected()
    {
        TMainForm& form = Open();
        LogIn(form, server_.Port());
        form.RemotePane().aRemoteRefreshExecute();
        form.LocalPane().FillLocalFileList();
        form.UpdateActionStates();
        return form;
    }
    static TFileViewStack& LocalList(TMainForm& form) { return *form.Controls().LocalFileListView; }
    static TFileViewStack& RemoteList(TMainForm& form) { return *form.Controls().RemoteFileListView; }
    // Selects the rows of these captions, and only those.
    static void Select(TFileViewStack& list, const QStringList& captions)
    {
        QItemSelectionModel& selection = *list.Report().selectionModel();
        selection.clearSelection();
        for (const QString& caption : captions) {
            const QStringList rows = Captions(list.Model());
            ASSERT_TRUE(rows.contains(caption)) << caption.toStdString();
            selection.select(list.Model().index(int(rows.indexOf(caption)), 0),
                             QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
    }
    static void Run(TMainForm& form, const char* action)
    {
        form.UpdateActionStates();
        QAction* command = form.Action(QString::fromLatin1(action));
        ASSERT_TRUE(command->isEnabled()) << action;
        command->trigger();
    }
    void Upload(TMainForm& form, const QStringList& captions, const char* action = "aUpload")
    {
        Select(LocalList(form), captions);
        Run(form, action);
    }
    void Download(TMainForm& form, const QStringList& captions, const char* action = "aDownload")
    {
        Select(RemoteList(form), captions);
        Run(form, action);
    }
    static QStringList LogLines(TMainForm& form)
    {
        QStringList lines;
        for (int i = 0; i < form.LogPane()->LineCount(); ++i)
            lines << form.LogPane()->Line(i);
        return lines;
    }
    // The data type in effect for each file stored or retrieved, by the TYPE commands sent
    // before it ("?" before any).
    static QMap<QString, QString> TypesSent(TMainForm& form)
    {
        QMap<QString, QString> types;
        QString type = QStringLiteral("?");
        for (const QString& line : LogLines(form)) {
            if (line.startsWith(QLatin1String("<< TYPE ")))
                type = line.mid(8);
            for (const char* command : {"<< STOR ", "<< RETR ", "<< APPE "})
                if (line.startsWith(QLatin1String(command)))
                    types[line.mid(8)] = type;
        }
        return types;
    }
    std::string FileOperationLog() const
    {
        return TempDir::Exists(HomeFile("FileOperationLog.txt")) ? TempDir::ReadFile(HomeFile("FileOperationLog.txt"))
                                                                  : "";
    }
    void LocalFile(const std::string& name, const std::string& content) const
    {
        TempDir::WriteFile(work_.File(name), content);
    }
    std::string Local(const std::string& name) const { return TempDir::ReadFile(work_.File(name)); }
    void ServerFile(const std::string& name, const std::string& content) const
    {
        TempDir::WriteFile(server_.File(name), content);
    }
    std::string Served(const std::string& name) const { return TempDir::ReadFile(server_.File(name)); }

    FtpServer server_;
};

TEST_F(FileTransfersTest, AutoModeSendsTextExtensionsAsAsciiAndEverythingElseAsBinary)
{
    for (const char* name : {"readme.TXT", "archive.tar.gz", "Makefile", "photo.txt.png"})
        LocalFile(name, "line\n");
    TMainForm& form = OpenConnected();
    ASSERT_TRUE(form.Action("aTypeAuto")->isChecked());
    Upload(form, {"readme.TXT", "archive.tar.gz", "Makefile", "photo.txt.png"});

    const QMap<QString, QString> types = TypesSent(form);
    EXPECT_EQ(types.value("readme.TXT"), "A");
    EXPECT_EQ(types.value("archive.tar.gz"), "I");
    EXPECT_EQ(types.value("Makefile"), "I");
    EXPECT_EQ(types.value("photo.txt.png"), "I");
    for (const char* name : {"readme.TXT", "archive.tar.gz", "Makefile", "photo.txt.png"})
        EXPECT_EQ(Served(name), "line\n") << name;
}

TEST_F(FileTransfersTest, TheCheckedModeAppliesToEveryFileAndASavedBinaryModeHoldsFromTheFirstTransfer)
{
    LocalFile("picture.png", std::string("\x89PNG\r\n\x1a\n", 8));
    LocalFile("notes.txt", "a\r\nb\r\n");
    WriteHomeFile("Marlux.ini", "[CURRENT]\nbASCII=0\nbBinary=1\nbAuto=0\n");
    {
        TMainForm& form = OpenConnected();
        EXPECT_TRUE(form.Action("aTypeBinary")->isChecked());
        Upload(form, {"notes.txt"});
        EXPECT_EQ(TypesSent(form).value("notes.txt"), "I");
        EXPECT_EQ(Served("notes.txt"), "a\r\nb\r\n");

        Run(form, "aTypeASCII");
        Upload(form, {"picture.png"});
        EXPECT_EQ(TypesSent(form).value("picture.png"), "A");
    }
}

TEST_F(FileTransfersTest, UpperCaseUploadNamesTheServerFileAndLogsBothNamesForThatCommandOnly)
{
    LocalFile("Index.html", "<html>");
    TMainForm& form = OpenConnected();
    Upload(form, {"Index.html"}, "aUploadUpperCase");

    EXPECT_EQ(Served("INDEX.HTML"), "<html>");
    const std::string log = FileOperationLog();
    EXPECT_NE(log.find("Upload " + form.Controls().LocalDirBox->currentText().toStdString() + "Index.html --> "),
              std::string::npos)
        << log;
    EXPECT_NE(log.find(":INDEX.HTML\r\n"), std::string::npos) << log;
    // SIZE asks for the name as it is; only the stored name is transformed.
    EXPECT_TRUE(LogLines(form).contains("<< SIZE Index.html"));

    Upload(form, {"Index.html"});
    EXPECT_EQ(Served("Index.html"), "<html>");
    EXPECT_EQ(form.Options().iFileNameAfterTransfer, 0);
}

TEST_F(FileTransfersTest, LowerCaseDownloadWritesTheLowerCaseLocalFileAfterAskingTheSizeOfTheServerName)
{
    ServerFile("README.TXT", "read me");
    TMainForm& form = OpenConnected();
    Download(form, {"README.TXT"}, "aDownloadLowerCase");

    EXPECT_EQ(Local("readme.txt"), "read me");
    EXPECT_FALSE(TempDir::Exists(work_.File("README.TXT")));
    EXPECT_TRUE(LogLines(form).contains("<< SIZE README.TXT"));
    EXPECT_NE(FileOperationLog().find("readme.txt <-- "), std::string::npos);
    EXPECT_NE(FileOperationLog().find(":README.TXT\r\n"), std::string::npos);
    // The local list shows the new file.
    EXPECT_TRUE(Captions(LocalList(form).Model()).contains("readme.txt"));
}

TEST_F(FileTransfersTest, AFolderAmongTheSelectedRowsIsAskedAboutAndOnlyCancelEndsTheCommand)
{
    LocalFile("a.txt", "a");
    LocalFile("c.txt", "c");
    mkdir(work_.File("b").c_str(), 0755);
    TMainForm& form = OpenConnected();

    dialogs_->QueueAnswer(TUserDialogs::Answer::No);
    Upload(form, {"a.txt", "b", "c.txt"});
    EXPECT_EQ(Served("a.txt"), "a");
    EXPECT_EQ(Served("c.txt"), "c");
    ASSERT_EQ(dialogs_->Shown().size(), 1);
    EXPECT_TRUE(dialogs_->Shown().front().startsWith("b\nをサブディレクトリも含めて\n/"));
    EXPECT_TRUE(dialogs_->Shown().front().endsWith(
        "\nにアップロードしますか？\nその他のファイル・フォルダを選択していても、このフォルダーのみの転送となります。"));

    // Folders are listed first, so Cancel at the folder leaves the files alone.
    std::remove(server_.File("a.txt").c_str());
    std::remove(server_.File("c.txt").c_str());
    form.RemotePane().aRemoteRefreshExecute();
    dialogs_->QueueAnswer(TUserDialogs::Answer::Cancel);
    Upload(form, {"a.txt", "b", "c.txt"});
    EXPECT_EQ(dialogs_->Shown().size(), 2);
    EXPECT_FALSE(TempDir::Exists(server_.File("a.txt")));
    EXPECT_FALSE(TempDir::Exists(server_.File("c.txt")));
}

TEST_F(FileTransfersTest, NoSelectedRowIsRefusedWithAMessage)
{
    TMainForm& form = OpenConnected();
    // The actions are enabled from the last idle pass, which may have seen a selection.
    for (const char* action : {"aDownloadRestore", "aUpload"}) {
        Select(action[1] == 'U' ? LocalList(form) : RemoteList(form), {});
        form.Action(action)->setEnabled(true);
        form.Action(action)->trigger();
    }
    EXPECT_EQ(dialogs_->Shown(), QStringList({"ファイルかフォルダーを選択してください", "ファイルかフォルダーを選択してください"}));
}

TEST_F(FileTransfersTest, AppendUploadAddsToTheServerFile)
{
    ServerFile("log.txt", "one\n");
    LocalFile("log.txt", "two\n");
    TMainForm& form = OpenConnected();
    Upload(form, {"log.txt"}, "aUploadAppend");
    EXPECT_EQ(Served("log.txt"), "one\ntwo\n");
    EXPECT_TRUE(LogLines(form).contains("<< APPE log.txt"));
}

TEST_F(FileTransfersTest, ResumeDownloadsInFullWithoutALocalFileSkipsAnEqualOneAndCompletesAPartialOne)
{
    const std::string whole = RandomBytes(300000, 7);
    ServerFile("fresh.bin", whole);
    ServerFile("equal.bin", std::string(1000, 'x'));
    ServerFile("partial.bin", whole);
    LocalFile("equal.bin", std::string(1000, 'y'));
    LocalFile("partial.bin", whole.substr(0, 123457));
    TMainForm& form = OpenConnected();
    Download(form, {"fresh.bin", "equal.bin", "partial.bin"}, "aDownloadRestore");

    EXPECT_EQ(Local("fresh.bin"), whole);
    EXPECT_EQ(Local("equal.bin"), std::string(1000, 'y'));
    EXPECT_EQ(Local("partial.bin"), whole);
    EXPECT_TRUE(LogLines(form).contains("<< REST 123457"));
    const std::string log = FileOperationLog();
    EXPECT_NE(log.find("fresh.bin <--"), std::string::npos);
    EXPECT_NE(log.find("partial.bin <--"), std::string::npos);
    EXPECT_EQ(log.find("equal.bin"), std::string::npos);
    EXPECT_FALSE(form.BusyFlag());
}

TEST_F(FileTransfersTest, ARefusedDownloadLeavesTheLocalFileAndThePanesAloneAndTheNextFileGoes)
{
    ServerFile("gone.txt", "new");
    ServerFile("next.txt", "next");
    LocalFile("gone.txt", "old local");
    TMainForm& form = OpenConnected();
    std::remove(server_.File("gone.txt").c_str());
    Download(form, {"gone.txt", "next.txt"});

    EXPECT_EQ(Local("gone.txt"), "old local");
    EXPECT_EQ(Local("next.txt"), "next");
    EXPECT_TRUE(dialogs_->Shown().isEmpty());
    EXPECT_EQ(FileOperationLog().find("gone.txt"), std::string::npos);
    const QStringList lines = LogLines(form);
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const QString& line) { return line.startsWith(">> 550"); }));
    EXPECT_FALSE(form.BusyFlag());
    EXPECT_TRUE(form.Controls().RemoteSysGroupBox->isEnabled());
}

TEST_F(FileTransfersTest, ALocalFailureEndsOnlyItsFileAndReachesTheSessionLog)
{
    ServerFile("blocked", "x");
    ServerFile("later.txt", "later");
    // A local directory of the same name cannot be written as a file.
    mkdir(work_.File("blocked").c_str(), 0755);
    TMainForm& form = OpenConnected();
    const int linesBefore = int(LogLines(form).size());
    Download(form, {"blocked", "later.txt"});

    EXPECT_EQ(Local("later.txt"), "later");
    EXPECT_TRUE(QFileInfo(QString::fromStdString(work_.File("blocked"))).isDir());
    EXPECT_GT(LogLines(form).size(), linesBefore);
    EXPECT_EQ(FileOperationLog().find("blocked"), std::string::npos);
    EXPECT_FALSE(form.BusyFlag());
}

TEST_F(FileTransfersTest, ALocalFileThatVanishedIsSkippedAndTheNextIsUploaded)
{
    LocalFile("a.txt", "a");
    LocalFile("b.txt", "b");
    TMainForm& form = OpenConnected();
    std::remove(work_.File("a.txt").c_str());
    Upload(form, {"a.txt", "b.txt"});

    EXPECT_FALSE(TempDir::Exists(server_.File("a.txt")));
    EXPECT_EQ(Served("b.txt"), "b");
    EXPECT_FALSE(LogLines(form).contains("<< STOR a.txt"));
    EXPECT_FALSE(form.BusyFlag());
}

TEST_F(FileTransfersTest, AFifoIsNeitherSentNorWrittenToAndTheNextFileGoes)
{
    mkfifo(work_.File("pipe").c_str(), 0644);
    ServerFile("pipe", "would block");
    ServerFile("z.txt", "z");
    LocalFile("y.txt", "y");
    TMainForm& form = OpenConnected();
    Upload(form, {"pipe", "y.txt"});
    Download(form, {"pipe", "z.txt"});

    EXPECT_EQ(Served("pipe"), "would block");
    EXPECT_EQ(Served("y.txt"), "y");
    EXPECT_EQ(Local("z.txt"), "z");
    EXPECT_EQ(LogLines(form).filter("通常のファイルではないため飛ばしました").size(), 2);
}

TEST_F(FileTransfersTest, AConnectionLostMidFileLosesNothingAndEndsEveryFileQuietly)
{
    ServerFile("1.bin", RandomBytes(16 << 20, 4));
    ServerFile("2.txt", "second");
    LocalFile("2.txt", "old second");
    TMainForm& form = OpenConnected();
    form.IdFTP1.RecvBufferSize = 4096;
    QTimer watcher;
    watcher.setInterval(1);
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        if (form.Transfer().InTransfer) {
            form.IdFTP1.Disconnect();
            watcher.stop();
        }
    });
    watcher.start();
    Download(form, {"1.bin", "2.txt"});

    EXPECT_FALSE(form.IdFTP1.Connected());
    EXPECT_EQ(Local("2.txt"), "old second");
    EXPECT_EQ(FileOperationLog(), "");
    EXPECT_TRUE(dialogs_->Shown().isEmpty());
    EXPECT_FALSE(form.BusyFlag());
}

TEST_F(FileTransfersTest, AFullDiskEndsThatDownloadWithoutStoppingTheNextFile)
{
    ServerFile("huge.bin", RandomBytes(2 << 20, 3));
    ServerFile("small.txt", "small");
    TMainForm& form = OpenConnected();
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 1 << 20;
    setrlimit(RLIMIT_FSIZE, &small);
    Download(form, {"huge.bin", "small.txt"});
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(Local("small.txt"), "small");
    EXPECT_LE(QFileInfo(QString::fromStdString(work_.File("huge.bin"))).size(), 1 << 20);
    EXPECT_EQ(FileOperationLog().find("huge.bin"), std::string::npos);
    EXPECT_NE(FileOperationLog().find("small.txt"), std::string::npos);
}

TEST_F(FileTransfersTest, TheRemoteTimeStampIsKeptWhenAsked)
{
    ServerFile("stamped.txt", "s");
    const QDateTime remoteTime = QDateTime::currentDateTime().addDays(-3).addSecs(-4000);
    const qint64 minute = remoteTime.toSecsSinceEpoch() / 60 * 60;
    const utimbuf times{minute, minute};
    utime(server_.File("stamped.txt").c_str(), &times);
    TMainForm& form = OpenConnected();
    form.Options().bRetrieveRemoteTimeStamp = true;
    Download(form, {"stamped.txt"});

    const QString listed = RemoteList(form).Model().Row(0).subItems[1];
    EXPECT_EQ(QFileInfo(QString::fromStdString(work_.File("stamped.txt"))).lastModified(), PaneTimeValue(listed));
    EXPECT_EQ(QFileInfo(QString::fromStdString(work_.File("stamped.txt"))).lastModified().toSecsSinceEpoch(), minute);
}

TEST_F(FileTransfersTest, ARemoteNameWithAControlCharacterIsNeverALocalPath)
{
    ServerFile("bad\x01name", "bad");
    ServerFile("good.txt", "good");
    TMainForm& form = OpenConnected();
    Download(form, {QStringLiteral("bad\x01name"), "good.txt"});

    EXPECT_FALSE(TempDir::Exists(work_.File("bad\x01name")));
    EXPECT_EQ(Local("good.txt"), "good");
    EXPECT_TRUE(LogLines(form).contains(QStringLiteral("ローカルでは使えない名前のため飛ばしました: bad\\x01name")));
    EXPECT_FALSE(LogLines(form).contains(QStringLiteral("<< RETR bad\x01name")));
}

TEST_F(FileTransfersTest, AbortDuringTheSecondOfThreeFilesStopsOnlyThatFile)
{
    const std::string big = RandomBytes(64 << 20, 5);
    ServerFile("1.txt", "first");
    ServerFile("2.bin", big);
    ServerFile("3.txt", "third");
    TMainForm& form = OpenConnected();
    form.IdFTP1.RecvBufferSize = 4096;
    QTimer watcher;
    watcher.setInterval(1);
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        if (form.Transfer().InTransfer && form.StatusPanelText(3).contains("2.bin")) {
            form.Action("aAbort")->trigger();
            watcher.stop();
        }
    });
    watcher.start();
    Download(form, {"1.txt", "2.bin", "3.txt"});

    EXPECT_FALSE(watcher.isActive());
    EXPECT_EQ(Local("1.txt"), "first");
    EXPECT_EQ(Local("3.txt"), "third");
    EXPECT_LT(QFileInfo(QString::fromStdString(work_.File("2.bin"))).size(), qint64(big.size()));
    EXPECT_TRUE(LogLines(form).contains("<< ABOR"));
    EXPECT_EQ(FileOperationLog().find("2.bin"), std::string::npos);
    EXPECT_TRUE(dialogs_->Shown().isEmpty());
}

TEST_F(FileTransfersTest, AnAbortRequestBetweenFilesEndsTheCommandWithANotice)
{
    LocalFile("1.txt", "1");
    LocalFile("2.txt", "2");
    TMainForm& form = OpenConnected();
    // The request arrives with the first pump of the command, before the first row.
    QTimer::singleShot(0, &form, [&] { form.Action("aAbort")->trigger(); });
    Upload(form, {"1.txt", "2.txt"});

    EXPECT_EQ(dialogs_->Shown(), QStringList({"転送を中止しました。"}));
    EXPECT_FALSE(TempDir::Exists(server_.File("1.txt")));
    EXPECT_FALSE(TempDir::Exists(server_.File("2.txt")));
    EXPECT_FALSE(form.BusyFlag());
}

TEST_F(FileTransfersTest, AProgressWindowClosedDuringTheFirstFileIsShownAgainForTheNext)
{
    ServerFile("1.bin", RandomBytes(8 << 20, 1));
    ServerFile("2.bin", RandomBytes(8 << 20, 2));
    TMainForm& form = OpenConnected();
    form.IdFTP1.RecvBufferSize = 4096;
    bool closedDuringFirst = false;
    bool shownForSecond = false;
    QTimer watcher;
    watcher.setInterval(1);
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        TTransactionDlg* window = form.Transfer().ProgressWindow;
        if (!window || !form.Transfer().InTransfer)
            return;
        if (form.StatusPanelText(3).contains("1.bin") && window->isVisible()) {
            window->close();
            closedDuringFirst = true;
        } else if (form.StatusPanelText(3).contains("2.bin")) {
            shownForSecond = window->isVisible();
            watcher.stop();
        }
    });
    watcher.start();
    Download(form, {"1.bin", "2.bin"});

    EXPECT_TRUE(closedDuringFirst);
    EXPECT_TRUE(shownForSecond);
    EXPECT_EQ(Local("1.bin").size(), 8u << 20);
    EXPECT_EQ(Local("2.bin").size(), 8u << 20);
    EXPECT_EQ(form.Transfer().ProgressWindow, nullptr);
}

// vsftpd: active mode, its own reply texts, and REST for a resumed download.
TEST_F(FileTransfersTest, VsftpdDownloadsInActiveModeResumesAndRefusesAVanishedFile)
{
    VsftpdServer vsftpd;
    chmod(vsftpd.Root().c_str(), 0755);  // anonymous users list world-readable directories only
    const std::string whole = RandomBytes(500000, 9);
    for (const char* name : {"a.bin", "gone.txt", "part.bin"}) {
        TempDir::WriteFile(vsftpd.File(name), name == std::string("gone.txt") ? "x" : whole);
        chmod(vsftpd.File(name).c_str(), 0644);
    }
    LocalFile("gone.txt", "kept");
    LocalFile("part.bin", whole.substr(0, 100000));
    TMainForm& form = Open();
    form.IdFTP1.Passive = false;
    LogIn(form, vsftpd.Port(), "anonymous", "guest");
    form.RemotePane().aRemoteRefreshExecute();
    std::remove(vsftpd.File("gone.txt").c_str());
    Download(form, {"a.bin", "gone.txt"});
    Download(form, {"part.bin"}, "aDownloadRestore");

    EXPECT_EQ(Local("a.bin"), whole);
    EXPECT_EQ(Local("gone.txt"), "kept");
    EXPECT_EQ(Local("part.bin"), whole);
    const QStringList lines = LogLines(form);
    EXPECT_TRUE(lines.contains(">> 550 Failed to open file."));
    EXPECT_TRUE(lines.contains("<< REST 100000"));
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const QString& line) { return line.startsWith("<< PORT "); }));
    EXPECT_EQ(FileOperationLog().find("gone.txt"), std::string::npos);
    EXPECT_FALSE(form.BusyFlag());
}

}  // namespace
