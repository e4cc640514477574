// Saved passwords go to the desktop's keyring when there is one, else into the settings file.
#include "session/ConnectForm.h"
#include "sftp/SftpSession.h"

#include "fixtures/KeyringService.h"
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

namespace {

class PasswordStoreTest : public ::testing::Test {
protected:
    std::unique_ptr<TConnectForm> Create(const QString& profile)
    {
        return std::make_unique<TConnectForm>(
            nullptr, TConnectForm::Sources{settingsPath, profile, dialogs, engine, sftp, state, [](const QString&) {},
                                           [](const QString&) {}, [](const QString&) {}, [](const QString&) {}});
    }
    template <class T = QLineEdit>
    static T& Get(const TConnectForm& form, const char* name)
    {
        return *form.findChild<T*>(QString::fromLatin1(name));
    }
    std::string Stored(const char* section, const char* key) const
    {
        return TIniFile(settingsPath.toStdString()).ReadString(section, key, "<missing>");
    }
    std::string KeyOf(const std::string& section) const { return section + " (" + settingsPath.toStdString() + ")"; }

    TempDir home;
    QString settingsPath = QString::fromStdString(home.File("Marlux.ini"));
    TScriptedDialogs dialogs;
    TIdFTP engine;
    TSftpSession sftp;
    TSessionState state;
};

}  // namespace

TEST_F(PasswordStoreTest, WithAKeyringPasswordsLiveThereAndLeaveTheFileAnOldOneMovingInOnSave)
{
    KeyringService keyring;
    TempDir::WriteFile(settingsPath.toStdString(), "[old]\nHOST=h\nPWD=legacy\n");
    {
        auto form = Create(QStringLiteral("site"));
        EXPECT_TRUE(Get<QLabel>(*form, "PasswordPlaceLabel").text().contains(QStringLiteral("キーリング")));
        Get(*form, "HostNameEdit").setText(QStringLiteral("127.0.0.1"));
        Get(*form, "PasswordEdit").setText(QStringLiteral("s3cret"));
        Get<QPushButton>(*form, "SaveBtn").click();
        Get<QPushButton>(*form, "OkBtn").click();
    }
    EXPECT_EQ(KeyringService::Lookup("Marlux", KeyOf("site")), "s3cret");
    EXPECT_EQ(KeyringService::Lookup("Marlux", KeyOf("CURRENT")), "s3cret");
    EXPECT_EQ(Stored("site", "PWD"), "<missing>");
    EXPECT_EQ(Stored("CURRENT", "PWD"), "<missing>");
    EXPECT_EQ(Stored("CURRENT", "SAVEPWD"), "1");

    // The next dialog finds the passwords again, and the engine gets them.
    {
        auto form = Create(QStringLiteral("site"));
        EXPECT_EQ(Get(*form, "PasswordEdit").text(), QStringLiteral("s3cret"));
        Get<QPushButton>(*form, "OkBtn").click();
        EXPECT_EQ(engine.Password, "s3cret");

        // A profile whose password is still in the file moves it when it is saved.
        form->findChild<QComboBox*>(QStringLiteral("ProfileNameBox"))->setEditText(QStringLiteral("old"));
        form->ProfileNameBoxChange();
        EXPECT_EQ(Get(*form, "PasswordEdit").text(), QStringLiteral("legacy"));
        form->SaveBtnClick();
        EXPECT_EQ(Stored("old", "PWD"), "<missing>");
        EXPECT_EQ(KeyringService::Lookup("Marlux", KeyOf("old")), "legacy");

        // An erased profile takes its password along.
        dialogs.QueueAnswer(TUserDialogs::Answer::Yes);
        form->DeleteBtnClick();
        EXPECT_EQ(KeyringService::Lookup("Marlux", KeyOf("old")), std::nullopt);
        EXPECT_EQ(KeyringService::Lookup("Marlux", KeyOf("site")), "s3cret");
    }
}

TEST_F(PasswordStoreTest, WithoutAKeyringThePasswordStaysInTheFileAndTheDialogSaysSo)
{
    // The tests' session bus address leads nowhere.
    auto form = Create(QStringLiteral("site"));
    EXPECT_TRUE(Get<QLabel>(*form, "PasswordPlaceLabel").text().contains(QStringLiteral("Marlux.ini")));
    Get(*form, "PasswordEdit").setText(QStringLiteral("s3cret"));
    form->SaveBtnClick();
    EXPECT_EQ(Stored("site", "PWD"), "s3cret");
    form = Create(QStringLiteral("site"));
    EXPECT_EQ(Get(*form, "PasswordEdit").text(), QStringLiteral("s3cret"));
}
