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

constexpr std::int64_t GiB = 1024LL * 1024 * 1024;

void Pump(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

class TransactionDlgTest : public ::testing::Test {
protected:
    TransactionDlgTest() : dialog_(&owner_, [this] { ++abortClicks_; })
    {
        owner_.setGeometry(200, 150, 800, 600);
    }
    template <class T = QWidget>
    T* Control(const char* name)
    {
        T* control = dialog_.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
    double BarFraction()
    {
        const QProgressBar* bar = Control<QProgressBar>("ProgressBar1");
        return static_cast<double>(bar->value()) / bar->maximum();
    }

    QWidget owner_;
    int abortClicks_ = 0;
    TTransactionDlg dialog_;
};

}  // namespace

TEST_F(TransactionDlgTest, OpensWithItsCaptionsAndTheWaitingTexts)
{
    EXPECT_EQ(dialog_.windowTitle(), QStringLiteral("Marlux 転送状況..."));
    EXPECT_EQ(dialog_.size(), QSize(494, 167));
    EXPECT_FALSE(dialog_.isModal());
    EXPECT_EQ(dialog_.parentWidget(), &owner_);
    const Qt::WindowFlags flags = dialog_.windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowSystemMenuHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowContextHelpButtonHint));

    const std::pair<const char*, QString> labels[] = {
        {"Label4", QStringLiteral("動作：")},
        {"lbStatus", QStringLiteral("Waiting for Reply ...")},
        {"Label1", QStringLiteral("ファイル：")},
        {"lbFile", QStringLiteral("Searching for Files ...")},
        {"Label2", QStringLiteral("状況：")},
        {"lbByte", QString()},
    };
    for (const auto& [name, text] : labels) {
        const QLabel* label = Control<QLabel>(name);
        EXPECT_EQ(label ? label->text() : QStringLiteral("<missing>"), text) << name;
    }
    EXPECT_EQ(Control<QPushButton>("AbortBtn")->text(), QStringLiteral("中止(&S)"));
    EXPECT_FALSE(Control<QPushButton>("AbortBtn")->icon().isNull());
    EXPECT_EQ(Control<QPushButton>("CloseBtn")->text(), QStringLiteral("閉じる(&X)"));
    const QProgressBar* bar = Control<QProgressBar>("ProgressBar1");
    EXPECT_EQ(bar->minimum(), 0);
    EXPECT_EQ(bar->maximum(), 100);
    const QWidget* animation = Control("Animate1");
    EXPECT_EQ(animation->size(), QSize(272, 60));
    EXPECT_LT(animation->y(), Control("lbStatus")->y());
}

TEST_F(TransactionDlgTest, IsCentredOnItsOwner)
{
    dialog_.show();
    EXPECT_LE((dialog_.geometry().center() - owner_.geometry().center()).manhattanLength(), 8);
}

TEST_F(TransactionDlgTest, OpensWithTheFocusOnCloseAndEscOnlyHidesIt)
{
    dialog_.show();
    dialog_.activateWindow();
    QApplication::processEvents();
    EXPECT_EQ(dialog_.focusWidget(), Control("CloseBtn"));

    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(dialog_.focusWidget(), &esc);
    EXPECT_TRUE(dialog_.isHidden());
    EXPECT_TRUE(dialog_.ShownOnce());

    dialog_.show();
    Control<QPushButton>("CloseBtn")->click();
    EXPECT_TRUE(dialog_.isHidden());
    EXPECT_EQ(abortClicks_, 0);
}

TEST_F(TransactionDlgTest, AbortButtonRunsTheAbortRequest)
{
    dialog_.show();
    Control<QPushButton>("AbortBtn")->click();
    EXPECT_EQ(abortClicks_, 1);
    EXPECT_TRUE(dialog_.isVisible());
}

TEST_F(TransactionDlgTest, TheBarFollowsByteCountsBeyondItsIntRange)
{
    dialog_.SetBarMaximum(5 * GiB);
    dialog_.SetBarPosition(5 * GiB / 2);
    EXPECT_NEAR(BarFraction(), 0.5, 1e-6);
    dialog_.SetBarPosition(5 * GiB);
    EXPECT_DOUBLE_EQ(BarFraction(), 1.0);

    // A small file after a large one works in bytes again.
    dialog_.SetBarMaximum(1000);
    dialog_.SetBarPosition(250);
    EXPECT_EQ(Control<QProgressBar>("ProgressBar1")->value(), 250);
    dialog_.SetBarPosition(0);
    EXPECT_EQ(Control<QProgressBar>("ProgressBar1")->value(), 0);
}

TEST_F(TransactionDlgTest, TheBarMovesByWholePixelsAndAlwaysShowsTheEnds)
{
    const QProgressBar* bar = Control<QProgressBar>("ProgressBar1");
    const std::int64_t maximum = 1000 * std::int64_t(bar->width());
    dialog_.SetBarMaximum(maximum);
    dialog_.SetBarPosition(999);
    EXPECT_EQ(bar->value(), 0);
    dialog_.SetBarPosition(1000);
    EXPECT_EQ(bar->value(), 1000);
    dialog_.SetBarPosition(1500);
    EXPECT_EQ(bar->value(), 1000);
    dialog_.SetBarPosition(maximum - 1);
    EXPECT_EQ(bar->value(), maximum - 1);
    dialog_.SetBarPosition(maximum);
    EXPECT_EQ(bar->value(), maximum);
    dialog_.SetBarPosition(0);
    EXPECT_EQ(bar->value(), 0);
}

TEST_F(TransactionDlgTest, SetsTheThreeTextsAndShowsTheLastByteLineOfABurst)
{
    dialog_.SetTexts(QStringLiteral("Binary モードでダウンロード中..."), QStringLiteral("a.zip"), QString());
    dialog_.SetBytesText(QStringLiteral("5 of 20 bytes received; Download Speed: ?"));
    dialog_.SetBytesText(QStringLiteral("10 of 20 bytes received; Download Speed: ?"));
    QApplication::processEvents();
    EXPECT_EQ(Control<QLabel>("lbStatus")->text(), QStringLiteral("Binary モードでダウンロード中..."));
    EXPECT_EQ(Control<QLabel>("lbFile")->text(), QStringLiteral("a.zip"));
    EXPECT_EQ(Control<QLabel>("lbByte")->text(), QStringLiteral("10 of 20 bytes received; Download Speed: ?"));
}

TEST_F(TransactionDlgTest, TheAnimationRunsOnlyWhileTheWindowIsShown)
{
    auto* animation = Control<TCopyAnimation>("Animate1");
    EXPECT_FALSE(animation->Running());
    dialog_.show();
    const int first = animation->Frame();
    Pump(200);
    EXPECT_TRUE(animation->Running());
    EXPECT_NE(animation->Frame(), first);
    dialog_.hide();
    EXPECT_FALSE(animation->Running());
}
