#include "MainFormFixture.h"

#include "fixtures/FtpServer.h"
#include "fixtures/VsftpdServer.h"
#include "log/Editor.h"
#include "panes/Bookmarks.h"
#include "panes/DirListForm.h"
#include "panes/FileListModel.h"
#include "panes/FileViewStack.h"
#include "panes/PaneDropTarget.h"
#include "panes/RemoteFileRow.h"
#include "panes/RemotePane.h"
#include "support/PaneLines.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QDropEvent>
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

QStringList TreeNodes(const QTreeWidget& tree)
{
    QStringList nodes;
    for (int i = 0; i < tree.topLevelItemCount(); ++i)
        AddNodes(*tree.topLevelItem(i), QString(), nodes);
    return nodes;
}

void SetModified(const std::string& path, int year, int month, int day, int hour)
{
    const QDateTime when(QDate(year, month, day), QTime(hour, 0));
    const utimbuf times{when.toSecsSinceEpoch(), when.toSecsSinceEpoch()};
    utime(path.c_str(), &times);
}

class RemotePaneTest : public MainFormTest {
protected:
    // Opens the window and logs the engine in to the server; nothing is listed yet.
    TMainForm& OpenConnected()
    {
        TMainForm& form = Open();
        LogIn(form, server_.Port());
        form.UpdateActionStates();
        return form;
    }
    // Runs an action as the user does, after the idle pass that enables it.
    static void Run(TMainForm& form, const char* action)
    {
        form.UpdateActionStates();
        form.Action(QString::fromLatin1(action))->trigger();
    }
    TFileListModel& Model(TMainForm& form) { return form.Controls().RemoteFileListView->Model(); }
    QComboBox& DirBox(TMainForm& form) { return *form.Controls().RemoteDirBox; }
    QTreeWidget& Tree(TMainForm& form) { return *form.Controls().RemoteSysTreeView; }
    // Types into the directory box and presses Enter.
    void EnterDirectory(TMainForm& form, const QString& text)
    {
        DirBox(form).lineEdit()->clear();
        TypeText(DirBox(form).lineEdit(), text);
        PressKey(DirBox(form).lineEdit(), Qt::Key_Return);
    }
    void MakeDir(const std::string& name) { mkdir(server_.File(name).c_str(), 0755); }
    void MakeFile(const std::string& name, const std::string& content = "")
    {
        TempDir::WriteFile(server_.File(name), content);
    }
    void DoubleClickRow(TMainForm& form, int row)
    {
        QTreeView& view = form.Controls().RemoteFileListView->Report();
        view.selectionModel()->clearSelection();
        view.selectionModel()->select(Model(form).index(row, 0),
                                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
        emit view.doubleClicked(Model(form).index(row, 0));
    }
    QString LogText(TMainForm& form) { return PaneLines(*form.LogPane()).join(u'\n'); }

    FtpServer server_;
};

}  // namespace

TEST_F(RemotePaneTest, ARelativeNameWithATrailingSlashLandsInTheServersFormOfThePath)
{
    MakeDir("pub");
    MakeFile("pub/readme.txt", "hello");
    TMainForm& form = OpenConnected();
    EnterDirectory(form, QStringLiteral("pub/"));
    EXPECT_EQ(DirBox(form).currentText(), QStringLiteral("/pub"));
    EXPECT_EQ(Captions(Model(form)), QStringList{"readme.txt"});
    EXPECT_EQ(Model(form).Row(0).subItems[0], QStringLiteral("5"));
    EXPECT_EQ(Model(form).Row(0).subItems[2], QStringLiteral("rw-"));
    EXPECT_EQ(Model(form).Row(0).subItems[3], QStringLiteral("1"));
    EXPECT_EQ(Model(form).Row(0).icon, fiText);
    EXPECT_EQ(Items(DirBox(form)), QStringList{"/pub"});
    EXPECT_EQ(TreeNodes(Tree(form)), (QStringList{"", "-pub"}));
    EXPECT_FALSE(form.BusyFlag());
    EXPECT_TRUE(LogText(form).contains(QStringLiteral("CWD /pub")));
}

TEST_F(RemotePaneTest, TheRootShowsOnlyTheRootAndItsSubdirectoriesAndTheTreeLeadsBackUp)
{
    MakeDir("b");
    MakeDir("a");
    MakeDir("a/inner");
    MakeFile("file.bin");
    TMainForm& form = OpenConnected();
    Run(form, "aRemoteRefresh");  // an empty box lists the login directory
    EXPECT_EQ(DirBox(form).currentText(), QStringLiteral("/"));
    EXPECT_EQ(TreeNodes(Tree(form)), (QStringList{"", "-a", "-b"}));
    EXPECT_EQ(Captions(Model(form)), (QStringList{"a", "b", "file.bin"}));

    DoubleClickRow(form, 0);
    EXPECT_EQ(DirBox(form).currentText(), QStringLiteral("/a"));
    EXPECT_EQ(TreeNodes(Tree(form)), (QStringList{"", "-a", "--inner"}));
    // A click on the root node goes back up; so does the up command from a sub-directory.
    emit Tree(form).itemClicked(Tree(form).topLevelItem(0), 0);
    EXPECT_EQ(DirBox(form).currentText(), QStringLiteral("/"));
    EnterDirectory(form, QStringLiteral("/a/inner"));
    Run(form, "aRemoteDirectoryUp");
    EXPECT_EQ(DirBox(form).currentText(), QStringLiteral("/a"));
    EXPECT_EQ(Items(DirBox(form)), (QStringList{"/", "/a", "/a/inner"}));
}

TEST_F(RemotePaneTest, ATreeDeeperThanTwentyLevelsKeepsEveryLevel)
{
    std::string path;
    for (int level = 1; level <= 24; ++level) {
        path += (level > 1 ? "/d" : "d") + std::to_string(level);
        MakeDir(path);
    }
    TMainForm& form = OpenConnected();
    EnterDirectory(form, QString::fromStdString("/" + path));
    EXPECT_EQ(form.RemotePane().Tree().ChainLength(), 25);
    // The node of level 22 leads to its own path.
    QTreeWidgetItem* node = Tree(form).topLevelItem(0);
    for (int level = 1; level <= 22; ++level)
        node = node->child(0);
    emit Tree(form).itemClicked(node, 0);
    EXPECT_TRUE(DirBox(form).currentText().endsWith(QStringLiteral("/d21/d22")));
    EXPECT_EQ(Captions(Model(form)), QStringList{"d23"});
}

TEST_F(RemotePaneTest, ALinkToADirectoryIsAFileRowThatADoubleClickDoesNotEnter)
{
    MakeDir("target");
    ASSERT_EQ(symlink(server_.File("target").c_str(), server_.File("link").c_str()), 0);
    TMainForm& form = OpenConnected();
    Run(form, "aRemoteRefresh");
    ASSERT_EQ(Captions(Model(form)), (QStringList{"target", "link"}));
    const TFileRow& link = Model(form).Row(1);
    EXPECT_EQ(link.subItems[3], QStringLiteral("1"));
    EXPECT_NE(link.icon, fiFolder);
    int downloads = 0;
    form.SetActionHandler("aDownload", [&] { ++downloads; });
    form.Options().iOnRemoteDblClick = 2;
    DoubleClickRow(form, 1);
    EXPECT_EQ(DirBox(form).currentText(), QStringLiteral("/"));
    form.Options().iOnRemoteDblClick = 1;
    form.Action("aDownload")->setEnabled(true);
    DoubleClickRow(form, 1);
    EXPECT_EQ(downloads, 1);
    EXPECT_EQ(DirBox(form).currentText(), QStringLiteral("/"));
}

TEST_F(RemotePaneTest, DateTextsShowATimeForYearOnlyDatesAndSortByLengthFirst)
{
    MakeDir("dir");
    MakeFile("old.txt");
    MakeFile("ten.txt");
    MakeFile("one.txt");
    SetModified(server_.File("old.txt"), 2001, 3, 4, 0);
    const QDate recent = QDate::currentDate().addDays(-40);
    SetModified(server_.File("ten.txt"), recent.year(), recent.month(), 10, 10);
    SetModified(server_.File("one.txt"), recent.year(), recent.month(), 1, 1);
    TMainForm& form = OpenConnected();
    Run(form, "aRemoteRefresh");
    QMap<QString, QString> dates;
    for (const TFileRow& row : Model(form).Rows())
        dates[row.caption] = row.subItems[1];
    // A year-only date still carries its (end of minute) time.
    EXPECT_EQ(dates["old.txt"], RemoteDateText(EncodeDate(2001, 3, 4) + EncodeTime(0, 0, 0, 999)));
    EXPECT_NE(dates["old.txt"], RemoteDateText(EncodeDate(2001, 3, 4)));
    EXPECT_TRUE(RemoteDateText(EncodeDate(2001, 3, 4)).contains(QStringLiteral("2001")));
    EXPECT_TRUE(dates["ten.txt"].contains(QString::number(recent.year())));
    EXPECT_EQ(RemoteDateText(0), RemoteDateText(EncodeTime(0, 0, 0, 0)));
    EXPECT_FALSE(RemoteDateText(0).contains(QStringLiteral("1899")));

    // Shorter texts first with 4 and last with 5; the directory stays on top in both.
    ASSERT_NE(dates["one.txt"].size(), dates["ten.txt"].size());
    const QString shorter = dates["one.txt"].size() < dates["ten.txt"].size() ? "one.txt" : "ten.txt";
    const QString longer = shorter == "one.txt" ? "ten.txt" : "one.txt";
    form.Options().iFileListSort = 4;
    form.RemotePane().SortAndFitRemoteList();
    QStringList order = Captions(Model(form));
    EXPECT_EQ(order.first(), QStringLiteral("dir"));
    EXPECT_LT(order.indexOf(shorter), order.indexOf(longer));
    EXPECT_EQ(form.RemotePane().Sorter().NextDescending(), 1);
    form.Options().iFileListSort = 5;
    Run(form, "aList");  // the view styles sort again by the option
    order = Captions(Model(form));
    EXPECT_EQ(order.first(), QStringLiteral("dir"));
    EXPECT_GT(order.indexOf(shorter), order.indexOf(longer));
    EXPECT_EQ(form.RemotePane().Sorter().NextDescending(), 0);
}

TEST_F(RemotePaneTest, DirectoriesDifferingOnlyInLetterCaseAreBothKeptInTheHistory)
{
    MakeDir("Pub");
    MakeDir("pub");
    TMainForm& form = OpenConnected();
    EnterDirectory(form, QStringLiteral("/Pub"));
    EnterDirectory(form, QStringLiteral("/pub"));
    EnterDirectory(form, QStringLiteral("/pub"));
    EXPECT_EQ(Items(DirBox(form)), (QStringList{"/Pub", "/pub"}));
}

TEST_F(RemotePaneTest, AnExeNamedInTheTextListGetsTheTextIconHereAndTheProgramIconLocally)
{
    MakeFile("SETUP.EXE");
    MakeFile("photo.PNG");
    MakeFile("tool.exe");
    TempDir::WriteFile(work_.File("SETUP.EXE"), "");
    TMainForm& form = OpenConnected();
    form.Extensions().TextExtList.push_back(".exe");
    form.Extensions().ImageExtList.push_back(".png");
    Run(form, "aRemoteRefresh");
    for (const TFileRow& row : Model(form).Rows())
        EXPECT_EQ(row.icon, row.caption == "photo.PNG" ? fiPicture : fiText) << row.caption.toStdString();
    form.Extensions().TextExtList.clear();
    Run(form, "aRemoteRefresh");
    for (const TFileRow& row : Model(form).Rows())
        EXPECT_EQ(row.icon, row.caption == "photo.PNG" ? fiPicture : fiProgram) << row.caption.toStdString();
    form.Extensions().TextExtList.push_back(".exe");
    Run(form, "aLocalRefresh");
    EXPECT_EQ(form.Controls().LocalFileListView->Model().Row(0).icon, fiProgram);
}

TEST_F(RemotePaneTest, ARefusedDirectoryKeepsTheListAndTreeAndLeavesTheTriedTextInTheBox)
{
    MakeDir("pub");
    MakeFile("pub/a.txt");
    TMainForm& form = OpenConnected();
    EnterDirectory(form, QStringLiteral("/pub"));
    EnterDirectory(form, QStringLiteral("nosuch/"));
    EXPECT_EQ(DirBox(form).currentText(), QStringLiteral("/nosuch"));
    EXPECT_EQ(Captions(Model(form)), QStringList{"a.txt"});
    EXPECT_EQ(TreeNodes(Tree(form)), (QStringList{"", "-pub"}));
    EXPECT_EQ(Items(DirBox(form)), QStringList{"/pub"});
    EXPECT_TRUE(LogText(form).contains(QStringLiteral("550")));
    EXPECT_FALSE(form.BusyFlag());
    EXPECT_TRUE(form.SessionConnected());
    // A folder row still opens below the directory shown, not below the one refused.
    MakeDir("pub/sub");
    Run(form, "aRemoteRefresh");  // the box's text is still the refused one
    EnterDirectory(form, QStringLiteral("/pub"));
    DoubleClickRow(form, 0);
    EXPECT_EQ(DirBox(form).currentText(), QStringLiteral("/pub/sub"));
}

TEST_F(RemotePaneTest, TheTrimmedMaskGoesToTheServerAndLeavingTheBoxRemembersIt)
{
    MakeFile("a.txt");
    MakeFile("b.css");
    TMainForm& form = OpenConnected();
    QComboBox& mask = *form.Controls().RemoteMaskBox;
    mask.setEditText(QStringLiteral("  b.css "));
    Run(form, "aRemoteRefresh");
    EXPECT_TRUE(LogText(form).contains(QStringLiteral("<< LIST b.css\n")));
    EXPECT_EQ(Captions(Model(form)), QStringList{"b.css"});
    emit mask.lineEdit()->editingFinished();
    emit mask.lineEdit()->editingFinished();
    EXPECT_EQ(Items(mask).count(QStringLiteral("b.css")), 1);
    // An empty mask sends the listing command alone.
    mask.setEditText(QStringLiteral("  "));
    Run(form, "aRemoteRefresh");
    EXPECT_TRUE(LogText(form).contains(QStringLiteral("<< LIST\n")));
    EXPECT_EQ(Captions(Model(form)), (QStringList{"a.txt", "b.css"}));
    mask.setEditText(QStringLiteral("*.TXT"));
    emit mask.lineEdit()->editingFinished();
    EXPECT_TRUE(Items(mask).contains(QStringLiteral("*.TXT")));
}

// pyftpdlib re-encodes names; vsftpd sends them as they are on disk.
TEST_F(RemotePaneTest, ANameThatIsNotUtf8IsShownReplacedAndEnteredByItsBytes)
{
    VsftpdServer vsftpd;
    chmod(vsftpd.Root().c_str(), 0755);  // anonymous users list world-readable directories only
    const std::string latin1 = std::string("caf") + char(0xE9);
    mkdir(vsftpd.File(latin1).c_str(), 0755);
    TempDir::WriteFile(vsftpd.File(latin1 + "/inside.txt"), "");
    TMainForm& form = Open();
    form.IdFTP1.Passive = true;
    LogIn(form, vsftpd.Port(), "anonymous", "guest");
    Run(form, "aRemoteRefresh");
    ASSERT_EQ(Model(form).Rows().size(), 1u);
    EXPECT_EQ(Model(form).Row(0).caption, QStringLiteral("caf\uFFFD"));
    EXPECT_EQ(Model(form).Row(0).nameBytes, QByteArray::fromStdString(latin1));
    DoubleClickRow(form, 0);
    // This vsftpd does not change root: its paths are the real ones.
    const QString root = QString::fromStdString(vsftpd.Root());
    EXPECT_EQ(DirBox(form).currentText(), root + QStringLiteral("/caf\uFFFD"));
    EXPECT_EQ(Captions(Model(form)), QStringList{"inside.txt"});
    // The box's text stands for the bytes the server reported, so a refresh stays there, and
    // so does a click on the directory's tree node.
    Run(form, "aRemoteRefresh");
    EXPECT_EQ(Captions(Model(form)), QStringList{"inside.txt"});
    emit Tree(form).itemClicked(form.RemotePane().Tree().CurrentDirNode(), 0);
    EXPECT_EQ(Captions(Model(form)), QStringList{"inside.txt"});
    EXPECT_TRUE(LogText(form).contains(QStringLiteral("<< CWD ") + root + QStringLiteral("/caf")));
}

TEST_F(RemotePaneTest, SelectAllAndColumnClicksWorkOnTheRemoteList)
{
    MakeFile("big", std::string(300, 'x'));
    MakeFile("small", std::string(20, 'x'));
    MakeFile("mid", std::string(100, 'x'));
    TMainForm& form = OpenConnected();
    Run(form, "aRemoteRefresh");
    QTreeView& view = form.Controls().RemoteFileListView->Report();
    emit view.header()->sectionClicked(1);  // descending first after the default name sort
    EXPECT_EQ(Captions(Model(form)), (QStringList{"big", "mid", "small"}));
    emit view.header()->sectionClicked(1);
    EXPECT_EQ(Captions(Model(form)), (QStringList{"small", "mid", "big"}));
    Run(form, "aRemoteSelectAll");
    EXPECT_EQ(view.selectionModel()->selectedRows().size(), 3);
}

TEST_F(RemotePaneTest, OnlyRowsFromTheLocalListAreDroppedAndStartTheUpload)
{
    TMainForm& form = OpenConnected();
    int uploads = 0;
    form.SetActionHandler("aUpload", [&] { ++uploads; });
    QWidget* viewport = form.Controls().RemoteFileListView->Report().viewport();
    QMimeData local, remote;
    local.setData(QString::fromLatin1(LocalRowsFormat), "file");
    remote.setData(QString::fromLatin1(RemoteRowsFormat), "file");
    form.Action("aUpload")->setEnabled(true);
    // Rows of the remote list itself are not taken.
    EXPECT_FALSE(EnterDrag(viewport, remote));
    EXPECT_TRUE(EnterDrag(viewport, local));
    EXPECT_TRUE(SendDrag(viewport, QEvent::DragMove, local));
    SendDrag(viewport, QEvent::Drop, local);
    EXPECT_EQ(uploads, 1);
    EnterDrag(viewport, local);
    form.Action("aUpload")->setEnabled(false);
    SendDrag(viewport, QEvent::Drop, local);
    EXPECT_EQ(uploads, 1);
    EXPECT_FALSE(EnterDrag(viewport, local));
    form.Action("aUpload")->setEnabled(true);
    form.IdFTP1.Disconnect();
    EXPECT_FALSE(EnterDrag(viewport, local));
}

// Bookmarks.

class BookmarkTest : public RemotePaneTest {
protected:
    // Runs the editor of an action with a script against it.
    void Edit(TMainForm& form, const char* action, std::function<int(TDirListForm&)> script)
    {
        dialogs_->QueueDialog([&, script](QDialog& dialog) {
            titles_ << dialog.windowTitle();
            return script(static_cast<TDirListForm&>(dialog));
        });
        Run(form, action);
    }
    static void SelectRows(TDirListForm& editor, std::initializer_list<int> rows)
    {
        for (int row : rows)
            editor.DirListBox()->item(row)->setSelected(true);
    }
    QStringList titles_;
};

TEST_F(BookmarkTest, DeletingAdjacentRowsAndOkReplaceTheLocalHistoryWhichStaysSorted)
{
    TMainForm& form = Open();
    form.Controls().ProfileNameBox->setEditText(QStringLiteral("home"));
    QComboBox& box = *form.Controls().LocalDirBox;
    box.clear();
    box.addItems({"/a", "/b", "/c", "/d", "/e"});
    box.setEditText(QStringLiteral("/typed"));
    Edit(form, "aLocalBookmark", [](TDirListForm& editor) {
        SelectRows(editor, {1, 2, 3});
        editor.Button("DeleteBtn")->click();
        EXPECT_EQ(editor.Entries(), (QStringList{"/a", "/e"}));
        editor.DirListBox()->addItem(QStringLiteral("/B"));  // the box sorts what comes back
        editor.Button("OkBtn")->click();
        return editor.result();
    });
    EXPECT_EQ(form.Bookmarks().BookmarkSide(), QStringLiteral("Local"));
    EXPECT_EQ(titles_, QStringList{"home - ローカルのブックマーク"});
    EXPECT_EQ(Items(box), (QStringList{"/a", "/B", "/e"}));
    EXPECT_EQ(box.currentText(), QStringLiteral("/typed"));
}

TEST_F(BookmarkTest, ClearingAllEmptiesOnlyOnYesAndOnlyOkHandsItBack)
{
    TMainForm& form = Open();
    QComboBox& box = *form.Controls().LocalDirBox;
    box.clear();
    box.addItems({"/a", "/b"});
    dialogs_->QueueAnswer(TUserDialogs::Answer::No);
    dialogs_->QueueAnswer(TUserDialogs::Answer::Yes);
    Edit(form, "aLocalBookmark", [](TDirListForm& editor) {
        editor.Button("AllClearBtn")->click();
        EXPECT_EQ(editor.Entries().size(), 2);
        editor.Button("AllClearBtn")->click();
        EXPECT_TRUE(editor.Entries().isEmpty());
        editor.Button("CancelBtn")->click();
        return editor.result();
    });
    EXPECT_EQ(Items(box), (QStringList{"/a", "/b"}));
    EXPECT_EQ(dialogs_->Shown(), (QStringList(2, QStringLiteral("ﾌﾞｯｸﾏｰｸをすべてを消去しますか？"))));
    dialogs_->QueueAnswer(TUserDialogs::Answer::Yes);
    Edit(form, "aLocalBookmark", [](TDirListForm& editor) {
        editor.Button("AllClearBtn")->click();
        editor.Button("OkBtn")->click();
        return editor.result();
    });
    EXPECT_TRUE(Items(box).isEmpty());
}

TEST_F(BookmarkTest, TheRemoteEditorIsReachableOnlyWhileConnectedAndEditsTheRemoteHistory)
{
    TMainForm& form = Open();
    form.UpdateActionStates();
    EXPECT_FALSE(form.Action("aRemoteBookmark")->isEnabled());
    EXPECT_TRUE(form.Action("aLocalBookmark")->isEnabled());
    CloseWindow();

    MakeDir("x");
    MakeDir("y");
    TMainForm& connected = OpenConnected();
    EXPECT_TRUE(connected.Action("aRemoteBookmark")->isEnabled());
    EnterDirectory(connected, QStringLiteral("/x"));
    EnterDirectory(connected, QStringLiteral("/y"));
    connected.Controls().ProfileNameBox->setEditText(QStringLiteral("srv"));
    Edit(connected, "aRemoteBookmark", [](TDirListForm& editor) {
        EXPECT_EQ(editor.Entries(), (QStringList{"/x", "/y"}));
        SelectRows(editor, {0});
        editor.Button("DeleteBtn")->click();
        editor.Button("OkBtn")->click();
        return editor.result();
    });
    EXPECT_EQ(connected.Bookmarks().BookmarkSide(), QStringLiteral("Remote"));
    EXPECT_EQ(titles_, QStringList{"srv - ホストのブックマーク"});
    EXPECT_EQ(Items(DirBox(connected)), QStringList{"/y"});
    EXPECT_EQ(DirBox(connected).currentText(), QStringLiteral("/y"));
}
