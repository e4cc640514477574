#include "MainFormFixture.h"

#include "app/PaintThrottle.h"

#include <QApplication>
#include <QWidget>

#include <algorithm>
#include <functional>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// A window that records its paints, which of its states each showed, and when it last got
// an update request through.
class TPaintedWindow : public QWidget {
public:
    struct TPaint {
        Clock::time_point at;
        int state;
    };

    int state = 0;
    std::vector<TPaint> paints;
    Clock::time_point lastRequest{};

    // The next state, as one step of a walk changes what the window shows.
    void Step()
    {
        ++state;
        update();
        QApplication::processEvents();
    }

protected:
    bool event(QEvent* event) override
    {
        if (event->type() == QEvent::UpdateRequest)
            lastRequest = Clock::now();
        return QWidget::event(event);
    }
    void paintEvent(QPaintEvent*) override { paints.push_back({Clock::now(), state}); }
};

}  // namespace

// Paints are counted against the time they took, not against a timer, so a slow machine only
// makes the run longer.
TEST_F(MainFormTest, APaintHeldBackArrivesWhenItsIntervalIsOverAndOnlyWhileThrottling)
{
    constexpr std::chrono::milliseconds interval(200);
    // Runs the event loop until the condition holds, for at most far longer than it should take.
    const auto pumpUntil = [interval](const std::function<bool()>& condition) {
        for (const auto end = Clock::now() + 50 * interval; !condition() && Clock::now() < end;)
            Pump(10);
        return condition();
    };
    bool throttling = true;
    TPaintedWindow window;
    TPaintThrottle throttle([&throttling] { return throttling; }, &window, interval);
    window.resize(50, 50);
    window.show();
    // Quiet: for an interval neither a paint nor an update request let through to the window.
    ASSERT_TRUE(pumpUntil([&window, interval] {
        return !window.paints.empty() &&
               Clock::now() - std::max(window.lastRequest, window.paints.back().at) >= interval;
    }));

    // The first step after a quiet spell is painted at once.
    const auto start = Clock::now();
    const std::size_t first = window.paints.size();
    window.Step();
    ASSERT_EQ(window.paints.size(), first + 1);

    // Steps for a few intervals, ending on one that is held back. Only a step that follows the
    // last paint by a whole interval is painted at once.
    bool held = false;
    for (int paintedInARow = 0; !(held && Clock::now() - start >= 3 * interval);) {
        ASSERT_LT(paintedInARow, 100) << "no step is held back";
        const std::size_t before = window.paints.size();
        window.Step();
        held = window.paints.size() == before;
        paintedInARow = held ? 0 : paintedInARow + 1;
    }
    // The last state is painted once its interval is over.
    ASSERT_TRUE(pumpUntil([&window] { return window.paints.back().state == window.state; }));
    // At most one paint per interval, less the timer's margin; a paint delayed by a busy machine
    // only lengthens the time the paints are counted against.
    const std::size_t gaps = window.paints.size() - first - 1;
    EXPECT_LE(gaps, std::size_t((window.paints.back().at - start) / (interval * 3 / 4)));

    throttling = false;
    const std::size_t unthrottled = window.paints.size();
    window.Step();
    window.Step();
    EXPECT_EQ(window.paints.size(), unthrottled + 2);
}
