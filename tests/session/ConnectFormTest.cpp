#include "session/ConnectForm.h"

#include "fixtures/TempDir.h"
#include "ftp/IdFTP.h"
#include "platform/IniFile.h"
#include "support/QStringPrinter.h"
#include "support/ScriptedDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

#include <limits>
#include <tuple>

namespace {

using Answer = TUserDialogs::Answer;

// A connection dialog over a settings file in a fresh directory, with what its OK hands on
// recorded.
class ConnectFormTest : public ::testing::Test {
protected:
    TConnectForm& Create(const QString& profileBoxText = QStringLiteral("CURRENT"))
    {
        form = std::make_unique<TConnectForm>(
            nullptr, TConnectForm::Sources{settingsPath, profileBoxText, dialogs, engine, state,
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
    void WriteSettings(const std::string& content) const { TempDir::WriteFile(settingsPath.toStdString(), content); }
    std::string Stored(const char* section, const char* key) const
    {
        return TIniFile(settingsPath.toStdString()).ReadString(section, key, "<missing>");
    }

    TempDir home;
    QString settingsPath = QString::fromStdString(home.File("Marlux.ini"));
    TScriptedDialogs dialogs;
    TIdFTP engine;
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
