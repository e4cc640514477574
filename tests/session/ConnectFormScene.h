#pragma once
#include "session/ConnectForm.h"
#include "session/PasswordStore.h"
#include "sftp/SftpSession.h"

#include "fixtures/TempDir.h"
#include "ftp/IdFTP.h"
#include "platform/IniFile.h"
#include "support/QStringPrinter.h"
#include "support/RunEventsUntil.h"
#include "support/ScriptedDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

// A connection dialog over a settings file in a fresh directory, with what its OK hands on
// recorded, and the password store it reads saved passwords from.
class ConnectFormScene : public ::testing::Test {
protected:
    using Strings = std::vector<std::string>;

    // The store as the session makes it, once it knows whether there is a keyring.
    static std::unique_ptr<TPasswordStore> MakeStore(const QString& path, TUserDialogs& dialogs)
    {
        auto store = std::make_unique<TPasswordStore>(path, dialogs);
        EXPECT_TRUE(RunEventsUntil([&store] { return store->KeyringAvailable().has_value(); }));
        return store;
    }
    void MakeStore() { passwords = MakeStore(settingsPath, dialogs); }
    TConnectForm& Create(const QString& profileBoxText = QStringLiteral("CURRENT"))
    {
        form.reset();
        form = std::make_unique<TConnectForm>(
            nullptr, TConnectForm::Sources{settingsPath, profileBoxText, dialogs, *passwords, engine, sftp, state,
                                           [this](const QString& text) { remoteDirText = text; },
                                           [this](const QString& path) { localDirectoryChanges << path; },
                                           [this](const QString& text) { connectionTarget = text; },
                                           [this](const QString& text) { profileBoxText_ = text; }});
        return *form;
    }
    // The dialog once its saved password has been read.
    TConnectForm& CreateRead(const QString& profile)
    {
        Create(profile);
        EXPECT_TRUE(RunEventsUntil([this] { return !form->PasswordPending(); }));
        return *form;
    }
    template <class T = QLineEdit>
    T& Get(const char* name) const
    {
        T* control = form->findChild<T*>(QString::fromLatin1(name));
        if (!control)
            throw std::runtime_error(std::string("no control ") + name);
        return *control;
    }
    // The texts of these line edits and the states of these check boxes, in the order given.
    QStringList Texts(std::initializer_list<const char*> edits) const
    {
        QStringList texts;
        for (const char* edit : edits)
            texts << Get(edit).text();
        return texts;
    }
    std::vector<bool> Checked(std::initializer_list<const char*> boxes) const
    {
        std::vector<bool> states;
        for (const char* box : boxes)
            states.push_back(Get<QCheckBox>(box).isChecked());
        return states;
    }
    QComboBox& ProfileBox() const { return Get<QComboBox>("ProfileNameBox"); }
    void ChooseProfile(const QString& name) const
    {
        ProfileBox().setEditText(name);
        form->ProfileNameBoxChange();
    }
    void Click(const char* button) const { Get<QPushButton>(button).click(); }
    std::string Stored(const char* section, const char* key) const
    {
        return TIniFile(settingsPath.toStdString()).ReadString(section, key, "<missing>");
    }
    // The values of these keys of one section, in the order given.
    Strings Stored(const char* section, std::initializer_list<const char*> keys) const
    {
        Strings values;
        for (const char* key : keys)
            values.push_back(Stored(section, key));
        return values;
    }
    void WriteSettings(const std::string& content) const { TempDir::WriteFile(settingsPath.toStdString(), content); }

    TempDir home;
    QString settingsPath = QString::fromStdString(home.File("Marlux.ini"));
    TScriptedDialogs dialogs;
    std::unique_ptr<TPasswordStore> passwords;
    TIdFTP engine;
    TSftpSession sftp;
    TSessionState state;
    QString remoteDirText = QStringLiteral("<unset>");
    QStringList localDirectoryChanges;
    QString connectionTarget;
    QString profileBoxText_;
    std::unique_ptr<TConnectForm> form;
};
