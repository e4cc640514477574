#include "support/ScriptedDialogs.h"

#include <QDialog>

void TScriptedDialogs::ShowMessage(const QString& text)
{
    shown_.append(text);
}

TUserDialogs::Answer TScriptedDialogs::Ask(const QString& text, Buttons, Icon icon)
{
    shown_.append(text);
    questionIcons_.append(icon);
    return answers_.empty() ? Answer::Cancel : TakeNext(answers_);
}

int TScriptedDialogs::RunModal(QDialog& dialog)
{
    dialogTitles_.append(dialog.windowTitle());
    auto script = TakeNext(dialogs_);
    return script ? script(dialog) : int(QDialog::Rejected);
}

QString TScriptedDialogs::BrowseForFolder(const QString& instruction)
{
    folderInstructions_.append(instruction);
    return TakeNext(folders_);
}

QColor TScriptedDialogs::ChooseColor(const QColor& initial)
{
    colorDialogsShown_.append(initial);
    return TakeNext(colors_);
}

QString TScriptedDialogs::ChooseFileToOpen(const QStringList& filters, int selectedFilter)
{
    fileFilters_ = filters;
    selectedFileFilter_ = selectedFilter;
    return TakeNext(filesToOpen_);
}
