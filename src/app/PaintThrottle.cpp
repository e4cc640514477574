#include "app/PaintThrottle.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>

TPaintThrottle::TPaintThrottle(std::function<bool()> throttling, QObject* parent, std::chrono::milliseconds interval)
    : QObject(parent), throttling_(std::move(throttling)), interval_(interval)
{
    QCoreApplication::instance()->installEventFilter(this);
}

TPaintThrottle::~TPaintThrottle()
{
    QCoreApplication::instance()->removeEventFilter(this);
}

bool TPaintThrottle::eventFilter(QObject* watched, QEvent* event)
{
    // A window's widgets are painted when the window gets its update request.
    if (event->type() != QEvent::UpdateRequest || !watched->isWidgetType() ||
        !static_cast<QWidget*>(watched)->isWindow())
        return false;
    const auto now = std::chrono::steady_clock::now();
    auto found = windows_.find(watched);
    if (found == windows_.end()) {
        found = windows_.insert(watched, {});
        connect(watched, &QObject::destroyed, this, [this, watched] { windows_.remove(watched); });
    }
    TWindowPaints& paints = *found;
    if (!throttling_() || now - paints.last >= interval_) {
        paints.last = now;
        paints.held = false;
        return false;
    }
    // The window asks for no other update until this one is delivered, so it is posted again
    // once, when the interval is over.
    if (!paints.held) {
        paints.held = true;
        const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(interval_ - (now - paints.last));
        QTimer::singleShot(wait, this, [this, window = QPointer<QObject>(watched)] {
            if (!window)
                return;
            windows_[window].last = {};
            QCoreApplication::postEvent(window, new QEvent(QEvent::UpdateRequest), Qt::LowEventPriority);
        });
    }
    return true;
}
