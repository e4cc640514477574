#include "settings/KeyList.h"

#include "platform/IniFile.h"
#include "settings/ShortcutMenus.h"
#include "settings/ShortcutText.h"

#include <QAction>
#include <QMenu>

namespace {

const std::string KeySection = "Key";

void CollectCommandItems(const TShortcutMenus& menus, const QMenu* menu, QList<QAction*>& items)
{
    for (QAction* item : menu->actions()) {
        const QString caption = menus.MenuItemCaption(item);
        if (item->isSeparator() || caption.isEmpty())
            continue;
        if (item->menu())
            CollectCommandItems(menus, item->menu(), items);
        else if (menus.HasCommand(item) && !caption.startsWith(u'&'))
            items.append(item);
    }
}

}  // namespace

QList<QAction*> CommandItems(const TShortcutMenus& menus, const QAction* topLevelItem)
{
    QList<QAction*> items;
    if (topLevelItem->menu())
        CollectCommandItems(menus, topLevelItem->menu(), items);
    return items;
}

std::vector<std::pair<QString, QString>> TKeyList::Entries() const
{
    const TIniFile ini(path_.toStdString());
    std::vector<std::pair<QString, QString>> entries;
    for (const std::string& name : ini.ReadSection(KeySection))
        if (!name.empty())  // a line "=value" names no item
            entries.emplace_back(QString::fromStdString(name), QString::fromStdString(ini.ReadString(KeySection, name, "")));
    return entries;
}

void TKeyList::Write(const QString& name, const QString& shortcutText)
{
    TIniFile(path_.toStdString()).WriteString(KeySection, name.toStdString(), shortcutText.toStdString());
}

void TKeyList::Remove(const QString& name)
{
    TIniFile(path_.toStdString()).DeleteKey(KeySection, name.toStdString());
}

void ApplyShortcutKeys(const TKeyList& keys, TShortcutMenus& menus)
{
    for (const auto& [name, text] : keys.Entries())
        if (QAction* item = menus.FindMenuItem(name))
            menus.SetMenuItemShortCut(item, TextToShortCut(text));
}
