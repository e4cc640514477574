// Starting with an ftp:// address: the connection opens without the dialog and leaves no trace
// in the settings.
#include "MainFormFixture.h"

#include "fixtures/FtpServer.h"
#include "panes/FileListModel.h"
#include "panes/FileViewStack.h"

#include <QComboBox>
#include <QTimer>

#include <filesystem>

namespace {

class UrlStartTest : public MainFormTest {
protected:
    // Opens the window with the address and lets its start-up timer fire; a password asked for
    // is answered with `password`, the question kept in asked_.
    TMainForm& Start(const QString& address, const QString& password = {})
    {
        WriteHomeFile("Marlux.ini", "[CURRENT]\nPASSIVE=1\nTIMEOUT=5\nPROFILE=site\n[site]\nHOST=elsewhere\n");
        TMainForm& form = Open({address});
        if (!password.isEmpty())
            QueuePassword(password, asked_);
        emit form.StartupTimer()->timeout({});
        Settle(form);
        return form;
    }
    QStringList RemoteRows() const { return Captions(form_->Controls().RemoteFileListView->Model()); }
    QString RemoteDir() const { return form_->Controls().RemoteDirBox->currentText(); }

    QString asked_;
};

}  // namespace

// A file address is read as a folder argument: StartUrlTest.TellsAddressesFromPaths... and the
// start-up test of a folder argument.
TEST_F(UrlStartTest, AnAddressAsksForAMissingPasswordListsItsDecodedFolderSavesNothingAndBadOnesConnectNothing)
{
    FtpServer server;
    std::filesystem::create_directories(server.File("pub/new dir"));
    TempDir::WriteFile(server.File("pub/new dir/a.txt"), "a");
    // "%2F" and "//" name the same absolute folder as "/".
    TMainForm& form = Start(QStringLiteral("ftp://user@127.0.0.1:%1/%2Fpub//new%20dir/").arg(server.Port()), "secret");
    ASSERT_TRUE(form.SessionConnected());
    EXPECT_EQ(asked_, QStringLiteral("ftp://user@127.0.0.1:%1/pub/new dir のパスワード:").arg(server.Port()));
    EXPECT_EQ(RemoteDir(), QStringLiteral("/pub/new dir"));
    EXPECT_EQ(RemoteRows(), QStringList{QStringLiteral("a.txt")});
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Marlux - ftp://user@127.0.0.1:%1/pub/new dir").arg(server.Port()));
    EXPECT_TRUE(dialogs_->DialogTitles().filter(QStringLiteral("接続先")).isEmpty());  // no connection dialog

    CloseWindow();
    EXPECT_EQ(SettingsHolding({"[127.0.0.1]", "secret"}), std::vector<std::string>{});
    EXPECT_EQ(IniValue("CURRENT", "PROFILE") + "|" + IniValue("site", "LASTREMOTEDIR"), "site|<missing>");
    EXPECT_FALSE(TempDir::Exists(HomeFile("LST/127.0.0.1.lst")));

    // Without a user the login is anonymous and needs no password.
    TMainForm& anonymous = Start(QStringLiteral("ftp://127.0.0.1:%1").arg(server.Port()));
    ASSERT_TRUE(anonymous.SessionConnected());
    EXPECT_TRUE(LogLines().contains(QStringLiteral("<< USER anonymous")));
    EXPECT_EQ(RemoteRows(), QStringList{QStringLiteral("pub")});  // the login folder
    CloseWindow();

    for (const QString& bad : {QStringLiteral("http://127.0.0.1/"), QStringLiteral("ftp:///pub"),
                               QStringLiteral("ftp://127.0.0.1:99999/")}) {
        TMainForm& again = Start(bad);
        EXPECT_FALSE(again.SessionConnected()) << bad.toStdString();
        ASSERT_EQ(dialogs_->Shown().size(), 1) << bad.toStdString();
        EXPECT_TRUE(dialogs_->Shown().back().contains(bad)) << dialogs_->Shown().back().toStdString();
        CloseWindow();
    }
}
