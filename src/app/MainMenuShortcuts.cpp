#include "app/MainMenuShortcuts.h"

#include "app/MenuItemLink.h"

#include <QMenuBar>

QList<QAction*> TMainMenuShortcuts::MainMenuItems() const
{
    return mainMenu_->actions();
}

QAction* TMainMenuShortcuts::FindMenuItem(const QString& name) const
{
    if (name.isEmpty())
        return nullptr;
    for (TMenuItem* item : window_->findChildren<TMenuItem*>())
        if (item->objectName().compare(name, Qt::CaseInsensitive) == 0)
            return item;
    return nullptr;
}

bool TMainMenuShortcuts::HasCommand(const QAction* item) const
{
    return qobject_cast<const TMenuItem*>(item) != nullptr;
}

void TMainMenuShortcuts::SetMenuItemShortCut(QAction* item, const QKeySequence& key)
{
    if (auto* menuItem = qobject_cast<TMenuItem*>(item))
        menuItem->BoundAction()->setShortcut(key);
}

QKeySequence TMainMenuShortcuts::MenuItemShortCut(const QAction* item) const
{
    const auto* menuItem = qobject_cast<const TMenuItem*>(item);
    return menuItem ? menuItem->BoundAction()->shortcut() : item->shortcut();
}

QString TMainMenuShortcuts::MenuItemCaption(const QAction* item) const
{
    const auto* menuItem = qobject_cast<const TMenuItem*>(item);
    return menuItem ? menuItem->Caption() : item->text();
}
