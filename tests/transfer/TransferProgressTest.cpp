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
    T& Control(const char* name)
    {
        return *state_.ProgressWindow->findChild<T*>(QString::fromLatin1(name));
    }

    QWidget owner_;
    TTransferState state_;
    QStringList log_;
    QStringList events_;
    TTransferProgress progress_;
};

}  // namespace

// A closed window may be shown again by the command's next file, so it goes only at idle.
TEST_F(TransferProgressTest, EveryReportIsLoggedAndShownTheEndResetsTheStateAndAClosedWindowGoesAtIdle)
{
    progress_.UpdateProgressWindow(QStringLiteral("x"), QStringLiteral("y"), QString(), 5);  // no window: nothing to set
    progress_.CreateProgressWindow();
    const QPointer<TTransactionDlg> window = state_.ProgressWindow;
    progress_.DestroyHiddenProgressWindow();
    EXPECT_EQ(state_.ProgressWindow, window.data());  // not shown yet, so it stays
    progress_.ShowProgressWindow();
    state_.ExpectedSize = 30000;  // from the SIZE reply: a download announces no size
    progress_.IdFTP1WorkBegin(wkReceive, 0);
    for (std::int64_t done : {8196, 16392, 30000})
        progress_.IdFTP1Work(wkReceive, done);
    ASSERT_EQ(log_.size(), 3);
    QApplication::processEvents();
    EXPECT_TRUE(log_.last().startsWith(QStringLiteral("30000 of 30000 bytes received; "))) << log_.last().toStdString();
    EXPECT_EQ(Control<QLabel>("lbByte").text(), log_.last());
    QProgressBar& bar = Control<QProgressBar>("ProgressBar1");
    EXPECT_EQ(bar.value(), bar.maximum());
    EXPECT_TRUE(progress_.DataFlowing());

    progress_.IdFTP1WorkEnd(wkReceive);
    EXPECT_EQ(events_, QStringList({QStringLiteral("panel 3: Transfer complete."), QStringLiteral("leave busy state")}));
    EXPECT_FALSE(progress_.DataFlowing());
    EXPECT_EQ(state_.ExpectedSize, 0);

    // A size announced by the engine wins, and counts beyond 2 GiB reach the bar unwrapped.
    state_.ExpectedSize = 123;
    progress_.IdFTP1WorkBegin(wkSend, 5 * GiB);
    progress_.IdFTP1Work(wkSend, 3 * GiB);
    EXPECT_NEAR(double(bar.value()) / bar.maximum(), 0.6, 1e-6);
    progress_.IdFTP1WorkEnd(wkSend);

    events_.clear();
    Control<QPushButton>("CloseBtn").click();
    EXPECT_TRUE(events_.isEmpty());  // closing is not aborting
    progress_.ShowProgressWindow();
    EXPECT_TRUE(window->isVisible());
    Control<QPushButton>("CloseBtn").click();
    progress_.DestroyHiddenProgressWindow();
    EXPECT_EQ(state_.ProgressWindow, nullptr);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
}

// The abort button and the command ask the engine to end the running transfer, each time.
TEST_F(TransferProgressTest, TheAbortButtonAndTheCommandAskTheEngineToEndTheTransfer)
{
    progress_.IdFTP1WorkBegin(wkReceive, 0);
    progress_.CreateProgressWindow();
    progress_.ShowProgressWindow();
    Control<QPushButton>("AbortBtn").click();
    EXPECT_EQ(events_.count(QStringLiteral("abort")), 1);
    progress_.IdFTP1WorkEnd(wkReceive);
    progress_.aAbortExecute();
    EXPECT_EQ(events_.count(QStringLiteral("abort")), 2);
}
