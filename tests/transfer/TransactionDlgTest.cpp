#include "support/QStringPrinter.h"
#include "transfer/CopyAnimation.h"
#include "transfer/TransactionDlg.h"

#include <QApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class TransactionDlgTest : public ::testing::Test {
protected:
    TransactionDlgTest() : dialog_(&owner_, [this] { ++abortClicks_; }) { owner_.setGeometry(200, 150, 800, 600); }
    template <class T = QWidget>
    T* Control(const char* name)
    {
        T* control = dialog_.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(control, nullptr) << name;
        return control;
    }

    QWidget owner_;
    int abortClicks_ = 0;
    TTransactionDlg dialog_;
};

}  // namespace

TEST_F(TransactionDlgTest, OpensCentredWithTheFocusOnCloseWhichLikeEscOnlyHidesItAndAbortRequests)
{
    dialog_.show();
    dialog_.activateWindow();
    QApplication::processEvents();
    EXPECT_LE((dialog_.geometry().center() - owner_.geometry().center()).manhattanLength(), 8);
    EXPECT_EQ(dialog_.focusWidget(), Control("CloseBtn"));

    Control<QPushButton>("AbortBtn")->click();
    EXPECT_EQ(abortClicks_, 1);
    EXPECT_TRUE(dialog_.isVisible());

    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(dialog_.focusWidget(), &esc);
    EXPECT_TRUE(dialog_.isHidden());
    EXPECT_TRUE(dialog_.ShownOnce());
    dialog_.show();
    Control<QPushButton>("CloseBtn")->click();
    EXPECT_TRUE(dialog_.isHidden());
    EXPECT_EQ(abortClicks_, 1);
}

// The bar counts bytes while they fit its int range, and moves only by a whole pixel from
// where it stands, so that a fast transfer does not repaint it for every report; its ends
// always show.
TEST_F(TransactionDlgTest, TheBarFollowsByteCountsBeyondItsIntRangeByWholePixels)
{
    const QProgressBar& bar = *Control<QProgressBar>("ProgressBar1");
    constexpr std::int64_t GiB = 1024LL * 1024 * 1024;
    dialog_.SetBarMaximum(5 * GiB);
    dialog_.SetBarPosition(5 * GiB / 2);
    EXPECT_NEAR(double(bar.value()) / bar.maximum(), 0.5, 1e-6);
    dialog_.SetBarPosition(5 * GiB);
    EXPECT_EQ(bar.value(), bar.maximum());

    const std::int64_t maximum = 1000 * std::int64_t(bar.width());
    dialog_.SetBarMaximum(maximum);
    dialog_.SetBarPosition(0);
    const std::pair<std::int64_t, int> positions[] = {
        {999, 0}, {1000, 1000}, {1500, 1000}, {maximum - 1, int(maximum - 1)}, {maximum, int(maximum)}, {0, 0}};
    for (const auto& [position, shown] : positions) {
        dialog_.SetBarPosition(position);
        EXPECT_EQ(bar.value(), shown) << position;
    }
}

TEST_F(TransactionDlgTest, ShowsTheLastByteLineOfABurstAndAnimatesOnlyWhileShown)
{
    dialog_.SetTexts(QStringLiteral("Binary モードでダウンロード中..."), QStringLiteral("a.zip"), QString());
    dialog_.SetBytesText(QStringLiteral("5 of 20 bytes received; Download Speed: ?"));
    dialog_.SetBytesText(QStringLiteral("10 of 20 bytes received; Download Speed: ?"));
    QApplication::processEvents();
    EXPECT_EQ(Control<QLabel>("lbStatus")->text(), QStringLiteral("Binary モードでダウンロード中..."));
    EXPECT_EQ(Control<QLabel>("lbFile")->text(), QStringLiteral("a.zip"));
    EXPECT_EQ(Control<QLabel>("lbByte")->text(), QStringLiteral("10 of 20 bytes received; Download Speed: ?"));

    auto* animation = Control<TCopyAnimation>("Animate1");
    EXPECT_FALSE(animation->Running());
    dialog_.show();
    const int first = animation->Frame();
    QEventLoop loop;
    QTimer::singleShot(200, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_TRUE(animation->Running());
    EXPECT_NE(animation->Frame(), first);
    dialog_.hide();
    EXPECT_FALSE(animation->Running());
}
