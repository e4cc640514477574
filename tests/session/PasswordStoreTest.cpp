// Saved passwords go to the desktop's keyring when there is one, else into the settings file.
#include "session/ConnectForm.h"
#include "session/PasswordStore.h"
#include "sftp/SftpSession.h"

#include "support/RunEventsUntil.h"
#include "fixtures/KeyringService.h"
#include "fixtures/ProcessRun.h"
#include "fixtures/TempDir.h"
#include "ftp/IdFTP.h"
#include "platform/IniFile.h"
#include "support/QStringPrinter.h"
#include "support/ScriptedDialogs.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <memory>

namespace {

class PasswordStoreTest : public ::testing::Test {
protected:
    // The store as the session makes it, once it knows whether there is a keyring.
    static std::unique_ptr<TPasswordStore> MakeStore(const QString& path, TUserDialogs& dialogs)
    {
        auto store = std::make_unique<TPasswordStore>(path, dialogs);
        EXPECT_TRUE(RunEventsUntil([&store] { return store->KeyringAvailable().has_value(); }));
        return store;
    }
    void MakeStore() { passwords = MakeStore(settingsPath, dialogs); }
    std::unique_ptr<TConnectForm> Create(const QString& profile)
    {
        return std::make_unique<TConnectForm>(
            nullptr, TConnectForm::Sources{settingsPath, profile, dialogs, *passwords, engine, sftp, state,
                                           [](const QString&) {}, [](const QString&) {}, [](const QString&) {},
                                           [](const QString&) {}});
    }
    // The dialog once its saved password has been read.
    std::unique_ptr<TConnectForm> CreateRead(const QString& profile)
    {
        auto form = Create(profile);
        EXPECT_TRUE(RunEventsUntil([&form] { return !form->PasswordPending(); }));
        return form;
    }
    // Lets every keyring job started so far end: the keyring answers them in turn.
    static void FinishJobs(TPasswordStore& store)
    {
        QObject context;
        bool answered = false;
        store.Read("none", &context, [&answered](std::optional<QString>) { answered = true; });
        EXPECT_TRUE(RunEventsUntil([&answered] { return answered; }));
    }
    template <class T = QLineEdit>
    static T& Get(const TConnectForm& form, const char* name)
    {
        return *form.findChild<T*>(QString::fromLatin1(name));
    }
    static void ChooseProfile(TConnectForm& form, const QString& name)
    {
        Get<QComboBox>(form, "ProfileNameBox").setEditText(name);
        form.ProfileNameBoxChange();
    }
    std::string Stored(const char* section, const char* key) const
    {
        return TIniFile(settingsPath.toStdString()).ReadString(section, key, "<missing>");
    }
    std::string KeyOf(const std::string& section) const { return section + " (" + settingsPath.toStdString() + ")"; }

    TempDir home;
    QString settingsPath = QString::fromStdString(home.File("Marlux.ini"));
    TScriptedDialogs dialogs;
    std::unique_ptr<TPasswordStore> passwords;
    TIdFTP engine;
    TSftpSession sftp;
    TSessionState state;
};

}  // namespace

TEST_F(PasswordStoreTest, WithAKeyringPasswordsLiveThereAndLeaveTheFileAnOldOneMovingInOnSave)
{
    KeyringService keyring;
    TempDir::WriteFile(settingsPath.toStdString(), "[old]\nHOST=h\nPWD=legacy\n[fresh]\nHOST=f\n");
    MakeStore();
    {
        auto form = CreateRead(QStringLiteral("site"));
        EXPECT_TRUE(Get<QLabel>(*form, "PasswordPlaceLabel").text().contains(QStringLiteral("キーリング")));
        Get(*form, "HostNameEdit").setText(QStringLiteral("127.0.0.1"));
        Get(*form, "PasswordEdit").setText(QStringLiteral("s3cret"));
        Get<QPushButton>(*form, "SaveBtn").click();
        Get<QPushButton>(*form, "OkBtn").click();
    }
    // The dialog is gone; the keyring's answers still take the passwords out of the file.
    FinishJobs(*passwords);
    EXPECT_EQ(KeyringService::Lookup("Marlux", KeyOf("site")), "s3cret");
    EXPECT_EQ(KeyringService::Lookup("Marlux", KeyOf("CURRENT")), "s3cret");
    EXPECT_EQ(Stored("site", "PWD"), "<missing>");
    EXPECT_EQ(Stored("CURRENT", "PWD"), "<missing>");
    EXPECT_EQ(Stored("CURRENT", "SAVEPWD"), "1");

    // OK pressed before the keyring has answered connects once it has, with its password.
    {
        state.ConnectAccepted = false;
        auto form = Create(QStringLiteral("site"));
        ASSERT_TRUE(form->PasswordPending());
        Get<QPushButton>(*form, "OkBtn").click();
        EXPECT_FALSE(state.ConnectAccepted);
        EXPECT_TRUE(RunEventsUntil([this] { return state.ConnectAccepted; }));
        EXPECT_EQ(Get(*form, "PasswordEdit").text(), QStringLiteral("s3cret"));
        EXPECT_EQ(engine.Password, "s3cret");
    }

    auto form = CreateRead(QStringLiteral("site"));
    // A profile left, or a field changed, before its password came keeps the old profile's away.
    Get<QPushButton>(*form, "NewBtn").click();
    ChooseProfile(*form, QStringLiteral("site"));
    ChooseProfile(*form, QStringLiteral("fresh"));
    EXPECT_TRUE(RunEventsUntil([&form] { return !form->PasswordPending(); }));
    FinishJobs(*passwords);
    EXPECT_EQ(Get(*form, "HostNameEdit").text(), QStringLiteral("f"));
    EXPECT_EQ(Get(*form, "PasswordEdit").text(), QString());
    ChooseProfile(*form, QStringLiteral("site"));
    Get(*form, "PasswordEdit").setText(QStringLiteral("typed"));
    EXPECT_FALSE(form->PasswordPending());
    FinishJobs(*passwords);
    EXPECT_EQ(Get(*form, "PasswordEdit").text(), QStringLiteral("typed"));

    // A profile whose password is still in the file moves it when it is saved; Save pressed
    // while its password is being read saves that password, not the field as it was.
    Get(*form, "PasswordEdit").clear();
    ChooseProfile(*form, QStringLiteral("old"));
    ASSERT_TRUE(form->PasswordPending());
    form->SaveBtnClick();
    EXPECT_TRUE(RunEventsUntil([&form] { return !form->PasswordPending(); }));
    EXPECT_EQ(Get(*form, "PasswordEdit").text(), QStringLiteral("legacy"));
    FinishJobs(*passwords);
    EXPECT_EQ(Stored("old", "PWD"), "<missing>");
    EXPECT_EQ(KeyringService::Lookup("Marlux", KeyOf("old")), "legacy");

    // An erased profile takes its password along.
    dialogs.QueueAnswer(TUserDialogs::Answer::Yes);
    form->DeleteBtnClick();
    FinishJobs(*passwords);
    EXPECT_EQ(KeyringService::Lookup("Marlux", KeyOf("old")), std::nullopt);
    EXPECT_EQ(KeyringService::Lookup("Marlux", KeyOf("site")), "s3cret");
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
    EXPECT_EQ(Get(*CreateRead(QStringLiteral("site")), "PasswordEdit").text(), QStringLiteral("s3cret"));
}

TEST_F(PasswordStoreTest, WithoutAKeyringThePasswordStaysInTheFileAndTheDialogSaysSo)
{
    // The tests' session bus address leads nowhere.
    MakeStore();
    auto form = Create(QStringLiteral("site"));
    EXPECT_FALSE(form->PasswordPending());
    EXPECT_TRUE(Get<QLabel>(*form, "PasswordPlaceLabel").text().contains(QStringLiteral("Marlux.ini")));
    Get(*form, "PasswordEdit").setText(QStringLiteral("s3cret"));
    form->SaveBtnClick();
    EXPECT_EQ(Stored("site", "PWD"), "s3cret");
    form = Create(QStringLiteral("site"));
    EXPECT_EQ(Get(*form, "PasswordEdit").text(), QStringLiteral("s3cret"));
}

// A keyring that stops answering counts as none from then on: nothing waits for it for good.
TEST_F(PasswordStoreTest, AKeyringThatDoesNotAnswerInTimeCountsAsNone)
{
    TempDir::WriteFile(settingsPath.toStdString(), "[site]\nPWD=filed\n");
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

    auto form = Create(QStringLiteral("site"));
    Get<QPushButton>(*form, "OkBtn").click();
    EXPECT_TRUE(RunEventsUntil([this] { return state.ConnectAccepted; }, std::chrono::seconds(5)));
    EXPECT_EQ(engine.Password, "filed");
    EXPECT_EQ(passwords->KeyringAvailable(), false);
    kill(daemon, SIGCONT);
}
