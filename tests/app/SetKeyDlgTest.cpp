// Shortcut key assignment on the real window, answered by scripts.
#include "MainFormFixture.h"

#include "settings/HotKeyBox.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

#include <sys/stat.h>

namespace {

const QString Gap = "       ";

QKeySequence Key(Qt::KeyboardModifiers modifiers, Qt::Key key)
{
    return QKeySequence(QKeyCombination(modifiers, key));
}

void Press(QWidget* widget, Qt::KeyboardModifiers modifiers, Qt::Key key)
{
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(widget, &press);
}

class SetKeyDlgTest : public MainFormTest {
protected:
    // Opens the dialog through aSetKey with the "ローカル(&L)" menu and its first row chosen.
    void RunSetKey(std::function<void(QDialog&)> script)
    {
        dialogs_->QueueDialog([script](QDialog& dialog) {
            dialog.findChild<QListWidget*>("lbTopMenu")->setCurrentRow(1);
            script(dialog);
            return QDialog::Accepted;
        });
        form_->Action("aSetKey")->trigger();
    }
    static QListWidget* Rows(QDialog& dialog) { return dialog.findChild<QListWidget*>("lbMenu"); }
    static QLineEdit* Edit(QDialog& dialog, const char* name) { return dialog.findChild<QLineEdit*>(name); }
    static void Click(QDialog& dialog, const char* name) { dialog.findChild<QPushButton*>(name)->click(); }
    QAction* MenuItem(const char* name) const { return form_->findChild<QAction*>(name); }
    std::string KeyList() const { return TempDir::ReadFile(HomeFile("KeyList.ini")); }
};

TEST_F(SetKeyDlgTest, ListsTopLevelMenusAndTheirCommandItemsDepthFirst)
{
    Open();
    RunSetKey([](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "ショートカットの割り当て");
        auto* top = dialog.findChild<QListWidget*>("lbTopMenu");
        ASSERT_EQ(top->count(), 6);
        EXPECT_EQ(top->item(1)->text(), "ローカル(&L)");
        QListWidget* rows = Rows(dialog);
        EXPECT_EQ(rows->item(0)->text(), "アップロード(&U)" + Gap + "Ctrl+U");
        EXPECT_EQ(rows->item(1)->text(), "すべてアップロード(&E)" + Gap);
        EXPECT_EQ(rows->item(2)->text(), "そのまま(&A)" + Gap);  // first item of a submenu
        EXPECT_EQ(Edit(dialog, "edCurrentKey")->text(), "Ctrl+U");
        rows->setCurrentRow(1);
        EXPECT_EQ(Edit(dialog, "edCurrentKey")->text(), "なし");
    });
}

TEST_F(SetKeyDlgTest, CtrlShiftUOnUploadIsStoredAsShiftCtrlUAndWorksAtOnce)
{
    Open();
    RunSetKey([](QDialog& dialog) {
        Press(dialog.findChild<THotKeyBox*>("hkNewKey"), Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_U);
        EXPECT_EQ(Edit(dialog, "hkNewKey")->text(), "Shift+Ctrl+U");
        Click(dialog, "ApplyBtn");
        EXPECT_EQ(Rows(dialog)->currentRow(), 0);
        EXPECT_EQ(Rows(dialog)->item(0)->text(), "アップロード(&U)" + Gap + "Shift+Ctrl+U");
        EXPECT_EQ(Edit(dialog, "edCurrentKey")->text(), "Shift+Ctrl+U");
    });
    EXPECT_EQ(KeyList(), "[Key]\nUpload=Shift+Ctrl+U\n");
    const QKeySequence shiftCtrlU = Key(Qt::ShiftModifier | Qt::ControlModifier, Qt::Key_U);
    EXPECT_EQ(MenuItem("Upload")->shortcut(), shiftCtrlU);
    EXPECT_EQ(form_->Action("aUpload")->shortcut(), shiftCtrlU);
    CloseWindow();
    Open();
    EXPECT_EQ(MenuItem("Upload")->shortcut(), shiftCtrlU);
}

TEST_F(SetKeyDlgTest, HotKeyBoxAddsCtrlToAPlainKeyAndEmptiesOnBackspace)
{
    Open();
    RunSetKey([](QDialog& dialog) {
        auto* box = dialog.findChild<THotKeyBox*>("hkNewKey");
        Press(box, Qt::NoModifier, Qt::Key_K);
        EXPECT_EQ(box->HotKey(), Key(Qt::ControlModifier, Qt::Key_K));
        Press(box, Qt::AltModifier, Qt::Key_F7);
        EXPECT_EQ(box->text(), "Alt+F7");
        Press(box, Qt::ShiftModifier, Qt::Key_Shift);  // a modifier alone changes nothing
        EXPECT_EQ(box->text(), "Alt+F7");
        Press(box, Qt::NoModifier, Qt::Key_Escape);  // closes the dialog instead
        EXPECT_EQ(box->text(), "Alt+F7");
        Press(box, Qt::NoModifier, Qt::Key_Backspace);
        EXPECT_TRUE(box->HotKey().isEmpty());
        EXPECT_EQ(box->text(), "");
    });
}

// An empty key and a misspelt typed one both leave the item without a key, now and after
// a restart; the file keeps what was applied.
TEST_F(SetKeyDlgTest, AnEmptyOrMisspeltApplyRemovesTheKeyAlsoAfterRestarts)
{
    for (const QString& typed : {QString(), QStringLiteral("Shft+U")}) {
        SCOPED_TRACE(typed.toStdString());
        Open();
        RunSetKey([&](QDialog& dialog) {
            if (typed.isEmpty())
                Press(dialog.findChild<THotKeyBox*>("hkNewKey"), Qt::NoModifier, Qt::Key_Backspace);
            else
                Edit(dialog, "edNewKey")->setText(typed);
            Click(dialog, "ApplyBtn");
            EXPECT_EQ(Edit(dialog, "edCurrentKey")->text(), "なし");
        });
        EXPECT_EQ(KeyList(), "[Key]\nUpload=" + typed.toStdString() + "\n");
        EXPECT_TRUE(form_->Action("aUpload")->shortcut().isEmpty());
        CloseWindow();
        Open();
        EXPECT_TRUE(MenuItem("Upload")->shortcut().isEmpty());
        CloseWindow();
    }
}

TEST_F(SetKeyDlgTest, DefaultButtonRemovesTheEntryTakingEffectAtTheNextStart)
{
    WriteHomeFile("KeyList.ini", "[Key]\nUpload=Ctrl+1\nDownload=Ctrl+2\n");
    Open();
    EXPECT_EQ(MenuItem("Upload")->shortcut(), Key(Qt::ControlModifier, Qt::Key_1));
    RunSetKey([](QDialog& dialog) {
        Click(dialog, "DefaultBtn");
        EXPECT_EQ(Edit(dialog, "edCurrentKey")->text(), "次回立ち上げ時変更");
        dialog.findChild<QListWidget*>("lbTopMenu")->setCurrentRow(0);
        dialog.findChild<QListWidget*>("lbTopMenu")->setCurrentRow(1);
        EXPECT_EQ(Rows(dialog)->item(0)->text(), "アップロード(&U)" + Gap + "Ctrl+1");
    });
    EXPECT_EQ(KeyList(), "[Key]\nDownload=Ctrl+2\n");
    EXPECT_EQ(MenuItem("Upload")->shortcut(), Key(Qt::ControlModifier, Qt::Key_1));
    CloseWindow();
    Open();
    EXPECT_EQ(MenuItem("Upload")->shortcut(), Key(Qt::ControlModifier, Qt::Key_U));
}

TEST_F(SetKeyDlgTest, TypedShiftEnterIsAssignedAndTypedTextWinsOnEveryApply)
{
    Open();
    RunSetKey([](QDialog& dialog) {
        Edit(dialog, "edNewKey")->setText("Shift+Enter");
        Click(dialog, "ApplyBtn");
        Rows(dialog)->setCurrentRow(1);
        Click(dialog, "ApplyBtn");  // the typed text stays and goes to this item too
        EXPECT_EQ(Edit(dialog, "edNewKey")->text(), "Shift+Enter");
    });
    EXPECT_EQ(KeyList(), "[Key]\nUpload=Shift+Enter\nUploadAll=Shift+Enter\n");
    EXPECT_EQ(form_->Action("aUpload")->shortcut(), Key(Qt::ShiftModifier, Qt::Key_Return));
    EXPECT_EQ(form_->Action("aUploadAll")->shortcut(), Key(Qt::ShiftModifier, Qt::Key_Return));
}

TEST_F(SetKeyDlgTest, StartUpAppliesTheFileIgnoringWhatIsNoMenuItem)
{
    WriteHomeFile("KeyList.ini", "junk\n[Key]\nupload=F5\nDownload=Shft+D\nNoSuchItem=Ctrl+1\nLocalMenu=Ctrl+2\n"
                                 "=Ctrl+3\nRemote=Ctrl+4\nAbort=\nLocalRefresh=Ctrl+5\nRemoteRefresh=Ctrl+5\n");
    Open();
    EXPECT_EQ(form_->Action("aUpload")->shortcut(), Key(Qt::NoModifier, Qt::Key_F5));
    EXPECT_TRUE(form_->Action("aDownload")->shortcut().isEmpty());
    EXPECT_TRUE(form_->Action("aAbort")->shortcut().isEmpty());
    // Two items may share a key; both get it.
    EXPECT_EQ(form_->Action("aLocalRefresh")->shortcut(), Key(Qt::ControlModifier, Qt::Key_5));
    EXPECT_EQ(form_->Action("aRemoteRefresh")->shortcut(), Key(Qt::ControlModifier, Qt::Key_5));
    EXPECT_TRUE(form_->findChild<QMenu*>("LocalMenu")->menuAction()->shortcut().isEmpty());
}

TEST_F(SetKeyDlgTest, AKeyFileThatCannotBeWrittenIsReported)
{
    Open();
    ASSERT_EQ(mkdir(HomeFile("KeyList.ini").c_str(), 0700), 0);
    RunSetKey([](QDialog& dialog) {
        Click(dialog, "ApplyBtn");
        Click(dialog, "DefaultBtn");
        EXPECT_EQ(Edit(dialog, "edCurrentKey")->text(), "Ctrl+U");
    });
    const QString message = QString::fromStdString(HomeFile("KeyList.ini")) + " に書き込めません";
    EXPECT_EQ(dialogs_->Shown(), (QStringList{message, message}));
    EXPECT_EQ(form_->Action("aUpload")->shortcut(), Key(Qt::ControlModifier, Qt::Key_U));
}

}  // namespace
