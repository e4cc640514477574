#include "RemoteScene.h"

#include "fileops/CommandDlg.h"
#include "panes/FileListModel.h"
#include "panes/FileViewStack.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include <filesystem>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Answer = TUserDialogs::Answer;

class RemoteFileOpsTest : public RemoteSceneTest {
protected:
    QStringList Captions() { return MainFormTest::Captions(RemoteList().Model()); }
    void Select(const QStringList& names) { MainFormTest::Select(RemoteList(), names); }
    qsizetype Count(const QString& logText) const { return LogLines().filter(logText).size(); }
    void MakeFiles(std::initializer_list<const char*> names) const
    {
        for (const char* name : names)
            Write(Remote(name), name);
    }
    // A file's permission bits.
    mode_t Mode(const std::string& name) const
    {
        struct stat status {};
        stat(Remote(name).c_str(), &status);
        return status.st_mode & 07777;
    }
    // The files the view command left for the viewer (the run's lock file aside), by name, with
    // their contents.
    std::map<std::string, std::string> ViewedFiles() const
    {
        std::map<std::string, std::string> files;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(HomeFile("View")))
            if (entry.is_regular_file() && entry.path().filename() != "run.lock")
                files[entry.path().filename().string()] = Read(entry.path());
        return files;
    }
};

}  // namespace

TEST_F(RemoteFileOpsTest, CommandsNewNamesDeletionsAndViewsReachTheServerAndARefusalEndsTheCommandAtItsRow)
{
    ASSERT_EQ(mkdir(Remote("empty").c_str(), 0755), 0);
    MakeFiles({"dir.d/kept", "a", "b", "c", "x.tar.gz"});
    TMainForm& form = OpenConnected();
    Select({"a", "b"});
    RunCommandDialog([](TCommandDlg& dialog) {
        dialog.ChmodOptionItem(1)->click();
        EXPECT_EQ(dialog.reCommand()->toPlainText(), QStringLiteral("CHMOD 755 a\nCHMOD 755 b"));
        // Hand edits are sent as they stand, trimmed, without the empty lines.
        dialog.reCommand()->appendPlainText(QStringLiteral("\n   \n  CHMOD 640 c  "));
        dialog.OkBtn()->click();
    });
    // Trailing blanks would have become part of the file name.
    EXPECT_EQ(Mode("a"), 0755u);
    EXPECT_EQ(Mode("c"), 0640u);
    EXPECT_EQ(Count(QStringLiteral("<< SITE")), 3);
    // A refused line closes the dialog; no further line, log line or listing follows.
    const qsizetype listings = Count(QStringLiteral("<< LIST"));
    const std::string operations = OperationLog();
    RunCommandDialog([](TCommandDlg& dialog) {
        dialog.reCommand()->setPlainText(QStringLiteral("NOSUCH a\nCHMOD 644 a"));
        dialog.OkBtn()->click();
    });
    EXPECT_EQ(Mode("a"), 0755u);
    EXPECT_EQ(OperationLog(), operations);
    EXPECT_EQ(Count(QStringLiteral("<< LIST")), listings);

    // The extension and case commands rename files and leave folders alone.
    Select({"dir.d", "x.tar.gz"});
    QueueName(QStringLiteral(".zip"));
    Run("aRemoteExtModify");
    EXPECT_EQ(Read(Remote("x.zip")), "x.tar.gz");
    Select({"dir.d", "x.zip"});
    dialogs_->QueueAnswer(Answer::Yes);
    Run("aRemoteUpperCase");
    EXPECT_EQ(Captions(), (QStringList{"dir.d", "empty", "X.ZIP", "a", "b", "c"}));

    // Delete asks twice. The server refuses the non-empty folder; the row after it stays. Making
    // and renaming are RemoteFileOpsAlone's, and their actions are used in RemoteNamesTest.
    Select({"empty", "X.ZIP"});
    Delete(Answer::No);
    EXPECT_TRUE(Exists(Remote("X.ZIP")));
    Delete(Answer::Yes);
    EXPECT_EQ(std::pair(Exists(Remote("empty")), Exists(Remote("X.ZIP"))), std::pair(false, false));
    EXPECT_NE(OperationLog().find(" Delete CURRENT:/:X.ZIP  \r\n"), std::string::npos);
    EXPECT_EQ(Captions(), (QStringList{"dir.d", "a", "b", "c"}));
    Select({"dir.d", "a"});
    Delete(Answer::Yes);
    EXPECT_EQ(std::pair(Exists(Remote("dir.d/kept")), Exists(Remote("a"))), std::pair(true, true));
    EXPECT_TRUE(form.SessionConnected());

    // Viewed files keep the transfer type in force. Where they go (never over the program's
    // files) and when they go is the view folder's own test.
    Write(Remote("Marlux.ini"), "[CURRENT]\r\nbConnectDlgOnStart=0\r\n");
    MakeFiles({"notes.txt", "gone.txt", "bell\x07.txt"});
    Run("aRemoteRefresh");
    form.Options().asApplication = QStringLiteral("/bin/true");
    RunJob(form.Service(), [](TRemoteEngine& engine) { engine.SetTransferType(ftASCII); });
    Select({"Marlux.ini", "notes.txt", "gone.txt", QStringLiteral("bell\u0007.txt")});
    unlink(Remote("gone.txt").c_str());
    const qsizetype logBefore = LogLines().size();
    const qsizetype shown = dialogs_->Shown().size();
    Run("aRemoteFileView");
    // In ASCII the server's CR LF line ends arrive as this system's LF.
    const std::map<std::string, std::string> expected{{"Marlux.ini", "[CURRENT]\nbConnectDlgOnStart=0\n"},
                                                      {"notes.txt", "notes.txt"}};
    EXPECT_EQ(ViewedFiles(), expected);
    const QStringList dialogue = LogLines().mid(logBefore);
    EXPECT_EQ(dialogue.filter(QStringLiteral("<< RETR")).size(), 3);  // the unsafe name is never asked for
    EXPECT_EQ(dialogs_->Shown().size(), shown);
    EXPECT_FALSE(form.BusyFlag());
}
