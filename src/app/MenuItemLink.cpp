#include "app/MenuItemLink.h"

TMenuItem::TMenuItem(const QString& name, QAction* action, QObject* parent) : QAction(parent), action_(action)
{
    setObjectName(name);
    // The action owns the key; the item only shows it.
    setShortcutContext(Qt::WidgetShortcut);
    Sync();
    connect(action_, &QAction::changed, this, &TMenuItem::Sync);
    connect(action_, &QAction::toggled, this, &TMenuItem::Sync);
    connect(this, &QAction::triggered, this, [this] {
        action_->trigger();
        Sync();
    });
}

void TMenuItem::Sync()
{
    setText(action_->text());
    setIcon(action_->icon());
    setToolTip(action_->toolTip());
    setStatusTip(action_->statusTip());
    setShortcut(action_->shortcut());
    setEnabled(action_->isEnabled() && allowed_);
    setCheckable(action_->isCheckable());
    setChecked(action_->isChecked());
}

void TMenuItem::SetAllowed(bool allowed)
{
    allowed_ = allowed;
    Sync();
}
