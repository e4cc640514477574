#include "MainFormFixture.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <sys/stat.h>

TEST_F(MainFormTest, ClosingWritesTheWindowKeysAndTheListsButNoRemoteHistoryWhileNotConnected)
{
    TMainForm& form = Open();
    form.Action("aList")->trigger();
    form.Action("aTypeASCII")->trigger();
    CloseWindow();
    EXPECT_EQ(IniValue("CURRENT", "bReport"), "0");
    EXPECT_EQ(IniValue("CURRENT", "bList"), "1");
    EXPECT_EQ(IniValue("CURRENT", "bASCII"), "1");
    EXPECT_EQ(IniValue("CURRENT", "bAuto"), "0");
    // A first run pins the directory it showed as the initial directory.
    EXPECT_EQ(IniValue("CURRENT", "asInitialDirectory"), QFileInfo(QString::fromStdString(work_.Path())).canonicalFilePath().toStdString());
    EXPECT_EQ(TempDir::ReadFile(HomeFile("LST/Local.lst")), "");
    for (const char* list : {"TextExt.txt", "SkipExt.txt", "NoDeleteExt.txt", "LocalMaskList.txt", "RemoteMaskList.txt"})
        EXPECT_TRUE(TempDir::Exists(HomeFile(list))) << list;
    EXPECT_FALSE(TempDir::Exists(HomeFile("LST/CURRENT.lst")));
}

TEST_F(MainFormTest, UncheckedSaveConfigLeavesCurrentUnwritten)
{
    WriteHomeFile("Marlux.ini", "[CURRENT]\nbSaveConfig=0\n");
    Open();
    CloseWindow();
    EXPECT_EQ(SectionEntries("CURRENT").size(), 1u);
    EXPECT_EQ(IniValue("DEFAULT", "bReport"), "1");
}

TEST_F(MainFormTest, HeaderImagesOnceRemovedStayRemoved)
{
    WriteHomeFile("Marlux.ini", "[CURRENT]\nbDrawImage=0\n");
    TMainForm& form = Open();
    EXPECT_FALSE(form.Settings().HeaderImagesShown());
    auto* header = form.findChild<QToolBar*>("HeaderToolBar");
    EXPECT_EQ(header->toolButtonStyle(), Qt::ToolButtonTextOnly);
    WriteHomeFile("Marlux.ini", "[CURRENT]\nbDrawImage=1\n");
    LoadSettings(form.SettingsPath(), "CURRENT", form.Settings());
    EXPECT_FALSE(form.Settings().HeaderImagesShown());
    EXPECT_EQ(header->toolButtonStyle(), Qt::ToolButtonTextOnly);
}

// One program directory with a value of every kind the window reads: switches, edges (one out of
// range), numbers (a non-number, a hexadecimal one, the misspelt key the file uses), colours, view
// style flags all off, the last profile, an initial directory, and the list files.
TEST_F(MainFormTest, TheProgramFilesReachEveryPartOfTheWindow)
{
    TempDir initial;
    WriteHomeFile("Marlux.ini",
                  "[CURRENT]\nbShowCaption=1\nbListBtn=1\nbFlatBtn=0\nbShowToolBar=0\n"
                  "iHeaderToolBarAlign=2\niLocalSysToolBarAlign=9\niRemoteSysToolBarAlign=1\n"
                  "iMaxLog=abc\niMaxFileLog=0x1F4\niPanelRUHeight=50\niPanelRUHeitht=80\n"
                  "iLocalSysGroupBoxWidth=300\niOnLocalDblClick=1\nbCompareTimeStamp=1\n"
                  "bASCII=1\nbAuto=0\niCommentColor=255\nbNoDisconnect=1\nbReport=0\nbList=0\nbSmallIcon=0\n"
                  "PROFILE=myhost\nasInitialDirectory=" + initial.Path() + "\n[DEFAULT]\n[myhost]\nHOST=example\n");
    WriteHomeFile("LocalMaskList.txt", "*.txt\n*.c\n");
    WriteHomeFile("RemoteMaskList.txt", "*.png\n");
    mkdir(HomeFile("LST").c_str(), 0700);
    WriteHomeFile("LST/Local.lst", "/tmp/\n/usr/\n");
    TempDir argument;
    TMainForm& form = Open({QString::fromStdString(argument.Path())});
    auto* header = form.findChild<QToolBar*>("HeaderToolBar");
    EXPECT_EQ(header->toolButtonStyle(), Qt::ToolButtonTextBesideIcon);
    EXPECT_FALSE(form.Settings().HeaderFlat());
    EXPECT_FALSE(form.findChild<QToolButton*>("ModeBtn")->autoRaise());
    EXPECT_TRUE(header->isHidden());
    EXPECT_TRUE(form.findChild<QToolBar*>("LocalSysToolBar")->isHidden());
    EXPECT_TRUE(form.findChild<QToolBar*>("RemoteSysToolBar")->isHidden());
    EXPECT_EQ(form.toolBarArea(header), Qt::BottomToolBarArea);
    EXPECT_EQ(form.Settings().ToolBarAlign(TToolBarId::LocalSys), 4);
    EXPECT_EQ(form.Settings().ToolBarAlign(TToolBarId::RemoteSys), 1);

    EXPECT_EQ(form.Options().iMaxLog, 500);
    EXPECT_EQ(form.Options().iMaxFileLog, 500);
    EXPECT_EQ(form.Settings().PanelRUHeight(), 80);
    EXPECT_EQ(form.Settings().LocalSysGroupBoxWidth(), 300);
    EXPECT_EQ(form.Options().iOnLocalDblClick, 1);
    EXPECT_TRUE(form.Options().bCompareTimeStamp);
    EXPECT_TRUE(form.Action("aTypeASCII")->isChecked());
    EXPECT_EQ(form.StatusPanelText(1), "ASCII");
    EXPECT_EQ(form.Settings().LogColor(TLogColorClass::Comment), 255);
    EXPECT_TRUE(form.NoDisconnectTimer()->isActive());

    // No view style flag: small icons, with nothing checked.
    EXPECT_EQ(form.Settings().CurrentViewStyle(), TViewStyle::SmallIcon);
    for (const char* style : {"aReport", "aList", "aSmallIcon"})
        EXPECT_FALSE(form.Action(style)->isChecked()) << style;
    auto* profiles = form.findChild<QComboBox*>("ProfileNameBox");
    EXPECT_EQ(profiles->count(), 3);
    EXPECT_EQ(profiles->currentText(), "myhost");
    EXPECT_EQ(form.Session().ProfileName, "myhost");
    // The initial directory of the settings wins over the argument.
    EXPECT_EQ(form.Settings().LocalDirectory(), QDir(QString::fromStdString(initial.Path())).canonicalPath());
    // The boxes are sorted, whatever the files' order.
    auto* localMask = form.findChild<QComboBox*>("LocalMaskBox");
    ASSERT_EQ(localMask->count(), 2);
    EXPECT_EQ(localMask->itemText(0), "*.c");
    EXPECT_EQ(localMask->currentText(), "*.*");
    EXPECT_EQ(form.findChild<QComboBox*>("RemoteMaskBox")->itemText(0), "*.png");
    auto* history = form.findChild<QComboBox*>("LocalDirBox");
    ASSERT_EQ(history->count(), 2);
    EXPECT_EQ(history->itemText(0), "/tmp/");
}
