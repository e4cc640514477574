#include "MainFormFixture.h"

#include "app/HelpPage.h"
#include "log/Editor.h"
#include "log/FileOperationLog.h"
#include "log/LogViewer.h"
#include "panes/FileViewStack.h"

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QGroupBox>
#include <QMimeData>
#include <QStatusTipEvent>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

#include <filesystem>
#include <stdexcept>

namespace {

QString Canonical(const std::string& path)
{
    return QDir(QString::fromStdString(path)).canonicalPath();
}

void Drop(TMainForm& form, const QList<QUrl>& urls)
{
    QMimeData data;
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&form, &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&form, &drop);
}

}  // namespace

// The busy state is not nested: one leave, or an uncaught error, ends it.
TEST_F(MainFormTest, BusyStateDisablesBothPanesUntilLeftOrAnUncaughtErrorIsLogged)
{
    TMainForm& form = Open();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    form.EnterBusyState();
    EXPECT_TRUE(form.BusyFlag());
    EXPECT_EQ(form.StatusPanelText(3), "処理中...");
    EXPECT_FALSE(form.findChild<QGroupBox*>("LocalSysGroupBox")->isEnabled());
    EXPECT_FALSE(form.findChild<QGroupBox*>("RemoteSysGroupBox")->isEnabled());
    form.EnterBusyState();
    form.LeaveBusyState();
    EXPECT_FALSE(form.BusyFlag());
    EXPECT_TRUE(form.findChild<QGroupBox*>("LocalSysGroupBox")->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // An uncaught error is logged on one line and relists the local pane, without a message box.
    TempDir::WriteFile(work_.File("appeared.txt"), "x");
    form.SetActionHandler("aLocalBookmark", [] { throw std::runtime_error("no bookmarks\nhere"); });
    form.EnterBusyState();
    form.Action("aLocalBookmark")->trigger();
    EXPECT_FALSE(form.BusyFlag());
    EXPECT_TRUE(dialogs_->Shown().isEmpty());
    EXPECT_EQ(form.LogPane()->Line(form.LogPane()->LineCount() - 1), "no bookmarks here");
    EXPECT_TRUE(Captions(LocalFiles().Model()).contains("appeared.txt"));
}

TEST_F(MainFormTest, DroppedFilesOpenTheFolderOfTheLastOneAndAFolderItself)
{
    TempDir a, b;
    TempDir::WriteFile(a.File("f.txt"), "x");
    TempDir::WriteFile(b.File("f.txt"), "x");
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(a.File("sub"))));
    TMainForm& form = Open();
    QStringList announced;
    QObject::connect(&form, &TMainForm::LocalDirectoryChanged, [&](const QString& path) { announced.append(path); });
    Drop(form, {QUrl::fromLocalFile(QString::fromStdString(a.File("f.txt"))),
                QUrl::fromLocalFile(QString::fromStdString(b.File("f.txt")))});
    EXPECT_EQ(form.Settings().LocalDirectory(), Canonical(b.Path()));
    EXPECT_EQ(announced, QStringList{Canonical(b.Path())});
    Drop(form, {QUrl::fromLocalFile(QString::fromStdString(a.File("sub")))});
    EXPECT_EQ(form.Settings().LocalDirectory(), Canonical(a.File("sub")));
}

TEST_F(MainFormTest, TheTransferModeKeepsExactlyOneCheckedAndTheStatusBarShowsItAndTheHints)
{
    TMainForm& form = Open();
    form.Action("aTypeBinary")->trigger();
    form.Action("aTypeBinary")->trigger();  // choosing the checked one keeps it checked
    EXPECT_TRUE(form.Action("aTypeBinary")->isChecked());
    EXPECT_FALSE(form.Action("aTypeAuto")->isChecked() || form.Action("aTypeASCII")->isChecked());
    EXPECT_EQ(form.findChild<QToolButton*>("ModeBtn")->text(), "Binary");
    EXPECT_EQ(form.StatusPanelText(1), "Binary");
    // The long hint of the control under the mouse goes to panel 4.
    QWidget* dirList = form.findChild<QWidget*>("LocalDirListBox");
    QStatusTipEvent tip(dirList->statusTip());
    QApplication::sendEvent(dirList, &tip);
    EXPECT_EQ(form.StatusPanelText(4), "クリックでディレクトリ変更");
    QStatusTipEvent cleared{QString()};
    QApplication::sendEvent(dirList, &cleared);
    EXPECT_EQ(form.StatusPanelText(4), "");
}

TEST_F(MainFormTest, IdleRecomputesTheActionStates)
{
    TMainForm& form = Open();
    form.Action("aUploadAll")->setEnabled(true);
    form.Action("aLocalFileDelete")->setEnabled(true);
    Pump(50);
    // Not connected and nothing selected.
    EXPECT_FALSE(form.Action("aUploadAll")->isEnabled());
    EXPECT_FALSE(form.Action("aLocalFileDelete")->isEnabled());
}

TEST_F(MainFormTest, LogViewersThatFailOrHaveNoFileTellAndOpenTheOptions)
{
    TMainForm& form = Open();
    int options = 0;
    form.SetActionHandler("aOption", [&] { ++options; });
    form.Options().asApplication = QString::fromStdString(home_.File("no-such-viewer"));
    form.Action("aCurrentSessionLog1")->trigger();
    EXPECT_EQ(dialogs_->Shown(), QStringList{QString::fromUtf16(LogViewerFailedMessage)});
    EXPECT_EQ(options, 1);
    // The pane was saved for the viewer all the same.
    EXPECT_NE(TempDir::ReadFile(HomeFile("SessionLog.txt")).find("Marlux Version 2.1.2.0"), std::string::npos);

    form.Options().asApplication = QStringLiteral("/bin/true");
    form.Action("aUploadDownloadLog1")->trigger();  // no file-operation log yet
    EXPECT_EQ(dialogs_->Shown().size(), 2);
    EXPECT_EQ(options, 2);
    WriteHomeFile("FileOperationLog.txt", "entry\r\n");
    // A line that followed the last write closely is in the file before the viewer reads it.
    form.FileOperationLog().AppendFileOperationLog("Delete", "first", {}, {});
    form.FileOperationLog().AppendFileOperationLog("Delete", "second", {}, {});
    form.Action("aUploadDownloadLog1")->trigger();
    EXPECT_EQ(dialogs_->Shown().size(), 2);
    EXPECT_EQ(options, 2);
    EXPECT_NE(TempDir::ReadFile(HomeFile("FileOperationLog.txt")).find(" Delete second  \r\n"), std::string::npos);
}

TEST_F(MainFormTest, FileOperationLinesThatCannotBeWrittenWhenTheWindowGoesIdleAreReportedInTheSessionLog)
{
    TMainForm& form = Open();
    form.FileOperationLog().AppendFileOperationLog("Delete", "first", {}, {});
    form.FileOperationLog().AppendFileOperationLog("Delete", "second", {}, {});
    std::filesystem::remove(HomeFile("FileOperationLog.txt"));
    std::filesystem::create_directory(HomeFile("FileOperationLog.txt"));
    Pump(1);
    TEditor& log = *form.LogPane();
    EXPECT_TRUE(log.Line(log.LineCount() - 1).contains(QStringLiteral("FileOperationLog.txt に書き込めません")))
        << log.Line(log.LineCount() - 1).toStdString();
}

TEST_F(MainFormTest, AboutShowsTheVersionBoxAndANewWindowThatCannotStartIsReported)
{
    TMainForm& form = Open();
    form.Action("aAbout")->trigger();
    EXPECT_EQ(dialogs_->DialogTitles(), QStringList{"Marluxについて"});
    form.SetProgramPath(QString::fromStdString(home_.File("missing-program")));
    form.Action("aOpenNewWindow")->trigger();
    EXPECT_EQ(dialogs_->Shown(), QStringList{"新規ウインドウが開けませんでした。"});
}

TEST_F(MainFormTest, ExitHidesAndClosesTheWindowRunningTheCloseSteps)
{
    TMainForm& form = Open();
    // Run from the event loop, as the menu does: the loop must end, not run on without a window.
    QTimer::singleShot(0, &form, [&form] { form.Action("aExit")->trigger(); });
    // The guard goes with the window, so it cannot end a later test's event loop.
    QTimer::singleShot(5000, &form, [] { QCoreApplication::exit(2); });
    EXPECT_EQ(QCoreApplication::exec(), 0);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(IniValue("CURRENT", "bAuto"), "1");
    EXPECT_FALSE(TempDir::ReadFile(HomeFile("TextExt.txt")).empty());
}

TEST_F(MainFormTest, HelpPageIsWrittenNextToTheSettings)
{
    const QString path = WriteHelpPage(QString::fromStdString(home_.Path()));
    EXPECT_EQ(path.toStdString(), HomeFile("Marlux.html"));
    EXPECT_NE(TempDir::ReadFile(HomeFile("Marlux.html")).find("Marlux ヘルプ"), std::string::npos);
}
