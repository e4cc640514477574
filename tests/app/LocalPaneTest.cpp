#include "MainFormFixture.h"

#include "panes/LocalPane.h"

#include "panes/FileListModel.h"
#include "panes/FileViewStack.h"

#include <QAction>
#include <QComboBox>
#include <QListWidget>
#include <QDir>
#include <QHeaderView>
#include <QTreeView>


namespace {

class LocalPaneTest : public MainFormTest {
protected:
    TFileListModel& Model() const { return LocalFiles().Model(); }
    QComboBox* Box(const char* name) const { return form_->findChild<QComboBox*>(QString::fromLatin1(name)); }
    // Files sized by their names' lengths, so the size order is not the name order.
    void MakeFiles() const { MakeWorkFiles({"s.css", "notes.txt", ".hidden", "zfolder/", "afolder/"}); }
};

}  // namespace

TEST_F(LocalPaneTest, ListsTheWorkingDirectoryThroughTheMaskInTheSortOrderOfTheOptions)
{
    MakeFiles();
    TMainForm& form = OpenListing(QString());
    EXPECT_EQ(Captions(Model()), (QStringList{"afolder", "zfolder", ".hidden", "notes.txt", "s.css"}));
    form.Settings().SetLocalMask(QStringLiteral("*.css"));  // folders are filtered too
    form.LocalPane().FillLocalFileList();
    EXPECT_EQ(Captions(Model()), QStringList{"s.css"});
    form.Options().iFileListSort = 1;
    form.Settings().SetLocalMask(QStringLiteral("*.*"));
    form.LocalPane().FillLocalFileList();
    EXPECT_EQ(Captions(Model()), (QStringList{"zfolder", "afolder", "s.css", "notes.txt", ".hidden"}));
    // A column click sorts the files by that column.
    emit LocalFiles().Report().header()->sectionClicked(1);
    EXPECT_EQ(Captions(Model()).mid(2), (QStringList{"s.css", ".hidden", "notes.txt"}));
}

// The directory box goes to a typed directory or stays; Up stops at the root; the directory list,
// a double click and Enter open folders, Backspace goes up; a drive that cannot be opened is reported and the drive stays.
TEST_F(LocalPaneTest, EveryWayOfChangingTheDirectoryGoesThereOrStaysWhereItWas)
{
    MakeFiles();
    TMainForm& form = OpenListing();
    const QString here = QDir::currentPath();
    const auto folder = [&form] { return form.LocalPane().Folder(); };
    QComboBox* drives = Box("LocalDriveBox");
    const QString drive = drives->currentText();
    drives->addItem(QString::fromStdString(work_.File("not-mounted")));
    emit drives->activated(drives->count() - 1);
    EXPECT_EQ(dialogs_->Shown(), QStringList{QStringLiteral("ドライブの準備ができていません")});
    EXPECT_EQ(drives->currentText(), drive);
    QComboBox* box = Box("LocalDirBox");
    box->setEditText(here + QStringLiteral("/no such dir"));
    form.Action("aLocalRefresh")->trigger();
    EXPECT_EQ(folder(), here);
    EXPECT_EQ(box->currentText(), here + u'/');

    // The chain from the root, then the subdirectories; one click enters.
    auto* list = form.findChild<QListWidget*>(QStringLiteral("LocalDirListBox"));
    const int depth = int(here.split(u'/', Qt::SkipEmptyParts).size());
    ASSERT_EQ(list->count(), depth + 3);
    emit list->itemClicked(list->item(depth + 2));
    EXPECT_EQ(folder(), here + QStringLiteral("/zfolder"));
    form.Settings().SetLocalDirectory(here);
    SelectLocal({"afolder"});
    emit LocalFiles().Report().doubleClicked(Model().index(0, 0));
    EXPECT_EQ(folder(), here + QStringLiteral("/afolder"));
    EXPECT_TRUE(Model().Rows().empty());
    // In the list, Backspace goes one folder up and Enter opens the selected one.
    PressKey(&LocalFiles().Report(), Qt::Key_Backspace);
    EXPECT_EQ(folder(), here);
    SelectLocal({"afolder"});
    PressKey(&LocalFiles().Report(), Qt::Key_Return);
    EXPECT_EQ(folder(), here + QStringLiteral("/afolder"));

    // Enter goes to the typed directory.
    form.Action("aLocalDirectoryUp")->trigger();
    EXPECT_EQ(folder(), here);
    box->setEditText(here + QStringLiteral("/zfolder"));
    // Keys reach the box itself, which has the focus in the window; it hands them to its edit.
    PressKey(box, Qt::Key_Return);
    EXPECT_EQ(folder(), here + QStringLiteral("/zfolder"));

    form.Settings().SetLocalDirectory(QStringLiteral("/"));
    form.Action("aLocalDirectoryUp")->trigger();
    EXPECT_EQ(folder(), QStringLiteral("/"));
    EXPECT_FALSE(Model().Rows().empty());
    // The pane's directory is its own: the process stays where it was started.
    EXPECT_EQ(QDir::currentPath(), here);
}
