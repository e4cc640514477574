#include "MainFormFixture.h"

#include "fixtures/FileTree.h"
#include "fixtures/RandomBytes.h"
#include "fixtures/SshServer.h"
#include "panes/FileListModel.h"
#include "panes/FileViewStack.h"
#include "session/ProtocolBox.h"
#include "transfer/TransferQueue.h"

#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QTimer>
#include <QTreeView>

#include <csignal>
#include <filesystem>

namespace {

using Answer = TUserDialogs::Answer;

// The window connected through a profile set to SFTP, to a real OpenSSH server on loopback.
class SftpWindowTest : public MainFormTest {
protected:
    // Runs the connect command with the dialog filled in for the server as profile "site"; the
    // protocol moves only the default port, not the server's.
    void Connect()
    {
        MainFormTest::Connect({{"HostNameEdit", QStringLiteral("127.0.0.1")}, {"PortEdit", QString::number(server_.Port())},
                               {"UserIdEdit", QString::fromLatin1(SshServer::TestUser)},
                               {"PasswordEdit", QString::fromLatin1(SshServer::TestPassword)},
                               {"TimeOutEdit", QStringLiteral("10")}},
                              [](QDialog& dialog) {
                                  dialog.findChild<TProtocolBox*>(QStringLiteral("ProtocolBox"))->SetProtocol(TProtocol::Sftp);
                              });
    }
    // Connects, trusting the host key when asked, and lists both panes.
    TMainForm& OpenConnected()
    {
        TMainForm& form = OpenQuiet();
        dialogs_->QueueAnswer(Answer::Yes);
        Connect();
        EXPECT_TRUE(form.SessionConnected());
        // The listing after the login leaves the panes usable.
        EXPECT_FALSE(form.BusyFlag());
        Run("aLocalRefresh");
        return form;
    }
    QStringList RemoteCaptions() const { return Captions(RemoteList().Model()); }
    // The commands the queue's context menu offers enabled.
    QStringList EnabledQueueCommands() const
    {
        QStringList enabled;
        QTimer::singleShot(0, [&enabled] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu)
                return;
            for (const QAction* action : menu->actions())
                if (action->isEnabled())
                    enabled << action->text();
            menu->close();
        });
        emit form_->findChild<QTreeView*>(QStringLiteral("QueueView"))->customContextMenuRequested({1, 1});
        return enabled;
    }
    std::string Local(const std::string& name) const { return work_.File(name); }
    std::string Remote(const std::string& name) const { return server_.File(name); }

    SshServer server_;
};

}  // namespace

TEST_F(SftpWindowTest, AnUnknownHostKeyIsAskedOnceAndKeptWithTheProfileAndAChangedOneIsRefusedWithoutAsking)
{
    server_.WriteFile("hello.txt", "hi");
    TMainForm& form = OpenQuiet();
    const std::string trusted = server_.HostKeyFingerprint();

    // Not trusted: no session, nothing kept.
    dialogs_->QueueAnswer(Answer::No);
    Connect();
    ExpectNotConnected();
    ASSERT_EQ(dialogs_->Shown().size(), 1);
    EXPECT_EQ(IniValue("site", "SSHHOSTKEY"), "<missing>");

    dialogs_->QueueAnswer(Answer::Yes);
    Connect();
    ASSERT_TRUE(form.SessionConnected());
    EXPECT_EQ(IniValue("site", "SSHHOSTKEY"), trusted);
    EXPECT_EQ(IniValue("CURRENT", "SSHHOSTKEY"), trusted);
    EXPECT_EQ(RemoteCaptions(), QStringList{"hello.txt"});
    Run("aConnect");
    ExpectNotConnected();

    // That a kept key is handed to the client, which then asks nothing, are the connection
    // dialog's and the client's tests. Changed: refused, told, never offered; the kept key stays.
    server_.ReplaceHostKey();
    dialogs_->QueueAnswer(Answer::Yes);
    Connect();
    ExpectNotConnected();
    ASSERT_EQ(dialogs_->Shown().size(), 3);
    EXPECT_TRUE(dialogs_->Shown()[2].contains(QString::fromStdString(server_.HostKeyFingerprint())));
    EXPECT_EQ(IniValue("site", "SSHHOSTKEY"), trusted);
}

TEST_F(SftpWindowTest, AnSftpAddressAsksForThePasswordAndTheHostKeyAndSavesNeither)
{
    server_.MakeDirectory("docs");
    server_.WriteFile("docs/a.txt", "a");
    // No agent: the password is asked for.
    const QByteArray agent = qgetenv("SSH_AUTH_SOCK");
    qunsetenv("SSH_AUTH_SOCK");
    WriteHomeFile("Marlux.ini", "[CURRENT]\nTIMEOUT=10\nPROFILE=site\n[site]\nHOST=elsewhere\n");
    const QString address = QStringLiteral("sftp://%1@127.0.0.1:%2%3")
                                .arg(QString::fromLatin1(SshServer::TestUser))
                                .arg(server_.Port())
                                .arg(QString::fromStdString(server_.File("docs")));
    TMainForm& form = Open({address});
    QString asked;
    QueuePassword(QString::fromLatin1(SshServer::TestPassword), asked);
    dialogs_->QueueAnswer(Answer::Yes);
    emit form.StartupTimer()->timeout({});
    Settle(form);
    if (!agent.isEmpty())
        qputenv("SSH_AUTH_SOCK", agent);

    ASSERT_TRUE(form.SessionConnected());
    EXPECT_FALSE(asked.isEmpty());
    // The host key's question, for this session only; its text is the session's own test.
    ASSERT_EQ(dialogs_->Shown().size(), 1);
    EXPECT_TRUE(dialogs_->Shown()[0].contains(QStringLiteral("保存はしません")));
    EXPECT_EQ(RemoteCaptions(), QStringList{"a.txt"});
    CloseWindow();
    EXPECT_EQ(SettingsHolding({"SSHHOSTKEY", "[127.0.0.1]", SshServer::TestPassword}), std::vector<std::string>{});
}

// The queue moving whole trees both ways is TransferQueueTest's; SFTP transfers are the client's.
TEST_F(SftpWindowTest, AFolderGoesThroughThreeConnectionsWithThePanesUsableAndADroppedConnectionEndsTheSession)
{
    std::filesystem::create_directories(Local("up"));
    for (int file = 0; file < 9; ++file)
        TempDir::WriteFile(Local("up/f" + std::to_string(file) + ".bin"), RandomBytes(30000 + std::size_t(file), unsigned(file)));
    server_.WriteFile("big.bin", std::string(std::size_t{256} << 20, 'b'));
    TMainForm& form = OpenConnected();
    form.Options().iTransferConnections = 3;

    dialogs_->QueueAnswer(Answer::Yes);
    RunOnLocal("aUpload", {"up"});
    RunQueue();
    EXPECT_EQ(FileTree(Remote("up")), FileTree(Local("up")));

    const TQueueModel& rows = form.TransferQueue().Model();
    ASSERT_EQ(rows.rowCount(), 9);
    for (int row = 0; row < rows.rowCount(); ++row)
        EXPECT_EQ(rows.index(row, TQueueModel::State).data().toString(), QStringLiteral("完了")) << row;
    // Nothing to abort or retry: only the removal of finished rows is offered.
    EXPECT_EQ(EnabledQueueCommands(), QStringList{QStringLiteral("終了した行を削除")});
    // The extra connections logged in with the profile's trust, asking nothing (the two
    // questions are the host key's and the folder's), and said so in the log.
    EXPECT_FALSE(LogLines().filter(QStringLiteral("[3] ")).filter(QStringLiteral("Authenticated by password")).isEmpty())
        << LogLines().join('\n').toStdString();
    EXPECT_TRUE(LogLines().filter(QString::fromLatin1(SshServer::TestPassword)).isEmpty());
    EXPECT_EQ(dialogs_->Shown().size(), 2) << dialogs_->Shown().join('\n').toStdString();
    EXPECT_TRUE(form.SessionConnected());

    // A connection dropped mid-transfer ends the session with its error in the log; the window
    // connects again.
    form.Options().iTransferConnections = 1;
    QTimer watcher;
    WhileTransferring(watcher, [] { return true; }, [this] { server_.KillSessions(SIGKILL); });
    RunOnRemote("aDownload", {"big.bin"});
    EXPECT_FALSE(watcher.isActive());
    ExpectNotConnected();
    // Whatever arrived is not taken for the whole file.
    EXPECT_TRUE(!TempDir::Exists(Local("big.bin")) ||
                std::filesystem::file_size(Local("big.bin")) < (std::uintmax_t{256} << 20));
    EXPECT_FALSE(LogLines().filter(QStringLiteral("Download: the connection was lost")).isEmpty());

    Connect();
    EXPECT_TRUE(form.SessionConnected());
    EXPECT_EQ(RemoteCaptions(), (QStringList{"up", "big.bin"}));
}
