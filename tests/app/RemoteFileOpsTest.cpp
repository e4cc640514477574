#include "MainFormFixture.h"

#include "fileops/CommandDlg.h"
#include "fileops/FileDlg.h"
#include "fixtures/FtpServer.h"
#include "fixtures/ScriptedPeer.h"
#include "fixtures/VsftpdServer.h"
#include "log/Editor.h"
#include "panes/FileListModel.h"
#include "panes/FileViewStack.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeView>

#include <sys/stat.h>
#include <unistd.h>

namespace {

using Answer = TUserDialogs::Answer;
using Icon = TUserDialogs::Icon;

const QString LineBreakRefused = QStringLiteral("Command refused: it contains a line break.");

class RemoteFileOpsTest : public MainFormTest {
protected:
    // Opens the window, logs in to the server and lists its root.
    TMainForm& OpenConnected(int port, const char* user = FtpServer::User, const char* password = FtpServer::Password)
    {
        TMainForm& form = Open();
        form.IdFTP1.Passive = true;
        LogIn(form, port, user, password);
        Run("aRemoteRefresh");
        return form;
    }
    TMainForm& OpenConnected() { return OpenConnected(server_.Port()); }
    void Run(const char* action)
    {
        form_->UpdateActionStates();
        form_->Action(QString::fromLatin1(action))->trigger();
    }
    TFileListModel& Model() { return form_->Controls().RemoteFileListView->Model(); }
    QStringList Captions() { return MainFormTest::Captions(Model()); }
    void Select(const QStringList& names)
    {
        QTreeView& view = form_->Controls().RemoteFileListView->Report();
        view.selectionModel()->clearSelection();
        for (int row = 0; row < Model().rowCount(); ++row)
            if (names.contains(Model().Row(row).caption))
                view.selectionModel()->select(Model().index(row, 0),
                                              QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    // The name dialog answered with OK after the edit box was given text.
    void QueueNameDialog(const QString& text)
    {
        dialogs_->QueueDialog([text](QDialog& dialog) {
            dialog.findChild<QLineEdit*>(QStringLiteral("NewEdit"))->setText(text);
            return int(QDialog::Accepted);
        });
    }
    // The command dialog, shown, handed to the script, which presses a button.
    void RunCommandDialog(std::function<void(TCommandDlg&)> script)
    {
        dialogs_->QueueDialog([script](QDialog& dialog) {
            dialog.show();
            script(static_cast<TCommandDlg&>(dialog));
            const int result = dialog.result();
            dialog.hide();
            return result;
        });
        Run("aChmod");
    }
    std::string OperationLog() const
    {
        return TempDir::Exists(HomeFile("FileOperationLog.txt")) ? TempDir::ReadFile(HomeFile("FileOperationLog.txt"))
                                                                  : "";
    }
    QStringList SessionLog() const
    {
        QStringList lines;
        for (int i = 0; i < form_->LogPane()->LineCount(); ++i)
            lines << form_->LogPane()->Line(i);
        return lines;
    }
    qsizetype Listings() const { return SessionLog().filter(QStringLiteral("<< LIST")).size(); }
    void MakeDir(const std::string& name) const { ASSERT_EQ(mkdir(server_.File(name).c_str(), 0755), 0); }
    void MakeFile(const std::string& name, const std::string& content = "") const
    {
        TempDir::WriteFile(server_.File(name), content);
    }
    mode_t Mode(const std::string& name) const
    {
        struct stat status {};
        stat(server_.File(name).c_str(), &status);
        return status.st_mode & 0777;
    }
    // A viewer that copies each file it is given into seen/ and notes its path.
    void InstallRecordingViewer()
    {
        const std::string viewer = seen_.File("viewer.sh");
        TempDir::WriteFile(viewer, "#!/bin/sh\ncp \"$1\" \"" + seen_.Path() + "/$(basename \"$1\").seen\"\nprintf '%s\\n' \"$1\" >> \"" +
                                       seen_.File("paths") + "\"\n");
        chmod(viewer.c_str(), 0755);
        form_->Options().asApplication = QString::fromStdString(viewer);
    }
    // The paths the viewer was started on, once that many have been noted (the viewer runs
    // detached), sorted.
    QStringList Viewed(int expected) const
    {
        QStringList paths;
        for (int waited = 0; waited < 5000; waited += 20) {
            if (TempDir::Exists(seen_.File("paths")))
                paths = QString::fromStdString(TempDir::ReadFile(seen_.File("paths"))).split(u'\n', Qt::SkipEmptyParts);
            if (paths.size() >= expected)
                break;
            Pump(20);
        }
        paths.sort();
        return paths;
    }
    std::string SeenContent(const QString& viewedPath) const
    {
        return TempDir::ReadFile(seen_.File(QFileInfo(viewedPath).fileName().toStdString() + ".seen"));
    }
    // A program file's content, or a mark for its absence.
    std::string HomeFileState(const std::string& name) const
    {
        return TempDir::Exists(HomeFile(name)) ? TempDir::ReadFile(HomeFile(name)) : "<none>";
    }
    QString ViewRoot() const { return QString::fromStdString(home_.File("View")); }

    FtpServer server_;
    TempDir seen_;
};

}  // namespace

// Viewing.

TEST_F(RemoteFileOpsTest, ViewedFilesGoToAFolderOfTheirOwnAndNeverReplaceTheProgramsFiles)
{
    MakeFile("Marlux.ini", "[CURRENT]\nbConnectDlgOnStart=0\n");
    MakeFile("notes.txt", "remote notes\n");
    MakeFile("gone.txt", "x");
    MakeFile(std::string("bell\x07.txt"), "x");
    TMainForm& form = OpenConnected();
    const std::string settings = HomeFileState("Marlux.ini");
    InstallRecordingViewer();
    form.IdFTP1.SetTransferType(ftASCII);
    Select({"Marlux.ini", "notes.txt", "gone.txt", QStringLiteral("bell\u0007.txt")});
    unlink(server_.File("gone.txt").c_str());
    const qsizetype logBefore = SessionLog().size();
    Run("aRemoteFileView");

    const QStringList viewed = Viewed(2);
    ASSERT_EQ(viewed.size(), 2);
    for (const QString& path : viewed)
        EXPECT_TRUE(path.startsWith(ViewRoot() + u'/')) << path.toStdString();
    EXPECT_TRUE(viewed[0].endsWith(QStringLiteral("/Marlux.ini")));
    // The ASCII type in force stays: the server sends its line ends as CR LF.
    EXPECT_EQ(SeenContent(viewed[0]), "[CURRENT]\r\nbConnectDlgOnStart=0\r\n");
    EXPECT_EQ(SeenContent(viewed[1]), "remote notes\r\n");
    EXPECT_EQ(HomeFileState("Marlux.ini"), settings);
    const QStringList dialogue = SessionLog().mid(logBefore);
    EXPECT_EQ(dialogue.filter(QStringLiteral("<< TYPE")), QStringList{});
    EXPECT_EQ(dialogue.filter(QStringLiteral("<< RETR")).size(), 3);  // the unsafe name is never asked for
    EXPECT_TRUE(dialogue.contains(QStringLiteral("ローカルでは使えない名前のため飛ばしました: bell\\x07.txt")));
    EXPECT_TRUE(dialogs_->Shown().isEmpty());
    EXPECT_FALSE(form.BusyFlag());

    // The files stay while the viewer may still need them, and go with the window.
    EXPECT_TRUE(QFileInfo::exists(viewed[1]));
    CloseWindow();
    EXPECT_FALSE(QFileInfo::exists(viewed[1]));
    EXPECT_EQ(QDir(ViewRoot()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{});
}

TEST_F(RemoteFileOpsTest, ADoubleClickViewsAFileAndAViewerThatWillNotStartOpensTheOptions)
{
    MakeFile("readme.txt", "read me");
    TMainForm& form = OpenConnected();
    InstallRecordingViewer();
    form.Options().iOnRemoteDblClick = 0;
    Select({"readme.txt"});
    QTreeView& view = form.Controls().RemoteFileListView->Report();
    emit view.doubleClicked(Model().index(0, 0));
    const QStringList viewed = Viewed(1);
    ASSERT_EQ(viewed.size(), 1);
    EXPECT_EQ(SeenContent(viewed[0]), "read me");

    int options = 0;
    form.SetActionHandler("aOption", [&] { ++options; });
    form.Options().asApplication = QString::fromStdString(home_.File("no-such-viewer"));
    Run("aRemoteFileView");
    EXPECT_EQ(dialogs_->Shown(), QStringList{QStringLiteral("ファイルが開けませんでした。ビューアの再設定が必要です")});
    EXPECT_EQ(options, 1);
}

TEST_F(RemoteFileOpsTest, TheDetailedListingIsTheRawTextOfTheLastListing)
{
    MakeDir("sub");
    MakeFile("one.txt", "1");
    MakeFile("two.bin", std::string(4000, 'b'));
    TMainForm& form = OpenConnected();
    InstallRecordingViewer();
    Run("aRemoteDetail");
    const QStringList viewed = Viewed(1);
    ASSERT_EQ(viewed.size(), 1);
    EXPECT_TRUE(viewed[0].startsWith(ViewRoot() + u'/'));
    EXPECT_TRUE(viewed[0].endsWith(QStringLiteral("/tmp.txt")));

    // The same listing fetched on a connection of its own.
    TIdFTP other;
    AimAtLoopback(other, server_.Port());
    other.Passive = true;
    other.Connect(true, 5000);
    std::vector<std::string> lines;
    other.List(&lines, form.Controls().RemoteMaskBox->currentText().trimmed().toStdString());
    std::string expected;
    for (const std::string& line : lines)
        expected += line + "\n";
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(SeenContent(viewed[0]), expected);
}

// Creating, renaming and changing names.

TEST_F(RemoteFileOpsTest, MakeDirectoryAsksWithTheRemoteDirectoryAndWritesNoLogLine)
{
    OpenConnected();
    QString current;
    dialogs_->QueueDialog([&current](QDialog& dialog) {
        current = dialog.findChild<QLabel*>(QStringLiteral("CurrentName"))->text();
        EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("NewName"))->text(), QStringLiteral("新規ディレクトリ名：　"));
        EXPECT_EQ(dialog.findChild<QLineEdit*>(QStringLiteral("NewEdit"))->text(), QStringLiteral("NewDir"));
        return int(QDialog::Accepted);
    });
    dialogs_->QueueAnswer(Answer::No);
    const qsizetype listings = Listings();
    Run("aRemoteMkDir");
    EXPECT_EQ(current, QStringLiteral("現在のリモートディレクトリ　/"));
    EXPECT_EQ(dialogs_->DialogTitles(), QStringList{QStringLiteral("新規ディレクトリの作成")});
    EXPECT_EQ(dialogs_->Shown(), QStringList{QStringLiteral("NewDirを作成しますか？")});
    EXPECT_FALSE(TempDir::Exists(server_.File("NewDir")));
    EXPECT_EQ(Listings(), listings);

    QueueNameDialog(QStringLiteral("made"));
    dialogs_->QueueAnswer(Answer::Yes);
    Run("aRemoteMkDir");
    EXPECT_TRUE(TempDir::Exists(server_.File("made")));
    EXPECT_EQ(Captions(), QStringList{"made"});
    EXPECT_EQ(OperationLog(), "");
}

TEST_F(RemoteFileOpsTest, RenameAnsweredNoSendsNothingAndYesLogsBothRemoteSides)
{
    MakeDir("dir");
    MakeFile("old.txt", "content");
    OpenConnected();
    Select({"old.txt"});
    QueueNameDialog(QStringLiteral("new.txt"));
    dialogs_->QueueAnswer(Answer::No);
    const qsizetype listings = Listings();
    Run("aRemoteRename");
    EXPECT_EQ(dialogs_->Shown(), QStringList{QStringLiteral("old.txtを\nnew.txt\nに変更しますか?")});
    EXPECT_EQ(SessionLog().filter(QStringLiteral("<< RNFR")), QStringList{});
    EXPECT_EQ(Listings(), listings);

    // Folders get the file texts too.
    Select({"dir", "old.txt"});
    QueueNameDialog(QStringLiteral("folder"));
    dialogs_->QueueAnswer(Answer::Yes);
    QueueNameDialog(QStringLiteral("new.txt"));
    dialogs_->QueueAnswer(Answer::Yes);
    Run("aRemoteRename");
    EXPECT_EQ(dialogs_->DialogTitles(), QStringList(3, QStringLiteral("ファイル名の変更")));
    EXPECT_EQ(TempDir::ReadFile(server_.File("new.txt")), "content");
    EXPECT_TRUE(TempDir::Exists(server_.File("folder")));
    EXPECT_NE(OperationLog().find(" Rename CURRENT:/:old.txt --> CURRENT:/:new.txt\r\n"), std::string::npos);
    EXPECT_NE(OperationLog().find(" Rename CURRENT:/:dir --> CURRENT:/:folder\r\n"), std::string::npos);
    EXPECT_EQ(Captions(), (QStringList{"folder", "new.txt"}));
}

TEST_F(RemoteFileOpsTest, ARefusedRenameEndsTheCommandAtThatRowWithoutLogLineOrListing)
{
    for (const char* name : {"a", "b", "c"})
        MakeFile(name, name);
    TMainForm& form = OpenConnected();
    Select({"a", "b", "c"});
    unlink(server_.File("b").c_str());
    QueueNameDialog(QStringLiteral("a2"));
    dialogs_->QueueAnswer(Answer::Yes);
    QueueNameDialog(QStringLiteral("b2"));
    dialogs_->QueueAnswer(Answer::Yes);
    QueueNameDialog(QStringLiteral("c2"));
    dialogs_->QueueAnswer(Answer::Yes);
    const qsizetype listings = Listings();
    Run("aRemoteRename");
    EXPECT_EQ(dialogs_->DialogTitles().size(), 2);
    EXPECT_TRUE(TempDir::Exists(server_.File("a2")));
    EXPECT_TRUE(TempDir::Exists(server_.File("c")));
    EXPECT_NE(OperationLog().find("Rename CURRENT:/:a --> CURRENT:/:a2"), std::string::npos);
    EXPECT_EQ(OperationLog().find(":b"), std::string::npos);
    EXPECT_EQ(Listings(), listings);
    EXPECT_EQ(Captions(), (QStringList{"a", "b", "c"}));
    EXPECT_EQ(SessionLog().filter(QRegularExpression(QStringLiteral("^>> 550 "))).size(), 1);
    EXPECT_TRUE(form.SessionConnected());
    EXPECT_FALSE(form.BusyFlag());
}

TEST_F(RemoteFileOpsTest, ExtensionAndCaseChangesRenameFilesOnTheServerAndSkipFolders)
{
    MakeDir("dir.d");
    MakeFile("a.tar.gz", "archive");
    MakeFile("Makefile", "make");
    OpenConnected();
    Select({"dir.d", "a.tar.gz", "Makefile"});
    QueueNameDialog(QStringLiteral(".zip"));
    dialogs_->QueueAnswer(Answer::Yes);
    dialogs_->QueueAnswer(Answer::Yes);
    Run("aRemoteExtModify");
    EXPECT_EQ(dialogs_->DialogTitles(), QStringList{QStringLiteral("拡張子の変更")});
    EXPECT_EQ(dialogs_->Shown(), (QStringList{QStringLiteral("Makefileを\nMakefile.zip\nに変更しますか?"),
                                              QStringLiteral("a.tar.gzを\na.zip\nに変更しますか?")}));
    EXPECT_EQ(TempDir::ReadFile(server_.File("a.zip")), "archive");
    EXPECT_EQ(TempDir::ReadFile(server_.File("Makefile.zip")), "make");
    EXPECT_EQ(Captions(), (QStringList{"dir.d", "Makefile.zip", "a.zip"}));

    // The folder is neither asked about nor renamed.
    Select({"dir.d", "Makefile.zip", "a.zip"});
    dialogs_->QueueAnswer(Answer::Yes);
    dialogs_->QueueAnswer(Answer::No);
    Run("aRemoteUpperCase");
    EXPECT_EQ(dialogs_->Shown().mid(2), (QStringList{QStringLiteral("Makefile.zipを\nすべて大文字に変換しますか?"),
                                                     QStringLiteral("a.zipを\nすべて大文字に変換しますか?")}));
    EXPECT_TRUE(TempDir::Exists(server_.File("dir.d")));
    EXPECT_TRUE(TempDir::Exists(server_.File("MAKEFILE.ZIP")));
    EXPECT_NE(OperationLog().find("Rename CURRENT:/:Makefile.zip --> CURRENT:/:MAKEFILE.ZIP\r\n"), std::string::npos);

    Select({"dir.d", "MAKEFILE.ZIP"});
    dialogs_->QueueAnswer(Answer::Yes);
    Run("aRemoteLowerCase");
    EXPECT_EQ(dialogs_->Shown().last(), QStringLiteral("MAKEFILE.ZIPを\nすべて小文字に変換しますか?"));
    EXPECT_EQ(Captions(), (QStringList{"dir.d", "a.zip", "makefile.zip"}));
}

TEST_F(RemoteFileOpsTest, ANameWithALineBreakIsRefusedBeforeAnythingIsSentAndTheRefusalIsLogged)
{
    MakeFile("file.txt");
    OpenConnected();
    // A line edit keeps the line breaks of pasted text.
    QApplication::clipboard()->setText(QStringLiteral("new\r\nname"));
    dialogs_->QueueDialog([](QDialog& dialog) {
        auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("NewEdit"));
        edit->clear();
        edit->paste();
        return int(QDialog::Accepted);
    });
    dialogs_->QueueAnswer(Answer::Yes);
    Run("aRemoteMkDir");
    Select({"file.txt"});
    QueueNameDialog(QStringLiteral("two\nlines"));
    dialogs_->QueueAnswer(Answer::Yes);
    Run("aRemoteRename");
    EXPECT_EQ(SessionLog().filter(LineBreakRefused).size(), 2);
    EXPECT_EQ(SessionLog().filter(QRegularExpression(QStringLiteral("^<< (MKD|RNFR|RNTO)"))), QStringList{});
    EXPECT_EQ(QDir(QString::fromStdString(server_.Root())).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList{"file.txt"});
    EXPECT_EQ(OperationLog(), "");
}

// Deleting.

TEST_F(RemoteFileOpsTest, DeleteAsksTwiceThenRemovesFilesAndEmptyFoldersAndStopsAtAFullOne)
{
    MakeDir("empty");
    MakeDir("full");
    MakeFile("full/kept");
    MakeFile("file");
    MakeFile("later");
    OpenConnected();
    Select({"empty", "file"});
    dialogs_->QueueAnswer(Answer::Yes);
    dialogs_->QueueAnswer(Answer::No);
    const qsizetype listings = Listings();
    Run("aRemoteFileDelete");
    EXPECT_EQ(dialogs_->Shown(),
              (QStringList{QStringLiteral("選択中のファイルとディレクトリを一括して削除しますか？\nただし、ディレクトリの場合は中身が空でないと削除できません!!"),
                           QStringLiteral("削除したファイルは元に戻せませんがよろしいですか？")}));
    EXPECT_EQ(dialogs_->QuestionIcons(), (QList<Icon>{Icon::Exclamation, Icon::Stop}));
    EXPECT_TRUE(TempDir::Exists(server_.File("file")));
    EXPECT_EQ(Listings(), listings);

    dialogs_->QueueAnswer(Answer::Yes);
    dialogs_->QueueAnswer(Answer::Yes);
    Run("aRemoteFileDelete");
    EXPECT_FALSE(TempDir::Exists(server_.File("empty")));
    EXPECT_FALSE(TempDir::Exists(server_.File("file")));
    EXPECT_NE(OperationLog().find(" RemoveDir CURRENT:/:empty  \r\n"), std::string::npos);
    EXPECT_NE(OperationLog().find(" Delete CURRENT:/:file  \r\n"), std::string::npos);
    EXPECT_EQ(Captions(), (QStringList{"full", "later"}));

    // The server refuses the non-empty folder; the row after it is not touched.
    Select({"full", "later"});
    dialogs_->QueueAnswer(Answer::Yes);
    dialogs_->QueueAnswer(Answer::Yes);
    Run("aRemoteFileDelete");
    EXPECT_TRUE(TempDir::Exists(server_.File("full/kept")));
    EXPECT_TRUE(TempDir::Exists(server_.File("later")));
    EXPECT_EQ(OperationLog().find("full"), std::string::npos);
    EXPECT_EQ(SessionLog().filter(QStringLiteral("<< DELE later")), QStringList{});
}

// The command dialog.

TEST_F(RemoteFileOpsTest, TheCommandDialogFollowsEveryChoiceAndKeystrokeAndSetsTheModes)
{
    MakeFile("a.cgi");
    MakeFile("b.cgi");
    MakeFile("c.txt");
    OpenConnected();
    Select({"a.cgi", "b.cgi"});
    RunCommandDialog([](TCommandDlg& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("コマンドの実行"));
        EXPECT_EQ(dialog.size(), QSize(323, 284));
        EXPECT_EQ(dialog.ItemIndex(), 0);
        EXPECT_EQ(dialog.focusWidget(), dialog.ChmodOptionItem(0));
        EXPECT_EQ(dialog.edChmod()->text(), QStringLiteral("644"));
        EXPECT_EQ(dialog.reCommand()->toPlainText(), QStringLiteral("CHMOD 644 a.cgi\nCHMOD 644 b.cgi"));
        dialog.ChmodOptionItem(1)->click();
        EXPECT_EQ(dialog.reCommand()->toPlainText(), QStringLiteral("CHMOD 755 a.cgi\nCHMOD 755 b.cgi"));
        dialog.ChmodOptionItem(2)->click();
        EXPECT_EQ(dialog.reCommand()->toPlainText(), QStringLiteral("CHMOD 666 a.cgi\nCHMOD 666 b.cgi"));
        dialog.ChmodOptionItem(3)->click();
        dialog.edChmod()->clear();
        TypeText(dialog.edChmod(), QStringLiteral("6"));
        EXPECT_EQ(dialog.reCommand()->toPlainText(), QStringLiteral("CHMOD 6 a.cgi\nCHMOD 6 b.cgi"));
        TypeText(dialog.edChmod(), QStringLiteral("00"));
        EXPECT_EQ(dialog.reCommand()->toPlainText(), QStringLiteral("CHMOD 600 a.cgi\nCHMOD 600 b.cgi"));
        // A command word replaces the prefix; cleared, the choice's prefix is back.
        TypeText(dialog.edCommand(), QStringLiteral("UMASK"));
        EXPECT_EQ(dialog.reCommand()->toPlainText(), QStringLiteral("UMASK a.cgi\nUMASK b.cgi"));
        dialog.edCommand()->clear();
        EXPECT_EQ(dialog.reCommand()->toPlainText(), QStringLiteral("CHMOD 600 a.cgi\nCHMOD 600 b.cgi"));
        dialog.OkBtn()->click();
    });
    EXPECT_EQ(Mode("a.cgi"), 0600u);
    EXPECT_EQ(Mode("b.cgi"), 0600u);
    EXPECT_EQ(Mode("c.txt"), 0644u);
    EXPECT_NE(OperationLog().find(" CHMOD 600 a.cgi   \r\n"), std::string::npos);
    EXPECT_NE(OperationLog().find(" CHMOD 600 b.cgi   \r\n"), std::string::npos);
    // Re-listed: the rows show the new rights.
    EXPECT_EQ(Model().Row(0).subItems[2], QStringLiteral("rw-"));
    EXPECT_EQ(SessionLog().filter(QStringLiteral("<< LIST")).size(), 2);

    // Cancel sends nothing.
    RunCommandDialog([](TCommandDlg& dialog) { dialog.CancelBtn()->click(); });
    EXPECT_EQ(SessionLog().filter(QStringLiteral("<< SITE")).size(), 2);
}

TEST_F(RemoteFileOpsTest, HandEditedPreviewLinesAreSentTrimmedAndEmptyOnesSkipped)
{
    MakeFile("a.cgi");
    MakeFile("b.cgi");
    OpenConnected();
    Select({"a.cgi"});
    RunCommandDialog([](TCommandDlg& dialog) {
        dialog.reCommand()->setPlainText(QStringLiteral("  CHMOD 700 a.cgi  \n\n   \nCHMOD 640 b.cgi\n"));
        dialog.OkBtn()->click();
    });
    EXPECT_EQ(Mode("a.cgi"), 0700u);
    EXPECT_EQ(Mode("b.cgi"), 0640u);
    EXPECT_EQ(SessionLog().filter(QStringLiteral("<< SITE")),
              (QStringList{"<< SITE CHMOD 700 a.cgi", "<< SITE CHMOD 640 b.cgi"}));
}

TEST_F(RemoteFileOpsTest, ARefusedSiteCommandClosesTheDialogAndSendsNoFurtherLine)
{
    MakeFile("a.cgi");
    TMainForm& form = OpenConnected();
    const qsizetype listings = Listings();
    RunCommandDialog([](TCommandDlg& dialog) {
        dialog.reCommand()->setPlainText(QStringLiteral("NOSUCH a.cgi\nCHMOD 600 a.cgi"));
        dialog.OkBtn()->click();
        EXPECT_FALSE(dialog.isVisible());
    });
    EXPECT_EQ(SessionLog().filter(QStringLiteral("<< SITE")), QStringList{"<< SITE NOSUCH a.cgi"});
    EXPECT_EQ(Mode("a.cgi"), 0644u);
    EXPECT_EQ(OperationLog(), "");
    EXPECT_EQ(Listings(), listings);
    EXPECT_TRUE(form.SessionConnected());
    EXPECT_FALSE(form.BusyFlag());
}

// The exact bytes on the wire: the prefix alone is sent without its trailing blank.
TEST_F(RemoteFileOpsTest, WithoutSelectionThePreviewIsThePrefixAloneAndGoesOutTrimmed)
{
    ScriptedPeer peer;
    peer.ScriptLogin().Reply("200 CHMOD done.\r\n").Reply("200 done.\r\n").Close();
    peer.Start();
    TMainForm& form = Open();
    AimAtLoopback(form.IdFTP1, peer.Port());
    form.IdFTP1.ReadTimeout = 2000;
    form.IdFTP1.Connect(true, 2000);
    QString preview;
    RunCommandDialog([&preview](TCommandDlg& dialog) {
        preview = dialog.reCommand()->toPlainText();
        dialog.reCommand()->appendPlainText(QStringLiteral("\t HELP  "));
        dialog.OkBtn()->click();
    });
    peer.Wait();
    EXPECT_EQ(preview, QStringLiteral("CHMOD 644 "));
    const std::vector<std::string> lines = peer.Lines();
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(lines[3], "SITE CHMOD 644");
    EXPECT_EQ(lines[4], "SITE HELP");
    EXPECT_NE(OperationLog().find(" CHMOD 644   \r\n"), std::string::npos);
}

// vsftpd refuses every change to an anonymous user, with replies of its own.
TEST_F(RemoteFileOpsTest, VsftpdRefusalsReachTheSessionLogAndViewingStillWorks)
{
    VsftpdServer vsftpd;
    chmod(vsftpd.Root().c_str(), 0755);
    TempDir::WriteFile(vsftpd.File("KeyList.ini"), "[Key]\n");
    chmod(vsftpd.File("KeyList.ini").c_str(), 0644);
    TMainForm& form = OpenConnected(vsftpd.Port(), "anonymous", "guest");
    ASSERT_EQ(Captions(), QStringList{"KeyList.ini"});
    const std::string keys = HomeFileState("KeyList.ini");
    InstallRecordingViewer();
    Select({"KeyList.ini"});
    Run("aRemoteFileView");
    const QStringList viewed = Viewed(1);
    ASSERT_EQ(viewed.size(), 1);
    EXPECT_EQ(SeenContent(viewed[0]), "[Key]\n");
    EXPECT_EQ(HomeFileState("KeyList.ini"), keys);

    dialogs_->QueueAnswer(Answer::Yes);
    dialogs_->QueueAnswer(Answer::Yes);
    Run("aRemoteFileDelete");
    RunCommandDialog([](TCommandDlg& dialog) { dialog.OkBtn()->click(); });
    EXPECT_TRUE(SessionLog().contains(QStringLiteral("<< SITE CHMOD 644 KeyList.ini")));
    EXPECT_TRUE(TempDir::Exists(vsftpd.File("KeyList.ini")));
    EXPECT_EQ(SessionLog().filter(QRegularExpression(QStringLiteral("^>> 550 "))).size(), 2);
    EXPECT_EQ(OperationLog(), "");
    EXPECT_TRUE(form.SessionConnected());
}

// A name that is not valid in the locale's encoding shows a replacement character; a name
// derived from that text would not be the file's name at all. (vsftpd lists names as they are
// on disk; pyftpdlib would replace the byte itself.)
TEST_F(RemoteFileOpsTest, NamesNotInTheLocalesEncodingGetNoDerivedName)
{
    VsftpdServer vsftpd;
    chmod(vsftpd.Root().c_str(), 0755);
    const std::string latin1 = std::string("caf") + char(0xE9) + ".txt";
    TempDir::WriteFile(vsftpd.File(latin1), "latin");
    chmod(vsftpd.File(latin1).c_str(), 0644);
    OpenConnected(vsftpd.Port(), "anonymous", "guest");
    ASSERT_EQ(Captions(), QStringList{QStringLiteral("caf\uFFFD.txt")});
    Select(Captions());
    dialogs_->QueueAnswer(Answer::Yes);
    Run("aRemoteUpperCase");
    QueueNameDialog(QStringLiteral(".doc"));
    dialogs_->QueueAnswer(Answer::Yes);
    Run("aRemoteExtModify");
    EXPECT_EQ(dialogs_->Shown(), QStringList{});
    EXPECT_EQ(SessionLog().filter(QStringLiteral("<< RNFR")), QStringList{});
}
