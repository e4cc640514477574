#include "session/ProfileBoxEvents.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>

TProfileBoxEvents::TProfileBoxEvents(QComboBox& box, std::function<void()> handler)
    : QObject(&box), edit_(*box.lineEdit()), handler_(std::move(handler))
{
    connect(&box, &QComboBox::textActivated, this, handler_);
    connect(&edit_, &QLineEdit::textEdited, this, handler_);
    // The box keeps the focus and hands keys to its edit past the edit's filters.
    box.installEventFilter(this);
    edit_.installEventFilter(this);
}

bool TProfileBoxEvents::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonDblClick && watched == &edit_)
        handler_();
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}
