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

private:
    void Sync();
    QAction* action_;
};
