#include "app/FocusKeeper.h"

#include <algorithm>

void TFocusKeeper::Disable(std::initializer_list<QWidget*> areas)
{
    // The window's own focus widget, not the application's: a dialog that asked before the job
    // has just closed, and the window may not be active again yet.
    QWidget* window = (*areas.begin())->window();
    QWidget* focus = window->focusWidget();
    const bool inside = focus && std::any_of(areas.begin(), areas.end(), [focus](QWidget* area) {
                            return area == focus || area->isAncestorOf(focus);
                        });
    for (QWidget* area : areas)
        area->setEnabled(false);
    if (inside) {
        held_ = focus;
        movedTo_ = window->focusWidget();
    }
}

void TFocusKeeper::Enable(std::initializer_list<QWidget*> areas)
{
    for (QWidget* area : areas)
        area->setEnabled(true);
    if (held_ && held_->isEnabled() && held_->isVisible() && held_->window()->focusWidget() == movedTo_)
        held_->setFocus(Qt::OtherFocusReason);
    held_ = nullptr;
    movedTo_ = nullptr;
}
