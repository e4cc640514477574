#pragma once
#include "app/MainForm.h"
#include "fixtures/TempDir.h"
#include "support/OperationLogFile.h"
#include "support/QStringPrinter.h"
#include "support/ScriptedDialogs.h"
#include "support/ServiceJobs.h"

#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

class QDialog;
class QTimer;
class QWidget;
class TCommandDlg;
class TFileListModel;

// Every test gets a fresh program directory (MARLUX_HOME) and its own working directory,
// which is the local pane's directory; both are put back afterwards.
class MainFormTest : public ::testing::Test {
protected:
    using Strings = std::vector<std::string>;

    MainFormTest();
    ~MainFormTest() override;

    // Creates the window as the program does, with the command-line arguments given.
    TMainForm& Open(const QStringList& arguments = {});
    // Opens the window so that it does not offer the connection dialog by itself a second after
    // start-up; `settings` are more [CURRENT] lines.
    TMainForm& OpenQuiet(const std::string& settings = {})
    {
        WriteHomeFile("Marlux.ini", "[CURRENT]\nbConnectDlgOnStart=0\n" + settings);
        return Open();
    }
    // Opens the window with the local pane listing the working directory through the mask.
    TMainForm& OpenListing(const QString& mask = QStringLiteral("*.*"));
    TFileViewStack& LocalFiles() const { return *form_->Controls().LocalFileListView; }
    TFileViewStack& RemoteList() const { return *form_->Controls().RemoteFileListView; }
    QStringList LogLines() const;
    // The connect command run with the dialog's fields given these texts for profile "site"; the
    // script sets whatever else the test needs before OK is pressed.
    void Connect(const std::vector<std::pair<const char*, QString>>& fields,
                 const std::function<void(QDialog&)>& script = {});
    // The window after a session ended or an attempt failed: idle, usable and showing no session.
    void ExpectNotConnected() const;
    // Runs action from the message pump once the condition holds while a file's data flows.
    void WhileTransferring(QTimer& watcher, std::function<bool()> condition, std::function<void()> action) const;
    // Runs the event loop until the transfer queue is done, the panes usable all along.
    void RunQueue() const;
    // Selects exactly the local rows of these captions and brings the actions up to date.
    void SelectLocal(const QStringList& captions) const
    {
        Select(LocalFiles(), captions);
        form_->UpdateActionStates();
    }
    // Runs an action as the user does, after the idle pass that enables it.
    void Run(const char* action);
    // Selects the rows of these captions, and only those.
    static void Select(TFileViewStack& list, const QStringList& captions);
    // Runs the action on these rows of the local or the remote pane.
    void RunOnLocal(const char* action, const QStringList& captions) { Select(LocalFiles(), captions); Run(action); }
    void RunOnRemote(const char* action, const QStringList& captions) { Select(RemoteList(), captions); Run(action); }
    // The name dialog answered with OK after the edit box was given text, then (if `confirm`) Yes
    // to the question.
    void QueueName(const QString& text, bool confirm = true);
    // The password dialog answered with the password typed into its hidden field; its label text
    // goes to `asked`.
    void QueuePassword(const QString& password, QString& asked);
    // The remote delete command, its first question answered Yes and the second as given.
    void Delete(TUserDialogs::Answer second)
    {
        dialogs_->QueueAnswer(TUserDialogs::Answer::Yes);
        dialogs_->QueueAnswer(second);
        Run("aRemoteFileDelete");
    }
    // The command dialog, shown, handed to the script, which presses a button.
    void RunCommandDialog(std::function<void(TCommandDlg&)> script);
    // Closes it the normal way (the close steps run) and destroys it.
    void CloseWindow()
    {
        form_->close();
        form_.reset();
        dialogs_ = nullptr;
    }

    // Files in the working directory holding their own names; a name ending in "/" is a folder.
    void MakeWorkFiles(std::initializer_list<std::string> names) const;
    // The contents of these files below root or in the working directory, "<missing>" for one
    // that does not exist.
    static Strings Contents(const std::string& root, std::initializer_list<std::string> names);
    Strings LocalContents(std::initializer_list<std::string> names) const { return Contents(work_.Path(), names); }
    std::string HomeFile(const std::string& name) const { return home_.File(name); }
    void WriteHomeFile(const std::string& name, const std::string& content) const
    {
        TempDir::WriteFile(home_.File(name), content);
    }
    // Which of these texts "Marlux.ini" holds.
    std::vector<std::string> SettingsHolding(std::initializer_list<std::string> texts) const;
    // A key's value in "Marlux.ini", or "<missing>".
    std::string IniValue(const std::string& section, const std::string& key) const;
    // "FileOperationLog.txt" ("" when missing) once the event loop has gone idle, as it does
    // after every command.
    std::string OperationLog() const
    {
        Pump(1);
        return OperationLogIn(home_.Path());
    }
    // Key presses as the keyboard sends them; Type presses one key per character.
    static void PressKey(QWidget* target, int key, const QString& text = {},
                         Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    static void TypeText(QWidget* target, const QString& text);
    // Runs the event loop until the commands started so far have ended, then the idle pass.
    static void Settle(TMainForm& form)
    {
        WaitForService(form.Service());
        form.UpdateActionStates();
    }
    // Runs the event loop for the given time.
    static void Pump(int milliseconds);
    // The rows' captions of a file list, in list order.
    static QStringList Captions(const TFileListModel& model);

    TempDir home_;
    TempDir work_;
    std::unique_ptr<TMainForm> form_;
    TScriptedDialogs* dialogs_ = nullptr;

private:
    QString savedWorkingDirectory_;
};
