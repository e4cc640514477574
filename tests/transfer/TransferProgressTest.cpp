#include "support/QStringPrinter.h"
#include "transfer/TransactionDlg.h"
#include "transfer/TransferProgress.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <gtest/gtest.h>

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
    QProgressBar& Bar() { return *Control<QProgressBar>("ProgressBar1"); }

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
    EXPECT_EQ(Bar().maximum(), 30000);
    EXPECT_EQ(Bar().value(), 30000);
    EXPECT_TRUE(state_.InTransfer);
    EXPECT_TRUE(events_.isEmpty());

    state_.TransferSpeed = 12;
    progress_.IdFTP1WorkEnd(wkReceive);
    EXPECT_EQ(events_, QStringList({QStringLiteral("panel 3: Transfer complete."), QStringLiteral("leave busy state")}));
    EXPECT_TRUE(state_.TransferCompleted);
    EXPECT_FALSE(state_.InTransfer);
    EXPECT_EQ(state_.ExpectedSize, 0);
    EXPECT_EQ(state_.TransferSpeed, 0);
    EXPECT_EQ(Bar().value(), 0);
}

TEST_F(TransferProgressTest, ASizeAnnouncedByTheEngineWinsAndCountsBeyondTwoGiBReachTheLineAndTheBar)
{
    progress_.CreateProgressWindow();
    state_.ExpectedSize = 123;
    progress_.IdFTP1WorkBegin(wkSend, 5 * GiB);
    EXPECT_EQ(state_.ExpectedSize, 5 * GiB);
    progress_.IdFTP1Work(wkSend, 3 * GiB);
    ASSERT_EQ(log_.size(), 1);
    EXPECT_TRUE(log_[0].startsWith(QStringLiteral("3221225472 of 5368709120 bytes sent; Upload Speed: "))) << log_[0].toStdString();
    EXPECT_NEAR(double(Bar().value()) / Bar().maximum(), 0.6, 1e-6);

    // A listing announces nothing and had no SIZE: the bar keeps its range.
    const int range = Bar().maximum();
    progress_.IdFTP1WorkEnd(wkSend);
    progress_.IdFTP1WorkBegin(wkReceive, 0);
    EXPECT_EQ(state_.ExpectedSize, 0);
    EXPECT_EQ(Bar().maximum(), range);
}

TEST_F(TransferProgressTest, OneAbortRequestAbortsOneDataTransferAndTheFirstReportOrThePumpTakesIt)
{
    progress_.IdFTP1WorkBegin(wkReceive, 0);
    progress_.aAbortExecute();
    progress_.IdFTP1Work(wkReceive, 100);
    progress_.IdFTP1Work(wkReceive, 200);
    EXPECT_EQ(events_, QStringList({QStringLiteral("abort")}));
    EXPECT_FALSE(state_.AbortRequested);
    EXPECT_EQ(log_.size(), 2);

    // Taken by the message pump while data flows, it aborts once and no report aborts again.
    progress_.CreateProgressWindow();
    progress_.ShowProgressWindow();
    Control<QPushButton>("AbortBtn")->click();
    EXPECT_TRUE(progress_.TakeAbortRequestWhileDataFlows());
    EXPECT_FALSE(progress_.TakeAbortRequestWhileDataFlows());
    progress_.IdFTP1Work(wkReceive, 4096);
    EXPECT_EQ(events_.count(QStringLiteral("abort")), 1);
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
    EXPECT_TRUE(events_.isEmpty());
}

TEST_F(TransferProgressTest, AClosedWindowIsHiddenAndGoesAtIdleOneNotShownYetStays)
{
    progress_.UpdateProgressWindow(QStringLiteral("x"), QStringLiteral("y"), QString(), 5);  // no window: nothing to set
    progress_.CreateProgressWindow();
    const QPointer<TTransactionDlg> window = state_.ProgressWindow;
    progress_.CreateProgressWindow();
    EXPECT_EQ(state_.ProgressWindow, window.data());
    progress_.DestroyHiddenProgressWindow();
    EXPECT_EQ(state_.ProgressWindow, window.data());
    progress_.UpdateProgressWindow(QStringLiteral("ASCII モードでアップロード中..."), QStringLiteral("a.txt"), QString(), 0);
    EXPECT_EQ(Control<QLabel>("lbFile")->text(), QStringLiteral("a.txt"));

    progress_.ShowProgressWindow();
    Control<QPushButton>("CloseBtn")->click();
    EXPECT_TRUE(window->isHidden());
    // Until idle the command can show it again before its next file.
    progress_.ShowProgressWindow();
    EXPECT_TRUE(window->isVisible());
    Control<QPushButton>("CloseBtn")->click();

    progress_.DestroyHiddenProgressWindow();
    EXPECT_EQ(state_.ProgressWindow, nullptr);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
    progress_.DestroyProgressWindow();
}
