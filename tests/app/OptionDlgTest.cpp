// The options dialog on the real window, answered by scripts.
#include "MainFormFixture.h"

#include "log/LogColor.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTimer>
#include <QToolBar>

#include <sys/stat.h>
#include <unistd.h>

namespace {

class OptionDlgTest : public MainFormTest {
protected:
    // Opens the dialog through aOption and runs the script while it is shown.
    void RunOptions(std::function<void()> script)
    {
        dialogs_->QueueDialog([this, script](QDialog& dialog) {
            dialog_ = &dialog;
            script();
            return dialog.result();
        });
        form_->Action("aOption")->trigger();
    }
    template <class T = QCheckBox>
    T* Get(const char* name) const
    {
        T* control = dialog_->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
    void Click(const char* name) const { Get<QAbstractButton>(name)->click(); }
    // Picks an edge in a toolbar-edge box as the user does.
    void ChooseEdge(const char* box, int index) const
    {
        Get<QComboBox>(box)->setCurrentIndex(index);
        emit Get<QComboBox>(box)->activated(index);
    }
    QToolBar* HeaderToolBar() const { return form_->findChild<QToolBar*>("HeaderToolBar"); }

    QDialog* dialog_ = nullptr;
};

// A cancelled colour dialog keeps the colour, so OK leaves it as the window had it.
TEST_F(OptionDlgTest, OkCopiesTheSwitchesAndWhatTheDialogsChoseIntoTheWindow)
{
    Open();
    const QString folder = QString::fromStdString(home_.Path());
    dialogs_->QueueColor(QColor(1, 2, 3));
    dialogs_->QueueFileToOpen("/opt/viewer");
    dialogs_->QueueFolder(folder);
    RunOptions([this] {
        for (const char* name : {"ckNoDisconnect", "ckShowTransactionDlg", "ckConnectDlgOnStart"})
            Click(name);
        Get<QWidget>("rgFileNameAfterTransfer")->findChildren<QRadioButton*>().at(2)->click();
        Click("CommentBtn");
        Click("IntBtn");
        Click("ApplicationBrowseBtn");
        Click("InitDirBrowseBtn");
        EXPECT_EQ(Get<QLineEdit>("ApplicationPathEdit")->text(), "/opt/viewer");
        Click("OkBtn");
    });
    EXPECT_EQ(dialogs_->DialogTitles(), QStringList{"オプション"});
    const TWindowOptions& options = form_->Options();
    EXPECT_TRUE(form_->NoDisconnectTimer()->isActive());
    EXPECT_FALSE(options.bShowTransactionDlg);
    EXPECT_EQ(options.iFileNameAfterTransfer, 2);
    EXPECT_EQ(IniValue("CURRENT", "bConnectDlgOnStart"), "0");
    EXPECT_EQ(IniValue("CURRENT", "bNoDisconnect"), "1");
    EXPECT_EQ(dialogs_->ColorDialogsShown().size(), 2);
    EXPECT_EQ(form_->Settings().LogColor(TLogColorClass::Comment), 1 | 2 << 8 | 3 << 16);
    EXPECT_EQ(IniValue("CURRENT", "iCommentColor"), std::to_string(1 | 2 << 8 | 3 << 16));
    EXPECT_EQ(form_->Settings().LogColor(TLogColorClass::Int), LogColor::DesignedInt);
    EXPECT_EQ(options.asApplication, "/opt/viewer");
    EXPECT_EQ(options.asInitialDirectory, folder);
}

TEST_F(OptionDlgTest, ImageAndCaptionAreNeverBothUnchecked)
{
    Open();
    RunOptions([this] {
        QCheckBox* image = Get("ckDrawImage");
        QCheckBox* caption = Get("ckShowCaption");
        image->click();
        EXPECT_TRUE(image->isChecked());
        EXPECT_TRUE(form_->Settings().HeaderImagesShown());

        caption->click();
        image->click();
        EXPECT_FALSE(form_->Settings().HeaderImagesShown());
        EXPECT_FALSE(Get("ckLeftImage")->isEnabled());
        caption->click();
        EXPECT_TRUE(caption->isChecked());
        EXPECT_EQ(HeaderToolBar()->toolButtonStyle(), Qt::ToolButtonTextOnly);

        image->click();
        EXPECT_TRUE(Get("ckLeftImage")->isEnabled());
        Click("OkBtn");
    });
    EXPECT_EQ(IniValue("CURRENT", "bDrawImage"), "1");
    EXPECT_EQ(IniValue("CURRENT", "bShowCaption"), "1");
}

// Toolbar changes act at once: Cancel undoes them, closing by the title bar keeps them, and both
// drop the other changes.
TEST_F(OptionDlgTest, CancelUndoesToolbarChangesAndTitleBarCloseKeepsThem)
{
    Open();
    RunOptions([this] {
        ChooseEdge("HeaderTBarBox", 2);
        EXPECT_EQ(form_->toolBarArea(HeaderToolBar()), Qt::LeftToolBarArea);
        Click("ckFlatBtn");
        EXPECT_FALSE(form_->Settings().HeaderFlat());
        Click("ckShowToolBar");
        EXPECT_TRUE(HeaderToolBar()->isHidden());
        Click("CancelBtn");
    });
    EXPECT_EQ(form_->toolBarArea(HeaderToolBar()), Qt::TopToolBarArea);
    EXPECT_TRUE(form_->Settings().HeaderFlat());
    EXPECT_FALSE(HeaderToolBar()->isHidden());

    RunOptions([this] {
        Click("ckShowToolBar");
        Click("ckCompareTimeStamp");
        dialog_->close();
    });
    EXPECT_TRUE(HeaderToolBar()->isHidden());
    EXPECT_FALSE(form_->Options().bCompareTimeStamp);
    EXPECT_EQ(IniValue("CURRENT", "bShowToolBar"), "<missing>");
}

TEST_F(OptionDlgTest, TextExtensionIsStoredAsTypedAndDottedAfterARestart)
{
    Open();
    RunOptions([this] {
        Get<QPlainTextEdit>("TextExtMemo")->setPlainText("txt\n");
        Get<QPlainTextEdit>("SkipExtMemo")->setPlainText(".tmp\n.bak");
        Click("OkBtn");
    });
    EXPECT_EQ(form_->Extensions().TextExtList, StringList{"txt"});
    EXPECT_EQ(form_->Extensions().SkipExtList, (StringList{".tmp", ".bak"}));
    CloseWindow();
    EXPECT_EQ(TempDir::ReadFile(HomeFile("TextExt.txt")), "txt\n");
    Open();
    EXPECT_EQ(form_->Extensions().TextExtList, StringList{".txt"});
    RunOptions([this] { EXPECT_EQ(Get<QPlainTextEdit>("SkipExtMemo")->toPlainText(), ".tmp\n.bak\n"); });
}

// Restore goes back to the state before the dialog but keeps the directory; Defaults then OK give
// window-text colours, no double-click actions and limits of 500.
TEST_F(OptionDlgTest, RestoreAndDefaultButtonsTakeTheControlsAndTheWindowBack)
{
    WriteHomeFile("Marlux.ini", "[CURRENT]\nbMirroringAtUploadAll=1\niRemoteSysToolBarAlign=2\niCommentColor=255\n"
                                "iOnRemoteDblClick=1\niMaxFileLog=30\niFileListSort=5\nbShowCaption=1\nbDrawImage=0\n");
    Open();
    const QString elsewhere = QString::fromStdString(home_.Path());
    RunOptions([&] {
        Click("ckMirroringAtUploadAll");
        ChooseEdge("RemoteTBarBox", 0);
        EXPECT_EQ(form_->Settings().ToolBarAlign(TToolBarId::RemoteSys), 1);
        form_->Settings().SetLocalDirectory(elsewhere);
        Click("RestoreBtn");
        EXPECT_TRUE(Get("ckMirroringAtUploadAll")->isChecked());
        EXPECT_EQ(Get<QComboBox>("RemoteTBarBox")->currentIndex(), 1);  // bottom
        EXPECT_EQ(form_->Settings().ToolBarAlign(TToolBarId::RemoteSys), 2);
        EXPECT_EQ(QDir(form_->Settings().LocalDirectory()).canonicalPath(), QDir(elsewhere).canonicalPath());

        Click("DefaultBtn");
        // The window's own keys are back at their factory values at once.
        EXPECT_TRUE(form_->Settings().HeaderImagesShown());
        Click("OkBtn");
    });
    for (TLogColorClass kind : {TLogColorClass::Comment, TLogColorClass::Int, TLogColorClass::Reserve})
        EXPECT_EQ(form_->Settings().LogColor(kind), LogColor::WindowText);
    EXPECT_FALSE(form_->Options().bMirroringAtUploadAll);
    EXPECT_EQ(form_->Options().iOnRemoteDblClick, 2);
    EXPECT_EQ(form_->Options().iMaxFileLog, 500);
    EXPECT_EQ(form_->Options().iFileListSort, 0);
    EXPECT_EQ(IniValue("CURRENT", "bShowCaption"), "0");
}

TEST_F(OptionDlgTest, LimitEditsTakeDigitsOnlyAndWarnWhenLeftWithoutAPositiveNumber)
{
    Open();
    RunOptions([this] {
        dialog_->show();
        QApplication::setActiveWindow(dialog_);
        auto* maxLog = Get<QLineEdit>("edMaxLog");
        maxLog->setFocus();
        maxLog->end(false);
        PressKey(maxLog, Qt::Key_A, "a");
        PressKey(maxLog, Qt::Key_Minus, "-");
        PressKey(maxLog, Qt::Key_Backspace);
        PressKey(maxLog, Qt::Key_7, "7");
        PressKey(maxLog, Qt::Key_Home);
        PressKey(maxLog, Qt::Key_Delete);
        EXPECT_EQ(maxLog->text(), "07");

        const auto leave = [this](QLineEdit* edit, const QString& text) {
            edit->setFocus(Qt::TabFocusReason);
            edit->setText(text);
            Get<QLineEdit>("edInitDir")->setFocus(Qt::TabFocusReason);
        };
        leave(maxLog, "250");
        EXPECT_TRUE(dialogs_->Shown().isEmpty());
        leave(maxLog, "");
        leave(Get<QLineEdit>("edMaxFileLog"), "0");
        leave(Get<QLineEdit>("edMaxFileLog"), "99999999999");
        EXPECT_EQ(dialogs_->Shown(), QStringList(3, "数値を入力してください"));
        EXPECT_EQ(maxLog->text(), "");
        Click("OkBtn");
    });
    EXPECT_EQ(form_->Options().iMaxLog, 500);
    EXPECT_EQ(form_->Options().iMaxFileLog, 500);  // the huge number is not a number
    EXPECT_EQ(IniValue("CURRENT", "iMaxLog"), "500");
}

TEST_F(OptionDlgTest, ASettingsFileThatCannotBeWrittenIsReportedAndTheDialogStaysOpen)
{
    Open();
    const std::string lock = HomeFile("Marlux.ini.lock");
    RunOptions([&] {
        unlink(lock.c_str());
        ASSERT_EQ(mkdir(lock.c_str(), 0700), 0);  // the writer cannot take its lock
        Click("OkBtn");
        EXPECT_NE(dialog_->result(), QDialog::Accepted);
        EXPECT_EQ(dialogs_->Shown(), QStringList{QString::fromStdString(HomeFile("Marlux.ini")) + " に書き込めません"});
        rmdir(lock.c_str());
        Click("OkBtn");
        EXPECT_EQ(dialog_->result(), QDialog::Accepted);
    });
    EXPECT_EQ(IniValue("CURRENT", "iMaxLog"), "500");
}

}  // namespace
