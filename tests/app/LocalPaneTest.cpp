#include "MainFormFixture.h"

#include "panes/LocalPane.h"

#include "fixtures/FtpServer.h"
#include "panes/FileListModel.h"
#include "panes/FileViewStack.h"
#include "panes/PaneDropTarget.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMimeData>
#include <QDir>
#include <QHeaderView>
#include <QTreeView>

#include <sys/stat.h>
#include <unistd.h>

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
    EXPECT_EQ(Model().Row(3).icon, fiText);
    form.Settings().SetLocalMask(QStringLiteral("*.css"));  // folders are filtered too
    form.LocalPane().FillLocalFileList();
    EXPECT_EQ(Captions(Model()), QStringList{"small.css"});
    form.Options().iFileListSort = 1;
    form.Settings().SetLocalMask(QStringLiteral("*.*"));
    form.LocalPane().FillLocalFileList();
    EXPECT_EQ(Captions(Model()), (QStringList{"zfolder", "afolder", "small.css", "notes.txt", ".hidden"}));

    // Column clicks sort the files by that column, alternating the direction.
    QHeaderView* header = LocalFiles().Report().header();
    emit header->sectionClicked(1);
    EXPECT_EQ(Captions(Model()).mid(2), (QStringList{".hidden", "notes.txt", "small.css"}));
    emit header->sectionClicked(1);
    EXPECT_EQ(Captions(Model()).mid(2), (QStringList{"small.css", "notes.txt", ".hidden"}));
}

TEST_F(LocalPaneTest, TheDirectoryBoxGoesToTheTypedDirectoryOrStaysAndUpStopsAtTheRoot)
{
    MakeFiles();
    TMainForm& form = OpenListing();
    QComboBox* box = Box("LocalDirBox");
    const QString here = QDir::currentPath();
    EXPECT_EQ(box->currentText(), here + u'/');
    box->setEditText(here + QStringLiteral("/no such dir"));
    form.Action("aLocalRefresh")->trigger();
    EXPECT_EQ(QDir::currentPath(), here);
    EXPECT_EQ(box->currentText(), here + u'/');

    // Enter goes there and remembers the directory once.
    box->setEditText(here + QStringLiteral("/afolder"));
    PressKey(box->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(QDir::currentPath(), here + QStringLiteral("/afolder"));
    EXPECT_EQ(box->currentText(), here + QStringLiteral("/afolder/"));
    EXPECT_TRUE(Model().Rows().empty());
    const int entries = box->count();
    box->setEditText(here);
    PressKey(box->lineEdit(), Qt::Key_Return);
    box->setEditText(here + QStringLiteral("/afolder/"));
    PressKey(box->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(box->count(), entries + 1);

    form.Action("aLocalDirectoryUp")->trigger();
    EXPECT_EQ(QDir::currentPath(), here);
    QDir::setCurrent(QStringLiteral("/"));
    form.Action("aLocalDirectoryUp")->trigger();
    EXPECT_EQ(QDir::currentPath(), QStringLiteral("/"));
    EXPECT_FALSE(Model().Rows().empty());
}

TEST_F(LocalPaneTest, TheDirectoryListAndADoubleClickOpenFoldersAndSelectAllSelectsEveryRow)
{
    MakeFiles();
    TMainForm& form = OpenListing();
    const QString here = QDir::currentPath();
    form.Settings().SetLocalDirectory(here);
    form.Action("aLocalSelectAll")->trigger();
    EXPECT_EQ(LocalFiles().Report().selectionModel()->selectedRows().size(), 5);

    // The chain from the root, then the subdirectories; one click enters.
    auto* list = form.findChild<QListWidget*>(QStringLiteral("LocalDirListBox"));
    const int depth = int(here.split(u'/', Qt::SkipEmptyParts).size());
    ASSERT_EQ(list->count(), depth + 3);
    EXPECT_EQ(list->item(0)->text(), QStringLiteral("/"));
    EXPECT_EQ(list->currentRow(), depth);
    EXPECT_EQ(list->item(depth + 2)->text(), QStringLiteral("zfolder"));
    emit list->itemClicked(list->item(depth + 2));
    EXPECT_EQ(QDir::currentPath(), here + QStringLiteral("/zfolder"));
    EXPECT_EQ(list->currentItem()->text(), QStringLiteral("zfolder"));
    emit list->itemClicked(list->item(0));
    EXPECT_EQ(QDir::currentPath(), QStringLiteral("/"));

    form.Settings().SetLocalDirectory(here);
    SelectLocal({"afolder"});
    emit LocalFiles().Report().doubleClicked(Model().index(0, 0));
    EXPECT_EQ(QDir::currentPath(), here + QStringLiteral("/afolder"));
}

TEST_F(LocalPaneTest, TheDirectoryBoxCompletesFromTheHistoryAndDownDropsTheHistoryList)
{
    mkdir(work_.File("sub").c_str(), 0755);
    const QString sub = QDir::currentPath() + QStringLiteral("/sub");
    TMainForm& form = Open();
    QComboBox* box = Box("LocalDirBox");
    box->clear();
    box->addItems({"/data/Abc/", "/data/abd/", "/data/other/", sub + u'/'});
    QLineEdit* edit = box->lineEdit();
    edit->clear();
    TypeText(edit, QStringLiteral("/data/o"));
    EXPECT_EQ(edit->text(), QStringLiteral("/data/other/"));
    EXPECT_EQ(edit->selectedText(), QStringLiteral("ther/"));
    // The first hit matches only when case is ignored; the one retry finds the exact one.
    edit->clear();
    TypeText(edit, QStringLiteral("/data/ab"));
    EXPECT_EQ(edit->text(), QStringLiteral("/data/abd/"));
    EXPECT_EQ(edit->selectedText(), QStringLiteral("d/"));
    // Never after Backspace.
    PressKey(edit, Qt::Key_Backspace);
    PressKey(edit, Qt::Key_Backspace);
    EXPECT_EQ(edit->text(), QStringLiteral("/data/a"));

    // Down drops the list down at the typed entry; Down again moves on, and past the end wraps.
    box->setEditText(QStringLiteral("/data/other/"));
    PressKey(edit, Qt::Key_Down);
    EXPECT_TRUE(box->view()->isVisible());
    EXPECT_EQ(box->currentIndex(), 2);
    PressKey(box->view(), Qt::Key_Down);
    PressKey(box->view(), Qt::Key_Down);
    EXPECT_EQ(box->currentIndex(), 0);
    PressKey(box->view(), Qt::Key_Up);
    EXPECT_EQ(box->currentIndex(), 3);
    // Enter in the list goes to the highlighted entry and closes the list.
    PressKey(box->view(), Qt::Key_Return);
    EXPECT_FALSE(box->view()->isVisible());
    EXPECT_EQ(QDir::currentPath(), sub);
    EXPECT_EQ(form.LastDirBoxKey(), 0);
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

TEST_F(LocalPaneTest, LeavingTheMaskBoxRemembersANewMaskOnce)
{
    Open();
    QComboBox* masks = Box("LocalMaskBox");
    const int before = masks->count();
    masks->setEditText(QStringLiteral("  *.TXT "));
    emit masks->lineEdit()->editingFinished();
    masks->setEditText(QStringLiteral("*.txt"));
    emit masks->lineEdit()->editingFinished();
    masks->setEditText(QStringLiteral("   "));
    emit masks->lineEdit()->editingFinished();
    EXPECT_EQ(masks->count(), before + 1);
    EXPECT_GE(masks->findText(QStringLiteral("*.TXT"), Qt::MatchExactly | Qt::MatchCaseSensitive), 0);
}

TEST_F(LocalPaneTest, ViewStylesSwitchBothPanesAndFitTheColumns)
{
    const QString longName = QStringLiteral("a-rather-long-file-name-that-needs-room.txt");
    TempDir::WriteFile(work_.File(longName.toStdString()), "");
    TMainForm& form = OpenListing();
    QTreeView* report = &LocalFiles().Report();
    QListView* icons = &LocalFiles().Icons();
    QListView* remoteIcons = &form.Controls().RemoteFileListView->Icons();
    // The start lists the folder more than once; the last fit comes when the spacing is over.
    Pump(2 * int(TFileViewStack::FitSpacing.count()));
    EXPECT_GT(report->columnWidth(0), report->fontMetrics().horizontalAdvance(longName));
    EXPECT_EQ(icons->selectionModel(), report->selectionModel());

    form.Action("aList")->trigger();
    EXPECT_TRUE(icons->isVisible());
    EXPECT_FALSE(report->isVisible());
    EXPECT_TRUE(remoteIcons->isVisible());
    EXPECT_EQ(icons->flow(), QListView::TopToBottom);
    EXPECT_GT(icons->gridSize().width(), icons->fontMetrics().horizontalAdvance(longName));

    form.Action("aSmallIcon")->trigger();
    EXPECT_EQ(icons->flow(), QListView::LeftToRight);
    EXPECT_FALSE(form.Action("aList")->isChecked());
    form.findChild<QAction*>("Report")->trigger();  // through the menu item
    EXPECT_TRUE(report->isVisible());
    EXPECT_TRUE(form.Action("aReport")->isChecked());
    EXPECT_FALSE(form.Action("aSmallIcon")->isChecked());
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
    EXPECT_TRUE(Model().flags(Model().index(0, 0)) & Qt::ItemIsDragEnabled);
    EXPECT_TRUE(own->hasFormat(QString::fromLatin1(LocalRowsFormat)));
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
