// The options dialog and the shortcut keys, wired to the Option menu.
#include "app/MainForm.h"
#include "app/MainMenuShortcuts.h"

#include "settings/OptionCommands.h"

#include <QMenuBar>

void TMainForm::SetUpOptionCommands()
{
    menuShortcuts_ = std::make_unique<TMainMenuShortcuts>(this, menuBar());
    optionCommands_ = std::make_unique<TOptionCommands>(
        TOptionCommandsSources{*this, dialogs_, appDir_, *settings_, extensions_, *menuShortcuts_});
    TOptionCommands& commands = *optionCommands_;
    SetActionHandler("aOption", [&commands] { commands.aOptionExecute(); });
    SetActionHandler("aSetKey", [&commands] { commands.aSetKeyExecute(); });
}
