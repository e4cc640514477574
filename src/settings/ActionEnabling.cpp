#include "settings/ActionEnabling.h"

void TActionSwitch::Enable(std::initializer_list<const char*> names, bool enabled) const
{
    for (const char* name : names)
        set_(QString::fromLatin1(name), enabled);
}
