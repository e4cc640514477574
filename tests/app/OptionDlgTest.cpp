// The options dialog on the real window, answered by scripts.
#include "DialogScene.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>

#include <sys/stat.h>
#include <unistd.h>

namespace {

class OptionDlgTest : public DialogSceneTest {
protected:
    void RunOptions(std::function<void()> script) { RunDialog("aOption", std::move(script)); }
};

// OK copies the switches and what the dialogs chose into the window. The limit edits take digits
// only, Backspace edits, and leaving one without a positive number warns. A settings file that
// cannot be written is reported and the dialog stays open; Defaults then OK give the factory values.
TEST_F(OptionDlgTest, OkCopiesTheControlsIntoTheWindowAndTheFileOrReportsWhyItCannot)
{
    WriteHomeFile("Marlux.ini", "[CURRENT]\niMaxFileLog=30\n");
    Open();
    dialogs_->QueueFileToOpen("/opt/viewer");
    RunOptions([this] {
        Click("ckNoDisconnect");
        Click("ckMirrorPreview");
        Get<QWidget>("rgFileNameAfterTransfer")->findChildren<QRadioButton*>().at(2)->click();
        Click("ApplicationBrowseBtn");
        Get<QPlainTextEdit>("TextExtMemo")->setPlainText("txt\n");
        dialog_->show();
        QApplication::setActiveWindow(dialog_);
        auto* maxLog = Get<QLineEdit>("edMaxLog");
        maxLog->setFocus();
        maxLog->clear();
        TypeText(maxLog, "a-7");
        EXPECT_EQ(maxLog->text(), "7");
        PressKey(maxLog, Qt::Key_Backspace);
        EXPECT_EQ(maxLog->text(), "");

        const auto leave = [this](QLineEdit* edit, const QString& text) {
            edit->setFocus(Qt::TabFocusReason);
            edit->setText(text);
            Get<QLineEdit>("edInitDir")->setFocus(Qt::TabFocusReason);
        };
        leave(maxLog, "0");
        leave(maxLog, "99999999999");
        EXPECT_EQ(dialogs_->Shown(), QStringList(2, "数値を入力してください"));
        Click("OkBtn");
    });
    const TWindowOptions& options = form_->Options();
    // The huge number is not a number: the limit keeps its value.
    EXPECT_EQ(std::tuple(options.iMaxLog, options.iFileNameAfterTransfer, options.bMirrorPreview), std::tuple(500, 2, false));
    EXPECT_TRUE(form_->NoDisconnectTimer()->isActive());
    EXPECT_EQ(options.asApplication, "/opt/viewer");
    // The text extensions are stored as typed and dotted when read.
    EXPECT_EQ(form_->Extensions().TextExtList, StringList{"txt"});
    const std::string lock = HomeFile("Marlux.ini.lock");
    RunOptions([&] {
        Click("DefaultBtn");
        unlink(lock.c_str());
        ASSERT_EQ(mkdir(lock.c_str(), 0700), 0);  // the writer cannot take its lock
        Click("OkBtn");
        EXPECT_NE(dialog_->result(), QDialog::Accepted);
        EXPECT_EQ(dialogs_->Shown().last(), QString::fromStdString(HomeFile("Marlux.ini")) + " に書き込めません");
        rmdir(lock.c_str());
        Click("OkBtn");
    });
    EXPECT_EQ(options.iMaxFileLog, 500);
    EXPECT_EQ(IniValue("CURRENT", "iMaxFileLog"), "500");
    CloseWindow();
    EXPECT_EQ(TempDir::ReadFile(HomeFile("TextExt.txt")), "txt\n");
    Open();
    EXPECT_EQ(form_->Extensions().TextExtList, StringList{".txt"});
}

}  // namespace
