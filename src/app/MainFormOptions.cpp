// The options dialog and the shortcut keys, wired to the Option menu.
#include "app/MainForm.h"
#include "app/MainMenuShortcuts.h"

#include "settings/OptionCommands.h"

#include <QMenuBar>

void TMainForm::SetUpOptionCommands()
{
    menuShortcuts_ = std::make_unique<TMainMenuShortcuts>(this, menuBar());
    optionCommands_ = std::make_unique<TOptionCommands>(
        TOptionCommandsSources{.owner = *this,
                               .dialogs = dialogs_,
                               .appDir = appDir_,
                               .window = *settings_,
                               .extensions = extensions_,
                               .menus = *menuShortcuts_});
    TOptionCommands& commands = *optionCommands_;
    actions_.SetHandler("aOption", [&commands] { commands.aOptionExecute(); });
    actions_.SetHandler("aSetKey", [&commands] { commands.aSetKeyExecute(); });
}
