#include "MainFormFixture.h"

#include "fileops/CommandDlg.h"
#include "fixtures/IniSection.h"
#include "panes/FileListModel.h"
#include "panes/FileViewStack.h"
#include "panes/LocalPane.h"
#include "support/OperationLogFile.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QEventLoop>
#include <QTimer>
#include <QTreeView>

#include <cstdlib>
#include <sys/stat.h>

MainFormTest::MainFormTest() : savedWorkingDirectory_(QDir::currentPath())
{
    setenv("MARLUX_HOME", home_.Path().c_str(), 1);
    QDir::setCurrent(QString::fromStdString(work_.Path()));
}

MainFormTest::~MainFormTest()
{
    if (form_)
        CloseWindow();
    QDir::setCurrent(savedWorkingDirectory_);
    unsetenv("MARLUX_HOME");
}

TMainForm& MainFormTest::Open(const QStringList& arguments)
{
    form_ = std::make_unique<TMainForm>(arguments);
    auto dialogs = std::make_unique<TScriptedDialogs>();
    dialogs_ = dialogs.get();
    form_->SetDialogs(std::move(dialogs));
    return *form_;
}

TMainForm& MainFormTest::OpenListing(const QString& mask)
{
    TMainForm& form = Open();
    form.Settings().SetLocalMask(mask);
    form.LocalPane().FillLocalFileList();
    return form;
}

void MainFormTest::SelectLocal(const QStringList& captions) const
{
    QItemSelectionModel& selection = *LocalFiles().Report().selectionModel();
    selection.clearSelection();
    const TFileListModel& model = LocalFiles().Model();
    for (int row = 0; row < model.rowCount(); ++row)
        if (captions.contains(model.Row(row).entry.name))
            selection.select(model.index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    form_->UpdateActionStates();
}

void MainFormTest::Run(const char* action)
{
    form_->UpdateActionStates();
    QAction* command = form_->Action(QString::fromLatin1(action));
    ASSERT_TRUE(command->isEnabled()) << action;
    command->trigger();
    Settle(*form_);
}

void MainFormTest::Select(TFileViewStack& list, const QStringList& captions)
{
    QItemSelectionModel& selection = *list.Report().selectionModel();
    selection.clearSelection();
    const QStringList rows = Captions(list.Model());
    for (const QString& caption : captions) {
        ASSERT_TRUE(rows.contains(caption)) << caption.toStdString();
        selection.select(list.Model().index(int(rows.indexOf(caption)), 0),
                         QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
}

void MainFormTest::QueueName(const QString& text)
{
    dialogs_->QueueDialog([text](QDialog& dialog) {
        dialog.findChild<QLineEdit*>(QStringLiteral("NewEdit"))->setText(text);
        return int(QDialog::Accepted);
    });
    dialogs_->QueueAnswer(TUserDialogs::Answer::Yes);
}

void MainFormTest::Delete(TUserDialogs::Answer second)
{
    dialogs_->QueueAnswer(TUserDialogs::Answer::Yes);
    dialogs_->QueueAnswer(second);
    Run("aRemoteFileDelete");
}

void MainFormTest::RunCommandDialog(std::function<void(TCommandDlg&)> script)
{
    dialogs_->QueueDialog([script](QDialog& dialog) {
        dialog.show();
        script(static_cast<TCommandDlg&>(dialog));
        // The dialog closes itself once its lines have been sent or one was refused.
        for (int waited = 0; dialog.isVisible() && waited < 30000; ++waited)
            Pump(1);
        EXPECT_FALSE(dialog.isVisible());
        dialog.hide();
        return dialog.result();
    });
    Run("aChmod");
}

void MainFormTest::MakeWorkFiles(std::initializer_list<std::string> names) const
{
    for (const std::string& name : names)
        if (name.back() == '/')
            mkdir(work_.File(name).c_str(), 0755);
        else
            TempDir::WriteFile(work_.File(name), name);
}

void MainFormTest::CloseWindow()
{
    form_->close();
    form_.reset();
    dialogs_ = nullptr;
}

std::string MainFormTest::IniValue(const std::string& section, const std::string& key) const
{
    for (const auto& [name, value] : IniSectionEntries(home_.File("Marlux.ini"), section))
        if (name == key)
            return value;
    return "<missing>";
}

std::string MainFormTest::OperationLog() const
{
    Pump(1);
    return OperationLogIn(home_.Path());
}

void MainFormTest::Pump(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

void MainFormTest::AimAtLoopback(TIdFTP& ftp, int port)
{
    ftp.Host = "127.0.0.1";
    ftp.Port = port;
    ftp.Username = "user";
    ftp.Password = "secret";
}

void MainFormTest::LogIn(TMainForm& form, int port, const char* user, const char* password)
{
    LogInOnLoopback(form.Service(), port, user, password);
}

void MainFormTest::PressKey(QWidget* target, int key, const QString& text)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &press);
}

void MainFormTest::TypeText(QWidget* target, const QString& text)
{
    for (const QChar c : text)
        PressKey(target, c.toUpper().unicode(), QString(c));
}

QStringList MainFormTest::Captions(const TFileListModel& model)
{
    QStringList captions;
    for (const TFileRow& row : model.Rows())
        captions << row.entry.name;
    return captions;
}
