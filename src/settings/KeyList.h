#pragma once
#include <QString>

#include <utility>
#include <vector>

class QAction;
class TShortcutMenus;

// "KeyList.ini": section "Key" maps a menu item's component name to its shortcut text. The
// file is opened for every operation; writes are locked and atomic like the settings file's.
class TKeyList {
public:
    explicit TKeyList(QString path) : path_(std::move(path)) {}
    const QString& Path() const { return path_; }

    // The entries in file order; a missing or unreadable file has none.
    std::vector<std::pair<QString, QString>> Entries() const;
    // Throws EIniWriteError when the file cannot be written.
    void Write(const QString& name, const QString& shortcutText);
    void Remove(const QString& name);

private:
    QString path_;
};

// Sets the shortcut of every menu item named in the file, in file order. Names that match no
// menu item are ignored; items without an entry keep the key they have.
void ApplyShortcutKeys(const TKeyList& keys, TShortcutMenus& menus);
