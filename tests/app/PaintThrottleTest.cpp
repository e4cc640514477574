#include "app/PaintThrottle.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

class TCountingWindow : public QWidget {
public:
    int paints = 0;

protected:
    void paintEvent(QPaintEvent*) override { ++paints; }
};

void Pump(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

}  // namespace

TEST(PaintThrottleTest, APaintHeldBackArrivesWhenItsIntervalIsOverAndOnlyWhileThrottling)
{
    // Long enough that a loaded machine does not let the interval pass between two updates.
    constexpr std::chrono::milliseconds interval(400);
    bool throttling = true;
    TCountingWindow window;
    TPaintThrottle throttle([&throttling] { return throttling; }, &window, interval);
    window.resize(50, 50);
    window.show();
    Pump(int(interval.count()) + 50);
    const int shown = window.paints;
    ASSERT_GT(shown, 0);

    // The first update after a quiet spell paints at once; the next ones wait for the
    // interval and then come as one.
    window.update();
    QApplication::processEvents();
    EXPECT_EQ(window.paints, shown + 1);
    window.update();
    QApplication::processEvents();
    window.update();
    QApplication::processEvents();
    EXPECT_EQ(window.paints, shown + 1);
    Pump(int(interval.count()) * 2);
    EXPECT_EQ(window.paints, shown + 2);

    throttling = false;
    window.update();
    QApplication::processEvents();
    window.update();
    QApplication::processEvents();
    EXPECT_EQ(window.paints, shown + 4);
}
