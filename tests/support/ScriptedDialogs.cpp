#include "support/ScriptedDialogs.h"

#include <QDialog>

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
