#include "MainFormFixture.h"

#include <QComboBox>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

namespace {

QStringList ItemNames(const QMenu* menu)
{
    QStringList names;
    for (const QAction* item : menu->actions())
        names.append(item->isSeparator() ? QStringLiteral("-") : item->objectName());
    return names;
}

QStringList BoundActionNames(const QToolBar* bar)
{
    QStringList names;
    for (QAction* action : bar->actions()) {
        if (auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(action)))
            names.append(button->defaultAction() ? button->defaultAction()->objectName() : button->objectName());
    }
    return names;
}

}  // namespace

TEST_F(MainFormTest, ActionListHoldsTheSeventyOneActionsInOrder)
{
    const TMainForm& form = Open();
    const QList<QAction*>& actions = form.ActionList1();
    ASSERT_EQ(actions.size(), 71);
    EXPECT_EQ(actions.front()->objectName(), "aShowLog");
    EXPECT_EQ(actions[1]->objectName(), "aUploadAll");
    EXPECT_EQ(actions[8]->objectName(), "aDummy");
    EXPECT_EQ(actions[59]->objectName(), "aTypeASCII");
    EXPECT_EQ(actions[69]->objectName(), "aAbout");
    EXPECT_EQ(actions.back()->objectName(), "aLocalFileDelete");
    QSet<QString> names;
    for (const QAction* action : actions)
        names.insert(action->objectName());
    EXPECT_EQ(names.size(), 71);
}

TEST_F(MainFormTest, ActionsCarryCaptionHintCategoryAndShortcut)
{
    const TMainForm& form = Open();
    const QAction* upload = form.Action("aUpload");
    EXPECT_EQ(upload->text(), "アップロード(&U)");
    EXPECT_EQ(upload->toolTip(), "アップロード");
    EXPECT_EQ(upload->statusTip(), "アップロード");
    EXPECT_EQ(upload->property("category").toString(), "ローカル");
    EXPECT_EQ(upload->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_U));
    EXPECT_EQ(form.Action("aOption")->toolTip(), "オプション...");
    EXPECT_EQ(form.Action("aSmallIcon")->toolTip(), "Small Icon");
    EXPECT_EQ(form.Action("aAbort")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
    EXPECT_EQ(form.Action("aDownload")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_D));
    EXPECT_TRUE(form.Action("aConnect")->shortcut().isEmpty());
    EXPECT_EQ(form.Action("aChmod")->text(), "属性の変更などのコマンドを送る(&S)");
    EXPECT_EQ(form.Action("aChmod")->property("imageIndex").toInt(), 4);
}

TEST_F(MainFormTest, ActionsStartInTheirDesignedState)
{
    const TMainForm& form = Open();
    for (const char* name : {"aUploadAll", "aUpload", "aTransformAndUpload", "aTransformAndUploadAll",
                             "aLocalFileOpen", "aLocalFileView", "aLocalFileName", "aDownload",
                             "aTransformAndDownload", "aRemoteFileView", "aRemoteFileName", "aRemoteFileDelete",
                             "aLocalFileDelete"})
        EXPECT_FALSE(form.Action(name)->isEnabled()) << name;
    EXPECT_TRUE(form.Action("aConnect")->isEnabled());
    EXPECT_TRUE(form.Action("aTypeAuto")->isChecked());
    EXPECT_TRUE(form.Action("aReport")->isChecked());
    EXPECT_FALSE(form.Action("aTypeASCII")->isChecked());
    EXPECT_FALSE(form.Action("aList")->isChecked());
}

TEST_F(MainFormTest, EveryActionWithAnImageHasADrawableIcon)
{
    const TMainForm& form = Open();
    int withImage = 0;
    for (const QAction* action : form.ActionList1()) {
        if (action->property("imageIndex").toInt() < 0)
            continue;
        ++withImage;
        const QImage image = action->icon().pixmap(QSize(16, 16)).toImage();
        ASSERT_FALSE(image.isNull()) << action->objectName().toStdString();
        bool painted = false;
        for (int y = 0; y < image.height() && !painted; ++y)
            for (int x = 0; x < image.width() && !painted; ++x)
                painted = qAlpha(image.pixel(x, y)) > 0;
        EXPECT_TRUE(painted) << action->objectName().toStdString() << " has a blank icon";
    }
    EXPECT_EQ(withImage, 36);
}

TEST_F(MainFormTest, MainMenuItemsAreNamedAfterTheirActions)
{
    const TMainForm& form = Open();
    const QList<QAction*> menus = form.menuBar()->actions();
    ASSERT_EQ(menus.size(), 6);
    EXPECT_EQ(menus[0]->text(), "ウインドウ(&F)");
    EXPECT_EQ(menus[2]->text(), "リモート(&R)");
    EXPECT_EQ(menus[2]->objectName(), "Remote");
    EXPECT_FALSE(menus[2]->isEnabled());
    EXPECT_EQ(menus[5]->text(), "ヘルプ(&H)");

    EXPECT_EQ(ItemNames(menus[0]->menu()),
              (QStringList{"Connect", "-", "Abort", "-", "OpenNewWindow", "-", "Exit"}));
    EXPECT_EQ(ItemNames(menus[1]->menu()),
              (QStringList{"Upload", "UploadAll", "-", "TransformAndUpload", "TransformAndUploadAll", "-",
                           "UploadAppend", "-", "LocalFileOpen", "LocalFileView", "-", "LocalDirectoryUp",
                           "LocalRefresh", "LocalSelectAll", "LocalMkDir", "LocalFileName", "LocalFileDelete", "-",
                           "LocalDetail", "-", "LocalBookmark"}));
    EXPECT_EQ(ItemNames(menus[2]->menu()),
              (QStringList{"Download", "DownloadAll", "-", "TransformAndDownload", "TransformAndDownloadAll", "-",
                           "DownloadRestore", "-", "RemoteFileView", "-", "RemoteDirectoryUp", "RemoteRefresh",
                           "RemoteSelectAll", "RemoteMkDir", "RemoteFileName", "RemoteFileDelete", "Chmod", "-",
                           "RemoteDetail", "-", "RemoteBookmark"}));
    EXPECT_EQ(ItemNames(menus[3]->menu()), (QStringList{"ShowLog", "-", "Explorer"}));
    EXPECT_EQ(ItemNames(menus[4]->menu()),
              (QStringList{"TransferType", "-", "ListView", "-", "SetKey", "Option"}));
    EXPECT_EQ(ItemNames(menus[5]->menu()), (QStringList{"Topics", "-", "About"}));

    const QAction* fileName = form.findChild<QAction*>("LocalFileName");
    ASSERT_NE(fileName, nullptr);
    ASSERT_NE(fileName->menu(), nullptr);
    EXPECT_EQ(ItemNames(fileName->menu()),
              (QStringList{"LocalRename", "LocalExtModify", "-", "LocalUpperCase", "LocalLowerCase"}));
    EXPECT_EQ(ItemNames(form.findChild<QAction*>("TransferType")->menu()),
              (QStringList{"TypeASCII", "TypeBinary", "TypeAuto"}));
}

TEST_F(MainFormTest, ContextMenuTwinsCarryTheSuffixZero)
{
    const TMainForm& form = Open();
    const auto* local = form.findChild<QMenu*>("LocalPopupMenu");
    ASSERT_NE(local, nullptr);
    EXPECT_EQ(ItemNames(local),
              (QStringList{"Upload0", "UploadAll0", "-", "TransformAndUpload0", "TransformAndUploadAll0", "-",
                           "LocalFileOpen0", "LocalFileView0", "-", "LocalFileName0", "LocalFileDelete0", "-",
                           "LocalMkDir0", "-", "LocalSelectAll0"}));
    EXPECT_EQ(ItemNames(form.findChild<QAction*>("TransformAndUploadAll0")->menu()),
              (QStringList{"UploadAllAsIs0", "UploadAllUpperCase0", "UploadAllLowerCase0"}));
    const auto* remote = form.findChild<QMenu*>("RemotePopupMenu");
    ASSERT_NE(remote, nullptr);
    EXPECT_EQ(ItemNames(remote),
              (QStringList{"Download0", "DownloadAll0", "-", "TransformAndDownload0", "TransformAndDownloadAll0", "-",
                           "RemoteFileView0", "-", "RemoteFileName0", "RemoteFileDelete0", "Chmod0", "-",
                           "RemoteMkDir0", "-", "RemoteSelectAll0"}));
}

TEST_F(MainFormTest, MenuItemsFollowAndRunTheirActions)
{
    TMainForm& form = Open();
    auto* item = form.findChild<QAction*>("Upload0");
    EXPECT_FALSE(item->isEnabled());
    EXPECT_EQ(item->text(), "アップロード(&U)");
    int runs = 0;
    form.SetActionHandler("aUpload", [&] { ++runs; });
    form.Action("aUpload")->setEnabled(true);
    EXPECT_TRUE(item->isEnabled());
    item->trigger();
    form.findChild<QAction*>("Upload")->trigger();
    EXPECT_EQ(runs, 2);
}

TEST_F(MainFormTest, ToolbarsHoldTheirButtonsInOrder)
{
    const TMainForm& form = Open();
    EXPECT_EQ(BoundActionNames(form.findChild<QToolBar*>("HeaderToolBar")),
              (QStringList{"aConnect", "aAbort", "aTransferType", "aListView", "aShowLog", "aOption", "aExplorer",
                           "aExit"}));
    EXPECT_EQ(BoundActionNames(form.findChild<QToolBar*>("LocalSysToolBar")),
              (QStringList{"aLocalDirectoryUp", "aUploadAll", "aUpload", "aLocalFileOpen", "aLocalRefresh",
                           "aLocalMkDir", "aLocalFileDelete", "aLocalFileName", "aLocalFileView", "aLocalBookmark",
                           "aLocalDetail"}));
    EXPECT_EQ(BoundActionNames(form.findChild<QToolBar*>("RemoteSysToolBar")),
              (QStringList{"aRemoteDirectoryUp", "aDownloadAll", "aDownload", "aChmod", "aRemoteRefresh",
                           "aRemoteMkDir", "aRemoteFileDelete", "aRemoteFileName", "aRemoteFileView",
                           "aRemoteBookmark", "aRemoteDetail"}));
    const auto* mode = form.findChild<QToolButton*>("ModeBtn");
    ASSERT_NE(mode, nullptr);
    EXPECT_EQ(mode->text(), "Auto");
    EXPECT_EQ(mode->toolTip(), "転送モード：Auto");
    ASSERT_NE(mode->menu(), nullptr);
    EXPECT_EQ(mode->menu()->actions().size(), 3);
}

TEST_F(MainFormTest, ControlsHaveTheirDesignedNamesHintsAndItems)
{
    const TMainForm& form = Open();
    for (const char* name : {"LocalDriveBox", "LocalMaskBox", "LocalDirListBox", "LocalDirBox", "LocalFileListView",
                             "ProfileNameBox", "RemoteMaskBox", "RemoteSysTreeView", "RemoteDirBox",
                             "RemoteFileListView", "eeLog", "StatusBar1", "LocalSysGroupBox", "RemoteSysGroupBox"})
        EXPECT_NE(form.findChild<QWidget*>(name), nullptr) << name;
    auto* localMask = form.findChild<QComboBox*>("LocalMaskBox");
    EXPECT_EQ(localMask->toolTip(), "デフォルトは\"*.*\"ですべて表示");
    ASSERT_EQ(localMask->count(), 3);
    EXPECT_EQ(localMask->itemText(2), "*.htm*");
    auto* remoteMask = form.findChild<QComboBox*>("RemoteMaskBox");
    EXPECT_EQ(remoteMask->toolTip(), "デフォルトは空白ですべて表示");
    EXPECT_EQ(remoteMask->itemText(0), "");
    EXPECT_EQ(remoteMask->currentText(), "");
    auto* dirList = form.findChild<QWidget*>("LocalDirListBox");
    EXPECT_EQ(dirList->toolTip(), "");
    EXPECT_EQ(dirList->statusTip(), "クリックでディレクトリ変更");
    EXPECT_EQ(form.findChild<QWidget*>("ProfileNameBox")->toolTip(), "ﾀﾞﾌﾞﾙｸﾘｯｸで接続します");
    EXPECT_EQ(form.Settings().LocalSysGroupBoxWidth(), 360);
    EXPECT_EQ(form.Settings().LogHeight(), 61);
    EXPECT_EQ(form.Settings().PanelLMHeight(), 107);
    EXPECT_EQ(form.Settings().PanelRUHeight(), 107);
}
