#include "MainFormFixture.h"

#include "panes/LocalPane.h"

#include "fixtures/FtpServer.h"
#include "panes/FileListModel.h"
#include "panes/FileViewStack.h"
#include "panes/PaneDropTarget.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QDir>
#include <QHeaderView>
#include <QTreeView>

#include <sys/stat.h>

namespace {

class LocalPaneTest : public MainFormTest {
protected:
    TFileListModel& Model() const { return LocalFiles().Model(); }
    QComboBox* Box(const char* name) const { return form_->findChild<QComboBox*>(QString::fromLatin1(name)); }
    void MakeFiles() const
    {
        TempDir::WriteFile(work_.File("small.css"), std::string(5, 'x'));
        TempDir::WriteFile(work_.File("notes.txt"), "xy");
        TempDir::WriteFile(work_.File(".hidden"), "");
        mkdir(work_.File("zfolder").c_str(), 0755);
        mkdir(work_.File("afolder").c_str(), 0755);
    }
};

}  // namespace

TEST_F(LocalPaneTest, ListsTheWorkingDirectoryThroughTheMaskInTheSortOrderOfTheOptions)
{
    MakeFiles();
    TMainForm& form = OpenListing(QString());
    EXPECT_EQ(Captions(Model()), (QStringList{"afolder", "zfolder", ".hidden", "notes.txt", "small.css"}));
    form.Settings().SetLocalMask(QStringLiteral("*.css"));  // folders are filtered too
    form.LocalPane().FillLocalFileList();
    EXPECT_EQ(Captions(Model()), QStringList{"small.css"});
    form.Options().iFileListSort = 1;
    form.Settings().SetLocalMask(QStringLiteral("*.*"));
    form.LocalPane().FillLocalFileList();
    EXPECT_EQ(Captions(Model()), (QStringList{"zfolder", "afolder", "small.css", "notes.txt", ".hidden"}));
    // A column click sorts the files by that column.
    emit LocalFiles().Report().header()->sectionClicked(1);
    EXPECT_EQ(Captions(Model()).mid(2), (QStringList{".hidden", "notes.txt", "small.css"}));

    // A mask typed in the box is remembered once, trimmed.
    QComboBox* masks = Box("LocalMaskBox");
    const int before = masks->count();
    for (const char* typed : {"  *.TXT ", "*.TXT", "   "}) {
        masks->setEditText(QString::fromLatin1(typed));
        emit masks->lineEdit()->editingFinished();
    }
    EXPECT_EQ(masks->count(), before + 1);
}

TEST_F(LocalPaneTest, TheDirectoryBoxGoesToTheTypedDirectoryOrStaysAndUpStopsAtTheRoot)
{
    MakeFiles();
    TMainForm& form = OpenListing();
    QComboBox* box = Box("LocalDirBox");
    const QString here = QDir::currentPath();
    box->setEditText(here + QStringLiteral("/no such dir"));
    form.Action("aLocalRefresh")->trigger();
    EXPECT_EQ(QDir::currentPath(), here);
    EXPECT_EQ(box->currentText(), here + u'/');

    // Typing completes from the history; Enter goes there.
    box->addItem(here + QStringLiteral("/afolder/"));
    box->lineEdit()->clear();
    TypeText(box->lineEdit(), here + QStringLiteral("/af"));
    EXPECT_EQ(box->currentText(), here + QStringLiteral("/afolder/"));
    PressKey(box->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(QDir::currentPath(), here + QStringLiteral("/afolder"));
    EXPECT_TRUE(Model().Rows().empty());

    form.Action("aLocalDirectoryUp")->trigger();
    EXPECT_EQ(QDir::currentPath(), here);
    QDir::setCurrent(QStringLiteral("/"));
    form.Action("aLocalDirectoryUp")->trigger();
    EXPECT_EQ(QDir::currentPath(), QStringLiteral("/"));
    EXPECT_FALSE(Model().Rows().empty());
}

TEST_F(LocalPaneTest, TheDirectoryListAndADoubleClickOpenFolders)
{
    MakeFiles();
    TMainForm& form = OpenListing();
    const QString here = QDir::currentPath();
    // The chain from the root, then the subdirectories; one click enters.
    auto* list = form.findChild<QListWidget*>(QStringLiteral("LocalDirListBox"));
    const int depth = int(here.split(u'/', Qt::SkipEmptyParts).size());
    ASSERT_EQ(list->count(), depth + 3);
    emit list->itemClicked(list->item(depth + 2));
    EXPECT_EQ(QDir::currentPath(), here + QStringLiteral("/zfolder"));

    form.Settings().SetLocalDirectory(here);
    SelectLocal({"afolder"});
    emit LocalFiles().Report().doubleClicked(Model().index(0, 0));
    EXPECT_EQ(QDir::currentPath(), here + QStringLiteral("/afolder"));
}

TEST_F(LocalPaneTest, ADriveThatCannotBeOpenedIsReportedAndTheDriveStays)
{
    Open();
    QComboBox* drives = Box("LocalDriveBox");
    const QString before = drives->currentText();
    const QString here = QDir::currentPath();
    drives->addItem(QString::fromStdString(work_.File("not-mounted")));
    emit drives->activated(drives->count() - 1);
    EXPECT_EQ(dialogs_->Shown(), QStringList{QStringLiteral("ドライブの準備ができていません")});
    EXPECT_EQ(drives->currentText(), before);
    EXPECT_EQ(QDir::currentPath(), here);
}

// The drop target's rules for a disabled action or a closed session are the remote pane's too.
TEST_F(LocalPaneTest, OnlyRowsFromTheRemoteListAreDroppedAndStartTheDownload)
{
    TempDir::WriteFile(work_.File("local.txt"), "");
    TMainForm& form = OpenListing();
    int downloads = 0;
    form.SetActionHandler("aDownload", [&] { ++downloads; });
    QWidget* target = LocalFiles().Report().viewport();
    // Rows dragged out of the local list carry the local format.
    std::unique_ptr<QMimeData> own(Model().mimeData({Model().index(0, 0)}));
    QMimeData remote;
    remote.setData(QString::fromLatin1(RemoteRowsFormat), "file");
    FtpServer server;
    LogIn(form, server.Port());
    form.Action("aDownload")->setEnabled(true);
    EXPECT_FALSE(EnterDrag(target, *own));
    EXPECT_TRUE(EnterDrag(target, remote));
    SendDrag(target, QEvent::Drop, remote);
    EXPECT_EQ(downloads, 1);
}
