#include "session/ConnectForm.h"
#include "session/PasswordStore.h"
#include "sftp/SftpSession.h"

#include "support/RunEventsUntil.h"
#include "fixtures/TempDir.h"
#include "ftp/IdFTP.h"
#include "platform/IniFile.h"
#include "session/SshHostKeyQuestion.h"
#include "session/SshSettings.h"
#include "support/QStringPrinter.h"
#include "support/ScriptedDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

#include <limits>
#include <tuple>

namespace {

using Answer = TUserDialogs::Answer;

// A connection dialog over a settings file in a fresh directory, with what its OK hands on
// recorded. There is no keyring, which the password store knows before the first dialog.
class ConnectFormTest : public ::testing::Test {
protected:
    ConnectFormTest() { RunEventsUntil([this] { return passwords.KeyringAvailable().has_value(); }); }
    TConnectForm& Create(const QString& profileBoxText = QStringLiteral("CURRENT"))
    {
        form = std::make_unique<TConnectForm>(
            nullptr, TConnectForm::Sources{settingsPath, profileBoxText, dialogs, passwords, engine, sftp, state,
                                           [this](const QString& text) { remoteDirText = text; },
                                           [this](const QString& path) { localDirectoryChanges << path; },
                                           [this](const QString& text) { connectionTarget = text; },
                                           [this](const QString& text) { profileBoxText_ = text; }});
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
    QComboBox& ProfileBox() const { return Get<QComboBox>("ProfileNameBox"); }
    void ChooseProfile(const QString& name) const
    {
        ProfileBox().setEditText(name);
        form->ProfileNameBoxChange();
    }
    void Click(const char* button) const { Get<QPushButton>(button).click(); }
    QComboBox& Protocol() const { return Get<QComboBox>("ProtocolBox"); }
    void ChooseProtocol(const char* protocol) const { Protocol().setCurrentText(QString::fromLatin1(protocol)); }
    void WriteSettings(const std::string& content) const { TempDir::WriteFile(settingsPath.toStdString(), content); }
    std::string Stored(const char* section, const char* key) const
    {
        return TIniFile(settingsPath.toStdString()).ReadString(section, key, "<missing>");
    }

    TempDir home;
    QString settingsPath = QString::fromStdString(home.File("Marlux.ini"));
    TScriptedDialogs dialogs;
    TPasswordStore passwords{settingsPath, dialogs};
    TIdFTP engine;
    TSftpSession sftp;
    TSessionState state;
    std::unique_ptr<TConnectForm> form;
    QString remoteDirText = QStringLiteral("<unset>");
    QStringList localDirectoryChanges;
    QString connectionTarget;
    QString profileBoxText_;
};

}  // namespace

TEST_F(ConnectFormTest, AProfileFillsTheFirstTabOverTheSharedOptionsOfCurrent)
{
    WriteSettings("[CURRENT]\nPROFILE=site\nUID=cu\nSAVEPWD=0\nPWD=hidden\nPORT=2121\nPROXYTYPE=3\n"
                  "[site]\nHOST=site.host\nLOCDIR=/tmp\nLASTREMOTEDIR=/site/last\nTLS=2\nTLSFINGERPRINT=AB:CD\n"
                  "NAMEENCODING=euc-jp\nUSEMLSD=0\nVERIFY=0\n[bare]\nTLS=9\nNAMEENCODING=KOI8-R\n");
    Create(QStringLiteral("site"));
    EXPECT_EQ(Get("HostNameEdit").text(), QStringLiteral("site.host"));
    EXPECT_EQ(Get("UserIdEdit").text(), QStringLiteral("cu"));  // the profile has none
    EXPECT_EQ(Get("PasswordEdit").text(), QString());           // not saved, so not read

    // Missing keys keep or clear fields; an unknown encryption is none.
    ChooseProfile(QStringLiteral("bare"));
    EXPECT_EQ(Get("HostNameEdit").text(), QStringLiteral("site.host"));
    EXPECT_EQ(Get("LocalDirEdit").text(), QString());
    EXPECT_EQ(Get<QComboBox>("EncryptionBox").currentIndex(), 0);  // out of range
    EXPECT_EQ(Get<QComboBox>("NameEncodingBox").currentText(), QStringLiteral("自動判別"));
    EXPECT_TRUE(Get<QCheckBox>("UseMlsdBox").isChecked());
    EXPECT_TRUE(Get<QCheckBox>("VerifyBox").isChecked());
    ChooseProfile(QStringLiteral("site"));
    EXPECT_FALSE(Get<QCheckBox>("UseMlsdBox").isChecked());
    EXPECT_FALSE(Get<QCheckBox>("VerifyBox").isChecked());
    EXPECT_EQ(Get<QComboBox>("NameEncodingBox").currentText(), QStringLiteral("EUC-JP"));
    Get<QCheckBox>("ckOpenLastDir").setChecked(true);
    Click("OkBtn");
    EXPECT_EQ(remoteDirText, QStringLiteral("/site/last"));
    EXPECT_EQ(localDirectoryChanges, QStringList{QStringLiteral("/tmp")});
    EXPECT_EQ(engine.Port, 2121);
    EXPECT_EQ(engine.ProxySettings.ProxyType, fpcmOpen);
    EXPECT_EQ(engine.UseTLS, utUseImplicitTLS);
    EXPECT_EQ(engine.NameCodec.Choice(), TNameEncoding::EucJp);
    EXPECT_FALSE(engine.UseMLSD);
    EXPECT_FALSE(engine.VerifyTransfers);
    EXPECT_EQ(engine.TrustedFingerprint, "AB:CD");
    EXPECT_EQ(profileBoxText_, QStringLiteral("site"));
    EXPECT_EQ(Stored("CURRENT", "PWD"), "hidden");
    EXPECT_EQ(Stored("CURRENT", "TLS"), "2");
    EXPECT_EQ(Stored("CURRENT", "NAMEENCODING"), "EUC-JP");
    EXPECT_EQ(Stored("CURRENT", "USEMLSD"), "0");
    EXPECT_EQ(Stored("CURRENT", "VERIFY"), "0");
    Get<QComboBox>("NameEncodingBox").setCurrentIndex(2);
    Get<QCheckBox>("UseMlsdBox").setChecked(true);
    Get<QCheckBox>("VerifyBox").setChecked(true);
    Click("SaveBtn");
    EXPECT_EQ(Stored("site", "NAMEENCODING"), "SHIFT_JIS");
    EXPECT_EQ(Stored("site", "USEMLSD"), "1");
    EXPECT_EQ(Stored("site", "VERIFY"), "1");
}

// An unticked password box leaves the stored passwords alone but still connects with the typed one.
TEST_F(ConnectFormTest, SaveAndDeleteChangeOnlyTheirSectionNeverAStoredPasswordAndReportWhatFails)
{
    WriteSettings("[CURRENT]\nPROFILE=keep\nSAVEPWD=1\nPWD=old-current\n[keep]\nHOST=k\nPWD=old-keep\n");
    Create(QStringLiteral("keep"));
    ProfileBox().setEditText(QString());
    Click("SaveBtn");
    EXPECT_EQ(dialogs.Shown(), QStringList{QStringLiteral("プロファイル名を入力してください")});

    ProfileBox().setEditText(QStringLiteral("new site"));
    Get("HostNameEdit").setText(QStringLiteral("h"));
    Click("SaveBtn");
    EXPECT_EQ(Stored("new site", "HOST"), "h");
    EXPECT_EQ(Stored("new site", "TIMEOUT"), "<missing>");  // shared options stay in CURRENT

    // Deleting asks first; Yes erases the section and brings back CURRENT's name.
    dialogs.QueueAnswer(Answer::Yes);
    Click("DeleteBtn");
    EXPECT_EQ(Stored("new site", "HOST"), "<missing>");
    EXPECT_EQ(Stored("keep", "HOST"), "k");
    EXPECT_EQ(ProfileBox().currentText(), QStringLiteral("keep"));

    Get<QCheckBox>("SavePassWordBox").setChecked(false);
    Get("PasswordEdit").setText(QStringLiteral("typed"));
    Click("SaveBtn");
    Click("OkBtn");
    EXPECT_EQ(Stored("keep", "PWD"), "old-keep");
    EXPECT_EQ(Stored("CURRENT", "PWD"), "old-current");
    EXPECT_EQ(Stored("CURRENT", "SAVEPWD"), "0");
    EXPECT_EQ(engine.Password, "typed");

    // A settings file that cannot be written is reported and the dialog stays.
    settingsPath = QString::fromStdString(home.File("missing/Marlux.ini"));
    state.ConnectAccepted = false;
    Create().show();
    Click("OkBtn");
    ProfileBox().setEditText(QStringLiteral("p"));
    Click("SaveBtn");
    const QString error = settingsPath + QStringLiteral(" に書き込めません");
    EXPECT_EQ(dialogs.Shown().mid(2), (QStringList{error, error}));
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(state.ConnectAccepted);
}

// The fields reach the engine and are stored for the next dialog; odd numbers take fallbacks.
TEST_F(ConnectFormTest, OkHandsTheFieldsOnAndTheEngineAlwaysGetsAPortAndABoundedWait)
{
    Create();
    EXPECT_EQ(Get("PasswordEdit").echoMode(), QLineEdit::Password);
    Get("HostNameEdit").setText(QStringLiteral("ftp.example.jp"));
    Get("PasswordEdit").setText(QStringLiteral("pw"));
    Get("HostDirEdit").setText(QStringLiteral("/pub//"));
    Get("PortEdit").setText(QStringLiteral("twenty"));
    Click("OkBtn");
    EXPECT_TRUE(state.ConnectAccepted);
    EXPECT_EQ(engine.Port, 21);
    EXPECT_EQ(Stored("CURRENT", "PORT"), "twenty");
    EXPECT_EQ(remoteDirText, QStringLiteral("/pub/"));  // one trailing slash goes
    EXPECT_EQ(connectionTarget, QStringLiteral("ftp.example.jp"));

    for (const auto& [typed, connect, read] : std::vector<std::tuple<QString, int, int>>{
             {"-3", -3000, TIdFTP::DefaultReadTimeoutMs},
             {"99999999", std::numeric_limits<int>::max(), std::numeric_limits<int>::max()}}) {
        Create();
        Get("TimeOutEdit").setText(typed);
        Click("OkBtn");
        EXPECT_EQ(state.ConnectTimeout, connect) << typed.toStdString();
        EXPECT_EQ(engine.ReadTimeout, read) << typed.toStdString();
    }

    // A time-out that is no number closes the dialog without a connection.
    Create();
    EXPECT_EQ(Get("PasswordEdit").text(), QStringLiteral("pw"));
    Get("TimeOutEdit").setText(QStringLiteral("1m"));
    connectionTarget.clear();
    Click("OkBtn");
    EXPECT_EQ(form->result(), int(QDialog::Rejected));
    EXPECT_THROW(std::rethrow_exception(form->PendingError()), EConvertError);
    EXPECT_EQ(connectionTarget, QString());
}

// Profiles from before the protocol choice, and values it does not know, are FTP.
TEST_F(ConnectFormTest, TheProtocolAndKeyFileAreStoredWithTheProfileAndInCurrent)
{
    WriteSettings("[CURRENT]\nPROFILE=old\n[old]\nHOST=old.host\n"
                  "[sftp]\nPROTOCOL=sftp\nHOST=s\nSSHKEY=/keys/id_ed25519\n[odd]\nPROTOCOL=SSH\n");
    Create(QStringLiteral("old"));
    EXPECT_EQ(Protocol().currentText(), QStringLiteral("FTP"));
    EXPECT_TRUE(Get("SshKeyEdit").isHidden());

    ChooseProfile(QStringLiteral("sftp"));
    EXPECT_EQ(Protocol().currentText(), QStringLiteral("SFTP"));
    EXPECT_EQ(Get("SshKeyEdit").text(), QStringLiteral("/keys/id_ed25519"));
    EXPECT_FALSE(Get("SshKeyEdit").isHidden());
    ChooseProfile(QStringLiteral("odd"));
    EXPECT_EQ(Protocol().currentText(), QStringLiteral("FTP"));
    EXPECT_EQ(Get("SshKeyEdit").text(), QString());

    // A name being typed for a new profile keeps what is shown.
    ChooseProfile(QStringLiteral("sftp"));
    ChooseProfile(QStringLiteral("sftp2"));
    EXPECT_EQ(Protocol().currentText(), QStringLiteral("SFTP"));
    EXPECT_EQ(Get("SshKeyEdit").text(), QStringLiteral("/keys/id_ed25519"));
    dialogs.QueueFileToOpen(QStringLiteral("/keys/other"));
    Click("SshKeyBtn");
    Click("SshKeyBtn");  // cancelled: the key stays
    EXPECT_EQ(Get("SshKeyEdit").text(), QStringLiteral("/keys/other"));
    Click("SaveBtn");
    EXPECT_EQ(Stored("sftp2", "PROTOCOL"), "SFTP");
    EXPECT_EQ(Stored("sftp2", "SSHKEY"), "/keys/other");
    Click("OkBtn");
    EXPECT_EQ(Stored("CURRENT", "PROTOCOL"), "SFTP");
    EXPECT_EQ(Stored("CURRENT", "SSHKEY"), "/keys/other");

    Create(QStringLiteral("nameless"));
    EXPECT_EQ(Protocol().currentText(), QStringLiteral("SFTP"));
    EXPECT_EQ(Get("SshKeyEdit").text(), QStringLiteral("/keys/other"));
    Click("NewBtn");
    EXPECT_EQ(Get("SshKeyEdit").text(), QString());
}

TEST_F(ConnectFormTest, SftpMovesOnlyTheFtpPortAndDisablesWhatSshCannotCarry)
{
    Create();
    const auto ftpOnlyEnabled = [&] {
        return std::vector<bool>{Get("AccountEdit").isEnabled(), Get<QCheckBox>("ckPassive").isEnabled(),
                                 Get<QComboBox>("EncryptionBox").isEnabled(), Get<QCheckBox>("UseMlsdBox").isEnabled(),
                                 Get<QComboBox>("ProxyTypeBox").isEnabled(), Get("ProxyServerEdit").isEnabled()};
    };
    EXPECT_EQ(Get("PortEdit").text(), QStringLiteral("21"));
    ChooseProtocol("SFTP");
    EXPECT_EQ(Get("PortEdit").text(), QStringLiteral("22"));
    EXPECT_EQ(ftpOnlyEnabled(), std::vector<bool>(6, false));
    EXPECT_TRUE(Get<QComboBox>("NameEncodingBox").isEnabled());
    ChooseProtocol("FTP");
    EXPECT_EQ(Get("PortEdit").text(), QStringLiteral("21"));
    EXPECT_EQ(ftpOnlyEnabled(), std::vector<bool>(6, true));

    Get("PortEdit").setText(QStringLiteral("2222"));
    ChooseProtocol("SFTP");
    EXPECT_EQ(Get("PortEdit").text(), QStringLiteral("2222"));
    Click("OkBtn");
    EXPECT_EQ(engine.Port, 2222);

    // The last OK comes back as it was, even a port that is the other protocol's default.
    for (const auto& [stored, port] : std::vector<std::pair<std::string, QString>>{
             {"PROTOCOL=SFTP\nPORT=21", "21"}, {"PROTOCOL=FTP\nPORT=22", "22"}}) {
        WriteSettings("[CURRENT]\n" + stored + "\n");
        Create();
        EXPECT_EQ(Get("PortEdit").text(), port) << stored;
    }
    EXPECT_EQ(Protocol().currentText(), QStringLiteral("FTP"));
    EXPECT_FALSE(Get("SshKeyEdit").isVisibleTo(form.get()));
}

// The dialog does not show the trusted host key, but keeps it and hands the profile's on.
TEST_F(ConnectFormTest, TheTrustedHostKeySurvivesASaveAndOkCopiesOnlyTheProfilesOwn)
{
    const std::string key = "SHA256:" + std::string(43, 'k');
    WriteSettings("[CURRENT]\nSSHHOSTKEY=SHA256:stale\n[site]\nPROTOCOL=SFTP\nHOST=s\nSSHHOSTKEY=" + key +
                  "\n[plain]\nHOST=p\n");
    Create(QStringLiteral("site"));
    Get("HostNameEdit").setText(QStringLiteral("s2"));
    Click("SaveBtn");
    EXPECT_EQ(Stored("site", "HOST"), "s2");
    EXPECT_EQ(Stored("site", "SSHHOSTKEY"), key);
    Click("OkBtn");
    EXPECT_EQ(Stored("CURRENT", "SSHHOSTKEY"), key);
    const TSshSettings current = ReadSshSettings(TIniFile(settingsPath.toStdString()), "CURRENT");
    EXPECT_TRUE(current.sftp);
    EXPECT_EQ(current.trustedHostKey, key);

    // Another profile's server is never checked against this key.
    Create(QStringLiteral("plain"));
    Click("OkBtn");
    EXPECT_EQ(ReadSshSettings(TIniFile(settingsPath.toStdString()), "CURRENT").trustedHostKey, "");
}

TEST(SshSettings, ReadFromASectionWithTheHostKeyInCanonicalForm)
{
    TempDir home;
    const std::string path = home.File("Marlux.ini");
    const std::string digest(43, 'A');
    TempDir::WriteFile(path, "[sftp]\nPROTOCOL=Sftp\nSSHKEY=/home/u/.ssh/id_rsa\nSSHHOSTKEY= sha256:" + digest +
                                 "=\n[mangled]\nPROTOCOL=SSH\nSSHHOSTKEY=SHA256:short\n");
    const TIniFile ini(path);
    const TSshSettings sftp = ReadSshSettings(ini, "sftp");
    EXPECT_TRUE(sftp.sftp);
    EXPECT_EQ(sftp.keyFile, QStringLiteral("/home/u/.ssh/id_rsa"));
    EXPECT_EQ(sftp.trustedHostKey, "SHA256:" + digest);

    // A stored key that is no fingerprint is not dropped: no key of the server matches it.
    const TSshSettings mangled = ReadSshSettings(ini, "mangled");
    EXPECT_FALSE(mangled.sftp);
    EXPECT_EQ(mangled.trustedHostKey, "SHA256:short");

    const TSshSettings missing = ReadSshSettings(ini, "missing");
    EXPECT_FALSE(missing.sftp);
    EXPECT_EQ(missing.keyFile, QString());
    EXPECT_EQ(missing.trustedHostKey, "");
}

// An unknown key is a question; a changed one is a refusal that offers nothing to accept.
TEST(SshSettings, HostKeyTextsNameTheKeyAndOnlyTheUnknownOneAsks)
{
    const std::string fingerprint = "SHA256:" + std::string(43, 'f');
    const QString unknown = SshHostKeyQuestion(fingerprint, "ssh-ed25519", THostKeyNotice::UnknownForProfile);
    const QString changed = SshHostKeyQuestion(fingerprint, "ssh-ed25519", THostKeyNotice::Changed);
    for (const QString& text : {unknown, changed}) {
        EXPECT_TRUE(text.contains(QString::fromStdString(fingerprint))) << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("ssh-ed25519"))) << text.toStdString();
    }
    EXPECT_TRUE(unknown.endsWith(QStringLiteral("信頼しますか？")));
    EXPECT_FALSE(changed.contains(QStringLiteral("か？")));
    EXPECT_TRUE(changed.contains(QStringLiteral("拒否")));
}
