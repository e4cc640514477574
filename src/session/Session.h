#pragma once
#include "service/Command.h"
#include "session/PasswordStore.h"
#include "settings/WindowState.h"

#include <QList>
#include <QString>

#include <exception>
#include <functional>
#include <string>

class QAction;
class QComboBox;
class QWidget;
class TBusyDisplay;
class TRemoteEngine;
class TIdRFCReply;
class TSessionLog;
class TSessionService;
struct TIdCertificateInfo;
struct TStartUrl;
class TUserDialogs;

// The window's side of a session over FTP or SFTP: the connect/disconnect command, the engines'
// login, disconnect and status notifications, the trust of certificates and host keys, the
// keep-alive, the session texts and the last directories and remote directory history of the
// profile in use.
class TSession {
public:
    struct Sources {
        TSessionService& service;
        TSessionState& state;
        TBusyDisplay& busy;
        TSessionLog& sessionLog;
        TUserDialogs& dialogs;
        // Owner of the connection dialog; its caption shows the application title.
        QWidget& window;
        QString settingsPath;
        // LstDir, set once the window has prepared it.
        const QString& lstDir;
        QComboBox& profileNameBox;
        QComboBox& remoteDirBox;
        // The text of the local directory box.
        std::function<QString()> localDirText;
        std::function<void(const QString&)> changeLocalDirectory;
        QAction& connectAction;
        // Switches the menu items that work only while a session is open.
        std::function<void(bool)> enableSessionMenuItems;
        std::function<void()> updateActionStates;
        // aRemoteRefreshExecute: lists the remote directory after connecting.
        std::function<void()> remoteRefresh;
        // Empties the remote file list, the remote tree and the listing lines.
        std::function<void()> clearRemoteListing;
    };

    explicit TSession(Sources sources);
    ~TSession();
    TSession(const TSession&) = delete;
    TSession& operator=(const TSession&) = delete;

    enum class TSender { Startup, User };
    // Connects through the connection dialog when no session is open, otherwise ends it. At
    // start-up a profile marked to connect directly connects without showing the dialog.
    void aConnectExecute(TSender sender = TSender::User);
    // Connects to an address from the command line without the dialog, asking for a password
    // the address lacks (unless anonymous), and lists its folder. Nothing of it is saved: no
    // profile, no last directories, no remote history.
    void ConnectToUrl(const TStartUrl& url);
    // Fills the profile box with the settings file's sections and shows the profile last used
    // (CURRENT's PROFILE, else CURRENT), which becomes the profile in use.
    void LoadProfiles();
    // The main window's profile box changed by the user, typed or chosen, or double-clicked.
    void ProfileNameBoxChange();
    void NoDisconnectTimerTimer();
    // Writes the last local and remote directories into the profile in use.
    void SaveProfileState();
    // Ends an open session as the disconnect command does, without touching the title: the
    // profile state and remote history saved, a running transfer aborted, QUIT after it.
    void CloseSession();

    // welcome and login: the server's greeting and its answer to the login.
    void IdFTP1AfterClientLogin(const TIdRFCReply& welcome, const TIdRFCReply& login);
    void IdFTP1Disconnected();
    void IdFTP1Status(const QString& text);
    // The certificate failed verification: asks whether to trust it for the profile in use and
    // stores the fingerprint with the profile when the user does.
    bool IdFTP1VerifyCertificate(const TIdCertificateInfo& certificate);
    // An SFTP server's host key not trusted yet: asks whether to trust it for the profile in use
    // and stores its fingerprint with the profile when the user does.
    bool TrustHostKey(const std::string& fingerprint, const std::string& keyType);

private:
    TTask<> ToggleConnection(TSender sender);
    TTask<> SwitchProfile();
    TTask<> Connect(TSender sender);
    // Connects the engine as set up, lists the remote directory and shows the title; the
    // window is busy meanwhile and idle again after a failure.
    TTask<> OpenConnection(int timeoutMs, QString title);
    TTask<> OpenConnectionFromUrl(int timeoutMs, QString title);
    // Saves the profile's state and asks a running transfer to end; the first error of the
    // saving is returned.
    std::exception_ptr PrepareSessionEnd();
    // QUIT, or the socket closed when the connection broke while closing.
    static void Quit(TRemoteEngine& engine);
    // The log line of a connect that failed.
    void ReportConnectFailure(const std::exception& failure);
    // The window once logged in: status, connect command, session menus, idle again.
    void ShowLoggedIn();
    // Shows the dialog (or runs its OK once the saved password is read) and passes on an error
    // that ended its OK.
    TTask<> RunConnectForm(TSender sender);
    void LoadRemoteDirHistory();
    void SetApplicationTitle(const QString& title);
    void EnableSessionMenuItems(bool enabled);
    // The captions and hints of the connect command for the state.
    void ShowConnectCommand(bool connected);
    // After a session opened from an address: the profile in use before it is the window's again.
    void ForgetUrlSite();
    // The texts of a reply, each of its lines one log line.
    void AppendReplyToLog(const std::string& code, const std::string& text);

    Sources sources_;
    // Lives as long as the session: its keyring jobs may outlive a connection dialog.
    TPasswordStore passwords_;
    bool connecting_ = false;
    // The session was opened from an address, not from a profile.
    bool fromUrl_ = false;
    // The profile in use before such a session: the address's host names the site only while it
    // lasts, or the next connection dialog would save its settings under that host.
    QString profileBeforeUrl_;
};
