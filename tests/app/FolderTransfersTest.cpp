#include "MainFormFixture.h"

#include "fixtures/FtpServer.h"
#include "fixtures/RandomBytes.h"
#include "log/Editor.h"
#include "panes/FileListModel.h"
#include "panes/FileViewStack.h"
#include "panes/LocalPane.h"
#include "panes/PaneTime.h"
#include "platform/DateTime.h"
#include "support/PaneLines.h"
#include "transfer/FolderTransfers.h"

#include <QAction>
#include <QComboBox>
#include <QSplitter>
#include <QCryptographicHash>
#include <QDateTime>

#include <filesystem>
#include <map>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

namespace {

namespace fs = std::filesystem;
using Answer = TUserDialogs::Answer;

const QString Aborted = QStringLiteral("転送を中止しました。");

// Every entry below root by its path relative to root: a file by the SHA-256 of its bytes, a
// folder as "<dir>", a link as "<link>".
std::map<std::string, std::string> TreeDigest(const std::string& root)
{
    std::map<std::string, std::string> digest;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root)) {
        const std::string path = fs::relative(entry.path(), root).string();
        if (entry.is_symlink())
            digest[path] = "<link>";
        else if (entry.is_directory())
            digest[path] = "<dir>";
        else
            digest[path] = QCryptographicHash::hash(QByteArray::fromStdString(TempDir::ReadFile(entry.path())),
                                                    QCryptographicHash::Sha256)
                               .toHex()
                               .toStdString();
    }
    return digest;
}

void MakeDirs(const std::string& path)
{
    fs::create_directories(path);
}

void SetModified(const std::string& path, const QDateTime& when)
{
    const utimbuf times{when.toSecsSinceEpoch(), when.toSecsSinceEpoch()};
    ASSERT_EQ(utime(path.c_str(), &times), 0) << path;
}

class FolderTransfersTest : public MainFormTest {
protected:
    // The window logged in to the server, both panes listed; no connection dialog comes up
    // in the middle of a long walk.
    TMainForm& OpenConnected()
    {
        WriteHomeFile("Marlux.ini", "[CURRENT]\nbConnectDlgOnStart=0\n");
        TMainForm& form = Open();
        LogIn(form, server_.Port());
        Run(form, "aRemoteRefresh");
        Run(form, "aLocalRefresh");
        return form;
    }
    static void Run(TMainForm& form, const char* action)
    {
        form.UpdateActionStates();
        form.Action(QString::fromLatin1(action))->trigger();
    }
    void UploadAll(TMainForm& form)
    {
        dialogs_->QueueAnswer(Answer::Yes);
        Run(form, "aUploadAll");
    }
    void DownloadAll(TMainForm& form)
    {
        dialogs_->QueueAnswer(Answer::Yes);
        Run(form, "aDownloadAll");
    }
    std::string Local(const std::string& name) const { return work_.File(name); }
    std::string Remote(const std::string& name) const { return server_.File(name); }
    static bool Exists(const std::string& path) { return TempDir::Exists(path); }
    static QString SessionLogText(TMainForm& form) { return PaneLines(*form.LogPane()).join(u'\n'); }
    QString FileOperationLogText() const
    {
        const std::string path = home_.File("FileOperationLog.txt");
        return Exists(path) ? QString::fromStdString(TempDir::ReadFile(path)) : QString();
    }
    static TFileListModel& RemoteRows(TMainForm& form) { return form.Controls().RemoteFileListView->Model(); }
    static TFileListModel& LocalRows(TMainForm& form) { return form.Controls().LocalFileListView->Model(); }

    FtpServer server_;
};

}  // namespace

TEST_F(FolderTransfersTest, WholeTreesMoveByteForByteBothWaysWithBlanksNonAsciiNamesEmptyFoldersAndThirtyLevels)
{
    MakeDirs(Local("a b/empty"));
    MakeDirs(Local("a b/sub/深い"));
    TempDir::WriteFile(Local("a b/データ 1.bin"), RandomBytes(70000, 1));
    TempDir::WriteFile(Local("a b/sub/深い/x.txt"), "line one\r\nline two\n");
    TempDir::WriteFile(Local("zero.bin"), "");
    std::string chain = "deep";
    for (int level = 2; level <= 30; ++level)
        chain += "/d" + std::to_string(level);
    MakeDirs(Local(chain));
    TempDir::WriteFile(Local(chain + "/leaf.dat"), RandomBytes(5000, 2));
    const auto original = TreeDigest(work_.Path());

    TMainForm& form = OpenConnected();
    Run(form, "aTypeBinary");
    UploadAll(form);
    EXPECT_EQ(TreeDigest(server_.Root()), original);
    EXPECT_EQ(FileOperationLogText().count(QStringLiteral(" Upload ")), 4);
    // Both panes are back where the command started.
    EXPECT_EQ(form.Controls().LocalDirBox->currentText(), QString::fromStdString(work_.Path() + "/"));
    EXPECT_EQ(form.Controls().RemoteDirBox->currentText(), QStringLiteral("/"));

    TempDir back;
    form.LocalPane().ChangeDirectory(QString::fromStdString(back.Path()));
    DownloadAll(form);
    EXPECT_EQ(TreeDigest(back.Path()), original);
    EXPECT_EQ(FileOperationLogText().count(QStringLiteral(" Download ")), 4);
    EXPECT_EQ(FileOperationLogText().count(QStringLiteral(" CreateDir ")), 34);
    EXPECT_EQ(form.Controls().LocalDirBox->currentText(), QString::fromStdString(back.Path() + "/"));
}

TEST_F(FolderTransfersTest, CompareTimeStampSkipsListedExtensionsAndFilesWhoseCounterpartIsNotOlder)
{
    const QDateTime now = QDateTime::currentDateTime();
    for (const char* name : {"keep.bak", "newer.txt", "older.txt", "fresh.txt", "rule.tmp"})
        TempDir::WriteFile(Local(name), std::string("local ") + name);
    for (const char* name : {"keep.bak", "newer.txt", "older.txt", "rule.tmp"})
        TempDir::WriteFile(Remote(name), std::string("remote ") + name);
    const QDateTime earlier = now.addDays(-3), later = now.addDays(-1);
    SetModified(Local("newer.txt"), later);
    SetModified(Remote("newer.txt"), earlier);
    SetModified(Local("older.txt"), earlier);
    SetModified(Remote("older.txt"), later);
    SetModified(Local("rule.tmp"), later);
    SetModified(Remote("rule.tmp"), earlier);

    TMainForm& form = OpenConnected();
    // An entry without its leading dot never matches.
    form.Extensions().SkipExtList = {".BAK", "tmp"};
    form.Options().bCompareTimeStamp = true;
    UploadAll(form);
    EXPECT_EQ(TempDir::ReadFile(Remote("keep.bak")), "remote keep.bak");
    EXPECT_EQ(TempDir::ReadFile(Remote("older.txt")), "remote older.txt");
    EXPECT_EQ(TempDir::ReadFile(Remote("newer.txt")), "local newer.txt");
    EXPECT_EQ(TempDir::ReadFile(Remote("fresh.txt")), "local fresh.txt");
    EXPECT_EQ(TempDir::ReadFile(Remote("rule.tmp")), "local rule.tmp");

    // Off: everything goes, the listed extension too.
    form.Options().bCompareTimeStamp = false;
    UploadAll(form);
    for (const char* name : {"keep.bak", "older.txt"})
        EXPECT_EQ(TempDir::ReadFile(Remote(name)), std::string("local ") + name);
}

TEST_F(FolderTransfersTest, SkipTestsCompareTheFirstRowOfTheNameWhateverItsCaseAtThePanesResolution)
{
    TMainForm& form = OpenConnected();
    TFolderTransfers& folders = form.FolderTransfers();
    const auto remoteText = [](const QTime& time) {
        return QDateTime(QDate(2004, 5, 1), time).toString(RemoteDateFormat() + u' ' + RemoteTimeFormat());
    };
    const auto localText = [](const QTime& time) {
        return QDateTime(QDate(2004, 5, 1), time).toString(LocalTimePattern());
    };
    TFileRow remote{QStringLiteral("Readme.TXT"), {QStringLiteral("10"), remoteText(QTime(12, 34, 10))}, fiText};
    TFileRow laterTwin{QStringLiteral("readme.txt"), {QStringLiteral("10"), remoteText(QTime(23, 0))}, fiText};
    RemoteRows(form).SetRows({remote, laterTwin});

    // 12:34 against 12:34:10: skipped, although the local file may be up to 59 seconds newer.
    EXPECT_TRUE(folders.ShouldSkipUpload(QStringLiteral("readme.txt"), localText(QTime(12, 34))));
    // Only the first row of the name counts, not the later twin.
    EXPECT_FALSE(folders.ShouldSkipUpload(QStringLiteral("readme.txt"), localText(QTime(12, 35))));
    EXPECT_FALSE(folders.ShouldSkipUpload(QStringLiteral("other.txt"), localText(QTime(0, 0))));
    EXPECT_THROW(folders.ShouldSkipUpload(QStringLiteral("readme.txt"), QStringLiteral("not a time")), EConvertError);

    LocalRows(form).SetRows({TFileRow{QStringLiteral("README.txt"), {QStringLiteral("10"), localText(QTime(12, 34))}, fiText}});
    EXPECT_FALSE(folders.ShouldSkipDownload(QStringLiteral("Readme.TXT"), remoteText(QTime(12, 34, 10))));
    EXPECT_TRUE(folders.ShouldSkipDownload(QStringLiteral("Readme.TXT"), remoteText(QTime(12, 34, 0))));

    // MKD is left out for a name the remote pane already lists in any letter case.
    EXPECT_FALSE(folders.RemoteEntryMissing(QStringLiteral("README.TXT")));
    EXPECT_TRUE(folders.RemoteEntryMissing(QStringLiteral("readme.txt.bak")));
}

TEST_F(FolderTransfersTest, MirroringDeletesOnlyRemoteFilesWithNoLocalEntryOfThatNameWhateverTheMask)
{
    // The mask hides the folder sub and hidden.txt from the local pane.
    MakeDirs(Local("sub"));
    TempDir::WriteFile(Local("a.html"), "local a");
    TempDir::WriteFile(Local("Readme.htm"), "local readme");
    TempDir::WriteFile(Local("hidden.txt"), "local hidden");
    MakeDirs(Remote("olddir"));
    MakeDirs(Remote("sub"));
    for (const char* name : {"a.html", "old.html", "old.log", "README.HTM", "hidden.txt", "sub/notes.txt"})
        TempDir::WriteFile(Remote(name), std::string("remote ") + name);

    TMainForm& form = OpenConnected();
    form.Controls().LocalMaskBox->setEditText(QStringLiteral("*.htm*"));
    Run(form, "aLocalRefresh");
    form.Extensions().NoDeleteExtList = {".log"};
    form.Options().bMirroringAtUploadAll = true;
    UploadAll(form);

    EXPECT_FALSE(Exists(Remote("old.html")));
    EXPECT_TRUE(Exists(Remote("old.log")));
    EXPECT_TRUE(Exists(Remote("olddir")));
    // Readme.htm is the counterpart of README.HTM. hidden.txt and sub exist locally, so they
    // stay, and the upload leaves them as they are because the mask hid them.
    EXPECT_TRUE(Exists(Remote("README.HTM")));
    EXPECT_EQ(TempDir::ReadFile(Remote("hidden.txt")), "remote hidden.txt");
    EXPECT_EQ(TempDir::ReadFile(Remote("sub/notes.txt")), "remote sub/notes.txt");
    EXPECT_EQ(TempDir::ReadFile(Remote("a.html")), "local a");
    const QString log = SessionLogText(form);
    EXPECT_TRUE(log.contains(QStringLiteral("DELE old.html")));
    EXPECT_TRUE(log.contains(QStringLiteral("DELE olddir")));
    EXPECT_FALSE(log.contains(QStringLiteral("RMD olddir")));
    for (const char* kept : {"old.log", "hidden.txt", "sub", "README.HTM", "a.html"})
        EXPECT_FALSE(log.contains(QStringLiteral("DELE ") + QLatin1String(kept) + u'\n')) << kept;
}

TEST_F(FolderTransfersTest, AFolderListedInAnotherLetterCaseIsEnteredWithoutMKD)
{
    MakeDirs(Local("Docs"));
    TempDir::WriteFile(Local("Docs/x.txt"), "x");
    MakeDirs(Remote("docs"));
    TMainForm& form = OpenConnected();
    UploadAll(form);
    EXPECT_EQ(TempDir::ReadFile(Remote("docs/x.txt")), "x");
    EXPECT_FALSE(SessionLogText(form).contains(QStringLiteral("MKD")));
}

TEST_F(FolderTransfersTest, ADownloadIntoAnExistingFolderCreatesOnlyWhatIsMissing)
{
    MakeDirs(Remote("pub/new"));
    TempDir::WriteFile(Remote("pub/a.txt"), "a");
    TempDir::WriteFile(Remote("pub/new/b.txt"), "b");
    MakeDirs(Local("pub"));
    TempDir::WriteFile(Local("pub/mine.txt"), "mine");
    TMainForm& form = OpenConnected();
    DownloadAll(form);
    EXPECT_EQ(TempDir::ReadFile(Local("pub/a.txt")), "a");
    EXPECT_EQ(TempDir::ReadFile(Local("pub/new/b.txt")), "b");
    EXPECT_EQ(TempDir::ReadFile(Local("pub/mine.txt")), "mine");
    const QString log = FileOperationLogText();
    EXPECT_EQ(log.count(QStringLiteral(" CreateDir ")), 1);
    EXPECT_TRUE(log.contains(QStringLiteral(" CreateDir new ")));
}

TEST_F(FolderTransfersTest, AnAbortInAThirdLevelFolderStopsEveryLevelThatHasRowsLeft)
{
    // Level two's only row is level three, so level two ends without a message of its own.
    MakeDirs(Local("a/b"));
    TempDir::WriteFile(Local("a/b/c.txt"), "c");
    TempDir::WriteFile(Local("z.txt"), "z");
    TMainForm& form = OpenConnected();
    bool panesEnabledOnTheWay = true;
    QObject::connect(&form, &TMainForm::LocalDirectoryChanged, [&](const QString& path) {
        panesEnabledOnTheWay = form.Controls().MainPanel->isEnabled();
        if (path.endsWith(QStringLiteral("/a/b")))
            form.Transfer().AbortRequested = true;
    });
    UploadAll(form);
    EXPECT_EQ(dialogs_->Shown().mid(1), (QStringList{Aborted, Aborted}));
    // The panes stay disabled for the whole walk, and come back when it ends.
    EXPECT_FALSE(panesEnabledOnTheWay);
    EXPECT_TRUE(form.Controls().MainPanel->isEnabled());
    EXPECT_TRUE(Exists(Remote("a/b")));
    EXPECT_FALSE(Exists(Remote("a/b/c.txt")));
    EXPECT_FALSE(Exists(Remote("z.txt")));
    EXPECT_FALSE(form.BusyFlag());
}

TEST_F(FolderTransfersTest, AnUploadNeverEntersAFolderAlreadyOnItsWayDown)
{
    MakeDirs(Local("top/inner"));
    TempDir::WriteFile(Local("top/inner/f.txt"), "f");
    ASSERT_EQ(symlink(work_.Path().c_str(), Local("top/inner/up").c_str()), 0);
    ASSERT_EQ(symlink(Local("top").c_str(), Local("top/self").c_str()), 0);
    TMainForm& form = OpenConnected();
    UploadAll(form);
    EXPECT_EQ(TempDir::ReadFile(Remote("top/inner/f.txt")), "f");
    EXPECT_FALSE(Exists(Remote("top/inner/up")));
    EXPECT_FALSE(Exists(Remote("top/self")));
    EXPECT_EQ(SessionLogText(form).count(QStringLiteral("上の階層と同じフォルダーのため飛ばしました")), 2);
}

TEST_F(FolderTransfersTest, AFolderThatCannotBeEnteredEndsTheTransferAndLosesNothing)
{
    // A local file where the remote folder goes: the folder cannot be created or entered.
    MakeDirs(Remote("pub"));
    TempDir::WriteFile(Remote("pub/a.txt"), "a");
    TempDir::WriteFile(Remote("z.txt"), "z");
    TempDir::WriteFile(Local("pub"), "a local file");
    TMainForm& form = OpenConnected();
    DownloadAll(form);
    EXPECT_EQ(TempDir::ReadFile(Local("pub")), "a local file");
    EXPECT_TRUE(SessionLogText(form).contains(QStringLiteral("ローカルのフォルダーに入れません: pub")));
    EXPECT_FALSE(Exists(Local("z.txt")));
    EXPECT_FALSE(form.BusyFlag());
    EXPECT_TRUE(form.Controls().MainPanel->isEnabled());

    // A remote file where the local folder goes: CWD fails, the file stays.
    MakeDirs(Local("docs"));
    TempDir::WriteFile(Local("docs/d.txt"), "d");
    TempDir::WriteFile(Remote("docs"), "a remote file");
    form.Controls().RemoteDirBox->setEditText(QStringLiteral("/"));
    Run(form, "aRemoteRefresh");
    Run(form, "aLocalRefresh");
    UploadAll(form);
    EXPECT_EQ(TempDir::ReadFile(Remote("docs")), "a remote file");
    EXPECT_FALSE(SessionLogText(form).contains(QStringLiteral("MKD docs")));
    EXPECT_FALSE(form.BusyFlag());
}

TEST_F(FolderTransfersTest, UnsafeNamesFifosAndFilesVanishingMidWalkAreSkippedWhileTheRestMoves)
{
    MakeDirs(Remote("in"));
    TempDir::WriteFile(Remote("in/ok.txt"), "ok");
    TempDir::WriteFile(Remote("in/bad\x01name.txt"), "bad");
    // A FIFO would block the transfer that opens it, as source or as target.
    TempDir::WriteFile(Remote("in/pipe"), "remote pipe");
    MakeDirs(Local("in"));
    ASSERT_EQ(mkfifo(Local("in/pipe").c_str(), 0644), 0);
    MakeDirs(Local("out"));
    for (const char* name : {"out/1.txt", "out/2.txt", "out/3.txt"})
        TempDir::WriteFile(Local(name), name);
    ASSERT_EQ(mkfifo(Local("out/fifo").c_str(), 0644), 0);
    TMainForm& form = OpenConnected();
    DownloadAll(form);
    EXPECT_EQ(TempDir::ReadFile(Local("in/ok.txt")), "ok");
    EXPECT_EQ(std::distance(fs::directory_iterator(Local("in")), fs::directory_iterator()), 2);
    EXPECT_TRUE(SessionLogText(form).contains(QStringLiteral("ローカルでは使えない名前のため飛ばしました: bad\\x01name.txt")));

    // The second file goes after the level was listed.
    QObject::connect(&form, &TMainForm::LocalDirectoryChanged, [this](const QString& path) {
        if (path.endsWith(QStringLiteral("/out")))
            unlink(Local("out/2.txt").c_str());
    });
    UploadAll(form);
    EXPECT_EQ(TempDir::ReadFile(Remote("out/1.txt")), "out/1.txt");
    EXPECT_EQ(TempDir::ReadFile(Remote("out/3.txt")), "out/3.txt");
    EXPECT_FALSE(Exists(Remote("out/2.txt")));
    EXPECT_FALSE(Exists(Remote("out/fifo")));
    EXPECT_EQ(TempDir::ReadFile(Remote("in/pipe")), "remote pipe");
    EXPECT_EQ(SessionLogText(form).count(QStringLiteral("通常のファイルではないため飛ばしました")), 3);
}
