#include "session/ConnectForm.h"

#include "fixtures/TempDir.h"
#include "ftp/IdFTP.h"
#include "platform/IniFile.h"
#include "support/QStringPrinter.h"
#include "support/ScriptedDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QSpinBox>
#include <QUrl>
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
    std::vector<std::string> Sections() const { return TIniFile(settingsPath.toStdString()).ReadSections(); }

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

TEST_F(ConnectFormTest, AFirstRunStartsFromTheInitialValuesAndOkHandsOnAndStoresTheFields)
{
    Create();
    EXPECT_EQ(Get("PasswordEdit").echoMode(), QLineEdit::Password);
    Get("HostNameEdit").setText(QStringLiteral("ftp.example.jp"));
    Get("PasswordEdit").setText(QStringLiteral("pw"));
    Get<QComboBox>("ProxyTypeBox").setCurrentIndex(4);
    Get("ProxyServerEdit").setText(QStringLiteral("proxy.local"));
    Get("ProxyPortEdit").setText(QStringLiteral("8021"));
    Get("ProxyUserNameEdit").setText(QStringLiteral("pu"));
    Get("ProxyPasswordEdit").setText(QStringLiteral("pp"));
    Click("OkBtn");
    EXPECT_TRUE(state.ConnectAccepted);
    EXPECT_EQ(state.ConnectTimeout, 60000);
    EXPECT_EQ(engine.Host, "ftp.example.jp");
    EXPECT_EQ(engine.Password, "pw");
    const auto& proxy = engine.ProxySettings;
    EXPECT_EQ(std::tie(proxy.ProxyType, proxy.Host, proxy.Port, proxy.UserName, proxy.Password),
              std::make_tuple(fpcmUserPass, std::string("proxy.local"), 8021, std::string("pu"), std::string("pp")));
    EXPECT_EQ(connectionTarget, QStringLiteral("ftp.example.jp"));

    // What OK stored comes back in the next dialog.
    Create();
    EXPECT_EQ(Get("PasswordEdit").text(), QStringLiteral("pw"));
    EXPECT_EQ(Get("ProxyPasswordEdit").text(), QStringLiteral("pp"));
}

TEST_F(ConnectFormTest, TheDialogComesBackAsLastAcceptedWithTheProfileOverTheSharedOptions)
{
    WriteSettings("[CURRENT]\nPROFILE=site\nHOST=current.host\nUID=cu\nSAVEPWD=0\nPWD=hidden\nTIMEOUT=15\n"
                  "PORT=2121\nPROXYTYPE=3\nPASSIVE=1\nSENDBUFFERSIZE=100\nRECVBUFFERSIZE=16392\n"
                  "CONNECTONCREATE=1\nLASTREMOTEDIR=/cur\n"
                  "[site]\nHOST=site.host\nLOCDIR=/tmp\nLASTREMOTEDIR=/site/last\n"
                  "[bare]\nCOMMENT=only a comment\n");
    Create(QStringLiteral("site"));
    EXPECT_EQ(ProfileBox().count(), 3);
    EXPECT_EQ(Get("HostNameEdit").text(), QStringLiteral("site.host"));
    EXPECT_EQ(Get("UserIdEdit").text(), QStringLiteral("cu"));  // the profile has none
    EXPECT_EQ(Get("PasswordEdit").text(), QString());       // not saved, so not read
    EXPECT_TRUE(form->ConnectOnCreate());
    // A stored size below the minimum shows as the minimum.
    EXPECT_EQ(Get<QSpinBox>("seSendBufferSize").value(), 4098);

    // Choosing another profile fills the first tab only; missing keys keep or clear fields.
    ProfileBox().setCurrentIndex(ProfileBox().findText(QStringLiteral("bare")));
    emit ProfileBox().textActivated(QStringLiteral("bare"));
    EXPECT_EQ(Get("HostNameEdit").text(), QStringLiteral("site.host"));
    EXPECT_EQ(Get("LocalDirEdit").text(), QString());
    EXPECT_EQ(Get("CommentEdit").text(), QStringLiteral("only a comment"));

    // Typing a name loads that section as it is typed.
    ProfileBox().lineEdit()->setText(QStringLiteral("site"));
    emit ProfileBox().lineEdit()->textEdited(QStringLiteral("site"));
    EXPECT_EQ(Get("LocalDirEdit").text(), QStringLiteral("/tmp"));
    Get<QCheckBox>("ckOpenLastDir").setChecked(true);
    Click("OkBtn");
    EXPECT_EQ(remoteDirText, QStringLiteral("/site/last"));
    EXPECT_EQ(localDirectoryChanges, QStringList{QStringLiteral("/tmp")});  // no last local directory
    EXPECT_EQ(engine.Port, 2121);
    EXPECT_EQ(engine.ProxySettings.ProxyType, fpcmOpen);
    EXPECT_EQ(profileBoxText_, QStringLiteral("site"));
    EXPECT_EQ(Stored("CURRENT", "PWD"), "hidden");
}

TEST_F(ConnectFormTest, SaveNewAndDeleteChangeOnlyTheirSection)
{
    WriteSettings("[CURRENT]\nPROFILE=keep\n[keep]\nHOST=k\n");
    Create(QStringLiteral("keep"));
    ProfileBox().setEditText(QString());
    Click("SaveBtn");
    EXPECT_EQ(dialogs.Shown(), QStringList{QStringLiteral("プロファイル名を入力してください")});
    EXPECT_EQ(Sections(), (std::vector<std::string>{"CURRENT", "keep"}));

    ProfileBox().setEditText(QStringLiteral("new site"));
    Get("HostNameEdit").setText(QStringLiteral("h"));
    Get("HostDirEdit").setText(QStringLiteral("/pub"));
    Get<QCheckBox>("ckConnectOnCreate").setChecked(true);
    Click("SaveBtn");
    EXPECT_EQ(Stored("new site", "CONNECTONCREATE"), "1");
    EXPECT_EQ(Stored("new site", "TIMEOUT"), "<missing>");  // shared options stay in CURRENT

    Click("NewBtn");
    EXPECT_EQ(ProfileBox().currentText(), QString());
    EXPECT_EQ(Get("HostDirEdit").text(), QString());
    EXPECT_TRUE(Get<QCheckBox>("ckConnectOnCreate").isChecked());

    // Deleting asks first; No keeps the section, Yes erases it and brings back CURRENT's name.
    ProfileBox().setEditText(QStringLiteral("new site"));
    dialogs.QueueAnswer(Answer::No);
    Click("DeleteBtn");
    EXPECT_EQ(Stored("new site", "HOST"), "h");
    dialogs.QueueAnswer(Answer::Yes);
    Click("DeleteBtn");
    EXPECT_EQ(Sections(), (std::vector<std::string>{"CURRENT", "keep"}));
    EXPECT_EQ(ProfileBox().findText(QStringLiteral("new site")), -1);
    EXPECT_EQ(ProfileBox().currentText(), QStringLiteral("keep"));

    // Deleting the profile CURRENT names leaves its name in the box.
    dialogs.QueueAnswer(Answer::Yes);
    Click("DeleteBtn");
    EXPECT_EQ(Sections(), std::vector<std::string>{"CURRENT"});
    EXPECT_EQ(ProfileBox().currentText(), QStringLiteral("keep"));
}

TEST_F(ConnectFormTest, AnUntickedPasswordBoxLeavesAStoredPasswordAlone)
{
    WriteSettings("[CURRENT]\nSAVEPWD=1\nPWD=old-current\n[site]\nPWD=old-site\n");
    Create(QStringLiteral("site"));
    EXPECT_EQ(Get("PasswordEdit").text(), QStringLiteral("old-site"));
    Get<QCheckBox>("SavePassWordBox").setChecked(false);
    Get("PasswordEdit").setText(QStringLiteral("typed"));
    Click("SaveBtn");
    Click("OkBtn");
    EXPECT_EQ(Stored("site", "PWD"), "old-site");
    EXPECT_EQ(Stored("CURRENT", "PWD"), "old-current");
    EXPECT_EQ(Stored("CURRENT", "SAVEPWD"), "0");
    // The typed password is still used for this connection.
    EXPECT_EQ(engine.Password, "typed");
}

TEST_F(ConnectFormTest, TheInitialRemoteDirectoryLosesOneTrailingSlash)
{
    for (const auto& [typed, shown] : std::vector<std::pair<QString, QString>>{
             {"/", ""}, {"dir/", "dir"}, {"/pub//", "/pub/"}, {"/pub", "/pub"}}) {
        Create();
        Get("HostDirEdit").setText(typed);
        Click("OkBtn");
        EXPECT_EQ(remoteDirText, shown) << typed.toStdString();
    }
}

TEST_F(ConnectFormTest, NumbersThatAreNotNumbersTakeTheirFallbacks)
{
    engine.RecvBufferSize = 1111;
    engine.SendBufferSize = 2222;
    Create();
    Get("PortEdit").setText(QStringLiteral("twenty"));
    // Typed but not yet committed: below the minimum, the engine keeps its sizes.
    Get<QSpinBox>("seSendBufferSize").findChild<QLineEdit*>()->setText(QStringLiteral("100"));
    Get<QSpinBox>("seRecvBufferSize").findChild<QLineEdit*>()->setText(QStringLiteral("4097"));
    Click("OkBtn");
    EXPECT_TRUE(state.ConnectAccepted);
    EXPECT_EQ(engine.Port, 21);
    EXPECT_EQ(engine.SendBufferSize, 2222);
    EXPECT_EQ(engine.RecvBufferSize, 1111);
    EXPECT_EQ(Stored("CURRENT", "PORT"), "twenty");

    // Time-outs out of the ordinary still give the engine a bounded wait for replies.
    for (const auto& [typed, connect, read] : std::vector<std::tuple<QString, int, int>>{
             {"-3", -3000, TIdFTP::DefaultReadTimeoutMs},
             {"99999999", std::numeric_limits<int>::max(), std::numeric_limits<int>::max()}}) {
        Create();
        Get("TimeOutEdit").setText(typed);
        Click("OkBtn");
        EXPECT_EQ(state.ConnectTimeout, connect) << typed.toStdString();
        EXPECT_EQ(engine.ReadTimeout, read) << typed.toStdString();
    }
}

TEST_F(ConnectFormTest, ATimeOutThatIsNotANumberClosesTheDialogWithoutAConnection)
{
    Create();
    Get("HostNameEdit").setText(QStringLiteral("h"));
    Get("TimeOutEdit").setText(QStringLiteral("1m"));
    form->show();
    Click("OkBtn");
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(form->result(), int(QDialog::Rejected));
    ASSERT_TRUE(form->PendingError());
    EXPECT_THROW(std::rethrow_exception(form->PendingError()), EConvertError);
    // The steps before the time-out ran; the ones after it did not.
    EXPECT_EQ(engine.Host, "h");
    EXPECT_EQ(connectionTarget, QString());
}

TEST_F(ConnectFormTest, ASettingsFileThatCannotBeWrittenIsReportedAndTheDialogStays)
{
    settingsPath = QString::fromStdString(home.File("missing/Marlux.ini"));
    Create().show();
    Click("OkBtn");
    ProfileBox().setEditText(QStringLiteral("p"));
    Click("SaveBtn");
    const QString error = settingsPath + QStringLiteral(" に書き込めません");
    EXPECT_EQ(dialogs.Shown(), (QStringList{error, error}));
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(state.ConnectAccepted);
    EXPECT_FALSE(form->PendingError());
}

TEST_F(ConnectFormTest, TheLocalDirectoryComesFromTheFolderBrowserOrADrop)
{
    Create();
    dialogs.QueueFolder(QStringLiteral("/usr/share"));
    Click("RefBtn");
    EXPECT_EQ(Get("LocalDirEdit").text(), QStringLiteral("/usr/share"));

    // A dropped file gives its folder; the last dropped item wins.
    const std::string sub = home.File("sub");
    QDir().mkpath(QString::fromStdString(sub));
    TempDir::WriteFile(sub + "/file.txt", "x");
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(home.Path())),
                  QUrl::fromLocalFile(QString::fromStdString(sub + "/file.txt"))});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(form.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(form.get(), &drop);
    EXPECT_EQ(Get("LocalDirEdit").text(), QString::fromStdString(sub));
}

TEST_F(ConnectFormTest, TheEncryptionChoiceIsStoredPerProfileAndInCurrentAndReachesTheEngine)
{
    WriteSettings("[secure]\nHOST=ftp.example\nTLS=2\nTLSFINGERPRINT=AB:CD\n[plain]\nHOST=old.example\n"
                  "[odd]\nTLS=9\n");
    Create(QStringLiteral("plain"));
    auto& encryption = Get<QComboBox>("EncryptionBox");
    // A profile without the key keeps the choice shown, which starts at none.
    EXPECT_EQ(encryption.currentIndex(), 0);
    ChooseProfile(QStringLiteral("secure"));
    EXPECT_EQ(encryption.currentIndex(), 2);
    ChooseProfile(QStringLiteral("odd"));
    EXPECT_EQ(encryption.currentIndex(), 0);

    ChooseProfile(QStringLiteral("secure"));
    encryption.setCurrentIndex(1);
    Click("SaveBtn");
    Click("OkBtn");
    EXPECT_EQ(engine.UseTLS, utUseExplicitTLS);
    EXPECT_EQ(engine.TrustedFingerprint, "AB:CD");
    EXPECT_EQ(Stored("secure", "TLS"), "1");
    EXPECT_EQ(Stored("CURRENT", "TLS"), "1");
    EXPECT_EQ(Stored("plain", "TLS"), "<missing>");
}
