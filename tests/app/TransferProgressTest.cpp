#include "MainFormFixture.h"

#include "fixtures/FtpServer.h"
#include "log/Editor.h"
#include "support/PaneLines.h"
#include "transfer/TransactionDlg.h"
#include "transfer/TransferProgress.h"

#include <QAction>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>

#include <functional>

namespace {

// The window logged in to a real server, with the engine's transfers reporting to it.
class TransferProgressTest : public MainFormTest {
protected:
    TMainForm& OpenConnected()
    {
        TMainForm& form = Open();
        form.IdFTP1.Passive = true;
        LogIn(form, server_.Port());
        // Every report is a log line; keep enough of them to find the dialogue in between.
        form.Options().iMaxLog = 1000000;
        return form;
    }
    QStringList LogLines() const { return PaneLines(*form_->LogPane()); }

    FtpServer server_;
};

}  // namespace

TEST_F(TransferProgressTest, AbortButtonAndAbortCommandEachEndARunningDownloadWithOneAbor)
{
    constexpr std::int64_t size = 64 << 20;
    TempDir::WriteFile(server_.File("big.bin"), std::string(size, 'x'));
    TMainForm& form = OpenConnected();
    const std::function<void()> ways[] = {
        [&form] { form.Transfer().ProgressWindow->findChild<QPushButton*>(QStringLiteral("AbortBtn"))->click(); },
        [&form] { form.Action(QStringLiteral("aAbort"))->trigger(); },
    };
    qsizetype abors = 0;
    for (const auto& abort : ways) {
        form.TransferProgress().CreateProgressWindow();
        form.TransferProgress().ShowProgressWindow();
        QTimer timer;
        timer.setInterval(2);
        QObject::connect(&timer, &QTimer::timeout, [&] {
            if (form.Transfer().InTransfer) {
                timer.stop();
                abort();
            }
        });
        timer.start();
        EXPECT_ANY_THROW(form.IdFTP1.Get("big.bin", work_.File("big.bin"), true));
        EXPECT_LT(QFileInfo(QString::fromStdString(work_.File("big.bin"))).size(), size);
        EXPECT_FALSE(form.Transfer().AbortRequested);
        EXPECT_FALSE(form.Transfer().InTransfer);
        // Exactly one ABOR, and the control connection is still in step.
        EXPECT_EQ(LogLines().count(QStringLiteral("<< ABOR")), ++abors);
        EXPECT_EQ(form.IdFTP1.FileSize("big.bin"), size);
        form.TransferProgress().DestroyProgressWindow();
    }
}

// The listing's size is not known beforehand; neither an empty nor a refused listing may
// leave the window busy.
TEST_F(TransferProgressTest, AListingReportsItsBytesAndEndsTheBusyStateEmptyFullOrRefused)
{
    TMainForm& form = OpenConnected();
    for (const char* mask : {"", "a.txt", "no-such-entry"}) {
        if (mask[0] == 'a')
            TempDir::WriteFile(server_.File("a.txt"), "some text");
        form.Controls().RemoteMaskBox->setEditText(QString::fromLatin1(mask));
        form.Transfer().TransferCompleted = false;
        form.UpdateActionStates();
        form.Action(QStringLiteral("aRemoteRefresh"))->trigger();
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
