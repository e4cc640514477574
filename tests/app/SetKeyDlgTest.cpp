// Shortcut key assignment on the real window, answered by scripts.
#include "DialogScene.h"

#include "settings/HotKeyBox.h"

#include <QLineEdit>
#include <QListWidget>
#include <QMenu>

#include <sys/stat.h>
#include <unistd.h>

namespace {

QKeySequence Key(Qt::KeyboardModifiers modifiers, Qt::Key key)
{
    return QKeySequence(QKeyCombination(modifiers, key));
}

class SetKeyDlgTest : public DialogSceneTest {
protected:
    // Opens the dialog through aSetKey with the "ローカル(&L)" menu and its first row, Upload, chosen.
    void RunSetKey(std::function<void()> script)
    {
        RunDialog("aSetKey", [this, script] {
            Get<QListWidget>("lbTopMenu")->setCurrentRow(1);
            script();
        });
    }
    QString Text(const char* edit) const { return Get<QLineEdit>(edit)->text(); }
    THotKeyBox* HotKeyBox() const { return Get<THotKeyBox>("hkNewKey"); }
    QKeySequence UploadKey() const { return form_->Action("aUpload")->shortcut(); }
    std::string KeyList() const { return TempDir::ReadFile(HomeFile("KeyList.ini")); }
};

// A key file that cannot be written is reported and changes nothing; once it can, the new key
// works at once and after a restart.
TEST_F(SetKeyDlgTest, CtrlShiftUPressedOnUploadIsStoredAsShiftCtrlUAndWorksAtOnceAndAfterARestart)
{
    ASSERT_EQ(mkdir(HomeFile("KeyList.ini").c_str(), 0700), 0);
    Open();
    RunSetKey([this] {
        THotKeyBox* box = HotKeyBox();
        PressKey(box, Qt::Key_U, {}, Qt::ControlModifier | Qt::ShiftModifier);
        Click("ApplyBtn");
        Click("DefaultBtn");
        EXPECT_EQ(Text("edCurrentKey"), "Ctrl+U");
        const QString message = QString::fromStdString(HomeFile("KeyList.ini")) + " に書き込めません";
        EXPECT_EQ(dialogs_->Shown(), (QStringList{message, message}));
        rmdir(HomeFile("KeyList.ini").c_str());
        PressKey(box, Qt::Key_U, {}, Qt::ControlModifier | Qt::ShiftModifier);
        Click("ApplyBtn");
        EXPECT_EQ(Text("edCurrentKey"), "Shift+Ctrl+U");
    });
    EXPECT_EQ(KeyList(), "[Key]\nUpload=Shift+Ctrl+U\n");
    const QKeySequence shiftCtrlU = Key(Qt::ShiftModifier | Qt::ControlModifier, Qt::Key_U);
    EXPECT_EQ(UploadKey(), shiftCtrlU);
    CloseWindow();
    Open();
    EXPECT_EQ(UploadKey(), shiftCtrlU);
}

// Start-up applies the file, ignoring what is no menu item; two items may share a key. An empty
// key is kept in the file and means none; Default removes the entry, which takes effect at the
// next start. The rest of the file stays as it was.
TEST_F(SetKeyDlgTest, StartUpAppliesTheFileAndAnEmptyApplyOrDefaultRemovesTheKey)
{
    const std::string rest = "Download=Shft+D\nNoSuchItem=Ctrl+1\nLocalMenu=Ctrl+2\n=Ctrl+3\nAbort=\n"
                             "LocalRefresh=Ctrl+5\nRemoteRefresh=Ctrl+5\n";
    WriteHomeFile("KeyList.ini", "junk\n[Key]\nupload=F5\n" + rest);
    Open();
    EXPECT_EQ(UploadKey(), Key(Qt::NoModifier, Qt::Key_F5));
    EXPECT_TRUE(form_->Action("aDownload")->shortcut().isEmpty());
    EXPECT_EQ(form_->Action("aLocalRefresh")->shortcut(), Key(Qt::ControlModifier, Qt::Key_5));
    EXPECT_EQ(form_->Action("aRemoteRefresh")->shortcut(), Key(Qt::ControlModifier, Qt::Key_5));
    EXPECT_TRUE(form_->findChild<QMenu*>("LocalMenu")->menuAction()->shortcut().isEmpty());

    RunSetKey([this] {
        PressKey(HotKeyBox(), Qt::Key_Backspace);
        Click("ApplyBtn");
        EXPECT_EQ(Text("edCurrentKey"), "なし");
    });
    EXPECT_EQ(KeyList(), "junk\n[Key]\nUpload=\n" + rest);
    CloseWindow();
    Open();
    EXPECT_TRUE(UploadKey().isEmpty());
    RunSetKey([this] { Click("DefaultBtn"); });
    EXPECT_EQ(KeyList(), "junk\n[Key]\n" + rest);
    EXPECT_TRUE(UploadKey().isEmpty());
    CloseWindow();
    Open();
    EXPECT_EQ(UploadKey(), Key(Qt::ControlModifier, Qt::Key_U));
}

}  // namespace
