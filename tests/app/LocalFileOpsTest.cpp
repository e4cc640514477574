#include "MainFormFixture.h"

#include "fixtures/FtpServer.h"
#include "panes/FileListModel.h"
#include "panes/FileViewStack.h"

#include <QAction>
#include <QDialog>
#include <QLineEdit>

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

// Each file is asked about; a file gone since the listing is then skipped without an error.
TEST_F(LocalFileOpsTest, ExtensionAndCaseChangesRenameFilesAfterYes)
{
    for (const char* name : {"Makefile", "a.tar.gz", "Mixed.TXT", "gone"})
        TempDir::WriteFile(work_.File(name), name);
    mkdir(work_.File("dir.d").c_str(), 0755);
    OpenListing();
    // The extension goes from the first dot on; folders keep theirs.
    SelectLocal({"Makefile", "a.tar.gz", "dir.d"});
    QueueNameDialog(QStringLiteral(".txt"));
    dialogs_->QueueAnswer(Answer::Yes);
    dialogs_->QueueAnswer(Answer::No);
    form_->Action("aLocalExtModify")->trigger();
    EXPECT_EQ(dialogs_->Shown().last(), QStringLiteral("a.tar.gzを\na.txt\nに変更しますか?"));
    EXPECT_EQ(TempDir::ReadFile(work_.File("Makefile.txt")), "Makefile");
    EXPECT_TRUE(TempDir::Exists(work_.File("a.tar.gz")));
    EXPECT_TRUE(Logged("Rename Makefile --> Makefile.txt\r\n"));

    // Case changes rename folders too.
    SelectLocal({"dir.d", "gone", "Mixed.TXT"});
    unlink(work_.File("gone").c_str());
    for (int i = 0; i < 3; ++i)
        dialogs_->QueueAnswer(Answer::Yes);
    form_->Action("aLocalUpperCase")->trigger();
    EXPECT_EQ(dialogs_->Shown().size(), 5);
    EXPECT_TRUE(TempDir::Exists(work_.File("DIR.D")));
    EXPECT_EQ(TempDir::ReadFile(work_.File("MIXED.TXT")), "Mixed.TXT");
    EXPECT_FALSE(Logged("gone"));
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
    EXPECT_TRUE(Logged("Rename b --> b2\r\n"));
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
    EXPECT_TRUE(Logged("Delete " + work_.File("file") + "  \r\n"));

    QueueNameDialog(QStringLiteral("made"));
    dialogs_->QueueAnswer(Answer::Yes);
    form_->Action("aLocalMkDir")->trigger();
    EXPECT_TRUE(Logged("CreateDir " + work_.File("made") + "  \r\n"));
    EXPECT_EQ(Captions(), (QStringList{"full", "made"}));
}

TEST_F(LocalFileOpsTest, DetailedListingGoesToTheViewer)
{
    TempDir::WriteFile(work_.File("listed-file"), "");
    OpenListing();
    form_->Options().asApplication = QStringLiteral("/bin/true");
    form_->Action("aLocalDetail")->trigger();
    const std::string listing = TempDir::ReadFile(HomeFile("tmp.txt"));
    EXPECT_NE(listing.find("listed-file"), std::string::npos);
    EXPECT_TRUE(dialogs_->Shown().isEmpty());
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
    EXPECT_EQ(Captions().size(), 3);
}

TEST_F(LocalFileOpsTest, EnablingFollowsTheSessionAndTheFirstSelectedRow)
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
    const auto local = {"aUpload", "aLocalFileView", "aLocalFileName", "aLocalFileDelete"};
    SelectLocal({});
    EXPECT_EQ(enabled(local), QStringList{});
    // The renaming commands stay enabled and ask for a selection.
    form_->Action("aLocalRename")->trigger();
    EXPECT_EQ(dialogs_->Shown(), QStringList{QStringLiteral("ファイルを選択してください")});
    SelectLocal({"dir", "f.txt"});  // the folder comes first in the list
    EXPECT_EQ(enabled(local), (QStringList{"aLocalFileName", "aLocalFileDelete"}));

    FtpServer server;
    LogIn(form, server.Port());
    SelectLocal({"f.txt"});
    EXPECT_EQ(enabled(local), QStringList(local.begin(), local.end()));
}
