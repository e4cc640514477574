#pragma once
#include <QObject>
#include <QString>

#include <functional>
#include <optional>
#include <string>

namespace QKeychain {
class Job;
}
class TUserDialogs;

// Where the saved password of a profile (a section of the settings file) is kept: in the
// desktop's keyring when it offers a Secret Service (GNOME Keyring, KWallet), where an entry
// of service "Marlux" holds it and key PWD stays out of the settings file; otherwise in PWD, as
// the settings file always kept it.
//
// The keyring answers over D-Bus, maybe only after the user has unlocked it, so every keyring
// job runs on while the event loop goes on and reports when it ends. Whether there is a keyring
// is found out once, starting as the store is made; what is asked before that waits for it. A
// keyring that does not answer within the time limit counts as none from then on.
class TPasswordStore : public QObject {
    Q_OBJECT
public:
    using TReadDone = std::function<void(std::optional<QString>)>;

    // Long enough for a person to answer a locked keyring's unlock prompt.
    static constexpr int DefaultTimeLimitMs = 60000;

    // dialogs shows the error of a settings file write that happens as a keyring job ends.
    TPasswordStore(QString settingsPath, TUserDialogs& dialogs, int timeLimitMs = DefaultTimeLimitMs);

    // Hands done the saved password of the section: the keyring's entry, else PWD; none when
    // neither is set. Without a keyring at once, else when the keyring has answered; never
    // once context is gone.
    void Read(const std::string& section, QObject* context, TReadDone done);
    // Saves the password. With a keyring it goes there and, once stored, a PWD of the section
    // is removed, which moves an older password out of the file; if the keyring refuses, PWD
    // is written then. Without a keyring PWD is written at once and its error raised.
    void Write(const std::string& section, const QString& password);
    // Drops the keyring's entry of a section that is erased.
    void Forget(const std::string& section);

    // Whether there is a keyring; none until that is known.
    std::optional<bool> KeyringAvailable() const { return keyringAvailable_; }
    // Runs then once whether there is a keyring is known (at once when it is); never once
    // context is gone.
    void WhenProbed(QObject* context, std::function<void()> then);
    // For the connection dialog: where a saved password is kept, once that is known.
    QString PlaceText() const;

signals:
    void Probed();

private:
    struct TJobResult;
    // Starts a keyring job; done runs once, as it ends or as the time limit passes.
    void Run(QKeychain::Job* job, std::function<void(const TJobResult&)> done);
    void ReadEntry(const std::string& section, std::function<void(const TJobResult&)> done);
    // The password kept in the settings file.
    std::optional<QString> ReadPwd(const std::string& section) const;
    // A settings file change made as a keyring job ends; its error is shown.
    void ChangeSettingsLater(const std::function<void()>& change) const;
    QString Key(const std::string& section) const;

    QString settingsPath_;
    TUserDialogs& dialogs_;
    int timeLimitMs_;
    std::optional<bool> keyringAvailable_;
};
