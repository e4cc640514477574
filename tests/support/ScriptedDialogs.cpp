#include "support/ScriptedDialogs.h"

#include <QDialog>

void TScriptedDialogs::ShowMessage(const QString& text)
{
    shown_.append(text);
}

TUserDialogs::Answer TScriptedDialogs::Ask(const QString& text, Buttons, Icon)
{
    shown_.append(text);
    return answers_.empty() ? Answer::Cancel : TakeNext(answers_);
}

int TScriptedDialogs::RunModal(QDialog& dialog)
{
    dialogTitles_.append(dialog.windowTitle());
    auto script = TakeNext(dialogs_);
    return script ? script(dialog) : int(QDialog::Rejected);
}

QString TScriptedDialogs::BrowseForFolder(const QString&)
{
    return {};
}

QColor TScriptedDialogs::ChooseColor(const QColor&)
{
    return {};
}

QString TScriptedDialogs::ChooseFileToOpen(const QStringList&, int)
{
    return TakeNext(filesToOpen_);
}
