#pragma once
#include <QString>

class QWidget;
class TSettingsWindow;
class TShortcutMenus;
class TUserDialogs;
struct TExtensionLists;

// What the options and shortcut-key commands use of the main window.
struct TOptionCommandsSources {
    QWidget& owner;
    TUserDialogs& dialogs;
    // The program directory, where "Marlux.ini" and "KeyList.ini" live.
    const QString& appDir;
    TSettingsWindow& window;
    TExtensionLists& extensions;
    TShortcutMenus& menus;
};

// The options dialog and the shortcut key assignment of the Option menu.
class TOptionCommands {
public:
    explicit TOptionCommands(TOptionCommandsSources sources) : sources_(sources) {}

    // Saves the window's present state to "CURRENT" first, so Cancel can go back to it.
    void aOptionExecute();
    void aSetKeyExecute();
    // Sets the menu items' keys from "KeyList.ini".
    void ApplyShortcutKeys();

private:
    QString FilePath(const char* name) const;

    TOptionCommandsSources sources_;
};
