#pragma once
#include <QPointer>
#include <QWidget>

#include <initializer_list>

// Keeps the keyboard focus across a spell in which parts of the window are disabled: Qt moves
// the focus out of a widget that is disabled and does not bring it back, so a folder opened
// with Enter would leave the list without the keys that follow.
class TFocusKeeper {
public:
    // The areas are widgets of one window; there is at least one.
    void Disable(std::initializer_list<QWidget*> areas);
    // Gives the focus back unless the user has put it somewhere else meanwhile.
    void Enable(std::initializer_list<QWidget*> areas);

private:
    QPointer<QWidget> held_;
    QPointer<QWidget> movedTo_;
};
