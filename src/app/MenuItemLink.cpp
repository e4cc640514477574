#include "app/MenuItemLink.h"

TMenuItem::TMenuItem(const QString& name, QAction* action, QObject* parent) : QAction(parent), action_(action)
{
    setObjectName(name);
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
    // A menu shows what follows a tab in the key's column.
    const QKeySequence key = action_->shortcut();
    setText(key.isEmpty() ? action_->text() : action_->text() + u'\t' + key.toString(QKeySequence::NativeText));
    setIcon(action_->icon());
    setToolTip(action_->toolTip());
    setStatusTip(action_->statusTip());
    setEnabled(action_->isEnabled() && allowed_);
    setCheckable(action_->isCheckable());
    setChecked(action_->isChecked());
}

void TMenuItem::SetAllowed(bool allowed)
{
    allowed_ = allowed;
    Sync();
}
