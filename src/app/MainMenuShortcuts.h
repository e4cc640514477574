#pragma once
#include "settings/ShortcutMenus.h"

class QMenuBar;
class QWidget;

// The main window's menus as the shortcut keys see them. A menu item's key is its action's key,
// so the key runs the command wherever the focus is and every item of the action shows it.
class TMainMenuShortcuts : public TShortcutMenus {
public:
    TMainMenuShortcuts(QWidget* window, QMenuBar* mainMenu) : window_(window), mainMenu_(mainMenu) {}

    QList<QAction*> MainMenuItems() const override;
    QAction* FindMenuItem(const QString& name) const override;
    bool HasCommand(const QAction* item) const override;
    void SetMenuItemShortCut(QAction* item, const QKeySequence& key) override;
    QKeySequence MenuItemShortCut(const QAction* item) const override;
    QString MenuItemCaption(const QAction* item) const override;

private:
    QWidget* window_;
    QMenuBar* mainMenu_;
};
