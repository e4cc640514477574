#include "session/Session.h"

#include "ftp/IdException.h"
#include "ftp/IdFTP.h"
#include "log/SessionLog.h"
#include "panes/ComboItems.h"
#include "platform/IniFile.h"
#include "service/SessionService.h"
#include "session/ConnectForm.h"
#include "session/PasswordReadAwaiter.h"
#include "session/RemoteHistory.h"
#include "session/SshHostKeyQuestion.h"
#include "session/SshSettings.h"
#include "settings/BusyDisplay.h"
#include "settings/UserDialogs.h"
#include "sftp/SftpException.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QRegularExpression>
#include <QWidget>

namespace {

const QString NotConnectedTitle = QStringLiteral("Marlux - 未接続");

// Copies the application title into the window caption when the command ends, however it ends.
class TCaptionUpdate {
public:
    explicit TCaptionUpdate(QWidget& window) : window_(window) {}
    ~TCaptionUpdate() { window_.setWindowTitle(QApplication::applicationDisplayName()); }

private:
    QWidget& window_;
};

}  // namespace

TSession::TSession(Sources sources)
    : sources_(std::move(sources)), passwords_(sources_.settingsPath, sources_.dialogs)
{
    // The engines notify on their own thread; the service hands each notification over.
    TSessionService& service = sources_.service;
    TIdFTP& ftp = service.Ftp();
    ftp.OnAfterClientLogin = [this, &service](TIdFTP* sender) {
        service.Post([this, welcome = sender->WelcomeReply, login = sender->LoginReply] {
            IdFTP1AfterClientLogin(welcome, login);
        });
    };
    ftp.OnVerifyCertificate = [this, &service](TIdFTP*, const TIdCertificateInfo& certificate) {
        return service.Ask([this, &certificate] { return IdFTP1VerifyCertificate(certificate); });
    };
    service.Sftp().OnVerifyHostKey = [this, &service](TSftpSession*, const std::string& fingerprint,
                                                      const std::string& keyType) {
        return service.Ask([this, &fingerprint, &keyType] { return TrustHostKey(fingerprint, keyType); });
    };
    service.ForEachEngine([this, &service](TIdComponent& engine) {
        engine.OnStatus = [this, &service](TIdComponent*, TIdStatus, const std::string& text) {
            service.Report([this, text = QString::fromStdString(text)] { IdFTP1Status(text); });
        };
    });
    service.SetDisconnectHandler([this] { IdFTP1Disconnected(); });
    ShowConnectCommand(false);
}

bool TSession::IdFTP1VerifyCertificate(const TIdCertificateInfo& certificate)
{
    const auto text = [](const std::string& bytes) { return QString::fromStdString(bytes); };
    QString question = certificate.Changed ? QStringLiteral("サーバーの証明書が前回信頼したものから変更されています。\n")
                                           : QString();
    question += QStringLiteral("サーバーの証明書を検証できません: ") + text(certificate.Problem) +
                QStringLiteral("\n\nサブジェクト: ") + text(certificate.Subject) + QStringLiteral("\n発行者: ") +
                text(certificate.Issuer) + QStringLiteral("\n有効期間: ") + text(certificate.NotBefore) +
                QStringLiteral(" ～ ") + text(certificate.NotAfter) + QStringLiteral("\nSHA-256: ") +
                text(certificate.Fingerprint) + QStringLiteral("\n\nこのプロファイルでこの証明書を信頼しますか？");
    if (sources_.dialogs.Ask(question, TUserDialogs::Buttons::YesNo, TUserDialogs::Icon::Exclamation) !=
        TUserDialogs::Answer::Yes)
        return false;
    // Kept with the profile, so that the same certificate is accepted without a question later.
    TIniFile(sources_.settingsPath.toStdString())
        .WriteString(sources_.profileNameBox.currentText().toStdString(), "TLSFINGERPRINT", certificate.Fingerprint);
    return true;
}

bool TSession::TrustHostKey(const std::string& fingerprint, const std::string& keyType)
{
    const THostKeyNotice notice = fromUrl_ ? THostKeyNotice::UnknownForSession : THostKeyNotice::UnknownForProfile;
    if (sources_.dialogs.Ask(SshHostKeyQuestion(fingerprint, keyType, notice), TUserDialogs::Buttons::YesNo,
                             TUserDialogs::Icon::Exclamation) != TUserDialogs::Answer::Yes)
        return false;
    // An address's session is no profile: the key stays trusted for this run only.
    if (fromUrl_)
        return true;
    // Kept with the profile, and in the section the dialog fills the next connect from.
    TIniFile ini(sources_.settingsPath.toStdString());
    ini.WriteString(sources_.profileNameBox.currentText().toStdString(), SshHostKeyKeyName, fingerprint);
    ini.WriteString("CURRENT", SshHostKeyKeyName, fingerprint);
    return true;
}

TSession::~TSession()
{
    // The window is going; a later disconnect of the engine has nothing left to update.
    TSessionService& service = sources_.service;
    service.Ftp().OnAfterClientLogin = nullptr;
    service.Ftp().OnVerifyCertificate = nullptr;
    service.Sftp().OnVerifyHostKey = nullptr;
    service.ForEachEngine([](TIdComponent& engine) { engine.OnStatus = nullptr; });
    service.SetDisconnectHandler(nullptr);
}

void TSession::aConnectExecute(TSender sender)
{
    Launch(ToggleConnection(sender));
}

TTask<> TSession::ToggleConnection(TSender sender)
{
    // A second connect command while an attempt runs waits for that attempt to end.
    if (connecting_)
        co_return;
    const TCaptionUpdate caption(sources_.window);
    if (sources_.service.Connected()) {
        const std::exception_ptr firstError = PrepareSessionEnd();
        co_await sources_.service.RunAfterCurrent(Quit);
        SetApplicationTitle(NotConnectedTitle);
        if (firstError)
            std::rethrow_exception(firstError);
    } else {
        co_await Connect(sender);
    }
}

TTask<> TSession::Connect(TSender sender)
{
    co_await RunConnectForm(sender);
    if (!sources_.state.ConnectAccepted)
        co_return;
    fromUrl_ = false;
    sources_.service.UseSftp(ReadSshSettings(TIniFile(sources_.settingsPath.toStdString()), "CURRENT").sftp);
    sources_.state.ProfileName = sources_.profileNameBox.currentText();
    LoadRemoteDirHistory();
    co_await OpenConnection(sources_.state.ConnectTimeout, QStringLiteral("Marlux - ") + sources_.state.ProfileName);
}

TTask<> TSession::OpenConnection(int timeoutMs, QString title)
{
    sources_.busy.EnterBusyState();
    TSessionService& service = sources_.service;
    connecting_ = true;
    std::string systemName;
    try {
        // A time-out that is not positive leaves the engine its own bounded wait.
        systemName = co_await service.Run([timeoutMs](TRemoteEngine& engine) {
            engine.Connect(timeoutMs > 0 ? timeoutMs : -1);
            return engine.SystemName();
        });
    } catch (const ESftpHostKeyChanged& changed) {
        ReportConnectFailure(changed);
        sources_.dialogs.ShowMessage(SshHostKeyQuestion(changed.Presented, service.Sftp().HostKeyType, THostKeyNotice::Changed));
    } catch (const std::exception& failure) {
        ReportConnectFailure(failure);
    }
    connecting_ = false;
    if (!service.Connected()) {
        // A connect time-out closes the socket without a disconnect notification; the window
        // goes back to idle here in every case.
        ForgetUrlSite();
        sources_.busy.LeaveBusyState();
        co_return;
    }
    // FTP shows the login as the engine reports it; SFTP's status lines have told it already.
    if (service.UsesSftp())
        ShowLoggedIn();
    sources_.sessionLog.AppendLogLine(QString::fromStdString(systemName));
    sources_.remoteRefresh();
    SetApplicationTitle(title);
}

TTask<> TSession::RunConnectForm(TSender sender)
{
    sources_.state.ConnectAccepted = false;
    std::exception_ptr error;
    {
        TConnectForm form(
            &sources_.window,
            {.settingsPath = sources_.settingsPath,
             .profileBoxText = sources_.profileNameBox.currentText(),
             .dialogs = sources_.dialogs,
             .passwords = passwords_,
             .engine = sources_.service.Ftp(),
             .sftp = sources_.service.Sftp(),
             .state = sources_.state,
             .setRemoteDirText = [this](const QString& text) { sources_.remoteDirBox.setEditText(text); },
             .changeLocalDirectory = sources_.changeLocalDirectory,
             .showConnectionTarget = [this](const QString& text) { sources_.busy.SetStatusPanel(2, text); },
             .setProfileBoxText = [this](const QString& text) { sources_.profileNameBox.setEditText(text); }});
        if (sender == TSender::Startup && form.ConnectOnCreate()) {
            // The saved password may still be on its way from the keyring; meanwhile a connect
            // command of the user's waits for this one.
            connecting_ = true;
            co_await TPasswordReadAwaiter(form);
            connecting_ = false;
            form.OkBtnClick();
        } else {
            sources_.dialogs.RunModal(form);
        }
        error = form.PendingError();
    }
    if (error)
        std::rethrow_exception(error);
}

void TSession::LoadRemoteDirHistory()
{
    if (std::optional<QStringList> items = LoadRemoteHistory(sources_.lstDir, sources_.state.ProfileName))
        SetItemsSorted(sources_.remoteDirBox, std::move(*items));
}

void TSession::CloseSession()
{
    if (!sources_.service.Connected())
        return;
    const std::exception_ptr firstError = PrepareSessionEnd();
    sources_.service.Submit(Quit, true);
    if (firstError)
        std::rethrow_exception(firstError);
}

std::exception_ptr TSession::PrepareSessionEnd()
{
    // Files that cannot be written do not keep the session open; the first error is passed on
    // once QUIT is on its way.
    std::exception_ptr firstError;
    const auto keepGoing = [&firstError](const std::function<void()>& step) {
        try {
            step();
        } catch (...) {
            if (!firstError)
                firstError = std::current_exception();
        }
    };
    if (!fromUrl_) {
        keepGoing([this] { SaveProfileState(); });
        keepGoing([this] {
            SaveRemoteHistory(sources_.lstDir, sources_.state.ProfileName, ItemTexts(sources_.remoteDirBox));
        });
    }
    // A job still running (a transfer) is asked to end, and the session ends after it.
    if (sources_.service.Running())
        sources_.service.RequestAbort();
    return firstError;
}

void TSession::ReportConnectFailure(const std::exception& failure)
{
    TSessionService& service = sources_.service;
    QString line = QString::fromStdString(service.Engine().Host()) + QStringLiteral("への接続に失敗しました");
    // FTP's replies are in the log already; libssh's reasons are not.
    if (service.UsesSftp())
        line += QStringLiteral(": ") + QString::fromStdString(failure.what());
    sources_.sessionLog.AppendLogLine(line);
}

void TSession::Quit(TRemoteEngine& engine)
{
    try {
        engine.Quit();
    } catch (const EIdException&) {
        // The connection broke while closing: it is gone all the same.
        engine.Disconnect();
    }
}

void TSession::SaveProfileState()
{
    TIniFile ini(sources_.settingsPath.toStdString());
    const std::string section = sources_.state.ProfileName.toStdString();
    ini.WriteString(section, "LASTLOCALDIR", sources_.localDirText().toStdString());
    ini.WriteString(section, "LASTREMOTEDIR", sources_.remoteDirBox.currentText().toStdString());
}

void TSession::LoadProfiles()
{
    QComboBox& profiles = sources_.profileNameBox;
    const TIniFile ini(sources_.settingsPath.toStdString());
    for (const std::string& section : ini.ReadSections())
        profiles.addItem(QString::fromStdString(section));
    profiles.setEditText(
        QString::fromStdString(ini.ReadString("CURRENT", "PROFILE", profiles.currentText().toStdString())));
    if (profiles.currentText().isEmpty())
        profiles.setEditText(QStringLiteral("CURRENT"));
    sources_.state.ProfileName = profiles.currentText();
}

void TSession::ProfileNameBoxChange()
{
    Launch(SwitchProfile());
}

TTask<> TSession::SwitchProfile()
{
    if (!sources_.service.Connected()) {
        co_await ToggleConnection(TSender::User);
        co_return;
    }
    if (sources_.dialogs.Ask(QStringLiteral("接続を切って再接続しますか？"), TUserDialogs::Buttons::YesNo,
                             TUserDialogs::Icon::Question) != TUserDialogs::Answer::Yes)
        co_return;
    co_await ToggleConnection(TSender::User);
    if (!sources_.service.Connected())
        co_await ToggleConnection(TSender::User);
}

void TSession::NoDisconnectTimerTimer()
{
    TSessionService& service = sources_.service;
    if (service.Connected() && !service.Running() && !sources_.busy.BusyFlag())
        service.Submit([](TRemoteEngine& engine) { engine.KeepAlive(); });
}

void TSession::IdFTP1AfterClientLogin(const TIdRFCReply& welcome, const TIdRFCReply& login)
{
    AppendReplyToLog(welcome.TextCode, welcome.JoinedText());
    AppendReplyToLog(login.TextCode, login.JoinedText());
    // The system name follows once SYST has been answered (see Connect).
    ShowLoggedIn();
}

void TSession::ShowLoggedIn()
{
    sources_.busy.SetStatusPanel(0, QStringLiteral("接続中"));
    ShowConnectCommand(true);
    EnableSessionMenuItems(true);
    sources_.busy.LeaveBusyState();
}

void TSession::IdFTP1Disconnected()
{
    EnableSessionMenuItems(false);
    sources_.busy.SetStatusPanel(0, QStringLiteral("未接続"));
    for (int panel : {2, 3, 4})
        sources_.busy.SetStatusPanel(panel, QString());
    ShowConnectCommand(false);
    sources_.remoteDirBox.clear();
    sources_.remoteDirBox.setEditText(QString());
    sources_.clearRemoteListing();
    ForgetUrlSite();
    sources_.busy.LeaveBusyState();
}

void TSession::ForgetUrlSite()
{
    if (!fromUrl_)
        return;
    sources_.state.ProfileName = profileBeforeUrl_;
    sources_.profileNameBox.setEditText(profileBeforeUrl_);
}

void TSession::IdFTP1Status(const QString& text)
{
    sources_.sessionLog.AppendLogLine(text);
}

void TSession::EnableSessionMenuItems(bool enabled)
{
    sources_.enableSessionMenuItems(enabled);
    sources_.updateActionStates();
}

void TSession::ShowConnectCommand(bool connected)
{
    // The menu item shows the caption, the tool button the short text; both hint the short one.
    QAction& action = sources_.connectAction;
    const QString shortText = connected ? QStringLiteral("切断") : QStringLiteral("接続");
    action.setText(connected ? QStringLiteral("切断(&D)") : QStringLiteral("接続(&C)"));
    action.setIconText(shortText);
    action.setToolTip(shortText);
    action.setStatusTip(shortText);
}

void TSession::AppendReplyToLog(const std::string& code, const std::string& text)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    const QStringList lines = QString::fromStdString(code + " " + text).split(lineBreak);
    for (const QString& line : lines)
        sources_.sessionLog.AppendLogLine(line);
}

void TSession::SetApplicationTitle(const QString& title)
{
    QApplication::setApplicationDisplayName(title);
}
