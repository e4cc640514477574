#pragma once
#include "settings/WindowState.h"

#include <QDialog>

#include <exception>
#include <functional>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QFormLayout;
class QLayout;
class QLineEdit;
class QPushButton;
class QSpinBox;
class TIdFTP;
class TSftpSession;
class TIniFile;
class TPasswordStore;
class TProtocolBox;
class TUserDialogs;

// "接続先のプロファイル": creates, edits, saves and deletes connection profiles (sections of the
// settings file) and on OK hands the chosen profile and the connection options to the window
// and its engine.
class TConnectForm : public QDialog {
    Q_OBJECT
public:
    struct Sources {
        QString settingsPath;
        // The main window's profile box text at creation.
        QString profileBoxText;
        TUserDialogs& dialogs;
        // Outlives the dialog: a password being saved as OK closes it is still stored.
        TPasswordStore& passwords;
        TIdFTP& engine;
        TSftpSession& sftp;
        TSessionState& state;
        std::function<void(const QString&)> setRemoteDirText;
        // Changes the local pane's directory; one that cannot be entered is ignored.
        std::function<void(const QString&)> changeLocalDirectory;
        // Status bar panel 2.
        std::function<void(const QString&)> showConnectionTarget;
        std::function<void(const QString&)> setProfileBoxText;
    };

    TConnectForm(QWidget* parent, Sources sources);

    void ProfileNameBoxChange();
    void SaveBtnClick();
    void NewBtnClick();
    void DeleteBtnClick();
    void RefBtnClick();
    void SshKeyBtnClick();
    void OkBtnClick();

    bool ConnectOnCreate() const;
    // The saved password of the profile shown is still being read. OK and Save, which use the
    // password field, run once it has been read; typing into the field or choosing another
    // profile ends the wait without them.
    bool PasswordPending() const { return passwordPending_; }
    // The error that ended OK after the engine settings (a time-out that is not a number): the
    // dialog closed without accepting and the caller passes it on to the error handler.
    std::exception_ptr PendingError() const { return pendingError_; }

    // One key of section "CURRENT" and the control that shows it: edits are text, check boxes
    // flags, spin boxes integers and the proxy type box its item index.
    struct TCurrentKey;

    // Showing leaves the name box the focus with the cursor after the name, not the name
    // selected, so a name being typed in the main window's profile box goes on here.
    void setVisible(bool visible) override;

signals:
    // The saved password was read into the field, or the read no longer counts.
    void PasswordSettled();

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QWidget* BuildBasicPage();
    QWidget* BuildOptionPage();
    void FormCreate();
    void FillProfileList();
    // The keys of "CURRENT" in the order OK writes them.
    std::vector<TCurrentKey> CurrentKeys() const;
    void LoadCurrentSection();
    // The fields of the profile shown, all but the password.
    void LoadProfileSection();
    // Reads into the field the saved password of the first of the sections that has one.
    void ShowSavedPassword(std::vector<std::string> sections);
    void ReadSavedPassword(int request, std::vector<std::string> sections);
    // The read ended: the field shows what was found, and the steps that waited for it run.
    void EndPasswordRead();
    // The read no longer counts, nor the steps that waited for it.
    void DropPasswordRead();
    // While the password is being read, keeps step to run once it has been, and says so.
    bool DeferUntilPasswordRead(void (TConnectForm::*step)());
    void SaveCurrentSection();
    void ApplyInitialDirectories();
    void ApplyEngineSettings();
    // The server, the login and the name encoding, which both engines take alike.
    template <class Engine>
    void ApplyServerSettings(Engine& engine) const;
    // Shows the controls of the chosen protocol: the key file for SFTP, the FTP-only ones
    // enabled for FTP; a port at the other protocol's default follows to this one's.
    void ProtocolBoxChange();
    // Keeps a field, and its label, to be disabled while the protocol is SFTP.
    void MarkFtpOnly(const QFormLayout& form, QWidget* field);
    // Runs a step that writes the settings file; a write error is shown and the dialog stays.
    bool WriteSettings(const std::function<void()>& write);

    Sources sources_;
    // The latest password read; a read ending with another number is stale.
    int passwordRequest_ = 0;
    bool passwordPending_ = false;
    // The field is being filled by a read, not changed by anyone else.
    bool fillingPassword_ = false;
    std::vector<void (TConnectForm::*)()> afterPasswordRead_;
    QString LastLocalDir;
    QString LastRemoteDir;
    std::exception_ptr pendingError_;

    QComboBox* ProfileNameBox = nullptr;
    TProtocolBox* ProtocolBox = nullptr;
    QLineEdit* HostNameEdit = nullptr;
    QLineEdit* UserIdEdit = nullptr;
    QLineEdit* PasswordEdit = nullptr;
    QLineEdit* SshKeyEdit = nullptr;
    QLineEdit* AccountEdit = nullptr;
    QLineEdit* HostDirEdit = nullptr;
    QLineEdit* LocalDirEdit = nullptr;
    QCheckBox* ckOpenLastDir = nullptr;
    QLineEdit* CommentEdit = nullptr;
    QCheckBox* ckConnectOnCreate = nullptr;
    QLineEdit* TimeOutEdit = nullptr;
    QLineEdit* PortEdit = nullptr;
    QCheckBox* SavePassWordBox = nullptr;
    QCheckBox* ckPassive = nullptr;
    QSpinBox* seSendBufferSize = nullptr;
    QSpinBox* seRecvBufferSize = nullptr;
    QComboBox* EncryptionBox = nullptr;
    QComboBox* NameEncodingBox = nullptr;
    QCheckBox* UseMlsdBox = nullptr;
    QCheckBox* VerifyBox = nullptr;
    QComboBox* ProxyTypeBox = nullptr;
    QLineEdit* ProxyServerEdit = nullptr;
    QLineEdit* ProxyPortEdit = nullptr;
    QLineEdit* ProxyUserNameEdit = nullptr;
    QLineEdit* ProxyPasswordEdit = nullptr;
    QFormLayout* basicForm_ = nullptr;
    QLayout* sshKeyRow_ = nullptr;
    std::vector<QWidget*> ftpOnlyControls_;
};
