#include "MainFormFixture.h"

#include "panes/FileViewStack.h"

#include <QTreeView>

#include <unistd.h>

namespace {

using Answer = TUserDialogs::Answer;

class LocalFileOpsTest : public MainFormTest {
protected:
    QStringList Captions() const { return MainFormTest::Captions(LocalFiles().Model()); }
    bool Logged(const std::string& entry) const { return OperationLog().find(entry) != std::string::npos; }
    // Runs the action with these answers queued for its questions.
    void Run(const char* action, std::initializer_list<Answer> answers) const
    {
        for (const Answer answer : answers)
            dialogs_->QueueAnswer(answer);
        form_->Action(action)->trigger();
    }
};

}  // namespace

// Each file is asked about; a file gone since the listing is then skipped without an error.
TEST_F(LocalFileOpsTest, ExtensionCaseAndNameChangesRenameAfterYesNeverOntoAnExistingNameNorAsAnotherName)
{
    const std::string undecodable = "bad\xff.txt";
    const std::string longName(255, 'n');
    MakeWorkFiles({"Makefile", "a.tar.gz", "Mixed.TXT", "gone", "dir.d/", "a", "b", "c", undecodable, "two\nlines.txt",
                   longName});
    OpenListing();
    // The extension goes from the first dot on; folders keep theirs.
    SelectLocal({"Makefile", "a.tar.gz", "dir.d"});
    QueueName(QStringLiteral(".txt"), false);
    Run("aLocalExtModify", {Answer::Yes, Answer::No});
    EXPECT_EQ(dialogs_->Shown().last(), QStringLiteral("a.tar.gzを\na.txt\nに変更しますか?"));
    EXPECT_EQ(LocalContents({"Makefile.txt", "a.tar.gz"}), (Strings{"Makefile", "a.tar.gz"}));
    EXPECT_TRUE(Logged("Rename Makefile --> Makefile.txt\r\n"));

    // Case changes rename folders too.
    SelectLocal({"dir.d", "gone", "Mixed.TXT"});
    unlink(work_.File("gone").c_str());
    Run("aLocalUpperCase", {Answer::Yes, Answer::Yes, Answer::Yes});
    EXPECT_EQ(dialogs_->Shown().size(), 5);
    EXPECT_TRUE(TempDir::Exists(work_.File("DIR.D")));
    EXPECT_EQ(TempDir::ReadFile(work_.File("MIXED.TXT")), "Mixed.TXT");
    EXPECT_FALSE(Logged("gone"));

    // Renaming onto an existing name is refused; a cancelled name dialog ends the command.
    SelectLocal({"a", "b", "c"});
    QueueName(QStringLiteral("c"), false);
    QueueName(QStringLiteral("b2"), false);
    Run("aLocalRename", {Answer::Yes, Answer::Yes});
    EXPECT_EQ(dialogs_->DialogTitles().size(), 1 + 3);
    EXPECT_EQ(LocalContents({"a", "c", "b2"}), (Strings{"a", "c", "b"}));
    EXPECT_TRUE(Logged("Rename b --> b2\r\n"));

    // Odd names are listed and never acted on as another name.
    const qsizetype rows = Captions().size();
    SelectLocal({QString::fromStdString(undecodable)});
    Run("aLocalFileDelete", {Answer::Yes, Answer::Yes});
    EXPECT_EQ(TempDir::ReadFile(work_.File(undecodable)), undecodable);
    const QString shownLong = QString::fromStdString(longName);
    SelectLocal({shownLong});
    QueueName(shownLong + QStringLiteral("-too-long"), false);
    Run("aLocalRename", {Answer::Yes});
    EXPECT_TRUE(TempDir::Exists(work_.File(longName)));
    SelectLocal({QStringLiteral("two\nlines.txt")});
    Run("aLocalUpperCase", {Answer::Yes});
    EXPECT_TRUE(TempDir::Exists(work_.File("TWO\nLINES.TXT")));
    EXPECT_EQ(Captions().size(), rows);
}

// The commands for one file follow the first selected row. Delete (the command or the key in the
// list) asks twice; it and making a
// directory act only after Yes. The detailed listing goes to the viewer.
TEST_F(LocalFileOpsTest, DeleteRemovesOnlyFilesAndEmptyFoldersAndMakeDirectoryCreatesOne)
{
    MakeWorkFiles({"empty/", "full/", "full/kept", "file"});
    OpenListing();
    const auto enabled = [this] {
        QStringList on;
        for (const char* name : {"aUpload", "aLocalFileView", "aLocalFileName", "aLocalFileDelete"})
            if (form_->Action(name)->isEnabled())
                on << name;
        return on;
    };
    SelectLocal({});
    EXPECT_EQ(enabled(), QStringList{});
    SelectLocal({"empty", "full", "file"});
    EXPECT_EQ(enabled(), (QStringList{"aLocalFileName", "aLocalFileDelete"}));
    // The Delete key in the list runs the command.
    dialogs_->QueueAnswer(Answer::Yes);
    dialogs_->QueueAnswer(Answer::No);
    PressKey(&LocalFiles().Report(), Qt::Key_Delete);
    EXPECT_EQ(dialogs_->Shown().size(), 2);
    EXPECT_TRUE(TempDir::Exists(work_.File("file")));
    Run("aLocalFileDelete", {Answer::Yes, Answer::Yes});
    EXPECT_EQ(LocalContents({"empty", "file", "full/kept"}), (Strings{"<missing>", "<missing>", "full/kept"}));
    EXPECT_TRUE(Logged("Delete " + work_.File("file") + "  \r\n"));

    QueueName(QStringLiteral("made"), false);
    Run("aLocalMkDir", {Answer::Yes});
    EXPECT_TRUE(Logged("CreateDir " + work_.File("made") + "  \r\n"));
    EXPECT_EQ(Captions(), (QStringList{"full", "made"}));
    form_->Options().asApplication = QStringLiteral("/bin/true");
    form_->Action("aLocalDetail")->trigger();
    EXPECT_NE(TempDir::ReadFile(HomeFile("tmp.txt")).find("made"), std::string::npos);
    EXPECT_EQ(dialogs_->Shown().size(), 5);
}
