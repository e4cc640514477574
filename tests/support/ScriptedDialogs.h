#pragma once
#include "settings/UserDialogs.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <functional>

// TUserDialogs for tests: answers questions and modal dialogs from queues and records every
// text shown. An empty queue answers Cancel (questions) and QDialog::Rejected (dialogs).
class TScriptedDialogs : public TUserDialogs {
public:
    void ShowMessage(const QString& text) override;
    Answer Ask(const QString& text, Buttons buttons, Icon icon = Icon::Question) override;
    int RunModal(QDialog& dialog) override;

    void QueueAnswer(Answer answer) { answers_.push_back(answer); }
    // Runs against the dialog when it is shown (fill fields, press buttons); returns the result.
    void QueueDialog(std::function<int(QDialog&)> script) { dialogs_.push_back(std::move(script)); }

    // Every message and question text, in order, and the window titles of modal dialogs.
    const QStringList& Shown() const { return shown_; }
    const QStringList& DialogTitles() const { return dialogTitles_; }

private:
    std::deque<Answer> answers_;
    std::deque<std::function<int(QDialog&)>> dialogs_;
    QStringList shown_;
    QStringList dialogTitles_;
};
