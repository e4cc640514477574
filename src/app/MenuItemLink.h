#pragma once
#include <QAction>

// A menu item bound to an action: it carries its own component name (the key of
// "KeyList.ini") and takes caption, hint, image, enabled and checked state from the action;
// choosing it runs the action. It shows the action's key after its caption but does not hold
// it: a second holder of the same key makes the key ambiguous wherever both count (the menu
// bar has the focus after Esc closes a menu), and an ambiguous key runs nothing.
class TMenuItem : public QAction {
    Q_OBJECT
public:
    TMenuItem(const QString& name, QAction* action, QObject* parent);
    QAction* BoundAction() const { return action_; }
    // The caption without the key shown after it.
    QString Caption() const { return action_->text(); }
    // The item is enabled while both its action and this allow it: some items are switched
    // off on their own while no session is open.
    void SetAllowed(bool allowed);

private:
    void Sync();
    QAction* action_;
    bool allowed_ = true;
};
