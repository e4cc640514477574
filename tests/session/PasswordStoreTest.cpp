// Saved passwords go to the desktop's keyring when there is one, else into the settings file.
#include "ConnectFormScene.h"

#include "fixtures/KeyringService.h"
#include "fixtures/ProcessRun.h"

#include <QLabel>

#include <chrono>
#include <csignal>
#include <cstdlib>

namespace {

class PasswordStoreTest : public ConnectFormScene {
protected:
    // Lets every keyring job started so far end: the keyring answers them in turn.
    static void FinishJobs(TPasswordStore& store)
    {
        QObject context;
        bool answered = false;
        store.Read("none", &context, [&answered](std::optional<QString>) { answered = true; });
        EXPECT_TRUE(RunEventsUntil([&answered] { return answered; }));
    }
    // The keyring's passwords of these profiles of the settings file, "<none>" where it has none.
    Strings InKeyring(std::initializer_list<std::string> sections) const
    {
        Strings passwords;
        for (const std::string& section : sections)
            passwords.push_back(KeyringService::Lookup("Marlux", section + " (" + settingsPath.toStdString() + ")")
                                    .value_or("<none>"));
        return passwords;
    }
};

}  // namespace

TEST_F(PasswordStoreTest, WithAKeyringPasswordsLiveThereAndLeaveTheFileAnOldOneMovingInOnSave)
{
    KeyringService keyring;
    WriteSettings("[old]\nHOST=h\nPWD=legacy\n[fresh]\nHOST=f\n");
    MakeStore();
    CreateRead(QStringLiteral("site"));
    EXPECT_TRUE(Get<QLabel>("PasswordPlaceLabel").text().contains(QStringLiteral("キーリング")));
    Get("HostNameEdit").setText(QStringLiteral("127.0.0.1"));
    Get("PasswordEdit").setText(QStringLiteral("s3cret"));
    Click("SaveBtn");
    Click("OkBtn");
    // The dialog is gone; the keyring's answers still take the passwords out of the file.
    form.reset();
    FinishJobs(*passwords);
    EXPECT_EQ(InKeyring({"site", "CURRENT"}), (Strings{"s3cret", "s3cret"}));
    EXPECT_EQ(Stored("site", "PWD"), "<missing>");
    EXPECT_EQ(Stored("CURRENT", {"PWD", "SAVEPWD"}), (Strings{"<missing>", "1"}));

    // OK pressed before the keyring has answered connects once it has, with its password.
    state.ConnectAccepted = false;
    ASSERT_TRUE(Create(QStringLiteral("site")).PasswordPending());
    Click("OkBtn");
    EXPECT_FALSE(state.ConnectAccepted);
    EXPECT_TRUE(RunEventsUntil([this] { return state.ConnectAccepted; }));
    EXPECT_EQ(Get("PasswordEdit").text(), QStringLiteral("s3cret"));
    EXPECT_EQ(engine.Password, "s3cret");

    CreateRead(QStringLiteral("site"));
    // A profile left, or a field changed, before its password came keeps the old profile's away.
    Click("NewBtn");
    ChooseProfile(QStringLiteral("site"));
    ChooseProfile(QStringLiteral("fresh"));
    EXPECT_TRUE(RunEventsUntil([this] { return !form->PasswordPending(); }));
    FinishJobs(*passwords);
    EXPECT_EQ(Texts({"HostNameEdit", "PasswordEdit"}), (QStringList{"f", ""}));
    ChooseProfile(QStringLiteral("site"));
    Get("PasswordEdit").setText(QStringLiteral("typed"));
    EXPECT_FALSE(form->PasswordPending());
    FinishJobs(*passwords);
    EXPECT_EQ(Get("PasswordEdit").text(), QStringLiteral("typed"));

    // A profile whose password is still in the file moves it when it is saved; Save pressed
    // while its password is being read saves that password, not the field as it was.
    Get("PasswordEdit").clear();
    ChooseProfile(QStringLiteral("old"));
    ASSERT_TRUE(form->PasswordPending());
    form->SaveBtnClick();
    EXPECT_TRUE(RunEventsUntil([this] { return !form->PasswordPending(); }));
    EXPECT_EQ(Get("PasswordEdit").text(), QStringLiteral("legacy"));
    FinishJobs(*passwords);
    EXPECT_EQ(Stored("old", "PWD"), "<missing>");
    EXPECT_EQ(InKeyring({"old"}), Strings{"legacy"});

    // An erased profile takes its password along.
    dialogs.QueueAnswer(TUserDialogs::Answer::Yes);
    form->DeleteBtnClick();
    FinishJobs(*passwords);
    EXPECT_EQ(InKeyring({"old", "site"}), (Strings{"<none>", "s3cret"}));
    EXPECT_EQ(dialogs.Shown(), QStringList{QStringLiteral("選択中のﾌﾟﾛﾌｧｲﾙを消去しますか？")});
}

TEST_F(PasswordStoreTest, AWriteTheKeyringRefusesLandsInTheFileAndItsErrorThereIsShown)
{
    // Unlocking would need a prompt on a display; without one the keyring refuses at once.
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    KeyringService keyring;
    MakeStore();
    const QString unwritable = QString::fromStdString(home.File("missing/Marlux.ini"));
    const std::unique_ptr<TPasswordStore> elsewhere = MakeStore(unwritable, dialogs);
    ASSERT_EQ(passwords->KeyringAvailable(), true);
    ASSERT_EQ(RunProcess("/usr/bin/dbus-send",
                         {"--session", "--print-reply", "--dest=org.freedesktop.secrets", "/org/freedesktop/secrets",
                          "org.freedesktop.Secret.Service.Lock", "array:objpath:/org/freedesktop/secrets/collection/login"})
                  .exitStatus,
              0);

    passwords->Write("site", QStringLiteral("s3cret"));
    elsewhere->Write("site", QStringLiteral("s3cret"));
    FinishJobs(*passwords);
    EXPECT_EQ(Stored("site", "PWD"), "s3cret");
    EXPECT_EQ(dialogs.Shown(), QStringList{unwritable + QStringLiteral(" に書き込めません")});
    // A keyring that cannot answer a read leaves the file's password to the dialog.
    CreateRead(QStringLiteral("site"));
    EXPECT_EQ(Get("PasswordEdit").text(), QStringLiteral("s3cret"));
}

// A keyring that stops answering counts as none from then on: nothing waits for it for good.
TEST_F(PasswordStoreTest, AKeyringThatDoesNotAnswerInTimeCountsAsNone)
{
    WriteSettings("[site]\nPWD=filed\n");
    KeyringService keyring;
    passwords = std::make_unique<TPasswordStore>(settingsPath, dialogs, 300);
    ASSERT_TRUE(RunEventsUntil([this] { return passwords->KeyringAvailable() == true; }));
    const std::string owner = RunProcess("/usr/bin/dbus-send",
                                         {"--session", "--print-reply", "--dest=org.freedesktop.DBus",
                                          "/org/freedesktop/DBus", "org.freedesktop.DBus.GetConnectionUnixProcessID",
                                          "string:org.freedesktop.secrets"})
                                  .out;
    const pid_t daemon = std::atoi(owner.substr(owner.rfind(' ') + 1).c_str());
    ASSERT_GT(daemon, 0) << owner;
    kill(daemon, SIGSTOP);

    Create(QStringLiteral("site"));
    Click("OkBtn");
    EXPECT_TRUE(RunEventsUntil([this] { return state.ConnectAccepted; }, std::chrono::seconds(5)));
    EXPECT_EQ(engine.Password, "filed");
    EXPECT_EQ(passwords->KeyringAvailable(), false);
    kill(daemon, SIGCONT);
}
