#include "MainFormFixture.h"

#include "fixtures/FtpServer.h"
#include "log/Editor.h"
#include "transfer/TransactionDlg.h"
#include "transfer/TransferProgress.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>

#include <functional>
#include <sys/stat.h>

namespace {

constexpr std::int64_t BigFileSize = 64 << 20;

std::int64_t LocalFileSize(const std::string& path)
{
    struct stat info {};
    return stat(path.c_str(), &info) == 0 ? info.st_size : -1;
}

// The window logged in to a real server, with the engine's transfers reporting to it.
class TransferProgressTest : public MainFormTest {
protected:
    TMainForm& OpenConnected()
    {
        TMainForm& form = Open();
        AimAtLoopback(form.IdFTP1, server_.Port());
        form.IdFTP1.Passive = true;
        form.IdFTP1.ReadTimeout = 5000;
        form.IdFTP1.Connect(true, 5000);
        // Every report is a log line; keep enough of them to find the dialogue in between.
        form.Options().iMaxLog = 1000000;
        return form;
    }
    void MakeBigFile() { TempDir::WriteFile(server_.File("big.bin"), std::string(BigFileSize, 'x')); }
    // Runs action once, from the message pump, while a data transfer runs.
    void WhileDataFlows(TMainForm& form, std::function<void()> action)
    {
        auto* timer = new QTimer(form_.get());
        timer->setInterval(2);
        QObject::connect(timer, &QTimer::timeout, timer, [&form, timer, action] {
            if (!form.Transfer().InTransfer)
                return;
            timer->stop();
            action();
        });
        timer->start();
    }
    // Downloads big.bin into the working directory; false when the engine raised an error.
    bool DownloadBigFile(TMainForm& form)
    {
        try {
            form.IdFTP1.Get("big.bin", work_.File("big.bin"), true);
            return true;
        } catch (const std::exception&) {
            return false;
        }
    }
    static int LogLinesEqualTo(TMainForm& form, const QString& text)
    {
        int count = 0;
        for (int i = 0; i < form.LogPane()->LineCount(); ++i)
            count += form.LogPane()->Line(i) == text;
        return count;
    }
    static QPushButton* Button(TMainForm& form, const char* name)
    {
        return form.Transfer().ProgressWindow->findChild<QPushButton*>(QString::fromLatin1(name));
    }

    FtpServer server_;
};

}  // namespace

TEST_F(TransferProgressTest, AbortButtonAndAbortCommandEachEndARunningDownloadWithOneAbor)
{
    MakeBigFile();
    TMainForm& form = OpenConnected();
    const std::function<void()> ways[] = {
        [&form] { Button(form, "AbortBtn")->click(); },
        [&form] { form.Action(QStringLiteral("aAbort"))->trigger(); },
    };
    int aborsBefore = 0;
    for (const auto& abort : ways) {
        form.TransferProgress().CreateProgressWindow();
        form.TransferProgress().ShowProgressWindow();
        WhileDataFlows(form, abort);
        DownloadBigFile(form);
        EXPECT_LT(LocalFileSize(work_.File("big.bin")), BigFileSize);
        EXPECT_FALSE(form.Transfer().AbortRequested);
        EXPECT_FALSE(form.Transfer().InTransfer);
        // Exactly one ABOR, and the control connection is still in step.
        EXPECT_EQ(LogLinesEqualTo(form, QStringLiteral("<< ABOR")), aborsBefore + 1);
        aborsBefore = LogLinesEqualTo(form, QStringLiteral("<< ABOR"));
        EXPECT_EQ(form.IdFTP1.FileSize("big.bin"), BigFileSize);
        form.TransferProgress().DestroyProgressWindow();
    }
}

TEST_F(TransferProgressTest, AnAbortRequestedBeforeTheDataFlowsIsClearedWhenItBegins)
{
    MakeBigFile();
    TMainForm& form = OpenConnected();
    form.Action(QStringLiteral("aAbort"))->trigger();
    ASSERT_TRUE(form.Transfer().AbortRequested);
    EXPECT_TRUE(DownloadBigFile(form));
    EXPECT_EQ(LocalFileSize(work_.File("big.bin")), BigFileSize);
    EXPECT_FALSE(form.Transfer().AbortRequested);
    EXPECT_EQ(LogLinesEqualTo(form, QStringLiteral("<< ABOR")), 0);
}

TEST_F(TransferProgressTest, AWindowClosedDuringADownloadLetsItFinishAndGoesAtIdle)
{
    MakeBigFile();
    TMainForm& form = OpenConnected();
    TTransferProgress& progress = form.TransferProgress();
    progress.CreateProgressWindow();
    progress.ShowProgressWindow();
    const QPointer<TTransactionDlg> window = form.Transfer().ProgressWindow;
    WhileDataFlows(form, [&form] { Button(form, "CloseBtn")->click(); });
    EXPECT_TRUE(DownloadBigFile(form));
    EXPECT_EQ(LocalFileSize(work_.File("big.bin")), BigFileSize);
    ASSERT_FALSE(window.isNull());
    EXPECT_TRUE(window->isHidden());
    // The command's next file shows it again.
    progress.ShowProgressWindow();
    EXPECT_TRUE(window->isVisible());

    Button(form, "CloseBtn")->click();
    Pump(50);
    EXPECT_EQ(form.Transfer().ProgressWindow, nullptr);
    EXPECT_TRUE(window.isNull());
}

TEST_F(TransferProgressTest, AListingReportsItsBytesAndEndsTheBusyStateEmptyOrNot)
{
    TMainForm& form = OpenConnected();
    for (const bool empty : {true, false}) {
        if (!empty)
            TempDir::WriteFile(server_.File("a.txt"), "some text");
        form.Transfer().TransferCompleted = false;
        form.UpdateActionStates();
        form.Action(QStringLiteral("aRemoteRefresh"))->trigger();
        EXPECT_FALSE(form.BusyFlag()) << empty;
        EXPECT_TRUE(form.Controls().RemoteSysGroupBox->isEnabled()) << empty;
        EXPECT_TRUE(form.Transfer().TransferCompleted) << empty;
        EXPECT_EQ(form.StatusPanelText(3), QString()) << empty;
    }
    // The listing's size is not known beforehand.
    const QRegularExpression progressLine(QStringLiteral("^[1-9][0-9]* of 0 bytes received; Download Speed: "));
    int progressLines = 0;
    for (int i = 0; i < form.LogPane()->LineCount(); ++i)
        progressLines += progressLine.match(form.LogPane()->Line(i)).hasMatch();
    EXPECT_GE(progressLines, 1);
}

TEST_F(TransferProgressTest, ARefusedListingDoesNotLeaveThePanesDisabled)
{
    TMainForm& form = OpenConnected();
    form.Controls().RemoteMaskBox->setEditText(QStringLiteral("no-such-entry"));
    form.UpdateActionStates();
    form.Action(QStringLiteral("aRemoteRefresh"))->trigger();
    EXPECT_FALSE(form.BusyFlag());
    EXPECT_TRUE(form.Controls().RemoteSysGroupBox->isEnabled());
    EXPECT_TRUE(form.Controls().LocalSysGroupBox->isEnabled());
    EXPECT_TRUE(form.SessionConnected());
}
