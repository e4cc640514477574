#include "settings/ActionEnabling.h"

#include <QAction>

void TActionSwitch::Enable(std::initializer_list<const char*> names, bool enabled) const
{
    for (const char* name : names)
        if (QAction* action = find_(QString::fromLatin1(name)))
            action->setEnabled(enabled);
}
