#pragma once
#include <QAction>

// A menu item bound to an action: it carries its own component name (the key of
// "KeyList.ini") and takes caption, hint, image, shortcut, enabled and checked state from the
// action; choosing it runs the action.
class TMenuItem : public QAction {
    Q_OBJECT
public:
    TMenuItem(const QString& name, QAction* action, QObject* parent);
    QAction* BoundAction() const { return action_; }
    // The item is enabled while both its action and this allow it: some items are switched
    // off on their own while no session is open.
    void SetAllowed(bool allowed);

private:
    void Sync();
    QAction* action_;
    bool allowed_ = true;
};
