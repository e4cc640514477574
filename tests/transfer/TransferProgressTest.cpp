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

// A closed window may be shown again by the command's next file, so it goes only at idle. The
// abort command itself is the window's test (FileTransfersTest).
TEST_F(TransferProgressTest, EveryReportIsLoggedAndShownTheEndResetsTheStateTheAbortButtonAbortsAndAClosedWindowGoesAtIdle)
{
    progress_.UpdateProgressWindow(QStringLiteral("x"), QStringLiteral("y"), QString(), 5);  // no window: nothing to set
    progress_.CreateProgressWindow();
    const QPointer<TTransactionDlg> window = state_.ProgressWindow;
    progress_.DestroyHiddenProgressWindow();
    EXPECT_EQ(state_.ProgressWindow, window.data());  // not shown yet, so it stays
    progress_.ShowProgressWindow();
    state_.ExpectedSize = 40960;  // from the SIZE reply: a download announces no size
    // The speed counts from the engine's times, however late the window handles the reports.
    const auto begun = std::chrono::steady_clock::now() - std::chrono::hours(1);
    progress_.IdFTP1WorkBegin(wkReceive, 0, begun);
    for (int seconds : {1, 2, 4})
        progress_.IdFTP1Work(wkReceive, seconds * 10240, begun + std::chrono::seconds(seconds));
    ASSERT_EQ(log_.size(), 3);
    QApplication::processEvents();
    EXPECT_EQ(log_[1], QStringLiteral("20480 of 40960 bytes received; Download Speed: 7.50 KB/s; 残り 0分2秒"));
    EXPECT_EQ(log_[2], QStringLiteral("40960 of 40960 bytes received; Download Speed: 8.75 KB/s; 残り 0分0秒"));
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
    progress_.IdFTP1WorkBegin(wkSend, 5 * GiB, std::chrono::steady_clock::now());
    progress_.IdFTP1Work(wkSend, 3 * GiB, std::chrono::steady_clock::now());
    EXPECT_NEAR(double(bar.value()) / bar.maximum(), 0.6, 1e-6);
    progress_.IdFTP1WorkEnd(wkSend);

    events_.clear();
    Control<QPushButton>("CloseBtn").click();
    EXPECT_TRUE(events_.isEmpty());  // closing is not aborting
    progress_.ShowProgressWindow();
    Control<QPushButton>("AbortBtn").click();
    EXPECT_EQ(events_, QStringList{QStringLiteral("abort")});
    progress_.ShowProgressWindow();
    EXPECT_TRUE(window->isVisible());
    Control<QPushButton>("CloseBtn").click();
    progress_.DestroyHiddenProgressWindow();
    EXPECT_EQ(state_.ProgressWindow, nullptr);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
}

