#include "MainFormFixture.h"

#include "log/Editor.h"
#include "log/FileOperationLog.h"
#include "log/LogViewer.h"
#include "panes/FileViewStack.h"

#include <QAction>
#include <QApplication>
#include <QMenuBar>
#include <QTest>
#include <QGroupBox>

#include <filesystem>
#include <stdexcept>

// The busy state is not nested: one leave, or an uncaught error, ends it. Idle recomputes the
// action states.
TEST_F(MainFormTest, BusyStateDisablesBothPanesUntilLeftOrAnUncaughtErrorIsLogged)
{
    TMainForm& form = Open();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    form.EnterBusyState();
    EXPECT_TRUE(form.BusyFlag());
    EXPECT_FALSE(form.findChild<QGroupBox*>("LocalSysGroupBox")->isEnabled());
    form.EnterBusyState();
    form.LeaveBusyState();
    EXPECT_FALSE(form.BusyFlag());
    EXPECT_TRUE(form.findChild<QGroupBox*>("LocalSysGroupBox")->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // An uncaught error is logged on one line, without a message box.
    form.Actions().SetHandler("aLocalBookmark", [] { throw std::runtime_error("no bookmarks\nhere"); });
    form.EnterBusyState();
    form.Action("aLocalBookmark")->trigger();
    EXPECT_FALSE(form.BusyFlag());
    EXPECT_TRUE(dialogs_->Shown().isEmpty());
    EXPECT_EQ(form.LogPane()->Line(form.LogPane()->LineCount() - 1), "no bookmarks here");
    form.Action("aUploadAll")->setEnabled(true);
    Pump(50);
    EXPECT_FALSE(form.Action("aUploadAll")->isEnabled());  // not connected
}

// The operation log reaches its file before a viewer reads it, and a failed write is reported.
TEST_F(MainFormTest, AViewerThatFailsToStartIsReportedAndTheOperationLogIsWrittenOrReported)
{
    TMainForm& form = Open();
    form.Options().asApplication = QString::fromStdString(home_.File("no-such-viewer"));
    form.Action("aCurrentSessionLog1")->trigger();
    EXPECT_EQ(dialogs_->Shown(), QStringList{QString::fromUtf16(LogViewerFailedMessage)});

    form.Options().asApplication = QStringLiteral("/bin/true");
    WriteHomeFile("FileOperationLog.txt", "entry\r\n");
    // A line that followed the last write closely is in the file before the viewer reads it.
    form.FileOperationLog().AppendFileOperationLog("Delete", "first", {}, {});
    form.FileOperationLog().AppendFileOperationLog("Delete", "second", {}, {});
    form.Action("aUploadDownloadLog1")->trigger();
    EXPECT_EQ(dialogs_->Shown().size(), 1);
    EXPECT_NE(TempDir::ReadFile(HomeFile("FileOperationLog.txt")).find(" Delete second  \r\n"), std::string::npos);

    // Lines that cannot be written when the window goes idle are reported in the session log.
    form.FileOperationLog().AppendFileOperationLog("Delete", "third", {}, {});
    form.FileOperationLog().AppendFileOperationLog("Delete", "fourth", {}, {});
    std::filesystem::remove(HomeFile("FileOperationLog.txt"));
    std::filesystem::create_directory(HomeFile("FileOperationLog.txt"));
    Pump(1);
    const QString last = form.LogPane()->Line(form.LogPane()->LineCount() - 1);
    EXPECT_TRUE(last.contains(QStringLiteral("FileOperationLog.txt に書き込めません"))) << last.toStdString();
}

// The keys of the main menu's commands run them wherever the focus is, the menu bar included
// (it keeps the focus after Esc closes a menu), and the menus show them.
TEST_F(MainFormTest, AMenuCommandsKeyRunsItOnceWhereverTheFocusIsAndItsItemsShowIt)
{
    TMainForm& form = OpenQuiet();
    form.show();
    form.activateWindow();
    int aborts = 0;
    QObject::connect(form.Action("aAbort"), &QAction::triggered, [&] { ++aborts; });
    for (QWidget* focus : std::initializer_list<QWidget*>{&LocalFiles(), form.menuBar()}) {
        focus->setFocus();
        QApplication::processEvents();
        ASSERT_EQ(QApplication::focusWidget(), focus->focusProxy() ? focus->focusProxy() : focus);
        const int before = aborts;
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Q, Qt::ControlModifier);
        EXPECT_EQ(aborts, before + 1) << focus->metaObject()->className();
    }
    for (const char* item : {"Abort", "Upload", "Download0"}) {
        QAction* shown = form.findChild<QAction*>(QString::fromLatin1(item));
        EXPECT_TRUE(shown->text().endsWith(u'\t' + form.Action(QStringLiteral("a") + QString::fromLatin1(item).remove(u'0'))
                                                        ->shortcut().toString(QKeySequence::NativeText)))
            << shown->text().toStdString();
    }
}
