// A session opened from an address on the command line.
#include "session/Session.h"

#include "ftp/IdFTP.h"
#include "platform/IniFile.h"
#include "service/SessionService.h"
#include "session/StartUrl.h"
#include "sftp/SftpSession.h"
#include "settings/BusyDisplay.h"
#include "settings/UserDialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QInputDialog>
#include <QLineEdit>
#include <QWidget>

namespace {

// Anonymous FTP logins need no password of the user's; over SSH an agent may log in instead.
bool NeedsNoPassword(const TStartUrl& url)
{
    if (url.sftp)
        return !qEnvironmentVariableIsEmpty("SSH_AUTH_SOCK");
    return url.user.isEmpty() || url.user.compare(QStringLiteral("anonymous"), Qt::CaseInsensitive) == 0 ||
           url.user.compare(QStringLiteral("ftp"), Qt::CaseInsensitive) == 0;
}

}  // namespace

void TSession::ConnectToUrl(const TStartUrl& url)
{
    if (connecting_ || sources_.service.Connected())
        return;
    const bool anonymous = !url.sftp && NeedsNoPassword(url);
    QString password = url.password.value_or(anonymous ? QStringLiteral("marlux@") : QString());
    if (!url.password && !NeedsNoPassword(url)) {
        QInputDialog ask(&sources_.window);
        ask.setObjectName(QStringLiteral("UrlPasswordDlg"));
        ask.setWindowTitle(QApplication::applicationName());
        ask.setLabelText(url.Display() + QStringLiteral(" のパスワード:"));
        ask.setTextEchoMode(QLineEdit::Password);
        if (sources_.dialogs.RunModal(ask) != QDialog::Accepted)
            return;
        password = ask.textValue();
    }

    fromUrl_ = true;
    const TIniFile settings(sources_.settingsPath.toStdString());
    const int timeoutMs = url.sftp ? ConfigureSftpForUrl(sources_.service.Sftp(), url, password, settings)
                                   : ConfigureEngineForUrl(sources_.service.Ftp(), url, password, settings);
    sources_.service.UseSftp(url.sftp);
    profileBeforeUrl_ = sources_.state.ProfileName;
    sources_.state.ProfileName = url.host;
    // The box names the site in the operation log's remote paths; setting its text opens nothing.
    sources_.profileNameBox.setEditText(url.host);
    sources_.remoteDirBox.setEditText(url.folder);
    sources_.busy.SetStatusPanel(2, url.host);
    Launch(OpenConnectionFromUrl(timeoutMs, QStringLiteral("Marlux - ") + url.Display()));
}

TTask<> TSession::OpenConnectionFromUrl(int timeoutMs, QString title)
{
    co_await OpenConnection(timeoutMs, std::move(title));
    sources_.window.setWindowTitle(QApplication::applicationDisplayName());
}
