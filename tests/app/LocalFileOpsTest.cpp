#include "MainFormFixture.h"

#include "fixtures/FtpServer.h"
#include "panes/FileListModel.h"
#include "panes/FileViewStack.h"

#include <QAction>
#include <QDialog>
#include <QLineEdit>
#include <QTreeView>

#include <sys/stat.h>
#include <unistd.h>

namespace {

using Answer = TUserDialogs::Answer;

class LocalFileOpsTest : public MainFormTest {
protected:
    QStringList Captions() const { return MainFormTest::Captions(LocalFiles().Model()); }
    // The name dialog answered with OK after the edit box was given text.
    void QueueNameDialog(const QString& text) const
    {
        dialogs_->QueueDialog([text](QDialog& dialog) {
            dialog.findChild<QLineEdit*>(QStringLiteral("NewEdit"))->setText(text);
            return int(QDialog::Accepted);
        });
    }
    bool Logged(const std::string& entry) const { return OperationLog().find(entry) != std::string::npos; }
};

}  // namespace

TEST_F(LocalFileOpsTest, ExtensionChangeReplacesFromTheFirstDotAndSkipsFolders)
{
    for (const char* name : {"Makefile", "notes.doc", "a.tar.gz"})
        TempDir::WriteFile(work_.File(name), name);
    mkdir(work_.File("dir.d").c_str(), 0755);
    OpenListing();
    SelectLocal({"Makefile", "a.tar.gz", "dir.d"});
    QueueNameDialog(QStringLiteral(".txt"));
    dialogs_->QueueAnswer(Answer::Yes);
    dialogs_->QueueAnswer(Answer::No);
    form_->Action("aLocalExtModify")->trigger();
    EXPECT_EQ(dialogs_->Shown(), (QStringList{QStringLiteral("Makefileを\nMakefile.txt\nに変更しますか?"),
                                              QStringLiteral("a.tar.gzを\na.txt\nに変更しますか?")}));
    EXPECT_EQ(TempDir::ReadFile(work_.File("Makefile.txt")), "Makefile");
    EXPECT_TRUE(TempDir::Exists(work_.File("a.tar.gz")));
    EXPECT_TRUE(TempDir::Exists(work_.File("dir.d")));
    EXPECT_TRUE(Logged("Rename Makefile --> Makefile.txt\r\n"));
    EXPECT_TRUE(Captions().contains(QStringLiteral("Makefile.txt")));

    SelectLocal({"notes.doc"});
    QueueNameDialog(QStringLiteral("txt"));
    dialogs_->QueueAnswer(Answer::Yes);
    form_->Action("aLocalExtModify")->trigger();
    EXPECT_TRUE(TempDir::Exists(work_.File("notestxt")));
}

TEST_F(LocalFileOpsTest, RenameOntoAnExistingNameIsRefusedAndCancelStopsTheCommand)
{
    TempDir::WriteFile(work_.File("a"), "first");
    TempDir::WriteFile(work_.File("b"), "second");
    TempDir::WriteFile(work_.File("c"), "third");
    OpenListing();
    SelectLocal({"a", "b", "c"});
    QueueNameDialog(QStringLiteral("c"));
    dialogs_->QueueAnswer(Answer::Yes);
    QueueNameDialog(QStringLiteral("b2"));
    dialogs_->QueueAnswer(Answer::Yes);
    form_->Action("aLocalRename")->trigger();  // the third dialog is cancelled
    EXPECT_EQ(dialogs_->DialogTitles().size(), 3);
    EXPECT_EQ(TempDir::ReadFile(work_.File("a")), "first");
    EXPECT_EQ(TempDir::ReadFile(work_.File("c")), "third");
    EXPECT_EQ(TempDir::ReadFile(work_.File("b2")), "second");
    EXPECT_FALSE(Logged("Rename a"));
    EXPECT_TRUE(Logged("Rename b --> b2\r\n"));
    EXPECT_EQ(Captions(), (QStringList{"a", "b2", "c"}));
}

// A file gone since the listing is asked about but then skipped without an error.
TEST_F(LocalFileOpsTest, CaseChangesRenameFoldersAndFilesAlikeAndSkipVanishedFiles)
{
    mkdir(work_.File("folder").c_str(), 0755);
    TempDir::WriteFile(work_.File("Mixed.TXT"), "");
    TempDir::WriteFile(work_.File("gone"), "");
    OpenListing();
    SelectLocal({"folder", "Mixed.TXT"});
    dialogs_->QueueAnswer(Answer::Yes);
    dialogs_->QueueAnswer(Answer::Cancel);
    form_->Action("aLocalUpperCase")->trigger();
    EXPECT_EQ(dialogs_->Shown().first(), QStringLiteral("folderを\nすべて大文字に変換しますか?"));
    EXPECT_TRUE(TempDir::Exists(work_.File("FOLDER")));
    EXPECT_TRUE(TempDir::Exists(work_.File("Mixed.TXT")));
    EXPECT_TRUE(Logged("Rename folder --> FOLDER\r\n"));

    SelectLocal({"gone", "Mixed.TXT"});
    unlink(work_.File("gone").c_str());
    dialogs_->QueueAnswer(Answer::Yes);
    dialogs_->QueueAnswer(Answer::Yes);
    form_->Action("aLocalLowerCase")->trigger();
    EXPECT_EQ(dialogs_->Shown().size(), 4);
    EXPECT_FALSE(Logged("gone"));
    EXPECT_EQ(Captions(), (QStringList{"FOLDER", "mixed.txt"}));
}

// Delete asks twice; it and making a directory act only after Yes.
TEST_F(LocalFileOpsTest, DeleteRemovesOnlyFilesAndEmptyFoldersAndMakeDirectoryCreatesOne)
{
    mkdir(work_.File("empty").c_str(), 0755);
    mkdir(work_.File("full").c_str(), 0755);
    TempDir::WriteFile(work_.File("full/kept"), "");
    TempDir::WriteFile(work_.File("file"), "");
    OpenListing();
    SelectLocal({"empty", "full", "file"});
    dialogs_->QueueAnswer(Answer::Yes);
    dialogs_->QueueAnswer(Answer::No);
    form_->Action("aLocalFileDelete")->trigger();
    EXPECT_EQ(dialogs_->Shown().size(), 2);
    EXPECT_TRUE(TempDir::Exists(work_.File("file")));
    dialogs_->QueueAnswer(Answer::Yes);
    dialogs_->QueueAnswer(Answer::Yes);
    form_->Action("aLocalFileDelete")->trigger();
    EXPECT_FALSE(TempDir::Exists(work_.File("empty")));
    EXPECT_FALSE(TempDir::Exists(work_.File("file")));
    EXPECT_TRUE(TempDir::Exists(work_.File("full/kept")));
    EXPECT_TRUE(Logged("RemoveDir " + work_.File("empty") + "  \r\n"));
    EXPECT_TRUE(Logged("Delete " + work_.File("file") + "  \r\n"));
    EXPECT_FALSE(Logged("full"));
    EXPECT_EQ(Captions(), QStringList{"full"});

    QueueNameDialog(QStringLiteral("made"));
    dialogs_->QueueAnswer(Answer::No);
    form_->Action("aLocalMkDir")->trigger();
    EXPECT_EQ(dialogs_->Shown().last(), QString::fromStdString(work_.File("made")) + QStringLiteral("を作成しますか？"));
    EXPECT_FALSE(TempDir::Exists(work_.File("made")));
    QueueNameDialog(QStringLiteral("made"));
    dialogs_->QueueAnswer(Answer::Yes);
    form_->Action("aLocalMkDir")->trigger();
    EXPECT_TRUE(Logged("CreateDir " + work_.File("made") + "  \r\n"));
    EXPECT_EQ(Captions(), (QStringList{"full", "made"}));
}

TEST_F(LocalFileOpsTest, DetailedListingGoesToTheViewerOrToTheOptions)
{
    TempDir::WriteFile(work_.File("listed-file"), "");
    OpenListing();
    int options = 0;
    form_->SetActionHandler("aOption", [&] { ++options; });
    form_->Options().asApplication = QStringLiteral("/bin/true");
    form_->Action("aLocalDetail")->trigger();
    const std::string listing = TempDir::ReadFile(HomeFile("tmp.txt"));
    EXPECT_NE(listing.find("listed-file"), std::string::npos);
    EXPECT_NE(listing.find("total"), std::string::npos);
    EXPECT_TRUE(dialogs_->Shown().isEmpty());

    form_->Options().asApplication = QString::fromStdString(home_.File("no-such-viewer"));
    SelectLocal({"listed-file"});
    form_->Action("aLocalFileView")->trigger();
    EXPECT_EQ(dialogs_->Shown(), QStringList{QStringLiteral("ファイルが開けませんでした。ビューアの再設定が必要です")});
    EXPECT_EQ(options, 1);
}

TEST_F(LocalFileOpsTest, OddNamesAreListedAndNeverActedOnAsAnotherName)
{
    const std::string undecodable = "bad\xff.txt";
    const std::string longName(255, 'n');
    TempDir::WriteFile(work_.File(undecodable), "keep");
    TempDir::WriteFile(work_.File("two\nlines.txt"), "");
    TempDir::WriteFile(work_.File(longName), "");
    OpenListing();
    ASSERT_EQ(Captions().size(), 3);
    const QString shownUndecodable = QString::fromStdString(undecodable);
    const QString shownLong = QString::fromStdString(longName);

    SelectLocal({shownUndecodable});
    dialogs_->QueueAnswer(Answer::Yes);
    dialogs_->QueueAnswer(Answer::Yes);
    form_->Action("aLocalFileDelete")->trigger();
    EXPECT_EQ(TempDir::ReadFile(work_.File(undecodable)), "keep");

    SelectLocal({shownLong});
    QueueNameDialog(shownLong + QStringLiteral("-too-long"));
    dialogs_->QueueAnswer(Answer::Yes);
    form_->Action("aLocalRename")->trigger();
    EXPECT_TRUE(TempDir::Exists(work_.File(longName)));

    SelectLocal({QStringLiteral("two\nlines.txt")});
    dialogs_->QueueAnswer(Answer::Yes);
    form_->Action("aLocalUpperCase")->trigger();
    EXPECT_TRUE(TempDir::Exists(work_.File("TWO\nLINES.TXT")));
    EXPECT_FALSE(Logged("Delete"));
    EXPECT_FALSE(Logged("too-long"));
    EXPECT_EQ(Captions().size(), 3);
}

TEST_F(LocalFileOpsTest, EnablingFollowsTheSessionAndTheFirstSelectedRowOfEachPane)
{
    ASSERT_EQ(mkdir(work_.File("dir").c_str(), 0700), 0);
    TempDir::WriteFile(work_.File("f.txt"), "x");
    TMainForm& form = OpenListing();
    const auto enabled = [&](std::initializer_list<const char*> names) {
        QStringList on;
        for (const char* name : names)
            if (form.Action(name)->isEnabled())
                on << name;
        return on;
    };
    const auto local = {"aUpload", "aTransformAndUpload", "aUploadAppend", "aLocalFileOpen", "aLocalFileView",
                        "aLocalFileName", "aLocalFileDelete"};
    SelectLocal({});
    EXPECT_EQ(enabled(local), QStringList{});
    // The renaming commands stay enabled and ask for a selection.
    for (const char* action : {"aLocalRename", "aLocalExtModify", "aLocalUpperCase", "aLocalLowerCase"})
        form_->Action(action)->trigger();
    EXPECT_EQ(dialogs_->Shown(), QStringList(4, QStringLiteral("ファイルを選択してください")));
    EXPECT_TRUE(dialogs_->DialogTitles().isEmpty());
    SelectLocal({"dir", "f.txt"});  // the folder comes first in the list
    EXPECT_EQ(enabled(local), (QStringList{"aLocalFileName", "aLocalFileDelete"}));

    FtpServer server;
    LogIn(form, server.Port());
    SelectLocal({"dir"});
    EXPECT_EQ(enabled(local), (QStringList{"aUpload", "aTransformAndUpload", "aLocalFileName", "aLocalFileDelete"}));
    SelectLocal({"f.txt"});
    EXPECT_EQ(enabled(local), QStringList(local.begin(), local.end()));
    EXPECT_EQ(enabled({"aUploadAll", "aDownloadAll", "aRemoteRefresh", "aChmod"}).size(), 4);

    // The remote side counts only while the remote menu is enabled.
    TFileViewStack& remote = *form.Controls().RemoteFileListView;
    TFileRow folder{QStringLiteral("pub"), {QString(), QString(), QString(), QStringLiteral("0")}, fiFolder};
    remote.Model().SetRows({folder});
    remote.Report().selectAll();
    const auto remoteActions = {"aDownload", "aDownloadRestore", "aTransformAndDownload", "aRemoteFileView",
                                "aRemoteFileName", "aRemoteFileDelete"};
    // The login switched the remote menu on.
    form.SetRemoteMenuEnabled(false);
    form.UpdateActionStates();
    EXPECT_EQ(enabled(remoteActions), QStringList{});
    form.SetRemoteMenuEnabled(true);
    form.UpdateActionStates();
    EXPECT_EQ(enabled(remoteActions),
              (QStringList{"aDownload", "aDownloadRestore", "aTransformAndDownload", "aRemoteFileDelete"}));
}
