#include "MainFormFixture.h"

#include "fixtures/FtpServer.h"
#include "fixtures/KeyringService.h"
#include "fixtures/ScriptedPeer.h"
#include "fixtures/TestCertificate.h"
#include "ftp/IdException.h"
#include "panes/ComboItems.h"
#include "panes/FileViewStack.h"
#include "session/PasswordStore.h"
#include "support/RunEventsUntil.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <chrono>
#include <memory>
#include <thread>
#include <sys/stat.h>

namespace {

using Answer = TUserDialogs::Answer;
// Rows of the connection dialog's encryption box.
enum TEncryptionRow { NoTls, ExplicitTls };

class SessionTest : public MainFormTest {
protected:
    // Runs the connect command with the dialog filled in, and lets the window go idle.
    void Connect(int port, TEncryptionRow encryption = NoTls, const QString& remoteDir = {}, const char* timeOut = "5")
    {
        MainFormTest::Connect({{"HostNameEdit", QStringLiteral("127.0.0.1")}, {"PortEdit", QString::number(port)},
                               {"UserIdEdit", QStringLiteral("user")}, {"PasswordEdit", QStringLiteral("secret")},
                               {"HostDirEdit", remoteDir}, {"TimeOutEdit", QString::fromLatin1(timeOut)}},
                              [encryption](QDialog& dialog) {
                                  dialog.findChild<QComboBox*>(QStringLiteral("ProxyTypeBox"))->setCurrentIndex(-1);
                                  auto* box = dialog.findChild<QComboBox*>(QStringLiteral("EncryptionBox"));
                                  box->setCurrentIndex(encryption);
                              });
    }
    QComboBox& RemoteDirBox() const { return *form_->findChild<QComboBox*>(QStringLiteral("RemoteDirBox")); }
    std::string LstFile(const std::string& name) const { return HomeFile("LST/" + name); }
};

}  // namespace

TEST_F(SessionTest, TheUsersDisconnectSavesTheSessionsStateAndALostConnectionClearsTheRemoteSideUnsaved)
{
    auto server = std::make_unique<FtpServer>();
    mkdir(server->File("pub").c_str(), 0755);
    TMainForm& form = OpenQuiet();
    TempDir::WriteFile(LstFile("site.lst"), "/pub\n/incoming\n");
    Connect(server->Port(), NoTls, QStringLiteral("/pub/"));
    ASSERT_TRUE(form.SessionConnected());
    // A menu item of the remote side; it follows the session.
    EXPECT_TRUE(form.findChild<QAction*>(QStringLiteral("DownloadAll"))->isEnabled());
    // The login lists the folder once.
    EXPECT_EQ(RemoteDirBox().currentText(), QStringLiteral("/pub"));
    EXPECT_EQ(LogLines().filter(QStringLiteral("<< MLSD")).size(), 1);

    const QString localDir = form.findChild<QComboBox*>(QStringLiteral("LocalDirBox"))->currentText();
    RemoteDirBox().addItem(QStringLiteral("/visited"));
    Run("aConnect");
    ExpectNotConnected();
    EXPECT_EQ(RemoteDirBox().count(), 0);
    EXPECT_TRUE(Captions(RemoteList().Model()).isEmpty());
    EXPECT_EQ(IniValue("site", "LASTREMOTEDIR"), "/pub");
    EXPECT_EQ(IniValue("site", "LASTLOCALDIR"), localDir.toStdString());
    const std::string history = "/incoming\n/pub\n/visited\n";
    EXPECT_EQ(TempDir::ReadFile(LstFile("site.lst")), history);

    // The keep-alive sends PWD only while no job runs, and finds a dropped connection.
    Connect(server->Port());
    ASSERT_TRUE(form.SessionConnected());
    const auto keepAlive = [&] {
        emit form.NoDisconnectTimer()->timeout({});
        Settle(form);
    };
    const qsizetype pwds = LogLines().filter(QStringLiteral("<< PWD")).size();
    form.Service().Submit([](TRemoteEngine&) { std::this_thread::sleep_for(std::chrono::milliseconds(50)); });
    keepAlive();
    keepAlive();
    EXPECT_EQ(LogLines().filter(QStringLiteral("<< PWD")).size(), pwds + 1);
    auto* view = form.findChild<QAbstractItemView*>(QStringLiteral("RemoteFileListView"));
    auto* tree = form.findChild<QTreeWidget*>(QStringLiteral("RemoteSysTreeView"));
    ASSERT_EQ(view->model()->rowCount(), 1);
    RemoteDirBox().addItem(QStringLiteral("/dropped"));
    server.reset();
    keepAlive();
    ExpectNotConnected();
    EXPECT_EQ(view->model()->rowCount(), 0);
    EXPECT_EQ(tree->topLevelItemCount(), 0);
    EXPECT_TRUE(form.IdFTP1.ListLines.empty());
    EXPECT_EQ(TempDir::ReadFile(LstFile("site.lst")), history);
    EXPECT_EQ(IniValue("site", "LASTREMOTEDIR"), "/pub");

    // A history that cannot be written does not keep the session open. A disconnect without a
    // transfer sends no ABOR (the transfer test ends one with ABOR before QUIT).
    FtpServer next;
    Connect(next.Port());
    ASSERT_TRUE(form.SessionConnected());
    QDir(QString::fromStdString(HomeFile("LST"))).removeRecursively();
    TempDir::WriteFile(HomeFile("LST"), "not a folder");
    Run("aConnect");
    ExpectNotConnected();
    const QStringList sent = LogLines().filter(QRegularExpression(QStringLiteral("^<< (ABOR|QUIT)")));
    EXPECT_EQ(sent, (QStringList{"<< QUIT", "<< QUIT"}));

    // A socket error of any other command ends the session the same way as a dropped one.
    Connect(next.Port());
    ASSERT_TRUE(form.SessionConnected());
    form.Actions().SetHandler("aRemoteRefresh", [] { throw EIdSocketError(10054, "Socket Error # 10054\r\nConnection reset by peer."); });
    Run("aRemoteRefresh");
    ExpectNotConnected();
}

// A refused login or an unreachable server fails as the session's own test shows.
TEST_F(SessionTest, ASilentOrUntrustedServerConnectsNothingAndTheWindowStaysUsable)
{
    TMainForm& form = OpenQuiet();
    // A server that accepts but never greets: the time-out ends the wait. (That the window
    // keeps processing events during a wait is the engine-wait scene's test.)
    ScriptedPeer silent;
    silent.Pause(4000).Close();
    silent.Start();
    QElapsedTimer clock;
    clock.start();
    // A second connect command meanwhile waits for this attempt to end.
    QTimer::singleShot(200, &form, [&form] { form.Action("aConnect")->trigger(); });
    Connect(silent.Port(), NoTls, {}, "1");
    EXPECT_LT(clock.elapsed(), 3000);
    EXPECT_EQ(dialogs_->DialogTitles().size(), 1);
    EXPECT_FALSE(TempDir::Exists(LstFile("site.lst")));
    ExpectNotConnected();

    // An untrusted certificate is asked about, and its fingerprint kept with the profile. That the
    // connection dialog hands it to the engine, which then asks no more, are their own tests.
    TestCertificate certificate;
    FtpServer server({.tls = "explicit", .certificateFile = certificate.CombinedFile()});
    dialogs_->QueueAnswer(Answer::No);
    Connect(server.Port(), ExplicitTls);
    EXPECT_FALSE(form.SessionConnected());
    ASSERT_FALSE(dialogs_->Shown().isEmpty());
    EXPECT_TRUE(dialogs_->Shown().last().contains(QString::fromStdString(certificate.Fingerprint())));
    EXPECT_EQ(IniValue("site", "TLSFINGERPRINT"), "<missing>");

    dialogs_->QueueAnswer(Answer::Yes);
    Connect(server.Port(), ExplicitTls);
    ASSERT_TRUE(form.SessionConnected());
    EXPECT_EQ(IniValue("site", "TLSFINGERPRINT"), certificate.Fingerprint());
}

// Every change of the profile box's text by the user, each typed key or a choice from the list,
// and a double click offer the connection dialog for the box's name, or first ask whether to
// end the session; Enter is no change, and the box lists only the saved profiles.
TEST_F(SessionTest, TheProfileBoxOffersTheDialogForEachTypedOrChosenNameAndEnterAddsNoName)
{
    TMainForm& form = OpenQuiet("PROFILE=site\n[site]\nHOST=127.0.0.1\n[zeta]\n");
    QComboBox& box = *form.findChild<QComboBox*>(QStringLiteral("ProfileNameBox"));
    const QStringList saved = ItemTexts(box);
    ASSERT_EQ(saved, (QStringList{"CURRENT", "site", "zeta"}));
    QStringList offered;  // the names the dialog opened with
    const auto cancelDialogs = [this, &offered](int count) {
        for (int i = 0; i < count; ++i)
            dialogs_->QueueDialog([&offered](QDialog& dialog) {
                offered << dialog.findChild<QComboBox*>(QStringLiteral("ProfileNameBox"))->currentText();
                return int(QDialog::Rejected);
            });
    };

    PressKey(&box, Qt::Key_Return);  // on a saved name, still no change
    // The first key opens the dialog, and the name typed on goes into its name box.
    QString typedOn;
    dialogs_->QueueDialog([&typedOn](QDialog& dialog) {
        dialog.show();
        QWidget* focus = dialog.focusWidget();
        TypeText(focus ? focus : &dialog, QStringLiteral("ew"));
        typedOn = dialog.findChild<QComboBox*>(QStringLiteral("ProfileNameBox"))->currentText();
        return int(QDialog::Rejected);
    });
    TypeText(&box, QStringLiteral("n"));
    EXPECT_EQ(typedOn, QStringLiteral("sitenew"));
    cancelDialogs(2);
    TypeText(&box, QStringLiteral("ew"));
    EXPECT_EQ(offered, (QStringList{"sitene", "sitenew"}));
    PressKey(&box, Qt::Key_Return);
    PressKey(box.lineEdit(), Qt::Key_Enter);
    EXPECT_EQ(dialogs_->DialogTitles().size(), 3);
    EXPECT_EQ(ItemTexts(box), saved);
    EXPECT_EQ(box.currentText(), QStringLiteral("sitenew"));

    // Only the user's changes count: the window's own setting of the box opens nothing.
    box.setCurrentIndex(0);
    cancelDialogs(2);
    PressKey(&box, Qt::Key_Down);
    QTest::mouseDClick(box.lineEdit(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(offered.mid(2), (QStringList{"site", "site"}));

    FtpServer server;
    Connect(server.Port());
    ASSERT_TRUE(form.SessionConnected());
    const QString question = QStringLiteral("接続を切って再接続しますか？");
    dialogs_->QueueAnswer(Answer::No);
    TypeText(&box, QStringLiteral("2"));
    EXPECT_EQ(dialogs_->Shown().last(), question);
    EXPECT_TRUE(form.SessionConnected());
    dialogs_->QueueAnswer(Answer::Yes);
    cancelDialogs(1);
    TypeText(&box, QStringLiteral("3"));
    Settle(form);
    EXPECT_EQ(dialogs_->Shown().filter(question).size(), 2);
    ExpectNotConnected();
    EXPECT_EQ(offered.mid(4), QStringList{"site23"});
    EXPECT_EQ(ItemTexts(box), saved);
}

// A profile set to connect at start-up whose password only the keyring holds connects with it:
// the start waits for the keyring's answer rather than pressing OK on an empty field.
TEST_F(SessionTest, ConnectingAtStartUpWaitsForThePasswordTheKeyringHolds)
{
    FtpServer server;
    KeyringService keyring;
    const std::string settings = HomeFile("Marlux.ini");
    WriteHomeFile("Marlux.ini", "[CURRENT]\nPROFILE=site\nCONNECTONCREATE=1\nHOST=127.0.0.1\nUID=user\nTIMEOUT=5\n"
                                "SAVEPWD=1\nPORT=" + std::to_string(server.Port()) + "\n[site]\nHOST=127.0.0.1\n");
    {
        TScriptedDialogs dialogs;
        TPasswordStore passwords(QString::fromStdString(settings), dialogs);
        passwords.Write("CURRENT", QStringLiteral("secret"));
        QObject context;
        std::optional<QString> stored;
        passwords.Read("CURRENT", &context, [&stored](std::optional<QString> password) { stored = password; });
        ASSERT_TRUE(RunEventsUntil([&stored] { return stored.has_value(); }));
        ASSERT_EQ(passwords.KeyringAvailable(), true);
    }
    ASSERT_EQ(IniValue("CURRENT", "PWD"), "<missing>");

    TMainForm& form = Open();
    emit form.StartupTimer()->timeout({});
    EXPECT_TRUE(RunEventsUntil([&form] { return form.SessionConnected(); }));
    Settle(form);
    EXPECT_TRUE(dialogs_->DialogTitles().isEmpty());
    EXPECT_EQ(IniValue("CURRENT", "PWD"), "<missing>");
    // Closing the window ends the session as the disconnect does, keeping where it was. That a
    // transfer still running is ended with ABOR before the QUIT is the transfers' window test.
    EXPECT_EQ(IniValue("site", "LASTREMOTEDIR"), "<missing>");
    CloseWindow();
    EXPECT_EQ(IniValue("site", "LASTREMOTEDIR"), "/");
}
