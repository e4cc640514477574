#pragma once
#include <QKeySequence>
#include <QList>
#include <QString>

class QAction;

// What the shortcut keys see of the main window's menus.
class TShortcutMenus {
public:
    virtual ~TShortcutMenus() = default;

    // The top-level items of the main menu in order; an item's sub-items are its menu's actions.
    virtual QList<QAction*> MainMenuItems() const = 0;
    // The window's menu item with that component name, or nullptr when there is none.
    virtual QAction* FindMenuItem(const QString& name) const = 0;
    // Whether choosing the item runs a command.
    virtual bool HasCommand(const QAction* item) const = 0;
    // Gives the item the key: choosing the key runs the item's command and the menu shows it.
    virtual void SetMenuItemShortCut(QAction* item, const QKeySequence& key) = 0;
    virtual QKeySequence MenuItemShortCut(const QAction* item) const = 0;
    // The item's caption, without the key the menu shows after it.
    virtual QString MenuItemCaption(const QAction* item) const = 0;
};

// The command items of a top-level item, depth first: items without sub-items that run a
// command and whose caption does not start with "&"; separators and empty items never are.
QList<QAction*> CommandItems(const TShortcutMenus& menus, const QAction* topLevelItem);
