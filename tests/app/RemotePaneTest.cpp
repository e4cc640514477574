#include "RemoteScene.h"

#include "panes/ComboItems.h"
#include "panes/DirListForm.h"
#include "panes/FileListModel.h"
#include "panes/FileViewStack.h"
#include "panes/RemotePane.h"
#include "panes/RemoteTree.h"

#include <QApplication>
#include <QEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidget>

#include <string>
#include <sys/stat.h>

namespace {

// Counts the times a widget is disabled, as a command holding the remote side does.
class THoldCounter : public QObject {
public:
    int holds = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::EnabledChange && !static_cast<QWidget*>(watched)->isEnabled())
            ++holds;
        return false;
    }
};

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
        TypeText(&DirBox(), text);
        PressKey(&DirBox(), Qt::Key_Return);
        Settle(*form_);
    }
    void MakeDir(const std::string& name) { mkdir(Remote(name).c_str(), 0755); }
    void MakeFile(const std::string& name, int size = 0) { Write(Remote(name), std::string(size, 'x')); }
};

}  // namespace

TEST_F(RemotePaneTest, TheBoxRowsTreeUpCommandBookmarksAndMaskListTheDirectoriesAtAnyDepthAndARefusalChangesNothing)
{
    for (const char* name : {"a", "Pub", "pub", "pub/sub"})
        MakeDir(name);
    MakeFile("pub/readme.txt", 5);
    MakeFile("pub/data.bin");
    MakeFile("file.bin");
    std::string chain = "pub/sub";
    for (int level = 3; level <= 24; ++level)
        chain += "/d" + std::to_string(level);
    MakeFile(chain + "/leaf");
    TMainForm& form = OpenConnected();
    EXPECT_EQ(Dir(), QStringLiteral("/"));
    EXPECT_EQ(TreeNodes(), (QStringList{"", "-Pub", "-a", "-pub"}));
    EXPECT_EQ(Rows(), (QStringList{"Pub", "a", "pub", "file.bin"}));

    // A relative name with a trailing slash lands in the server's form of the path. The listing
    // holds the remote side while it runs.
    THoldCounter holds;
    form.Controls().RemoteSysGroupBox->installEventFilter(&holds);
    EnterDirectory(QStringLiteral("pub/"));
    form.Controls().RemoteSysGroupBox->removeEventFilter(&holds);
    EXPECT_GE(holds.holds, 1);
    EXPECT_EQ(Dir(), QStringLiteral("/pub"));
    EXPECT_EQ(Rows(), (QStringList{"sub", "data.bin", "readme.txt"}));
    EXPECT_EQ(TreeNodes(), (QStringList{"", "-pub", "--sub"}));
    // A refused directory is reported and keeps the tree and the session; that it keeps the
    // list and the server's folder is the pane's own test (RemotePaneAlone).
    EnterDirectory(QStringLiteral("nosuch/"));
    EXPECT_EQ(LogLines().last(), QStringLiteral("No such file or directory."));
    EXPECT_EQ(TreeNodes(), (QStringList{"", "-pub", "--sub"}));
    EXPECT_FALSE(form.BusyFlag());
    EXPECT_TRUE(form.SessionConnected());

    // A click on the root node goes back up. (The up command and an empty folder are the pane's own
    // test.)
    emit Tree().itemClicked(Tree().topLevelItem(0), 0);
    Settle(form);
    EXPECT_EQ(Dir(), QStringLiteral("/"));
    // Enter opens the selected folder and Backspace goes back up; the list keeps the keys across
    // the listing that holds the pane.
    form.show();
    form.activateWindow();
    QAbstractItemView& list = RemoteList().Report();
    Select(RemoteList(), {QStringLiteral("a")});
    list.setFocus();
    PressKey(&list, Qt::Key_Return);
    Settle(form);
    EXPECT_EQ(Dir(), QStringLiteral("/a"));
    EXPECT_EQ(QApplication::focusWidget(), &list);
    PressKey(&list, Qt::Key_Backspace);
    Settle(form);
    EXPECT_EQ(Dir(), QStringLiteral("/"));
    EXPECT_EQ(QApplication::focusWidget(), &list);
    // A dialog that asked before the listing leaves the window inactive while the pane is held;
    // back, the window gives the keys to the list again.
    {
        QWidget asking;
        asking.show();
        asking.activateWindow();
        QApplication::processEvents();
        Run("aRemoteRefresh");
        Settle(form);
    }
    form.activateWindow();
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), &list);
    // Directories differing only in letter case are both kept.
    EnterDirectory(QStringLiteral("/Pub"));
    EXPECT_EQ(ItemTexts(DirBox()), (QStringList{"/", "/a", "/pub", "/Pub"}));

    // The bookmark editor hands back the edited history.
    dialogs_->QueueDialog([](QDialog& dialog) {
        auto& editor = static_cast<TDirListForm&>(dialog);
        editor.DirListBox()->item(0)->setSelected(true);
        editor.Button("DeleteBtn")->click();
        editor.Button("OkBtn")->click();
        return dialog.result();
    });
    Run("aRemoteBookmark");
    EXPECT_EQ(ItemTexts(DirBox()), (QStringList{"/a", "/pub", "/Pub"}));
    EXPECT_EQ(Dir(), QStringLiteral("/Pub"));

    // A tree deeper than twenty levels keeps every level; the node of level 22 leads to its path.
    EnterDirectory(QString::fromStdString("/" + chain));
    EXPECT_EQ(form.RemotePane().Tree().ChainLength(), 25);
    QTreeWidgetItem* node = Tree().topLevelItem(0);
    for (int level = 1; level <= 22; ++level)
        node = node->child(0);
    emit Tree().itemClicked(node, 0);
    Settle(form);
    EXPECT_TRUE(Dir().endsWith(QStringLiteral("/d21/d22")));

    // The listing's size is not known beforehand; neither an empty nor a refused listing may
    // leave the window busy. The mask goes to the server trimmed; without one the listing comes
    // by MLSD, which takes no pattern.
    const qsizetype before = LogLines().size();
    for (const char* mask : {"  ", "  b.css ", "no-such-entry"}) {
        form.Controls().RemoteMaskBox->setEditText(QString::fromLatin1(mask));
        Run("aRemoteRefresh");
        EXPECT_FALSE(form.BusyFlag()) << mask;
        EXPECT_TRUE(form.Controls().RemoteSysGroupBox->isEnabled()) << mask;
        EXPECT_TRUE(form.SessionConnected()) << mask;
    }
    const QString log = LogLines().mid(before).join(u'\n');
    EXPECT_TRUE(log.contains(QStringLiteral("<< MLSD\n")));
    EXPECT_TRUE(log.contains(QStringLiteral("<< LIST b.css\n")));
}
