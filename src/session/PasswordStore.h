#pragma once
#include <QString>

#include <optional>
#include <string>

class TIniFile;

// Where the saved password of a profile (a section of the settings file) is kept: in the
// desktop's keyring when it offers a Secret Service (GNOME Keyring, KWallet), where an entry
// of service "Marlux" holds it and key PWD stays out of the settings file; otherwise in PWD, as
// the settings file always kept it. Whether there is a keyring is found out once per store.
class TPasswordStore {
public:
    explicit TPasswordStore(QString settingsPath);

    // The saved password of the section: the keyring's entry, else PWD; none when neither is set.
    std::optional<QString> Read(const TIniFile& settings, const std::string& section);
    // Saves the password. With a keyring it goes there and a PWD of the section is removed,
    // which moves an older password out of the file; if the keyring refuses, PWD is written.
    void Write(TIniFile& settings, const std::string& section, const QString& password);
    // Drops the keyring's entry of a section that is erased.
    void Forget(const std::string& section);

    bool KeyringAvailable();
    // For the connection dialog: where a saved password is kept.
    QString PlaceText();

private:
    QString Key(const std::string& section) const;

    QString settingsPath_;
    std::optional<bool> keyringAvailable_;
};
