// The options dialog on the real window, answered by scripts.
#include "MainFormFixture.h"

#include "log/LogColor.h"
#include "settings/OptionDlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolBar>

#include <algorithm>

#include <sys/stat.h>
#include <unistd.h>

namespace {

template <class T>
T* Control(QDialog& dialog, const char* name)
{
    T* control = dialog.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(control, nullptr) << name;
    return control;
}

void Click(QDialog& dialog, const char* name)
{
    Control<QAbstractButton>(dialog, name)->click();
}

std::vector<std::string> Keys(const std::vector<std::pair<std::string, std::string>>& entries)
{
    std::vector<std::string> keys;
    for (const auto& entry : entries)
        keys.push_back(entry.first);
    return keys;
}

class OptionDlgTest : public MainFormTest {
protected:
    // Opens the dialog through aOption and runs the script against it.
    void RunOptions(std::function<void(QDialog&)> script)
    {
        dialogs_->QueueDialog([script](QDialog& dialog) {
            script(dialog);
            return dialog.result();
        });
        form_->Action("aOption")->trigger();
    }
    QToolBar* HeaderToolBar() const { return form_->findChild<QToolBar*>("HeaderToolBar"); }
};

TEST_F(OptionDlgTest, OkWritesTheDialogKeysInTheirOrderAfterTheWindowKeys)
{
    Open();
    RunOptions([](QDialog& dialog) { Click(dialog, "OkBtn"); });
    EXPECT_EQ(dialogs_->DialogTitles(), QStringList{"オプション"});
    // SaveSettings("CURRENT") wrote the window keys when the dialog opened; OK adds the dialog's
    // own keys in their order, the colours being there already.
    const std::vector<std::string> keys = Keys(SectionEntries("CURRENT"));
    std::vector<std::string> dialogKeys;
    for (const char* key : TOptionDlg::WriteOptionsOrder())
        if (std::find(keys.begin(), keys.begin() + 24, key) == keys.begin() + 24)
            dialogKeys.push_back(key);
    ASSERT_EQ(keys.size(), 24 + dialogKeys.size());
    EXPECT_EQ(keys[0], "iMainFormLeft");
    EXPECT_EQ(std::vector<std::string>(keys.begin() + 24, keys.end()), dialogKeys);
    // Creating the dialog wrote its factory values to DEFAULT, colours as window text.
    EXPECT_EQ(IniValue("DEFAULT", "iCommentColor"), "-2147483640");
    // OK keeps the log colours the window had: CURRENT had them when the dialog read it.
    EXPECT_EQ(IniValue("CURRENT", "iCommentColor"), "32768");
    EXPECT_EQ(form_->Settings().LogColor(TLogColorClass::Reserve), 255);
}

TEST_F(OptionDlgTest, ImageAndCaptionAreNeverBothUnchecked)
{
    Open();
    RunOptions([this](QDialog& dialog) {
        auto* image = Control<QCheckBox>(dialog, "ckDrawImage");
        auto* caption = Control<QCheckBox>(dialog, "ckShowCaption");
        image->click();
        EXPECT_TRUE(image->isChecked());
        EXPECT_TRUE(form_->Settings().HeaderImagesShown());

        caption->click();
        image->click();
        EXPECT_FALSE(image->isChecked());
        EXPECT_FALSE(form_->Settings().HeaderImagesShown());
        EXPECT_FALSE(Control<QCheckBox>(dialog, "ckLeftImage")->isEnabled());
        caption->click();
        EXPECT_TRUE(caption->isChecked());
        EXPECT_EQ(HeaderToolBar()->toolButtonStyle(), Qt::ToolButtonTextOnly);

        image->click();
        EXPECT_TRUE(form_->Settings().HeaderImagesShown());
        EXPECT_TRUE(Control<QCheckBox>(dialog, "ckLeftImage")->isEnabled());
        Click(dialog, "OkBtn");
    });
    EXPECT_EQ(IniValue("CURRENT", "bDrawImage"), "1");
    EXPECT_EQ(IniValue("CURRENT", "bShowCaption"), "1");
}

TEST_F(OptionDlgTest, ToolbarChangesActAtOnceAndCancelUndoesThem)
{
    // Before the first OK "CURRENT" holds none of the toolbar-look keys; Cancel undoes anyway.
    Open();
    RunOptions([this](QDialog& dialog) {
        auto* edge = Control<QComboBox>(dialog, "HeaderTBarBox");
        EXPECT_EQ(edge->currentText(), "上");
        edge->setCurrentIndex(2);
        emit edge->activated(2);
        EXPECT_EQ(form_->toolBarArea(HeaderToolBar()), Qt::LeftToolBarArea);
        Control<QCheckBox>(dialog, "ckFlatBtn")->click();
        EXPECT_FALSE(form_->Settings().HeaderFlat());
        Control<QCheckBox>(dialog, "ckShowToolBar")->click();
        EXPECT_TRUE(HeaderToolBar()->isHidden());
        Click(dialog, "CancelBtn");
    });
    EXPECT_EQ(form_->toolBarArea(HeaderToolBar()), Qt::TopToolBarArea);
    EXPECT_EQ(form_->Settings().ToolBarAlign(TToolBarId::Header), 1);
    EXPECT_TRUE(form_->Settings().HeaderFlat());
    EXPECT_FALSE(HeaderToolBar()->isHidden());
    EXPECT_EQ(IniValue("CURRENT", "bFlatBtn"), "<missing>");
}

TEST_F(OptionDlgTest, TitleBarCloseKeepsLiveChangesAndDropsTheRest)
{
    Open();
    const QString viewer = form_->Options().asApplication;
    RunOptions([](QDialog& dialog) {
        Control<QCheckBox>(dialog, "ckShowToolBar")->click();
        Control<QLineEdit>(dialog, "ApplicationPathEdit")->setText("/usr/bin/other");
        Control<QCheckBox>(dialog, "ckCompareTimeStamp")->click();
        dialog.close();
    });
    EXPECT_TRUE(HeaderToolBar()->isHidden());
    EXPECT_EQ(form_->Options().asApplication, viewer);
    EXPECT_FALSE(form_->Options().bCompareTimeStamp);
    EXPECT_EQ(IniValue("CURRENT", "bShowToolBar"), "<missing>");
}

TEST_F(OptionDlgTest, RestoreButtonGoesBackToTheStateBeforeTheDialogButKeepsTheDirectory)
{
    WriteHomeFile("Marlux.ini", "[CURRENT]\nbMirroringAtUploadAll=1\niRemoteSysToolBarAlign=2\n");
    Open();
    const QString elsewhere = QString::fromStdString(home_.Path());
    RunOptions([&](QDialog& dialog) {
        auto* mirror = Control<QCheckBox>(dialog, "ckMirroringAtUploadAll");
        EXPECT_TRUE(mirror->isChecked());
        EXPECT_EQ(Control<QComboBox>(dialog, "RemoteTBarBox")->currentText(), "下");
        mirror->click();
        auto* edge = Control<QComboBox>(dialog, "RemoteTBarBox");
        edge->setCurrentIndex(0);
        emit edge->activated(0);
        EXPECT_EQ(form_->Settings().ToolBarAlign(TToolBarId::RemoteSys), 1);
        form_->Settings().SetLocalDirectory(elsewhere);
        Click(dialog, "RestoreBtn");
        EXPECT_TRUE(mirror->isChecked());
        EXPECT_EQ(edge->currentText(), "下");
        EXPECT_EQ(form_->Settings().ToolBarAlign(TToolBarId::RemoteSys), 2);
        Click(dialog, "OkBtn");
    });
    EXPECT_EQ(QDir(form_->Settings().LocalDirectory()).canonicalPath(), QDir(elsewhere).canonicalPath());
    EXPECT_TRUE(form_->Options().bMirroringAtUploadAll);
}

TEST_F(OptionDlgTest, TextExtensionIsStoredAsTypedAndDottedAfterARestart)
{
    Open();
    RunOptions([](QDialog& dialog) {
        Control<QPlainTextEdit>(dialog, "TextExtMemo")->setPlainText("txt\n");
        Control<QPlainTextEdit>(dialog, "SkipExtMemo")->setPlainText(".tmp\n.bak");
        Click(dialog, "OkBtn");
    });
    EXPECT_EQ(form_->Extensions().TextExtList, StringList{"txt"});
    EXPECT_EQ(form_->Extensions().SkipExtList, (StringList{".tmp", ".bak"}));
    CloseWindow();
    EXPECT_EQ(TempDir::ReadFile(HomeFile("TextExt.txt")), "txt\n");
    Open();
    EXPECT_EQ(form_->Extensions().TextExtList, StringList{".txt"});
    RunOptions([](QDialog& dialog) {
        EXPECT_EQ(Control<QPlainTextEdit>(dialog, "TextExtMemo")->toPlainText(), ".txt\n");
        EXPECT_EQ(Control<QPlainTextEdit>(dialog, "SkipExtMemo")->toPlainText(), ".tmp\n.bak\n");
    });
}

TEST_F(OptionDlgTest, DefaultsThenOkGiveWindowTextColoursNoDoubleClickActionsAndLimitsOf500)
{
    WriteHomeFile("Marlux.ini", "[CURRENT]\niCommentColor=255\niOnLocalDblClick=0\niOnRemoteDblClick=1\n"
                                "iMaxLog=40\niMaxFileLog=30\niFileListSort=5\nbShowCaption=1\nbDrawImage=0\n");
    Open();
    EXPECT_FALSE(form_->Settings().HeaderImagesShown());
    RunOptions([this](QDialog& dialog) {
        EXPECT_EQ(Control<QLineEdit>(dialog, "edMaxLog")->text(), "40");
        EXPECT_TRUE(Control<QWidget>(dialog, "LocalDClickOptionGrp")->findChildren<QRadioButton*>().at(0)->isChecked());
        Click(dialog, "DefaultBtn");
        // The window's own keys are back at their factory values at once.
        EXPECT_TRUE(form_->Settings().HeaderImagesShown());
        EXPECT_EQ(form_->Settings().LogColor(TLogColorClass::Comment), LogColor::WindowText);
        Click(dialog, "OkBtn");
    });
    for (TLogColorClass kind : {TLogColorClass::Comment, TLogColorClass::Int, TLogColorClass::Reserve})
        EXPECT_EQ(form_->Settings().LogColor(kind), LogColor::WindowText);
    EXPECT_EQ(form_->Options().iOnRemoteDblClick, 2);
    EXPECT_EQ(form_->Options().iMaxFileLog, 500);
    EXPECT_EQ(form_->Options().iFileListSort, 0);
    EXPECT_EQ(IniValue("CURRENT", "iCommentColor"), "-2147483640");
    EXPECT_EQ(IniValue("CURRENT", "bShowCaption"), "0");
}

TEST_F(OptionDlgTest, LimitEditsTakeDigitsOnlyAndKeepTheirEditingKeys)
{
    Open();
    RunOptions([](QDialog& dialog) {
        auto* edit = Control<QLineEdit>(dialog, "edMaxLog");
        edit->setFocus();
        edit->end(false);
        PressKey(edit, Qt::Key_A, "a");
        PressKey(edit, Qt::Key_Minus, "-");
        EXPECT_EQ(edit->text(), "500");
        PressKey(edit, Qt::Key_Backspace);
        PressKey(edit, Qt::Key_Backspace);
        PressKey(edit, Qt::Key_7, "7");
        EXPECT_EQ(edit->text(), "57");
        PressKey(edit, Qt::Key_Home);
        PressKey(edit, Qt::Key_Delete);
        EXPECT_EQ(edit->text(), "7");
        Click(dialog, "OkBtn");
    });
    EXPECT_EQ(form_->Options().iMaxLog, 7);
    EXPECT_EQ(IniValue("CURRENT", "iMaxLog"), "7");
}

TEST_F(OptionDlgTest, LeavingALimitEditWithoutAPositiveNumberWarnsAndOkStores500)
{
    Open();
    RunOptions([this](QDialog& dialog) {
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        auto* maxLog = Control<QLineEdit>(dialog, "edMaxLog");
        auto* maxFileLog = Control<QLineEdit>(dialog, "edMaxFileLog");
        const auto leave = [&](QLineEdit* edit, const QString& text) {
            edit->setFocus(Qt::TabFocusReason);
            edit->setText(text);
            Control<QLineEdit>(dialog, "edInitDir")->setFocus(Qt::TabFocusReason);
        };
        leave(maxLog, "250");
        EXPECT_TRUE(dialogs_->Shown().isEmpty());
        leave(maxLog, "");
        leave(maxFileLog, "0");
        leave(maxFileLog, "99999999999");
        EXPECT_EQ(dialogs_->Shown(), QStringList(3, "数値を入力してください"));
        EXPECT_EQ(maxLog->text(), "");
        Click(dialog, "OkBtn");
        maxFileLog->setText("0");
    });
    EXPECT_EQ(form_->Options().iMaxLog, 500);
    EXPECT_EQ(form_->Options().iMaxFileLog, 500);  // the huge number is not a number
    EXPECT_EQ(IniValue("CURRENT", "iMaxLog"), "500");
}

TEST_F(OptionDlgTest, ColourViewerAndFolderDialogsFeedTheControlsAndOkTheWindow)
{
    Open();
    const QString folder = QString::fromStdString(home_.Path());
    dialogs_->QueueColor(QColor(1, 2, 3));
    dialogs_->QueueFileToOpen("/opt/viewer");
    dialogs_->QueueFolder(folder);
    RunOptions([](QDialog& dialog) {
        Click(dialog, "CommentBtn");
        Click(dialog, "IntBtn");  // cancelled: the colour stays
        Click(dialog, "ApplicationBrowseBtn");
        Click(dialog, "InitDirBrowseBtn");
        EXPECT_EQ(Control<QLineEdit>(dialog, "ApplicationPathEdit")->text(), "/opt/viewer");
        Click(dialog, "OkBtn");
    });
    EXPECT_EQ(dialogs_->ColorDialogsShown().size(), 2);
    EXPECT_EQ(dialogs_->FileFilters(), (QStringList{"Exeﾌｧｲﾙ (*.exe)", "すべてのﾌｧｲﾙ (*.*)"}));
    EXPECT_EQ(dialogs_->SelectedFileFilter(), 1);
    EXPECT_EQ(dialogs_->FolderInstructions(), QStringList{"ローカルの初期ディレクトリの選択："});
    EXPECT_EQ(form_->Settings().LogColor(TLogColorClass::Comment), 1 | 2 << 8 | 3 << 16);
    EXPECT_EQ(form_->Settings().LogColor(TLogColorClass::Int), LogColor::DesignedInt);
    EXPECT_EQ(form_->Options().asApplication, "/opt/viewer");
    EXPECT_EQ(form_->Options().asInitialDirectory, folder);
    EXPECT_EQ(IniValue("CURRENT", "iCommentColor"), std::to_string(1 | 2 << 8 | 3 << 16));
}

TEST_F(OptionDlgTest, OkCopiesTheSwitchesIntoTheWindow)
{
    Open();
    RunOptions([](QDialog& dialog) {
        for (const char* name : {"ckNoDisconnect", "ckShowTransactionDlg", "ckCompareTimeStamp",
                                 "ckRetrieveRemoteTimeStamp", "ckMirroringAtUploadAll", "ckConnectDlgOnStart"})
            Click(dialog, name);
        Control<QWidget>(dialog, "rgFileNameAfterTransfer")->findChildren<QRadioButton*>().at(2)->click();
        Click(dialog, "OkBtn");
    });
    const TWindowOptions& options = form_->Options();
    EXPECT_TRUE(form_->NoDisconnectTimer()->isActive());
    EXPECT_FALSE(options.bShowTransactionDlg);
    EXPECT_TRUE(options.bCompareTimeStamp);
    EXPECT_TRUE(options.bRetrieveRemoteTimeStamp);
    EXPECT_TRUE(options.bMirroringAtUploadAll);
    EXPECT_EQ(options.iFileNameAfterTransfer, 2);
    EXPECT_EQ(IniValue("CURRENT", "bConnectDlgOnStart"), "0");
    EXPECT_EQ(IniValue("CURRENT", "bNoDisconnect"), "1");
}

TEST_F(OptionDlgTest, ASettingsFileThatCannotBeWrittenIsReportedAndTheDialogStaysOpen)
{
    Open();
    const std::string lock = HomeFile("Marlux.ini.lock");
    RunOptions([&](QDialog& dialog) {
        unlink(lock.c_str());
        ASSERT_EQ(mkdir(lock.c_str(), 0700), 0);  // the writer cannot take its lock
        Click(dialog, "OkBtn");
        EXPECT_NE(dialog.result(), QDialog::Accepted);
        ASSERT_EQ(dialogs_->Shown().size(), 1);
        EXPECT_EQ(dialogs_->Shown().front().toStdString(), HomeFile("Marlux.ini") + " に書き込めません");
        rmdir(lock.c_str());
        Click(dialog, "OkBtn");
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    });
    EXPECT_EQ(IniValue("CURRENT", "iMaxLog"), "500");
}

}  // namespace
