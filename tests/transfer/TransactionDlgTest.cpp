#include "transfer/TransactionDlg.h"

#include <QApplication>
#include <QKeyEvent>
#include <QProgressBar>
#include <QPushButton>
#include <gtest/gtest.h>

// Abort asks the command to stop; Close and Esc only hide the window, so the transfer goes on.
TEST(TransactionDlgTest, OnlyAbortRequestsAnAbortAndTheBarFollowsCountsBeyondItsIntRange)
{
    QWidget owner;
    int abortClicks = 0;
    TTransactionDlg dialog(&owner, [&abortClicks] { ++abortClicks; });
    dialog.show();
    dialog.findChild<QPushButton*>(QStringLiteral("AbortBtn"))->click();
    EXPECT_EQ(abortClicks, 1);
    EXPECT_TRUE(dialog.isVisible());

    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(dialog.focusWidget(), &esc);
    EXPECT_TRUE(dialog.isHidden());
    dialog.show();
    dialog.findChild<QPushButton*>(QStringLiteral("CloseBtn"))->click();
    EXPECT_TRUE(dialog.isHidden());
    EXPECT_EQ(abortClicks, 1);

    const QProgressBar& bar = *dialog.findChild<QProgressBar*>(QStringLiteral("ProgressBar1"));
    constexpr std::int64_t GiB = 1024LL * 1024 * 1024;
    dialog.SetBarMaximum(5 * GiB);
    dialog.SetBarPosition(5 * GiB / 2);
    EXPECT_NEAR(double(bar.value()) / bar.maximum(), 0.5, 1e-6);
    dialog.SetBarPosition(5 * GiB);
    EXPECT_EQ(bar.value(), bar.maximum());
}
