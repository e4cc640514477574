#include "MainFormFixture.h"

#include "app/PaintThrottle.h"

#include <QApplication>
#include <QWidget>

namespace {

class TCountingWindow : public QWidget {
public:
    int paints = 0;

protected:
    void paintEvent(QPaintEvent*) override { ++paints; }
};

}  // namespace

TEST_F(MainFormTest, APaintHeldBackArrivesWhenItsIntervalIsOverAndOnlyWhileThrottling)
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
    const auto update = [&window](int times) {
        for (int i = 0; i < times; ++i) {
            window.update();
            QApplication::processEvents();
        }
    };

    // The first update after a quiet spell paints at once; the next ones wait for the
    // interval and then come as one.
    update(3);
    EXPECT_EQ(window.paints, shown + 1);
    Pump(int(interval.count()) * 2);
    EXPECT_EQ(window.paints, shown + 2);

    throttling = false;
    update(2);
    EXPECT_EQ(window.paints, shown + 4);
}
