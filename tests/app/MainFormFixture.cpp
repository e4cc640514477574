#include "MainFormFixture.h"

#include "fileops/CommandDlg.h"
#include "fixtures/IniSection.h"
#include "log/Editor.h"
#include "panes/FileListModel.h"
#include "panes/FileViewStack.h"
#include "panes/LocalPane.h"
#include "support/PaneLines.h"
#include "transfer/TransferProgress.h"
#include "transfer/TransferQueue.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QPushButton>
#include <QSplitter>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QEventLoop>
#include <QInputDialog>
#include <QTimer>
#include <QTreeView>

#include <chrono>
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

void MainFormTest::QueueName(const QString& text, bool confirm)
{
    dialogs_->QueueDialog([text](QDialog& dialog) {
        dialog.findChild<QLineEdit*>(QStringLiteral("NewEdit"))->setText(text);
        return int(QDialog::Accepted);
    });
    if (confirm)
        dialogs_->QueueAnswer(TUserDialogs::Answer::Yes);
}

void MainFormTest::QueuePassword(const QString& password, QString& asked)
{
    dialogs_->QueueDialog([password, &asked](QDialog& dialog) {
        auto& ask = dynamic_cast<QInputDialog&>(dialog);
        asked = ask.labelText();
        EXPECT_EQ(ask.textEchoMode(), QLineEdit::Password);
        ask.setTextValue(password);
        return int(QDialog::Accepted);
    });
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

QStringList MainFormTest::LogLines() const
{
    return PaneLines(*form_->LogPane());
}

void MainFormTest::Connect(const std::vector<std::pair<const char*, QString>>& fields,
                           const std::function<void(QDialog&)>& script)
{
    dialogs_->QueueDialog([fields, script](QDialog& dialog) {
        for (const auto& [name, text] : fields)
            dialog.findChild<QLineEdit*>(QString::fromLatin1(name))->setText(text);
        dialog.findChild<QComboBox*>(QStringLiteral("ProfileNameBox"))->setEditText(QStringLiteral("site"));
        if (script)
            script(dialog);
        dialog.findChild<QPushButton*>(QStringLiteral("OkBtn"))->click();
        return dialog.result();
    });
    form_->Action("aConnect")->trigger();
    Settle(*form_);
}

void MainFormTest::ExpectNotConnected() const
{
    EXPECT_FALSE(form_->SessionConnected());
    EXPECT_FALSE(form_->BusyFlag());
    // A menu item of the remote side; it follows the session, as the status and the button do.
    EXPECT_FALSE(form_->findChild<QAction*>(QStringLiteral("DownloadAll"))->isEnabled());
    EXPECT_EQ(form_->StatusPanelText(0), QStringLiteral("未接続"));
    EXPECT_EQ(form_->Action("aConnect")->iconText(), QStringLiteral("接続"));
}

void MainFormTest::RunQueue() const
{
    const auto bound = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (form_->TransferQueue().Running() && std::chrono::steady_clock::now() < bound) {
        EXPECT_TRUE(form_->Controls().MainPanel->isEnabled());
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    Settle(*form_);
}

void MainFormTest::WhileTransferring(QTimer& watcher, std::function<bool()> condition,
                                     std::function<void()> action) const
{
    watcher.setInterval(1);
    QObject::connect(&watcher, &QTimer::timeout, [this, &watcher, condition, action] {
        if (form_->TransferProgress().DataFlowing() && condition()) {
            action();
            watcher.stop();
        }
    });
    watcher.start();
}

void MainFormTest::MakeWorkFiles(std::initializer_list<std::string> names) const
{
    for (const std::string& name : names)
        if (name.back() == '/')
            mkdir(work_.File(name).c_str(), 0755);
        else
            TempDir::WriteFile(work_.File(name), name);
}

MainFormTest::Strings MainFormTest::Contents(const std::string& root, std::initializer_list<std::string> names)
{
    Strings contents;
    for (const std::string& name : names) {
        const std::string path = root + "/" + name;
        contents.push_back(TempDir::Exists(path) ? TempDir::ReadFile(path) : "<missing>");
    }
    return contents;
}

std::string MainFormTest::IniValue(const std::string& section, const std::string& key) const
{
    for (const auto& [name, value] : IniSectionEntries(home_.File("Marlux.ini"), section))
        if (name == key)
            return value;
    return "<missing>";
}

std::vector<std::string> MainFormTest::SettingsHolding(std::initializer_list<std::string> texts) const
{
    const std::string settings = TempDir::ReadFile(home_.File("Marlux.ini"));
    std::vector<std::string> held;
    for (const std::string& text : texts)
        if (settings.find(text) != std::string::npos)
            held.push_back(text);
    return held;
}

void MainFormTest::Pump(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

void MainFormTest::PressKey(QWidget* target, int key, const QString& text, Qt::KeyboardModifiers modifiers)
{
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
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
