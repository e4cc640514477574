#include "panes/PaneDropTarget.h"

#include <QAbstractItemView>
#include <QDropEvent>
#include <QMimeData>

TPaneDropTarget::TPaneDropTarget(QAbstractItemView& view, QString acceptedFormat, std::function<bool()> canDrop,
                                 std::function<void()> drop)
    : QObject(&view), acceptedFormat_(std::move(acceptedFormat)), canDrop_(std::move(canDrop)), drop_(std::move(drop))
{
    view.viewport()->installEventFilter(this);
}

bool TPaneDropTarget::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDropEvent*>(event);
        if (drag->mimeData()->hasFormat(acceptedFormat_) && canDrop_())
            drag->acceptProposedAction();
        else
            drag->ignore();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        if (!drop->mimeData()->hasFormat(acceptedFormat_))
            return true;
        drop->acceptProposedAction();
        drop_();
        return true;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}
