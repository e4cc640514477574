#include "ConnectFormScene.h"

#include "session/SshHostKeyQuestion.h"
#include "session/SshSettings.h"

#include <QLabel>

#include <limits>
#include <tuple>

namespace {

using Answer = TUserDialogs::Answer;

// There is no keyring, which the password store knows before the first dialog.
class ConnectFormTest : public ConnectFormScene {
protected:
    ConnectFormTest() { MakeStore(); }
    QComboBox& Protocol() const { return Get<QComboBox>("ProtocolBox"); }
    void ChooseProtocol(const char* protocol) const { Protocol().setCurrentText(QString::fromLatin1(protocol)); }
    QStringList ProtocolAndKey() const { return {Protocol().currentText(), Get("SshKeyEdit").text()}; }
};

// Whether the profile is SFTP, its key file and its trusted host key.
std::tuple<bool, std::string, std::string> Fields(const TSshSettings& settings)
{
    return {settings.sftp, settings.keyFile.toStdString(), settings.trustedHostKey};
}

}  // namespace

TEST_F(ConnectFormTest, AProfileFillsTheFirstTabOverTheSharedOptionsOfCurrent)
{
    WriteSettings("[CURRENT]\nPROFILE=site\nUID=cu\nSAVEPWD=0\nPWD=hidden\nPORT=2121\nPROXYTYPE=3\n"
                  "[site]\nHOST=site.host\nLOCDIR=/tmp\nLASTREMOTEDIR=/site/last\nTLS=2\nTLSFINGERPRINT=AB:CD\n"
                  "NAMEENCODING=euc-jp\nUSEMLSD=0\nVERIFY=0\n[bare]\nTLS=9\nNAMEENCODING=KOI8-R\n");
    Create(QStringLiteral("site"));
    // The user is CURRENT's, as the profile has none; the password is not saved, so not read.
    EXPECT_EQ(Texts({"HostNameEdit", "UserIdEdit", "PasswordEdit"}), (QStringList{"site.host", "cu", ""}));

    // Missing keys keep or clear fields; an unknown encryption is none.
    ChooseProfile(QStringLiteral("bare"));
    EXPECT_EQ(Texts({"HostNameEdit", "LocalDirEdit"}), (QStringList{"site.host", ""}));
    EXPECT_EQ(Get<QComboBox>("EncryptionBox").currentIndex(), 0);  // out of range
    EXPECT_EQ(Get<QComboBox>("NameEncodingBox").currentText(), QStringLiteral("自動判別"));
    EXPECT_EQ(Checked({"UseMlsdBox", "VerifyBox"}), std::vector<bool>(2, true));
    ChooseProfile(QStringLiteral("site"));
    EXPECT_EQ(Checked({"UseMlsdBox", "VerifyBox"}), std::vector<bool>(2, false));
    EXPECT_EQ(Get<QComboBox>("NameEncodingBox").currentText(), QStringLiteral("EUC-JP"));
    Get<QCheckBox>("ckOpenLastDir").setChecked(true);
    Click("OkBtn");
    EXPECT_EQ(remoteDirText, QStringLiteral("/site/last"));
    EXPECT_EQ(localDirectoryChanges, QStringList{QStringLiteral("/tmp")});
    EXPECT_EQ(std::tuple(engine.Port, engine.ProxySettings.ProxyType, engine.UseTLS, engine.NameCodec.Choice(),
                         engine.UseMLSD, engine.VerifyTransfers, engine.TrustedFingerprint),
              std::tuple(2121, fpcmOpen, utUseImplicitTLS, TNameEncoding::EucJp, false, false, std::string("AB:CD")));
    EXPECT_EQ(profileBoxText_, QStringLiteral("site"));
    EXPECT_EQ(Stored("CURRENT", {"PWD", "TLS", "NAMEENCODING", "USEMLSD", "VERIFY"}),
              (Strings{"hidden", "2", "EUC-JP", "0", "0"}));
    Get<QComboBox>("NameEncodingBox").setCurrentIndex(2);
    Get<QCheckBox>("UseMlsdBox").setChecked(true);
    Get<QCheckBox>("VerifyBox").setChecked(true);
    Click("SaveBtn");
    EXPECT_EQ(Stored("site", {"NAMEENCODING", "USEMLSD", "VERIFY"}), (Strings{"SHIFT_JIS", "1", "1"}));
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
    EXPECT_EQ(Stored("new site", {"HOST", "TIMEOUT"}), (Strings{"h", "<missing>"}));  // shared options stay in CURRENT

    // Deleting asks first; Yes erases the section and brings back CURRENT's name.
    dialogs.QueueAnswer(Answer::Yes);
    Click("DeleteBtn");
    EXPECT_EQ(Stored("new site", "HOST") + "|" + Stored("keep", "HOST"), "<missing>|k");
    EXPECT_EQ(ProfileBox().currentText(), QStringLiteral("keep"));

    Get<QCheckBox>("SavePassWordBox").setChecked(false);
    Get("PasswordEdit").setText(QStringLiteral("typed"));
    Click("SaveBtn");
    Click("OkBtn");
    EXPECT_EQ(Stored("keep", "PWD"), "old-keep");
    EXPECT_EQ(Stored("CURRENT", {"PWD", "SAVEPWD"}), (Strings{"old-current", "0"}));
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
    EXPECT_TRUE(Get<QLabel>("PasswordPlaceLabel").text().contains(QStringLiteral("Marlux.ini")));
    for (const auto& [edit, text] : {std::pair{"HostNameEdit", "ftp.example.jp"}, {"PasswordEdit", "pw"},
                                     {"HostDirEdit", "/pub//"}, {"PortEdit", "twenty"}})
        Get(edit).setText(QString::fromLatin1(text));
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

    // Without a keyring the password went into the file and comes back at once. A time-out that
    // is no number closes the dialog without a connection.
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
    EXPECT_EQ(ProtocolAndKey(), (QStringList{"SFTP", "/keys/id_ed25519"}));
    EXPECT_FALSE(Get("SshKeyEdit").isHidden());
    ChooseProfile(QStringLiteral("odd"));
    EXPECT_EQ(ProtocolAndKey(), (QStringList{"FTP", ""}));

    // A name being typed for a new profile keeps what is shown.
    ChooseProfile(QStringLiteral("sftp"));
    ChooseProfile(QStringLiteral("sftp2"));
    EXPECT_EQ(ProtocolAndKey(), (QStringList{"SFTP", "/keys/id_ed25519"}));
    dialogs.QueueFileToOpen(QStringLiteral("/keys/other"));
    Click("SshKeyBtn");
    Click("SshKeyBtn");  // cancelled: the key stays
    EXPECT_EQ(Get("SshKeyEdit").text(), QStringLiteral("/keys/other"));
    Click("SaveBtn");
    EXPECT_EQ(Stored("sftp2", {"PROTOCOL", "SSHKEY"}), (Strings{"SFTP", "/keys/other"}));
    Click("OkBtn");
    EXPECT_EQ(Stored("CURRENT", {"PROTOCOL", "SSHKEY"}), (Strings{"SFTP", "/keys/other"}));

    Create(QStringLiteral("nameless"));
    EXPECT_EQ(ProtocolAndKey(), (QStringList{"SFTP", "/keys/other"}));
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
    EXPECT_EQ(Stored("site", {"HOST", "SSHHOSTKEY"}), (Strings{"s2", key}));
    Click("OkBtn");
    EXPECT_EQ(Stored("CURRENT", "SSHHOSTKEY"), key);
    EXPECT_EQ(Fields(ReadSshSettings(TIniFile(settingsPath.toStdString()), "CURRENT")), std::tuple(true, "", key));

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
    EXPECT_EQ(Fields(ReadSshSettings(ini, "sftp")), std::tuple(true, "/home/u/.ssh/id_rsa", "SHA256:" + digest));
    // A stored key that is no fingerprint is not dropped: no key of the server matches it.
    EXPECT_EQ(Fields(ReadSshSettings(ini, "mangled")), std::tuple(false, "", "SHA256:short"));
    EXPECT_EQ(Fields(ReadSshSettings(ini, "missing")), std::tuple(false, "", ""));
}

// Both notices name the key the server showed; only the unknown one is a question. That a changed
// key is refused without asking is the SFTP window's test.
TEST(SshSettings, HostKeyNoticesNameTheKeyAndOnlyTheUnknownOneAsks)
{
    const std::string fingerprint = "SHA256:" + std::string(43, 'f');
    for (const THostKeyNotice notice : {THostKeyNotice::UnknownForProfile, THostKeyNotice::Changed}) {
        const QString text = SshHostKeyQuestion(fingerprint, "ssh-ed25519", notice);
        EXPECT_TRUE(text.contains(QString::fromStdString(fingerprint))) << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("ssh-ed25519"))) << text.toStdString();
        EXPECT_EQ(text.endsWith(QStringLiteral("か？")), notice != THostKeyNotice::Changed) << text.toStdString();
    }
}
