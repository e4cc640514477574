#pragma once
#include "settings/UserDialogs.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <functional>

// TUserDialogs for tests: answers questions and modal dialogs from queues and records every
// text shown. An empty queue answers Cancel (questions) and QDialog::Rejected (dialogs); the
// folder browser and the colour dialog are always cancelled.
class TScriptedDialogs : public TUserDialogs {
public:
    void ShowMessage(const QString& text) override { shown_.append(text); }
    Answer Ask(const QString& text, Buttons buttons, Icon icon = Icon::Question) override;
    int RunModal(QDialog& dialog) override;
    QString BrowseForFolder(const QString&) override { return {}; }
    QColor ChooseColor(const QColor&) override { return {}; }
    QString ChooseFileToOpen(const QStringList&, int, const QString&) override { return TakeNext(filesToOpen_); }

    void QueueAnswer(Answer answer) { answers_.push_back(answer); }
    // Runs against the dialog when it is shown (fill fields, press buttons); returns the result.
    void QueueDialog(std::function<int(QDialog&)> script) { dialogs_.push_back(std::move(script)); }
    // The file the next file-open dialog returns; an empty queue answers "cancelled" (empty).
    void QueueFileToOpen(const QString& path) { filesToOpen_.push_back(path); }

    // Every message and question text, in order, and the window titles of modal dialogs.
    const QStringList& Shown() const { return shown_; }
    const QStringList& DialogTitles() const { return dialogTitles_; }

private:
    // The front of a queue, taken; an empty queue gives the "cancelled" value T{}.
    template <class T>
    static T TakeNext(std::deque<T>& queue)
    {
        if (queue.empty())
            return T{};
        T next = std::move(queue.front());
        queue.pop_front();
        return next;
    }

    std::deque<Answer> answers_;
    std::deque<std::function<int(QDialog&)>> dialogs_;
    std::deque<QString> filesToOpen_;
    QStringList shown_;
    QStringList dialogTitles_;
};
