#include "MainFormFixture.h"

#include "panes/LocalPane.h"

#include "fixtures/FtpServer.h"
#include "panes/ComboItems.h"
#include "panes/FileListModel.h"
#include "panes/PaneDropTarget.h"

#include <QAbstractItemView>
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
    TFileListModel& Model(TMainForm& form)
    {
        auto* view = form.findChild<QAbstractItemView*>(QStringLiteral("LocalFileListView"));
        return *static_cast<TFileListModel*>(view->model());
    }

    // Opens the window and lists the working directory through the mask.
    TMainForm& OpenListing(const QString& mask = QStringLiteral("*.*"))
    {
        TMainForm& form = Open();
        form.Settings().SetLocalMask(mask);
        form.LocalPane().FillLocalFileList();
        return form;
    }

    void MakeFiles()
    {
        TempDir::WriteFile(work_.File("small.css"), std::string(5, 'x'));
        TempDir::WriteFile(work_.File("notes.txt"), "");
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
    EXPECT_EQ(Captions(Model(form)), (QStringList{"afolder", "zfolder", ".hidden", "notes.txt", "small.css"}));
    EXPECT_EQ(Model(form).Row(3).icon, fiText);
    form.Settings().SetLocalMask(QStringLiteral("*.css"));  // folders are filtered too
    form.LocalPane().FillLocalFileList();
    EXPECT_EQ(Captions(Model(form)), QStringList{"small.css"});
    form.Options().iFileListSort = 1;
    form.Settings().SetLocalMask(QStringLiteral("*.*"));
    form.LocalPane().FillLocalFileList();
    EXPECT_EQ(Captions(Model(form)), (QStringList{"zfolder", "afolder", "small.css", "notes.txt", ".hidden"}));
}

TEST_F(LocalPaneTest, ColumnClicksAlternateTheDirectionAndSizesSortByValue)
{
    TempDir::WriteFile(work_.File("big"), "");
    TempDir::WriteFile(work_.File("medium"), "");
    ASSERT_EQ(truncate(work_.File("big").c_str(), 1234567890), 0);
    ASSERT_EQ(truncate(work_.File("medium").c_str(), 999999999), 0);
    mkdir(work_.File("folder").c_str(), 0755);
    TMainForm& form = OpenListing();
    auto* view = form.findChild<QTreeView*>(QStringLiteral("LocalFileListView"));
    ASSERT_NE(view, nullptr);
    emit view->header()->sectionClicked(1);
    EXPECT_EQ(Captions(Model(form)), (QStringList{"folder", "big", "medium"}));
    emit view->header()->sectionClicked(1);
    EXPECT_EQ(Captions(Model(form)), (QStringList{"folder", "medium", "big"}));
}

TEST_F(LocalPaneTest, RefreshGoesToTheTypedDirectoryOrStaysAndUpStopsAtTheRoot)
{
    MakeFiles();
    TMainForm& form = Open();
    auto* dirBox = form.findChild<QComboBox*>(QStringLiteral("LocalDirBox"));
    form.LocalPane().FillLocalFileList();
    EXPECT_EQ(dirBox->currentText(), QDir::currentPath() + u'/');
    const QString here = QDir::currentPath();
    dirBox->setEditText(here + QStringLiteral("/no such dir"));
    form.Action("aLocalRefresh")->trigger();
    EXPECT_EQ(QDir::currentPath(), here);
    EXPECT_EQ(dirBox->currentText(), here + u'/');
    dirBox->setEditText(here + QStringLiteral("/afolder"));
    form.Action("aLocalRefresh")->trigger();
    EXPECT_EQ(QDir::currentPath(), here + QStringLiteral("/afolder"));
    EXPECT_TRUE(Model(form).Rows().empty());
    form.Action("aLocalDirectoryUp")->trigger();
    EXPECT_EQ(QDir::currentPath(), here);
    QDir::setCurrent(QStringLiteral("/"));
    form.Action("aLocalDirectoryUp")->trigger();  // the root stays the root
    EXPECT_EQ(QDir::currentPath(), QStringLiteral("/"));
    EXPECT_FALSE(Model(form).Rows().empty());
}

TEST_F(LocalPaneTest, DoubleClickOnAFolderOpensItAndSelectAllSelectsEveryRow)
{
    MakeFiles();
    TMainForm& form = OpenListing();
    auto* view = form.findChild<QAbstractItemView*>(QStringLiteral("LocalFileListView"));
    form.Action("aLocalSelectAll")->trigger();
    EXPECT_EQ(view->selectionModel()->selectedRows().size(), 5);
    view->selectionModel()->clearSelection();
    view->selectionModel()->select(Model(form).index(1, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    const QString here = QDir::currentPath();
    emit view->doubleClicked(Model(form).index(1, 0));
    EXPECT_EQ(QDir::currentPath(), here + QStringLiteral("/zfolder"));
}

TEST_F(LocalPaneTest, TheDirectoryBoxCompletesFromTheHistoryButNeverAfterBackspace)
{
    TMainForm& form = Open();
    auto* box = form.findChild<QComboBox*>(QStringLiteral("LocalDirBox"));
    box->clear();
    box->addItems({"/data/Abc/", "/data/abd/", "/data/other/"});
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

    PressKey(edit, Qt::Key_Backspace);
    EXPECT_EQ(edit->text(), QStringLiteral("/data/ab"));
    PressKey(edit, Qt::Key_Backspace);
    EXPECT_EQ(edit->text(), QStringLiteral("/data/a"));
    EXPECT_EQ(form.LastDirBoxKey(), 0);
}

TEST_F(LocalPaneTest, TheDropDownShowsOneRowLessThanTheHistoryUpToTwenty)
{
    TMainForm& form = Open();
    auto* box = form.findChild<QComboBox*>(QStringLiteral("LocalDirBox"));
    box->clear();
    for (int i = 0; i < 25; ++i)
        box->addItem(QStringLiteral("/dir%1/").arg(i, 2, 10, QChar(u'0')));
    EXPECT_EQ(box->maxVisibleItems(), 20);
    while (box->count() > 5)
        box->removeItem(0);
    EXPECT_EQ(box->maxVisibleItems(), 4);

    // Down drops the list down at the typed entry; Down again moves on, and past the end wraps.
    box->setEditText(QStringLiteral("/dir23/"));
    PressKey(box->lineEdit(), Qt::Key_Down);
    EXPECT_TRUE(box->view()->isVisible());
    EXPECT_EQ(box->currentIndex(), 3);
    PressKey(box->view(), Qt::Key_Down);
    EXPECT_EQ(box->currentText(), QStringLiteral("/dir24/"));
    PressKey(box->view(), Qt::Key_Down);
    EXPECT_EQ(box->currentIndex(), 0);
    PressKey(box->view(), Qt::Key_Up);
    EXPECT_EQ(box->currentIndex(), 4);

    // Enter in the list goes to the highlighted entry and closes the list.
    mkdir(work_.File("sub").c_str(), 0755);
    const QString sub = QDir::currentPath() + QStringLiteral("/sub");
    box->setItemText(1, sub + u'/');
    box->view()->setCurrentIndex(box->model()->index(1, 0));
    PressKey(box->view(), Qt::Key_Return);
    EXPECT_FALSE(box->view()->isVisible());
    EXPECT_EQ(QDir::currentPath(), sub);
    EXPECT_EQ(form.LastDirBoxKey(), 0);
}

TEST_F(LocalPaneTest, EnterInTheDirectoryBoxGoesThereAndRemembersIt)
{
    MakeFiles();
    TMainForm& form = Open();
    auto* box = form.findChild<QComboBox*>(QStringLiteral("LocalDirBox"));
    const QString here = QDir::currentPath();
    box->setEditText(here + QStringLiteral("/afolder"));
    PressKey(box->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(QDir::currentPath(), here + QStringLiteral("/afolder"));
    EXPECT_EQ(box->currentText(), here + QStringLiteral("/afolder/"));
    EXPECT_GE(FindItemIgnoringCase(*box, (here + QStringLiteral("/AFOLDER/"))), 0);
    const int entries = box->count();
    box->setEditText(here);
    PressKey(box->lineEdit(), Qt::Key_Return);
    box->setEditText(here + QStringLiteral("/afolder/"));
    PressKey(box->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(box->count(), entries + 1);
}

TEST_F(LocalPaneTest, TheDirectoryListShowsTheChainAndSubdirectoriesAndOneClickEntersThem)
{
    MakeFiles();
    TMainForm& form = Open();
    form.Settings().SetLocalDirectory(QString::fromStdString(work_.Path()));
    auto* list = form.findChild<QListWidget*>(QStringLiteral("LocalDirListBox"));
    const QStringList steps = QDir::currentPath().split(u'/', Qt::SkipEmptyParts);
    ASSERT_EQ(list->count(), steps.size() + 3);
    EXPECT_EQ(list->item(0)->text(), QStringLiteral("/"));
    EXPECT_EQ(list->currentRow(), steps.size());
    EXPECT_EQ(list->item(int(steps.size()) + 2)->text(), QStringLiteral("zfolder"));
    const QString here = QDir::currentPath();
    emit list->itemClicked(list->item(int(steps.size()) + 2));
    EXPECT_EQ(QDir::currentPath(), here + QStringLiteral("/zfolder"));
    EXPECT_EQ(list->currentItem()->text(), QStringLiteral("zfolder"));
    emit list->itemClicked(list->item(0));
    EXPECT_EQ(QDir::currentPath(), QStringLiteral("/"));
}

TEST_F(LocalPaneTest, ADriveThatCannotBeOpenedIsReportedAndTheDriveStays)
{
    TMainForm& form = Open();
    auto* drives = form.findChild<QComboBox*>(QStringLiteral("LocalDriveBox"));
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
    TMainForm& form = Open();
    auto* masks = form.findChild<QComboBox*>(QStringLiteral("LocalMaskBox"));
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
    auto* report = form.findChild<QTreeView*>(QStringLiteral("LocalFileListView"));
    auto* icons = form.findChild<QListView*>(QStringLiteral("LocalFileListViewIcons"));
    auto* remoteIcons = form.findChild<QListView*>(QStringLiteral("RemoteFileListViewIcons"));
    ASSERT_TRUE(report && icons && remoteIcons);
    EXPECT_GT(report->columnWidth(0), report->fontMetrics().horizontalAdvance(longName));
    EXPECT_EQ(icons->selectionModel(), report->selectionModel());

    form.Action("aList")->trigger();
    EXPECT_TRUE(icons->isVisible());
    EXPECT_FALSE(report->isVisible());
    EXPECT_TRUE(remoteIcons->isVisible());
    EXPECT_EQ(icons->flow(), QListView::TopToBottom);
    EXPECT_GT(icons->gridSize().width(), icons->fontMetrics().horizontalAdvance(longName));
    EXPECT_TRUE(form.Action("aList")->isChecked());

    form.Action("aSmallIcon")->trigger();
    EXPECT_EQ(icons->flow(), QListView::LeftToRight);
    EXPECT_FALSE(form.Action("aList")->isChecked());
    form.Action("aReport")->trigger();
    EXPECT_TRUE(report->isVisible());
}

TEST_F(LocalPaneTest, OnlyRowsFromTheRemoteListAreDroppedAndStartTheDownload)
{
    TempDir::WriteFile(work_.File("local.txt"), "");
    TMainForm& form = OpenListing();
    int downloads = 0;
    form.SetActionHandler("aDownload", [&] { ++downloads; });
    auto* view = form.findChild<QAbstractItemView*>(QStringLiteral("LocalFileListView"));

    // Rows dragged out of the local list carry the local format.
    std::unique_ptr<QMimeData> own(Model(form).mimeData({Model(form).index(0, 0)}));
    EXPECT_TRUE(Model(form).flags(Model(form).index(0, 0)) & Qt::ItemIsDragEnabled);
    QMimeData remote;
    remote.setData(QString::fromLatin1(RemoteRowsFormat), "file");

    const auto send = [&](QEvent::Type type, const QMimeData& data) { return SendDrag(view->viewport(), type, data); };
    const auto enter = [&](const QMimeData& data) { return EnterDrag(view->viewport(), data); };
    form.Action("aDownload")->setEnabled(true);
    EXPECT_FALSE(enter(remote));  // not connected
    FtpServer server;
    AimAtLoopback(form.IdFTP1, server.Port());
    form.IdFTP1.Connect(true, 5000);
    // The enabling pass during the login found no remote selection.
    form.Action("aDownload")->setEnabled(true);
    EXPECT_FALSE(enter(*own));
    EXPECT_TRUE(enter(remote));
    EXPECT_TRUE(send(QEvent::DragMove, remote));
    // Each drop follows an accepted entry, as in a real drag.
    send(QEvent::Drop, *own);
    EXPECT_EQ(downloads, 0);
    enter(remote);
    send(QEvent::Drop, remote);
    EXPECT_EQ(downloads, 1);
    enter(remote);
    form.Action("aDownload")->setEnabled(false);
    send(QEvent::Drop, remote);
    EXPECT_EQ(downloads, 1);
    EXPECT_FALSE(enter(remote));
}
