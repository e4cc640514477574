#include "settings/OptionCommands.h"

#include "platform/ProgramDir.h"
#include "settings/KeyList.h"
#include "settings/OptionDlg.h"
#include "settings/SetKeyDlg.h"
#include "settings/UserDialogs.h"
#include "settings/WindowSettings.h"
#include "settings/WindowState.h"

QString TOptionCommands::FilePath(const char* name) const
{
    return QString::fromStdString(ProgramFilePath(sources_.appDir.toStdString(), name));
}

void TOptionCommands::aOptionExecute()
{
    const QString settingsPath = FilePath(ProgramFile::Settings);
    SaveSettings(settingsPath, QStringLiteral("CURRENT"), sources_.window);
    TExtensionLists& lists = sources_.extensions;
    TOptionDlg dialog(&sources_.owner, {settingsPath, sources_.window, lists.TextExtList, lists.SkipExtList,
                                        lists.NoDeleteExtList, sources_.dialogs});
    sources_.dialogs.RunModal(dialog);
}

void TOptionCommands::aSetKeyExecute()
{
    {
        TSetKeyDlg dialog(&sources_.owner, {sources_.menus, TKeyList(FilePath(ProgramFile::KeyList)), sources_.dialogs});
        sources_.dialogs.RunModal(dialog);
    }
    ApplyShortcutKeys();
}

void TOptionCommands::ApplyShortcutKeys()
{
    ::ApplyShortcutKeys(TKeyList(FilePath(ProgramFile::KeyList)), sources_.menus);
}
