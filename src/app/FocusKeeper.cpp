#include "app/FocusKeeper.h"

#include <QApplication>

#include <algorithm>

void TFocusKeeper::Disable(std::initializer_list<QWidget*> areas)
{
    QWidget* focus = QApplication::focusWidget();
    const bool inside = focus && std::any_of(areas.begin(), areas.end(), [focus](QWidget* area) {
                            return area == focus || area->isAncestorOf(focus);
                        });
    for (QWidget* area : areas)
        area->setEnabled(false);
    if (inside) {
        held_ = focus;
        movedTo_ = QApplication::focusWidget();
    }
}

void TFocusKeeper::Enable(std::initializer_list<QWidget*> areas)
{
    for (QWidget* area : areas)
        area->setEnabled(true);
    if (held_ && held_->isEnabled() && held_->isVisible() && QApplication::focusWidget() == movedTo_)
        held_->setFocus(Qt::OtherFocusReason);
    held_ = nullptr;
    movedTo_ = nullptr;
}
