#pragma once
#include <QHash>
#include <QObject>

#include <chrono>
#include <functional>

// While a long run of small steps pumps events several times per step, a window is painted at
// most once per interval: a full repaint on every pump would cost more than the steps. A paint
// held back is delivered when its interval is over, so the last state always shows.
class TPaintThrottle : public QObject {
public:
    // throttling: whether paints are held back now; interval: the least time between two
    // paints of a window while they are (five a second still show a walk moving file by file).
    TPaintThrottle(std::function<bool()> throttling, QObject* parent,
                   std::chrono::milliseconds interval = std::chrono::milliseconds(200));
    ~TPaintThrottle() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct TWindowPaints {
        std::chrono::steady_clock::time_point last{};
        bool held = false;
    };

    std::function<bool()> throttling_;
    std::chrono::milliseconds interval_;
    QHash<QObject*, TWindowPaints> windows_;
};
