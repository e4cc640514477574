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
    if (answers_.empty())
        return Answer::Cancel;
    const Answer answer = answers_.front();
    answers_.pop_front();
    return answer;
}

int TScriptedDialogs::RunModal(QDialog& dialog)
{
    dialogTitles_.append(dialog.windowTitle());
    if (dialogs_.empty())
        return QDialog::Rejected;
    auto script = std::move(dialogs_.front());
    dialogs_.pop_front();
    return script(dialog);
}

QString TScriptedDialogs::BrowseForFolder(const QString& instruction)
{
    folderInstructions_.append(instruction);
    if (folders_.empty())
        return {};
    const QString path = folders_.front();
    folders_.pop_front();
    return path;
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
