#include "MainFormFixture.h"

#include "panes/FileViewStack.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QListView>
#include <QTimer>
#include <QToolBar>

#include <cstdio>
#include <sys/stat.h>

// A file argument opens its folder, a folder argument the folder itself; a second after the start
// the connection dialog opens.
TEST_F(MainFormTest, AFirstStartMakesAPrivateSettingsFileExitWritesTheWindowKeysAndAnArgumentOpensItsFolder)
{
    TMainForm& form = Open();
    EXPECT_TRUE(QFileInfo(QString::fromStdString(HomeFile("LST"))).isDir());
    struct stat info = {};
    ASSERT_EQ(stat(HomeFile("Marlux.ini").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);  // it holds passwords
    form.Action("aList")->trigger();
    EXPECT_TRUE(form.Controls().RemoteFileListView->Icons().isVisible());  // both panes switch
    form.Action("aTypeASCII")->trigger();
    // Run from the event loop, as the menu does: the loop must end, not run on without a window.
    QTimer::singleShot(0, &form, [&form] { form.Action("aExit")->trigger(); });
    // The guard goes with the window, so it cannot end a later test's event loop.
    QTimer::singleShot(5000, &form, [] { QCoreApplication::exit(2); });
    EXPECT_EQ(QCoreApplication::exec(), 0);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(IniValue("CURRENT", "bList"), "1");
    EXPECT_EQ(IniValue("CURRENT", "bASCII"), "1");
    // A first run pins the directory it showed as the initial directory.
    EXPECT_EQ(IniValue("CURRENT", "asInitialDirectory"), QFileInfo(QString::fromStdString(work_.Path())).canonicalFilePath().toStdString());
    EXPECT_EQ(TempDir::ReadFile(HomeFile("LST/Local.lst")), "");
    EXPECT_FALSE(TempDir::ReadFile(HomeFile("TextExt.txt")).empty());
    // No remote history while not connected.
    EXPECT_FALSE(TempDir::Exists(HomeFile("LST/CURRENT.lst")));

    TempDir other;
    TempDir::WriteFile(other.File("page.html"), "x");
    const QString expected = QDir(QString::fromStdString(other.Path())).canonicalPath();
    for (const std::string& argument : {other.Path(), other.File("page.html")}) {
        CloseWindow();
        std::remove(HomeFile("Marlux.ini").c_str());  // the last run pinned its directory there
        EXPECT_EQ(Open({QString::fromStdString(argument)}).Settings().LocalDirectory(), expected) << argument;
    }
    QElapsedTimer clock;
    clock.start();
    while (dialogs_->DialogTitles().isEmpty() && clock.elapsed() < 3000)
        Pump(10);
    EXPECT_EQ(dialogs_->DialogTitles(), QStringList{QStringLiteral("接続先のプロファイル")});
    EXPECT_GE(clock.elapsed(), 800);  // not before the window is up
}

// One program directory with a value of every kind the window reads: edges (one out of range), a
// connection count above its bound, numbers (a non-number, a hexadecimal one, the misspelt key the
// file uses), the last profile, an initial directory, and the list files. An unchecked "save" keeps the close from rewriting CURRENT.
TEST_F(MainFormTest, TheProgramFilesReachEveryPartOfTheWindow)
{
    TempDir initial;
    WriteHomeFile("Marlux.ini",
                  "[CURRENT]\nbSaveConfig=0\niHeaderToolBarAlign=2\niLocalSysToolBarAlign=9\n"
                  "iMaxLog=abc\niMaxFileLog=0x1F4\niPanelRUHeight=50\niPanelRUHeitht=80\n"
                  "bCompareTimeStamp=1\nbMirrorPreview=0\nbASCII=1\nbAuto=0\niTransferConnections=40\n"
                  "PROFILE=myhost\nasInitialDirectory=" + initial.Path() + "\n[DEFAULT]\n[myhost]\nHOST=example\n");
    WriteHomeFile("LocalMaskList.txt", "*.txt\n*.c\n");
    mkdir(HomeFile("LST").c_str(), 0700);
    WriteHomeFile("LST/Local.lst", "/tmp/\n/usr/\n");
    TempDir argument;
    TMainForm& form = Open({QString::fromStdString(argument.Path())});
    EXPECT_EQ(form.toolBarArea(form.findChild<QToolBar*>("HeaderToolBar")), Qt::BottomToolBarArea);
    EXPECT_EQ(form.Settings().ToolBarAlign(TToolBarId::LocalSys), 4);
    const TWindowOptions& options = form.Options();
    EXPECT_EQ(std::tuple(options.iMaxLog, options.iMaxFileLog, form.Settings().PanelRUHeight(), options.bCompareTimeStamp,
                         options.bMirrorPreview, options.iTransferConnections),
              std::tuple(500, 500, 80, true, false, 8));
    EXPECT_TRUE(form.Action("aTypeASCII")->isChecked());
    EXPECT_EQ(form.findChild<QComboBox*>("ProfileNameBox")->currentText(), "myhost");
    // The initial directory of the settings wins over the argument.
    EXPECT_EQ(form.Settings().LocalDirectory(), QDir(QString::fromStdString(initial.Path())).canonicalPath());
    // The boxes are sorted, whatever the files' order.
    auto* localMask = form.findChild<QComboBox*>("LocalMaskBox");
    ASSERT_EQ(localMask->count(), 2);
    EXPECT_EQ(localMask->itemText(0), "*.c");
    EXPECT_EQ(form.findChild<QComboBox*>("LocalDirBox")->itemText(0), "/tmp/");
    CloseWindow();
    EXPECT_EQ(IniValue("CURRENT", "iMaxLog"), "abc");
    EXPECT_EQ(IniValue("DEFAULT", "bReport"), "1");
}
