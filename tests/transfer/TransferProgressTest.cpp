#include "support/QStringPrinter.h"
#include "transfer/TransactionDlg.h"
#include "transfer/TransferProgress.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <gtest/gtest.h>

#include <chrono>

namespace {

constexpr std::int64_t GiB = 1024LL * 1024 * 1024;

// The handlers with their callbacks recorded: log lines, and status panel texts, busy-state
// exits and engine aborts in the order they happened.
class TransferProgressTest : public ::testing::Test {
protected:
    TransferProgressTest()
        : progress_({state_, [this] { events_ << QStringLiteral("abort"); }, owner_,
                     [this](const QString& line) { log_ << line; },
                     [this](int panel, const QString& text) { events_ << QStringLiteral("panel %1: %2").arg(panel).arg(text); },
                     [this] { events_ << QStringLiteral("leave busy state"); }})
    {
    }
    template <class T>
    T* Control(const char* name)
    {
        return state_.ProgressWindow ? state_.ProgressWindow->findChild<T*>(QString::fromLatin1(name)) : nullptr;
    }
    static void RunDeferredDeletes() { QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    QWidget owner_;
    TTransferState state_;
    QStringList log_;
    QStringList events_;
    TTransferProgress progress_;
};

}  // namespace

TEST_F(TransferProgressTest, EveryReportWritesOneLogLineWhichTheWindowShows)
{
    progress_.CreateProgressWindow();
    progress_.ShowProgressWindow();
    state_.ExpectedSize = 30000;  // from the SIZE reply: a download announces no size
    progress_.IdFTP1WorkBegin(wkReceive, 0);
    for (std::int64_t done : {8196, 16392, 24588, 30000})
        progress_.IdFTP1Work(wkReceive, done);

    ASSERT_EQ(log_.size(), 4);
    QApplication::processEvents();
    EXPECT_TRUE(log_.last().startsWith(QStringLiteral("30000 of 30000 bytes received; Download Speed: "))) << log_.last().toStdString();
    EXPECT_EQ(Control<QLabel>("lbByte")->text(), log_.last());
    EXPECT_EQ(Control<QProgressBar>("ProgressBar1")->maximum(), 30000);
    EXPECT_EQ(Control<QProgressBar>("ProgressBar1")->value(), 30000);
    EXPECT_TRUE(state_.InTransfer);
    EXPECT_TRUE(events_.isEmpty());
}

TEST_F(TransferProgressTest, TheEndMarksTheTransferCompleteAndLeavesTheBusyState)
{
    progress_.CreateProgressWindow();
    progress_.IdFTP1WorkBegin(wkSend, 5000);
    progress_.IdFTP1Work(wkSend, 5000);
    state_.TransferSpeed = 12;  // as a slow report would leave it
    progress_.IdFTP1WorkEnd(wkSend);

    EXPECT_EQ(events_, QStringList({QStringLiteral("panel 3: Transfer complete."), QStringLiteral("leave busy state")}));
    EXPECT_TRUE(state_.TransferCompleted);
    EXPECT_FALSE(state_.InTransfer);
    EXPECT_EQ(state_.ExpectedSize, 0);
    EXPECT_EQ(state_.TransferSpeed, 0);
    EXPECT_EQ(Control<QProgressBar>("ProgressBar1")->value(), 0);
}

TEST_F(TransferProgressTest, ASizeAnnouncedByTheEngineWinsOverTheSizeReply)
{
    progress_.CreateProgressWindow();
    state_.ExpectedSize = 123;
    progress_.IdFTP1WorkBegin(wkSend, 4567);
    EXPECT_EQ(state_.ExpectedSize, 4567);
    EXPECT_EQ(Control<QProgressBar>("ProgressBar1")->maximum(), 4567);

    // A listing announces nothing and had no SIZE: the bar keeps its range.
    progress_.IdFTP1WorkEnd(wkSend);
    progress_.IdFTP1WorkBegin(wkReceive, 0);
    EXPECT_EQ(state_.ExpectedSize, 0);
    EXPECT_EQ(Control<QProgressBar>("ProgressBar1")->maximum(), 4567);
}

TEST_F(TransferProgressTest, AReportInTheStartsMillisecondShowsAQuestionMark)
{
    const auto before = std::chrono::steady_clock::now();
    progress_.IdFTP1WorkBegin(wkSend, 100000);
    progress_.IdFTP1Work(wkSend, 8196);
    if (std::chrono::steady_clock::now() - before >= std::chrono::milliseconds(1))
        GTEST_SKIP() << "the machine took a millisecond between two calls";
    EXPECT_EQ(state_.TransferSpeed, 0);
    EXPECT_EQ(log_, QStringList({QStringLiteral("8196 of 100000 bytes sent; Upload Speed: ?")}));
}

TEST_F(TransferProgressTest, CountsBeyondTwoGiBReachTheLineAndTheBar)
{
    progress_.CreateProgressWindow();
    progress_.IdFTP1WorkBegin(wkSend, 5 * GiB);
    progress_.IdFTP1Work(wkSend, 3 * GiB);
    ASSERT_EQ(log_.size(), 1);
    EXPECT_TRUE(log_[0].startsWith(QStringLiteral("3221225472 of 5368709120 bytes sent; Upload Speed: "))) << log_[0].toStdString();
    const QProgressBar* bar = Control<QProgressBar>("ProgressBar1");
    EXPECT_NEAR(static_cast<double>(bar->value()) / bar->maximum(), 0.6, 1e-6);
}

TEST_F(TransferProgressTest, OneAbortRequestAbortsOneDataTransfer)
{
    progress_.IdFTP1WorkBegin(wkReceive, 0);
    progress_.aAbortExecute();
    progress_.IdFTP1Work(wkReceive, 100);
    progress_.IdFTP1Work(wkReceive, 200);
    EXPECT_EQ(events_, QStringList({QStringLiteral("abort")}));
    EXPECT_FALSE(state_.AbortRequested);
    EXPECT_EQ(log_.size(), 2);
}

TEST_F(TransferProgressTest, ARequestBeforeTheDataFlowsIsClearedWhenItBegins)
{
    progress_.aAbortExecute();
    // Meanwhile the message pump asks: no data flows, so the request waits.
    EXPECT_FALSE(progress_.TakeAbortRequestWhileDataFlows());
    EXPECT_TRUE(state_.AbortRequested);
    progress_.IdFTP1WorkBegin(wkSend, 1000);
    progress_.IdFTP1Work(wkSend, 1000);
    EXPECT_FALSE(state_.AbortRequested);
    EXPECT_FALSE(events_.contains(QStringLiteral("abort")));
}

TEST_F(TransferProgressTest, ThePumpTakesARequestWhileDataFlowsSoNoReportAbortsAgain)
{
    progress_.IdFTP1WorkBegin(wkReceive, 0);
    progress_.CreateProgressWindow();
    progress_.ShowProgressWindow();
    Control<QPushButton>("AbortBtn")->click();
    EXPECT_TRUE(state_.AbortRequested);
    EXPECT_TRUE(progress_.TakeAbortRequestWhileDataFlows());
    EXPECT_FALSE(progress_.TakeAbortRequestWhileDataFlows());
    progress_.IdFTP1Work(wkReceive, 4096);
    EXPECT_FALSE(events_.contains(QStringLiteral("abort")));
}

TEST_F(TransferProgressTest, AClosedWindowIsHiddenAndGoesAtIdleOneNotShownYetStays)
{
    progress_.CreateProgressWindow();
    const QPointer<TTransactionDlg> window = state_.ProgressWindow;
    progress_.CreateProgressWindow();
    EXPECT_EQ(state_.ProgressWindow, window.data());
    progress_.DestroyHiddenProgressWindow();
    EXPECT_EQ(state_.ProgressWindow, window.data());

    progress_.ShowProgressWindow();
    EXPECT_TRUE(window->isVisible());
    Control<QPushButton>("CloseBtn")->click();
    EXPECT_TRUE(window->isHidden());
    // Until idle the command can show it again before its next file.
    progress_.ShowProgressWindow();
    EXPECT_TRUE(window->isVisible());
    Control<QPushButton>("CloseBtn")->click();

    progress_.DestroyHiddenProgressWindow();
    EXPECT_EQ(state_.ProgressWindow, nullptr);
    RunDeferredDeletes();
    EXPECT_TRUE(window.isNull());
}

TEST_F(TransferProgressTest, UpdatingWithoutAWindowStillPumpsAndDestroyingTwiceIsHarmless)
{
    progress_.UpdateProgressWindow(QStringLiteral("x"), QStringLiteral("y"), QString(), 5);
    progress_.CreateProgressWindow();
    progress_.UpdateProgressWindow(QStringLiteral("ASCII モードでアップロード中..."), QStringLiteral("a.txt"), QString(), 0);
    EXPECT_EQ(Control<QLabel>("lbStatus")->text(), QStringLiteral("ASCII モードでアップロード中..."));
    EXPECT_EQ(Control<QLabel>("lbFile")->text(), QStringLiteral("a.txt"));
    progress_.DestroyProgressWindow();
    progress_.DestroyProgressWindow();
    EXPECT_EQ(state_.ProgressWindow, nullptr);
}
