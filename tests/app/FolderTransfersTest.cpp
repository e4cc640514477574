#include "RemoteScene.h"

#include "fixtures/FileTree.h"
#include "fixtures/RandomBytes.h"
#include "panes/LocalPane.h"

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QListWidget>
#include <QSplitter>
#include <QTreeWidget>

#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

class FolderTransfersTest : public RemoteSceneTest {
protected:
    // Runs aUploadAll or aDownloadAll and confirms its question.
    void RunAll(const char* action)
    {
        dialogs_->QueueAnswer(TUserDialogs::Answer::Yes);
        Run(action);
    }
};

}  // namespace

// What the walk sends, skips and makes at each level is the folder walk's test (FolderWalkTest,
// WalkPlanTest) and the transfers' without the window (TransfersAlone); here the window's commands
// reach it and its panes stay where they are while it runs.
TEST_F(FolderTransfersTest, TheAllCommandsMoveTheWholeFolderEachWayAndLeaveThePanesWhereTheyAre)
{
    fs::create_directories(Local("a b/empty"));
    Write(Local("a b/データ 1.bin"), RandomBytes(70000, 1));
    Write(Local("a b/sub/x.txt"), "line one\r\nline two\n");
    const auto original = FileTree(work_.Path());

    TMainForm& form = OpenConnected();
    QStringList panes;
    QObject::connect(form.LogPane(), &TEditor::LineAppended, [&form, &panes](const QString&) {
        panes << form.LocalPane().Folder() + u'|' + form.Controls().RemoteDirBox->currentText();
    });
    Run("aTypeBinary");
    RunAll("aUploadAll");
    EXPECT_EQ(FileTree(server_.Root()), original);

    TempDir back;
    form.LocalPane().ChangeDirectory(QString::fromStdString(back.Path()));
    RunAll("aDownloadAll");
    EXPECT_EQ(FileTree(back.Path()), original);
    panes.removeDuplicates();
    const QString remote = form.Controls().RemoteDirBox->currentText();
    EXPECT_EQ(panes, QStringList({QString::fromStdString(work_.Path()) + u'|' + remote,
                                  QString::fromStdString(back.Path()) + u'|' + remote}));

    // The local pane's mask chooses what a folder upload sends.
    for (const char* name : {"a.htm", "b.txt"})
        Write(back.File(name), "local");
    form.Controls().LocalMaskBox->setEditText(QStringLiteral("*.htm"));
    RunAll("aUploadAll");
    EXPECT_EQ(RemoteContents({"a.htm", "b.txt"}), (Strings{"local", "<missing>"}));
}

TEST_F(FolderTransfersTest, AMirroringUploadShowsItsWholePlanFirstCancelChangesNothingAndOkRunsExactlyThatPlan)
{
    Write(Local("a.txt"), "local a");
    Write(Local("new/b.txt"), "local b");
    Write(Remote("a.txt"), "remote a");
    Write(Remote("gone.txt"), "gone");
    TMainForm& form = OpenConnected();
    form.Options().bMirroringAtUploadAll = true;
    const auto server = FileTree(server_.Root());
    QString counts;
    QStringList deletions;
    QStringList plan;
    dialogs_->QueueDialog([&](QDialog& dialog) {
        counts = dialog.findChild<QLabel*>(QStringLiteral("lbCounts"))->text();
        const auto* list = dialog.findChild<QListWidget*>(QStringLiteral("DeletionList"));
        for (int row = 0; row < list->count(); ++row)
            deletions << list->item(row)->text();
        const auto* rows = dialog.findChild<QTreeWidget*>(QStringLiteral("PlanList"));
        for (int row = 0; row < rows->topLevelItemCount(); ++row)
            plan << rows->topLevelItem(row)->text(0) + u' ' + rows->topLevelItem(row)->text(3);
        return int(QDialog::Rejected);
    });
    RunAll("aUploadAll");
    EXPECT_EQ(FileTree(server_.Root()), server);
    for (const char* count : {"作成するフォルダー: 1", "送信するファイル: 2", "削除するファイル: 1"})
        EXPECT_TRUE(counts.contains(QString::fromUtf8(count))) << count;
    EXPECT_EQ(deletions, QStringList{QStringLiteral("gone.txt")});
    EXPECT_EQ(plan, QStringList({QStringLiteral("削除 gone.txt"), QStringLiteral("フォルダー作成 new"),
                                 QStringLiteral("送信 new/b.txt"), QStringLiteral("送信 a.txt")}));
    EXPECT_TRUE(form.Controls().MainPanel->isEnabled());

    // OK runs the plan; that it runs exactly what was shown is WalkPlanTest's.
    dialogs_->QueueDialog([](QDialog&) { return int(QDialog::Accepted); });
    RunAll("aUploadAll");
    EXPECT_EQ(RemoteContents({"a.txt", "new/b.txt", "gone.txt"}), (Strings{"local a", "local b", "<missing>"}));
    EXPECT_FALSE(form.BusyFlag());
}

// A walk stopped by an abort shows the stop of each level that had entries left and leaves the
// window usable; which levels stop is FolderWalkTest's (LinksUpTheWayAndUnsafeNames...).
TEST_F(FolderTransfersTest, AnExistingFolderInAnyLetterCaseIsEnteredAndAnAbortedWalkLeavesTheWindowUsable)
{
    Write(Remote("pub/new/b.txt"), "b");
    Write(Local("pub/mine.txt"), "mine");
    TMainForm& form = OpenConnected();
    RunAll("aDownloadAll");
    EXPECT_EQ(LocalContents({"pub/new/b.txt", "pub/mine.txt"}), (Strings{"b", "mine"}));
    const QString log = QString::fromStdString(OperationLog());
    EXPECT_EQ(log.count(QStringLiteral(" CreateDir ")), 1);
    EXPECT_TRUE(log.contains(QStringLiteral(" CreateDir new ")));

    Write(Local("Docs/x.txt"), "x");
    fs::create_directories(Remote("docs"));
    Run("aRemoteRefresh");
    Run("aLocalRefresh");
    RunAll("aUploadAll");
    EXPECT_EQ(RemoteContents({"docs/x.txt", "pub/mine.txt"}), (Strings{"x", "mine"}));
    EXPECT_FALSE(LogLines().join(u'\n').contains(QStringLiteral("MKD")));

    // The abort comes as the walk enters the third level: level two's only row is level three, so
    // level two ends without a message of its own.
    Write(Local("a/b/c.txt"), "c");
    Write(Local("z.txt"), "z");
    Run("aLocalRefresh");
    // On the engine's thread as the command goes out, so that the walk meets the abort at its next file.
    form.IdLogEvent1.OnSent = [logged = form.IdLogEvent1.OnSent, &form](TIdLogBase* sender, const std::string& time,
                                                                        const std::string& data) {
        if (data.find("CWD b") != std::string::npos)
            form.Service().RequestAbort();
        logged(sender, time, data);
    };
    RunAll("aUploadAll");
    EXPECT_EQ(dialogs_->Shown().mid(3), QStringList(2, QStringLiteral("転送を中止しました。")));  // after three questions
    EXPECT_TRUE(form.Controls().MainPanel->isEnabled());
    EXPECT_FALSE(form.BusyFlag());
    EXPECT_TRUE(Exists(Remote("a/b")));
    EXPECT_EQ(RemoteContents({"a/b/c.txt", "z.txt"}), (Strings{"<missing>", "<missing>"}));
}
