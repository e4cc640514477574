#include "session/ConnectForm.h"

#include "fixtures/IniSection.h"
#include "fixtures/TempDir.h"
#include "ftp/IdFTP.h"
#include "platform/DateTime.h"
#include "platform/IniFile.h"
#include "support/QStringPrinter.h"
#include "support/ScriptedDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QDir>
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
using Entries = IniEntries;

// A connection dialog over a settings file in a fresh directory, with what its OK hands on
// recorded.
class ConnectFormTest : public ::testing::Test {
protected:
    std::unique_ptr<TConnectForm> Create(const QString& profileBoxText = QStringLiteral("CURRENT"))
    {
        return std::make_unique<TConnectForm>(
            nullptr, TConnectForm::Sources{settingsPath, profileBoxText, dialogs, engine, state,
                                           [this](const QString& text) { remoteDirText = text; },
                                           [this](const QString& path) { localDirectoryChanges << path; },
                                           [this](const QString& text) { connectionTarget = text; },
                                           [this](const QString& text) { profileBoxText_ = text; }});
    }
    void WriteSettings(const std::string& content) { TempDir::WriteFile(settingsPath.toStdString(), content); }
    IniEntries Section(const std::string& name) const { return IniSectionEntries(settingsPath.toStdString(), name); }
    std::vector<std::string> Sections() const { return TIniFile(settingsPath.toStdString()).ReadSections(); }

    TempDir home;
    QString settingsPath = QString::fromStdString(home.File("Marlux.ini"));
    TScriptedDialogs dialogs;
    TIdFTP engine;
    TSessionState state;
    QString remoteDirText = QStringLiteral("<unset>");
    QStringList localDirectoryChanges;
    QString connectionTarget;
    QString profileBoxText_;
};

template <class T>
T& Control(TConnectForm& form, const char* name)
{
    T* control = form.findChild<T*>(QString::fromLatin1(name));
    if (!control)
        throw std::runtime_error(std::string("no control ") + name);
    return *control;
}

QLineEdit& Edit(TConnectForm& form, const char* name)
{
    return Control<QLineEdit>(form, name);
}

QCheckBox& Check(TConnectForm& form, const char* name)
{
    return Control<QCheckBox>(form, name);
}

QComboBox& ProfileBox(TConnectForm& form)
{
    return Control<QComboBox>(form, "ProfileNameBox");
}

void Click(TConnectForm& form, const char* button)
{
    Control<QPushButton>(form, button).click();
}

}  // namespace

TEST_F(ConnectFormTest, AFirstRunShowsTheInitialValuesAndOkWritesTheCurrentSection)
{
    auto form = Create();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("接続先のプロファイル"));
    EXPECT_EQ(ProfileBox(*form).currentText(), QStringLiteral("CURRENT"));
    EXPECT_FALSE(form->ConnectOnCreate());
    EXPECT_EQ(Edit(*form, "PasswordEdit").echoMode(), QLineEdit::Password);
    EXPECT_EQ(Edit(*form, "ProxyPasswordEdit").echoMode(), QLineEdit::Normal);
    EXPECT_TRUE(Control<QPushButton>(*form, "OkBtn").isDefault());

    Edit(*form, "HostNameEdit").setText(QStringLiteral("ftp.example.jp"));
    Edit(*form, "PasswordEdit").setText(QStringLiteral("pw"));
    Click(*form, "OkBtn");
    EXPECT_EQ(form->result(), int(QDialog::Accepted));
    EXPECT_TRUE(state.ConnectAccepted);
    EXPECT_EQ(state.ConnectTimeout, 60000);
    EXPECT_EQ(engine.ReadTimeout, 60000);
    EXPECT_EQ(engine.Host, "ftp.example.jp");
    EXPECT_EQ(engine.Port, 21);
    EXPECT_EQ(engine.ProxySettings.ProxyType, fpcmNone);
    EXPECT_EQ(connectionTarget, QStringLiteral("ftp.example.jp"));
    EXPECT_EQ(profileBoxText_, QStringLiteral("CURRENT"));
    EXPECT_EQ(remoteDirText, QString());
    EXPECT_TRUE(localDirectoryChanges.isEmpty());
    EXPECT_EQ(Section("CURRENT"),
              (Entries{{"PROFILE", "CURRENT"}, {"HOST", "ftp.example.jp"}, {"UID", ""}, {"ACCOUNT", ""},
                       {"SAVEPWD", "1"}, {"PWD", "pw"}, {"DIR", ""}, {"LOCDIR", ""}, {"COMMENT", ""},
                       {"TIMEOUT", "60"}, {"PORT", "21"}, {"PROXYSERVER", ""}, {"PROXYPORT", "0"},
                       {"PROXYTYPE", "-1"}, {"PROXYUSERNAME", ""}, {"PROXYPASSWORD", ""}, {"PASSIVE", "0"},
                       {"SENDBUFFERSIZE", "8196"}, {"RECVBUFFERSIZE", "8196"}, {"OPENLASTDIR", "0"},
                       {"CONNECTONCREATE", "0"}, {"TLS", "0"}}));
}

TEST_F(ConnectFormTest, TheDialogComesBackAsLastAcceptedWithTheProfileOverTheSharedOptions)
{
    WriteSettings("[CURRENT]\nPROFILE=site\nHOST=current.host\nUID=cu\nSAVEPWD=0\nPWD=hidden\nTIMEOUT=15\n"
                  "PORT=2121\nPROXYTYPE=3\nPASSIVE=1\nSENDBUFFERSIZE=100\nRECVBUFFERSIZE=16392\n"
                  "CONNECTONCREATE=1\nLASTREMOTEDIR=/cur\n"
                  "[site]\nHOST=site.host\nLOCDIR=/tmp\nLASTREMOTEDIR=/site/last\n"
                  "[bare]\nCOMMENT=only a comment\n");
    auto form = Create(QStringLiteral("site"));
    EXPECT_EQ(ProfileBox(*form).currentText(), QStringLiteral("site"));
    QStringList items;
    for (int i = 0; i < ProfileBox(*form).count(); ++i)
        items << ProfileBox(*form).itemText(i);
    EXPECT_EQ(items, (QStringList{"bare", "CURRENT", "site"}));
    EXPECT_EQ(Edit(*form, "HostNameEdit").text(), QStringLiteral("site.host"));
    EXPECT_EQ(Edit(*form, "UserIdEdit").text(), QStringLiteral("cu"));  // the profile has none
    EXPECT_EQ(Edit(*form, "PasswordEdit").text(), QString());       // not saved, so not read
    EXPECT_EQ(Edit(*form, "LocalDirEdit").text(), QStringLiteral("/tmp"));
    EXPECT_EQ(Edit(*form, "TimeOutEdit").text(), QStringLiteral("15"));
    EXPECT_EQ(Edit(*form, "PortEdit").text(), QStringLiteral("2121"));
    EXPECT_EQ(Control<QComboBox>(*form, "ProxyTypeBox").currentIndex(), 3);
    EXPECT_TRUE(Check(*form, "ckPassive").isChecked());
    EXPECT_TRUE(form->ConnectOnCreate());
    // A stored size below the minimum shows as the minimum.
    EXPECT_EQ(Control<QSpinBox>(*form, "seSendBufferSize").value(), 4098);
    EXPECT_EQ(Control<QSpinBox>(*form, "seRecvBufferSize").value(), 16392);

    // Choosing another profile fills the first tab only; missing keys keep or clear fields.
    ProfileBox(*form).setCurrentIndex(ProfileBox(*form).findText(QStringLiteral("bare")));
    emit ProfileBox(*form).textActivated(QStringLiteral("bare"));
    EXPECT_EQ(Edit(*form, "HostNameEdit").text(), QStringLiteral("site.host"));
    EXPECT_EQ(Edit(*form, "LocalDirEdit").text(), QString());
    EXPECT_EQ(Edit(*form, "CommentEdit").text(), QStringLiteral("only a comment"));
    EXPECT_EQ(Edit(*form, "PortEdit").text(), QStringLiteral("2121"));

    // Typing a name loads that section as it is typed.
    ProfileBox(*form).lineEdit()->clear();
    ProfileBox(*form).lineEdit()->setText(QStringLiteral("site"));
    emit ProfileBox(*form).lineEdit()->textEdited(QStringLiteral("site"));
    EXPECT_EQ(Edit(*form, "LocalDirEdit").text(), QStringLiteral("/tmp"));
    Check(*form, "ckOpenLastDir").setChecked(true);
    Click(*form, "OkBtn");
    EXPECT_EQ(remoteDirText, QStringLiteral("/site/last"));
    EXPECT_EQ(localDirectoryChanges, QStringList{QStringLiteral("/tmp")});  // no last local directory
    EXPECT_EQ(engine.Port, 2121);
    EXPECT_EQ(engine.ProxySettings.ProxyType, fpcmOpen);
    EXPECT_TRUE(engine.Passive);
    EXPECT_EQ(engine.RecvBufferSize, 16392);
    EXPECT_EQ(profileBoxText_, QStringLiteral("site"));
    EXPECT_EQ(TIniFile(settingsPath.toStdString()).ReadString("CURRENT", "PWD", "?"), "hidden");
}

TEST_F(ConnectFormTest, SaveNewAndDeleteChangeOnlyTheirSection)
{
    WriteSettings("[CURRENT]\nPROFILE=keep\n[keep]\nHOST=k\n");
    auto form = Create(QStringLiteral("keep"));

    ProfileBox(*form).setEditText(QString());
    Click(*form, "SaveBtn");
    EXPECT_EQ(dialogs.Shown(), QStringList{QStringLiteral("プロファイル名を入力してください")});
    EXPECT_EQ(Sections(), (std::vector<std::string>{"CURRENT", "keep"}));

    ProfileBox(*form).setEditText(QStringLiteral("new site"));
    Edit(*form, "HostNameEdit").setText(QStringLiteral("h"));
    Edit(*form, "UserIdEdit").setText(QStringLiteral("u"));
    Edit(*form, "PasswordEdit").setText(QStringLiteral("p"));
    Edit(*form, "HostDirEdit").setText(QStringLiteral("/pub"));
    Check(*form, "ckConnectOnCreate").setChecked(true);
    Click(*form, "SaveBtn");
    EXPECT_EQ(Section("new site"), (Entries{{"HOST", "h"}, {"UID", "u"}, {"ACCOUNT", ""}, {"PWD", "p"}, {"DIR", "/pub"},
                                            {"LOCDIR", ""}, {"COMMENT", ""}, {"OPENLASTDIR", "0"},
                                            {"CONNECTONCREATE", "1"}, {"TLS", "0"}}));
    EXPECT_GE(ProfileBox(*form).findText(QStringLiteral("new site")), 0);

    Click(*form, "NewBtn");
    EXPECT_EQ(ProfileBox(*form).currentText(), QString());
    EXPECT_EQ(Edit(*form, "HostNameEdit").text(), QString());
    EXPECT_EQ(Edit(*form, "HostDirEdit").text(), QString());
    EXPECT_TRUE(Check(*form, "ckConnectOnCreate").isChecked());

    // Deleting asks first; No keeps the section, Yes erases it and brings back CURRENT's name.
    ProfileBox(*form).setEditText(QStringLiteral("new site"));
    dialogs.QueueAnswer(Answer::No);
    Click(*form, "DeleteBtn");
    EXPECT_EQ(dialogs.Shown().last(), QStringLiteral("選択中のﾌﾟﾛﾌｧｲﾙを消去しますか？"));
    EXPECT_FALSE(Section("new site").empty());
    dialogs.QueueAnswer(Answer::Yes);
    Click(*form, "DeleteBtn");
    EXPECT_EQ(Sections(), (std::vector<std::string>{"CURRENT", "keep"}));
    EXPECT_EQ(ProfileBox(*form).findText(QStringLiteral("new site")), -1);
    EXPECT_EQ(ProfileBox(*form).currentText(), QStringLiteral("keep"));

    // Deleting the profile CURRENT names leaves its name in the box.
    dialogs.QueueAnswer(Answer::Yes);
    Click(*form, "DeleteBtn");
    EXPECT_EQ(Sections(), std::vector<std::string>{"CURRENT"});
    EXPECT_EQ(ProfileBox(*form).currentText(), QStringLiteral("keep"));
}

TEST_F(ConnectFormTest, AnUntickedPasswordBoxLeavesAStoredPasswordAlone)
{
    WriteSettings("[CURRENT]\nSAVEPWD=1\nPWD=old-current\n[site]\nPWD=old-site\n");
    auto form = Create(QStringLiteral("site"));
    EXPECT_EQ(Edit(*form, "PasswordEdit").text(), QStringLiteral("old-site"));
    Check(*form, "SavePassWordBox").setChecked(false);
    Edit(*form, "PasswordEdit").setText(QStringLiteral("typed"));
    Click(*form, "SaveBtn");
    Click(*form, "OkBtn");
    const TIniFile ini(settingsPath.toStdString());
    EXPECT_EQ(ini.ReadString("site", "PWD", "?"), "old-site");
    EXPECT_EQ(ini.ReadString("CURRENT", "PWD", "?"), "old-current");
    EXPECT_EQ(ini.ReadString("CURRENT", "SAVEPWD", "?"), "0");
    // The typed password is still used for this connection.
    EXPECT_EQ(engine.Password, "typed");
}

TEST_F(ConnectFormTest, TheInitialRemoteDirectoryLosesOneTrailingSlash)
{
    for (const auto& [typed, shown] : std::vector<std::pair<QString, QString>>{
             {"/", ""}, {"dir/", "dir"}, {"/pub//", "/pub/"}, {"/pub", "/pub"}}) {
        auto form = Create();
        Edit(*form, "HostDirEdit").setText(typed);
        Click(*form, "OkBtn");
        EXPECT_EQ(remoteDirText, shown) << typed.toStdString();
    }
}

TEST_F(ConnectFormTest, NumbersThatAreNotNumbersTakeTheirFallbacks)
{
    engine.RecvBufferSize = 1111;
    engine.SendBufferSize = 2222;
    auto form = Create();
    Edit(*form, "PortEdit").setText(QStringLiteral("twenty"));
    Edit(*form, "ProxyPortEdit").setText(QStringLiteral("x"));
    // Typed but not yet committed: below the minimum, the engine keeps its sizes.
    Control<QSpinBox>(*form, "seSendBufferSize").findChild<QLineEdit*>()->setText(QStringLiteral("100"));
    Control<QSpinBox>(*form, "seRecvBufferSize").findChild<QLineEdit*>()->setText(QStringLiteral("4097"));
    Click(*form, "OkBtn");
    EXPECT_TRUE(state.ConnectAccepted);
    EXPECT_EQ(engine.Port, 21);
    EXPECT_EQ(engine.ProxySettings.Port, 0);
    EXPECT_EQ(engine.SendBufferSize, 2222);
    EXPECT_EQ(engine.RecvBufferSize, 1111);
    EXPECT_EQ(TIniFile(settingsPath.toStdString()).ReadString("CURRENT", "PORT", "?"), "twenty");

    // Time-outs out of the ordinary still give the engine a bounded wait for replies.
    for (const auto& [typed, connect, read] : std::vector<std::tuple<QString, int, int>>{
             {"0", 0, TIdFTP::DefaultReadTimeoutMs},
             {"-3", -3000, TIdFTP::DefaultReadTimeoutMs},
             {"99999999", std::numeric_limits<int>::max(), std::numeric_limits<int>::max()}}) {
        auto again = Create();
        Edit(*again, "TimeOutEdit").setText(typed);
        Click(*again, "OkBtn");
        EXPECT_EQ(state.ConnectTimeout, connect) << typed.toStdString();
        EXPECT_EQ(engine.ReadTimeout, read) << typed.toStdString();
    }
}

TEST_F(ConnectFormTest, ATimeOutThatIsNotANumberClosesTheDialogWithoutAConnection)
{
    auto form = Create();
    Edit(*form, "HostNameEdit").setText(QStringLiteral("h"));
    Edit(*form, "TimeOutEdit").setText(QStringLiteral("1m"));
    form->show();
    Click(*form, "OkBtn");
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(form->result(), int(QDialog::Rejected));
    EXPECT_FALSE(state.ConnectAccepted);
    ASSERT_TRUE(form->PendingError());
    EXPECT_THROW(std::rethrow_exception(form->PendingError()), EConvertError);
    // The steps before the time-out ran; the ones after it did not.
    EXPECT_EQ(engine.Host, "h");
    EXPECT_EQ(connectionTarget, QString());
    EXPECT_EQ(TIniFile(settingsPath.toStdString()).ReadString("CURRENT", "TIMEOUT", "?"), "1m");
    // The bad text comes back next time.
    EXPECT_EQ(Edit(*Create(), "TimeOutEdit").text(), QStringLiteral("1m"));
}

TEST_F(ConnectFormTest, ASettingsFileThatCannotBeWrittenIsReportedAndTheDialogStays)
{
    settingsPath = QString::fromStdString(home.File("missing/Marlux.ini"));
    auto form = Create();
    form->show();
    Click(*form, "OkBtn");
    ProfileBox(*form).setEditText(QStringLiteral("p"));
    Click(*form, "SaveBtn");
    const QString error = settingsPath + QStringLiteral(" に書き込めません");
    EXPECT_EQ(dialogs.Shown(), (QStringList{error, error}));
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(state.ConnectAccepted);
    EXPECT_FALSE(form->PendingError());
}

TEST_F(ConnectFormTest, TheLocalDirectoryComesFromTheFolderBrowserOrADrop)
{
    auto form = Create();
    Click(*form, "RefBtn");
    EXPECT_EQ(dialogs.FolderInstructions(), QStringList{QStringLiteral("ローカルの初期ディレクトリの選択：")});
    EXPECT_EQ(Edit(*form, "LocalDirEdit").text(), QString());
    dialogs.QueueFolder(QStringLiteral("/usr/share"));
    Click(*form, "RefBtn");
    EXPECT_EQ(Edit(*form, "LocalDirEdit").text(), QStringLiteral("/usr/share"));

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
    EXPECT_EQ(Edit(*form, "LocalDirEdit").text(), QString::fromStdString(sub));
}

TEST_F(ConnectFormTest, TheProxyFieldsReachTheEngine)
{
    auto form = Create();
    Control<QComboBox>(*form, "ProxyTypeBox").setCurrentIndex(4);
    Edit(*form, "ProxyServerEdit").setText(QStringLiteral("proxy.local"));
    Edit(*form, "ProxyPortEdit").setText(QStringLiteral("8021"));
    Edit(*form, "ProxyUserNameEdit").setText(QStringLiteral("pu"));
    Edit(*form, "ProxyPasswordEdit").setText(QStringLiteral("pp"));
    Click(*form, "OkBtn");
    EXPECT_EQ(engine.ProxySettings.ProxyType, fpcmUserPass);
    EXPECT_EQ(engine.ProxySettings.Host, "proxy.local");
    EXPECT_EQ(engine.ProxySettings.Port, 8021);
    EXPECT_EQ(engine.ProxySettings.UserName, "pu");
    EXPECT_EQ(engine.ProxySettings.Password, "pp");
    EXPECT_EQ(TIniFile(settingsPath.toStdString()).ReadString("CURRENT", "PROXYTYPE", "?"), "4");
}

TEST_F(ConnectFormTest, TheEncryptionChoiceIsStoredPerProfileAndInCurrentAndReachesTheEngine)
{
    WriteSettings("[secure]\nHOST=ftp.example\nTLS=2\nTLSFINGERPRINT=AB:CD\n[plain]\nHOST=old.example\n"
                  "[odd]\nTLS=9\n");
    auto form = Create(QStringLiteral("plain"));
    QComboBox& encryption = Control<QComboBox>(*form, "EncryptionBox");
    // A profile without the key keeps the choice shown, which starts at none.
    EXPECT_EQ(encryption.currentIndex(), 0);
    EXPECT_EQ(encryption.itemText(1), QStringLiteral("明示的な FTP over TLS"));
    ProfileBox(*form).setEditText(QStringLiteral("secure"));
    form->ProfileNameBoxChange();
    EXPECT_EQ(encryption.currentIndex(), 2);
    ProfileBox(*form).setEditText(QStringLiteral("odd"));
    form->ProfileNameBoxChange();
    EXPECT_EQ(encryption.currentIndex(), 0);

    ProfileBox(*form).setEditText(QStringLiteral("secure"));
    form->ProfileNameBoxChange();
    encryption.setCurrentIndex(1);
    Click(*form, "SaveBtn");
    Click(*form, "OkBtn");
    EXPECT_EQ(engine.UseTLS, utUseExplicitTLS);
    EXPECT_EQ(engine.TrustedFingerprint, "AB:CD");
    EXPECT_EQ(TIniFile(settingsPath.toStdString()).ReadString("secure", "TLS", "?"), "1");
    EXPECT_EQ(TIniFile(settingsPath.toStdString()).ReadString("CURRENT", "TLS", "?"), "1");
    EXPECT_EQ(TIniFile(settingsPath.toStdString()).ReadString("plain", "TLS", "absent"), "absent");
}
