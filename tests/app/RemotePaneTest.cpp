#include "RemoteScene.h"

#include "fixtures/VsftpdServer.h"
#include "panes/Bookmarks.h"
#include "panes/DirListForm.h"
#include "panes/FileListModel.h"
#include "panes/FileViewStack.h"
#include "panes/PaneDropTarget.h"
#include "panes/RemoteFileRow.h"
#include "panes/RemotePane.h"
#include "panes/RemoteTree.h"

#include <QAction>
#include <QComboBox>
#include <QDateTime>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidget>

#include <string>
#include <sys/stat.h>
#include <utime.h>

namespace {

QStringList Items(const QComboBox& box)
{
    QStringList items;
    for (int i = 0; i < box.count(); ++i)
        items << box.itemText(i);
    return items;
}

// The tree depth first, each node's text behind one "-" per level.
void AddNodes(const QTreeWidgetItem& node, const QString& indent, QStringList& nodes)
{
    nodes << indent + node.text(0);
    for (int i = 0; i < node.childCount(); ++i)
        AddNodes(*node.child(i), indent + u'-', nodes);
}

class RemotePaneTest : public RemoteSceneTest {
protected:
    TFileListModel& Model() { return RemoteList().Model(); }
    QStringList Rows() { return Captions(Model()); }
    QComboBox& DirBox() { return *form_->Controls().RemoteDirBox; }
    QString Dir() { return DirBox().currentText(); }
    QTreeWidget& Tree() { return *form_->Controls().RemoteSysTreeView; }
    QStringList TreeNodes()
    {
        QStringList nodes;
        for (int i = 0; i < Tree().topLevelItemCount(); ++i)
            AddNodes(*Tree().topLevelItem(i), QString(), nodes);
        return nodes;
    }
    // Types into the directory box and presses Enter.
    void EnterDirectory(const QString& text)
    {
        DirBox().lineEdit()->clear();
        TypeText(DirBox().lineEdit(), text);
        PressKey(DirBox().lineEdit(), Qt::Key_Return);
    }
    void MakeDir(const std::string& name) { mkdir(server_.File(name).c_str(), 0755); }
    void MakeFile(const std::string& name, int size = 0) { TempDir::WriteFile(server_.File(name), std::string(size, 'x')); }
    void DoubleClickRow(int row)
    {
        Select(RemoteList(), {Model().Row(row).caption});
        emit RemoteList().Report().doubleClicked(Model().index(row, 0));
    }
    QString LogText() { return LogLines().join(u'\n'); }
};

}  // namespace

TEST_F(RemotePaneTest, TheBoxRowsTreeAndUpCommandMoveBetweenDirectoriesAndKeepTheirHistory)
{
    MakeDir("a");
    MakeDir("a/inner");
    MakeDir("Pub");
    MakeDir("pub");
    MakeFile("pub/readme.txt", 5);
    MakeFile("file.bin");
    OpenConnected();
    EXPECT_EQ(Dir(), QStringLiteral("/"));
    EXPECT_EQ(TreeNodes(), (QStringList{"", "-Pub", "-a", "-pub"}));
    EXPECT_EQ(Rows(), (QStringList{"Pub", "a", "pub", "file.bin"}));

    // A relative name with a trailing slash lands in the server's form of the path.
    EnterDirectory(QStringLiteral("pub/"));
    EXPECT_EQ(Dir(), QStringLiteral("/pub"));
    EXPECT_EQ(Rows(), QStringList{"readme.txt"});
    EXPECT_EQ(Model().Row(0).subItems[0], QStringLiteral("5"));
    EXPECT_EQ(Model().Row(0).icon, fiText);
    EXPECT_EQ(TreeNodes(), (QStringList{"", "-pub"}));
    EXPECT_TRUE(LogText().contains(QStringLiteral("CWD /pub")));

    // A click on the root node goes back up; so does the up command from a sub-directory.
    emit Tree().itemClicked(Tree().topLevelItem(0), 0);
    EXPECT_EQ(Dir(), QStringLiteral("/"));
    DoubleClickRow(1);
    EXPECT_EQ(Dir(), QStringLiteral("/a"));
    EXPECT_EQ(TreeNodes(), (QStringList{"", "-a", "--inner"}));
    EnterDirectory(QStringLiteral("/a/inner"));
    Run("aRemoteDirectoryUp");
    EXPECT_EQ(Dir(), QStringLiteral("/a"));
    // Directories differing only in letter case are both kept.
    EnterDirectory(QStringLiteral("/Pub"));
    EXPECT_EQ(Items(DirBox()), (QStringList{"/", "/a", "/a/inner", "/pub", "/Pub"}));
    EXPECT_FALSE(form_->BusyFlag());
}

TEST_F(RemotePaneTest, ATreeDeeperThanTwentyLevelsKeepsEveryLevel)
{
    std::string path;
    for (int level = 1; level <= 24; ++level) {
        path += (level > 1 ? "/d" : "d") + std::to_string(level);
        MakeDir(path);
    }
    TMainForm& form = OpenConnected();
    EnterDirectory(QString::fromStdString("/" + path));
    EXPECT_EQ(form.RemotePane().Tree().ChainLength(), 25);
    // The node of level 22 leads to its own path.
    QTreeWidgetItem* node = Tree().topLevelItem(0);
    for (int level = 1; level <= 22; ++level)
        node = node->child(0);
    emit Tree().itemClicked(node, 0);
    EXPECT_TRUE(Dir().endsWith(QStringLiteral("/d21/d22")));
    EXPECT_EQ(Rows(), QStringList{"d23"});
}

TEST_F(RemotePaneTest, ALinkToADirectoryIsAFileRowThatADoubleClickDoesNotEnter)
{
    MakeDir("target");
    ASSERT_EQ(symlink(server_.File("target").c_str(), server_.File("link").c_str()), 0);
    TMainForm& form = OpenConnected();
    ASSERT_EQ(Rows(), (QStringList{"target", "link"}));
    EXPECT_NE(Model().Row(1).icon, fiFolder);
    int downloads = 0;
    form.SetActionHandler("aDownload", [&] { ++downloads; });
    for (const int onDoubleClick : {2, 1}) {
        form.Options().iOnRemoteDblClick = onDoubleClick;
        form.Action("aDownload")->setEnabled(true);
        DoubleClickRow(1);
        EXPECT_EQ(Dir(), QStringLiteral("/"));
    }
    EXPECT_EQ(downloads, 1);
}

TEST_F(RemotePaneTest, DatesShowATimeForYearOnlyDatesAndTheListSortsByOptionAndColumn)
{
    MakeDir("dir");
    const QDate recent = QDate::currentDate().addDays(-40);
    const std::pair<const char*, QDateTime> files[] = {
        {"old.txt", QDateTime(QDate(2001, 3, 4), QTime(0, 0))},
        {"ten.txt", QDateTime(QDate(recent.year(), recent.month(), 10), QTime(10, 0))},
        {"one.txt", QDateTime(QDate(recent.year(), recent.month(), 1), QTime(1, 0))}};
    int size = 100;
    for (const auto& [name, when] : files) {
        MakeFile(name, size += 100);
        const utimbuf times{when.toSecsSinceEpoch(), when.toSecsSinceEpoch()};
        utime(server_.File(name).c_str(), &times);
    }
    TMainForm& form = OpenConnected();
    QMap<QString, QString> dates;
    for (const TFileRow& row : Model().Rows())
        dates[row.caption] = row.subItems[1];
    // A year-only date still carries its (end of minute) time; a time alone shows no date.
    EXPECT_EQ(dates["old.txt"], RemoteDateText(EncodeDate(2001, 3, 4) + EncodeTime(0, 0, 0, 999)));
    EXPECT_NE(dates["old.txt"], RemoteDateText(EncodeDate(2001, 3, 4)));
    EXPECT_TRUE(dates["ten.txt"].contains(QString::number(recent.year())));
    EXPECT_FALSE(RemoteDateText(0).contains(QStringLiteral("1899")));

    // Shorter date texts first with 4 and last with 5; the directory stays on top in both.
    ASSERT_NE(dates["one.txt"].size(), dates["ten.txt"].size());
    const bool oneShorter = dates["one.txt"].size() < dates["ten.txt"].size();
    for (const int sort : {4, 5}) {
        form.Options().iFileListSort = sort;
        Run("aList");  // the view styles sort again by the option
        const QStringList order = Rows();
        EXPECT_EQ(order.first(), QStringLiteral("dir"));
        EXPECT_EQ(order.indexOf("one.txt") < order.indexOf("ten.txt"), oneShorter == (sort == 4)) << sort;
        EXPECT_EQ(form.RemotePane().Sorter().NextDescending(), sort == 4 ? 1 : 0);
    }
    QHeaderView& header = *RemoteList().Report().header();
    emit header.sectionClicked(1);  // by size, each click turning the order
    EXPECT_EQ(Rows(), (QStringList{"dir", "old.txt", "ten.txt", "one.txt"}));
    emit header.sectionClicked(1);
    EXPECT_EQ(Rows(), (QStringList{"dir", "one.txt", "ten.txt", "old.txt"}));
    Run("aRemoteSelectAll");
    EXPECT_EQ(RemoteList().Report().selectionModel()->selectedRows().size(), 4);
}

TEST_F(RemotePaneTest, AnExeNamedInTheTextListGetsTheTextIconHereAndTheProgramIconLocally)
{
    MakeFile("SETUP.EXE");
    TempDir::WriteFile(work_.File("SETUP.EXE"), "");
    TMainForm& form = OpenConnected();
    form.Extensions().TextExtList = {".exe"};
    Run("aRemoteRefresh");
    Run("aLocalRefresh");
    EXPECT_EQ(Model().Row(0).icon, fiText);
    EXPECT_EQ(LocalList().Model().Row(0).icon, fiProgram);
}

TEST_F(RemotePaneTest, ARefusedDirectoryKeepsTheListAndTreeAndLeavesTheTriedTextInTheBox)
{
    MakeDir("pub");
    MakeFile("pub/a.txt");
    TMainForm& form = OpenConnected();
    EnterDirectory(QStringLiteral("/pub"));
    EnterDirectory(QStringLiteral("nosuch/"));
    EXPECT_EQ(Dir(), QStringLiteral("/nosuch"));
    EXPECT_EQ(Rows(), QStringList{"a.txt"});
    EXPECT_EQ(TreeNodes(), (QStringList{"", "-pub"}));
    EXPECT_EQ(Items(DirBox()), (QStringList{"/", "/pub"}));
    EXPECT_TRUE(LogText().contains(QStringLiteral("550")));
    EXPECT_FALSE(form.BusyFlag());
    EXPECT_TRUE(form.SessionConnected());
    // A folder row still opens below the directory shown, not below the one refused.
    MakeDir("pub/sub");
    Run("aRemoteRefresh");  // the box's text is still the refused one
    EnterDirectory(QStringLiteral("/pub"));
    DoubleClickRow(0);
    EXPECT_EQ(Dir(), QStringLiteral("/pub/sub"));
}

TEST_F(RemotePaneTest, TheTrimmedMaskGoesToTheServerAndLeavingTheBoxRemembersIt)
{
    MakeFile("a.txt");
    MakeFile("b.css");
    TMainForm& form = OpenConnected();
    QComboBox& mask = *form.Controls().RemoteMaskBox;
    mask.setEditText(QStringLiteral("  b.css "));
    Run("aRemoteRefresh");
    EXPECT_TRUE(LogText().contains(QStringLiteral("<< LIST b.css\n")));
    EXPECT_EQ(Rows(), QStringList{"b.css"});
    emit mask.lineEdit()->editingFinished();
    emit mask.lineEdit()->editingFinished();
    EXPECT_EQ(Items(mask).count(QStringLiteral("b.css")), 1);
    // An empty mask sends the listing command alone.
    mask.setEditText(QStringLiteral("  "));
    Run("aRemoteRefresh");
    EXPECT_TRUE(LogText().contains(QStringLiteral("<< LIST\n")));
    EXPECT_EQ(Rows(), (QStringList{"a.txt", "b.css"}));
}

// pyftpdlib re-encodes names; vsftpd sends them as they are on disk.
TEST_F(RemotePaneTest, ANameThatIsNotUtf8IsShownReplacedAndEnteredByItsBytes)
{
    VsftpdServer vsftpd;
    const std::string latin1 = std::string("caf") + char(0xE9);
    chmod(vsftpd.Root().c_str(), 0755);  // anonymous users list world-readable directories only
    mkdir(vsftpd.File(latin1).c_str(), 0755);
    TempDir::WriteFile(vsftpd.File(latin1 + "/inside.txt"), "");
    TMainForm& form = OpenConnectedTo(vsftpd.Port(), "anonymous", "guest");
    form.IdFTP1.Passive = true;
    ASSERT_EQ(Model().Rows().size(), 1u);
    EXPECT_EQ(Model().Row(0).caption, QStringLiteral("caf\uFFFD"));
    EXPECT_EQ(Model().Row(0).nameBytes, QByteArray::fromStdString(latin1));
    DoubleClickRow(0);
    // This vsftpd does not change root: its paths are the real ones.
    const QString root = QString::fromStdString(vsftpd.Root());
    EXPECT_EQ(Dir(), root + QStringLiteral("/caf\uFFFD"));
    EXPECT_EQ(Rows(), QStringList{"inside.txt"});
    // The box's text stands for the bytes the server reported, so a refresh stays there, and
    // so does a click on the directory's tree node.
    Run("aRemoteRefresh");
    EXPECT_EQ(Rows(), QStringList{"inside.txt"});
    emit Tree().itemClicked(form.RemotePane().Tree().CurrentDirNode(), 0);
    EXPECT_EQ(Rows(), QStringList{"inside.txt"});
    EXPECT_TRUE(LogText().contains(QStringLiteral("<< CWD ") + root + QStringLiteral("/caf")));
}

TEST_F(RemotePaneTest, OnlyRowsFromTheLocalListAreDroppedAndStartTheUpload)
{
    TMainForm& form = OpenConnected();
    int uploads = 0;
    form.SetActionHandler("aUpload", [&] { ++uploads; });
    QWidget* viewport = RemoteList().Report().viewport();
    QMimeData local, remote;
    local.setData(QString::fromLatin1(LocalRowsFormat), "file");
    remote.setData(QString::fromLatin1(RemoteRowsFormat), "file");
    form.Action("aUpload")->setEnabled(true);
    EXPECT_FALSE(EnterDrag(viewport, remote));
    EXPECT_TRUE(EnterDrag(viewport, local));
    EXPECT_TRUE(SendDrag(viewport, QEvent::DragMove, local));
    SendDrag(viewport, QEvent::Drop, local);
    EXPECT_EQ(uploads, 1);
    // Neither a disabled upload nor a closed session takes a drop.
    EnterDrag(viewport, local);
    form.Action("aUpload")->setEnabled(false);
    SendDrag(viewport, QEvent::Drop, local);
    EXPECT_EQ(uploads, 1);
    EXPECT_FALSE(EnterDrag(viewport, local));
    form.Action("aUpload")->setEnabled(true);
    form.IdFTP1.Disconnect();
    EXPECT_FALSE(EnterDrag(viewport, local));
}

// The listing's size is not known beforehand; neither an empty nor a refused listing may
// leave the window busy.
TEST_F(RemotePaneTest, AListingReportsItsBytesAndEndsTheBusyStateEmptyFullOrRefused)
{
    TMainForm& form = OpenConnected();
    for (const char* mask : {"", "a.txt", "no-such-entry"}) {
        if (mask[0] == 'a')
            MakeFile("a.txt", 9);
        form.Controls().RemoteMaskBox->setEditText(QString::fromLatin1(mask));
        form.Transfer().TransferCompleted = false;
        Run("aRemoteRefresh");
        EXPECT_TRUE(form.Transfer().TransferCompleted || mask[0] == 'n') << mask;
        EXPECT_FALSE(form.BusyFlag()) << mask;
        EXPECT_TRUE(form.Controls().RemoteSysGroupBox->isEnabled()) << mask;
        EXPECT_TRUE(form.Controls().LocalSysGroupBox->isEnabled()) << mask;
        EXPECT_EQ(form.StatusPanelText(3), QString()) << mask;
        EXPECT_TRUE(form.SessionConnected()) << mask;
    }
    const QRegularExpression progressLine(QStringLiteral("^[1-9][0-9]* of 0 bytes received; Download Speed: "));
    EXPECT_FALSE(LogLines().filter(progressLine).isEmpty());
}

// Bookmarks.

class BookmarkTest : public RemotePaneTest {
protected:
    // Runs the editor of an action with a script against it.
    void Edit(const char* action, std::function<void(TDirListForm&)> script)
    {
        dialogs_->QueueDialog([this, script](QDialog& dialog) {
            titles_ << dialog.windowTitle();
            script(static_cast<TDirListForm&>(dialog));
            return dialog.result();
        });
        Run(action);
    }
    QStringList titles_;
};

TEST_F(BookmarkTest, TheLocalEditorDeletesRowsClearsAllOnYesAndOnlyOkHandsTheSortedListBack)
{
    TMainForm& form = Open();
    form.Controls().ProfileNameBox->setEditText(QStringLiteral("home"));
    QComboBox& box = *form.Controls().LocalDirBox;
    box.clear();
    box.addItems({"/a", "/b", "/c", "/d", "/e"});
    box.setEditText(QStringLiteral("/typed"));
    dialogs_->QueueAnswer(TUserDialogs::Answer::No);
    dialogs_->QueueAnswer(TUserDialogs::Answer::Yes);
    Edit("aLocalBookmark", [](TDirListForm& editor) {
        editor.Button("AllClearBtn")->click();
        EXPECT_EQ(editor.Entries().size(), 5);
        editor.Button("AllClearBtn")->click();
        EXPECT_TRUE(editor.Entries().isEmpty());
        editor.Button("CancelBtn")->click();
    });
    EXPECT_EQ(Items(box), (QStringList{"/a", "/b", "/c", "/d", "/e"}));
    EXPECT_EQ(dialogs_->Shown().size(), 2);

    Edit("aLocalBookmark", [](TDirListForm& editor) {
        for (int row : {1, 2, 3})
            editor.DirListBox()->item(row)->setSelected(true);
        editor.Button("DeleteBtn")->click();
        EXPECT_EQ(editor.Entries(), (QStringList{"/a", "/e"}));
        editor.DirListBox()->addItem(QStringLiteral("/B"));  // the box sorts what comes back
        editor.Button("OkBtn")->click();
    });
    EXPECT_EQ(form.Bookmarks().BookmarkSide(), QStringLiteral("Local"));
    EXPECT_EQ(titles_.last(), QStringLiteral("home - ローカルのブックマーク"));
    EXPECT_EQ(Items(box), (QStringList{"/a", "/B", "/e"}));
    EXPECT_EQ(box.currentText(), QStringLiteral("/typed"));
}

TEST_F(BookmarkTest, TheRemoteEditorIsReachableOnlyWhileConnectedAndEditsTheRemoteHistory)
{
    Open().UpdateActionStates();
    EXPECT_FALSE(form_->Action("aRemoteBookmark")->isEnabled());
    CloseWindow();

    MakeDir("x");
    TMainForm& form = OpenConnected();
    EnterDirectory(QStringLiteral("/x"));
    form.Controls().ProfileNameBox->setEditText(QStringLiteral("srv"));
    Edit("aRemoteBookmark", [](TDirListForm& editor) {
        EXPECT_EQ(editor.Entries(), (QStringList{"/", "/x"}));
        editor.DirListBox()->item(0)->setSelected(true);
        editor.Button("DeleteBtn")->click();
        editor.Button("OkBtn")->click();
    });
    EXPECT_EQ(form.Bookmarks().BookmarkSide(), QStringLiteral("Remote"));
    EXPECT_EQ(titles_, QStringList{"srv - ホストのブックマーク"});
    EXPECT_EQ(Items(DirBox()), QStringList{"/x"});
    EXPECT_EQ(Dir(), QStringLiteral("/x"));
}
