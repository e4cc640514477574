#include "session/StartUrl.h"

#include "ftp/IdFTP.h"
#include "platform/IniFile.h"
#include "sftp/SftpSession.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

#include <pwd.h>
#include <unistd.h>

namespace {

const std::string Current = "CURRENT";

// An integer of the settings, or the fallback when the text is no number.
int IntegerOr(const TIniFile& settings, const char* key, int fallback)
{
    bool ok = false;
    const int value = QString::fromStdString(settings.ReadString(Current, key, "")).trimmed().toInt(&ok);
    return ok ? value : fallback;
}

int TimeoutMs(const TIniFile& settings)
{
    return IntegerOr(settings, "TIMEOUT", 60) * 1000;
}

// Whom ssh logs in as when an address names no user.
std::string LocalLoginName()
{
    if (const passwd* entry = getpwuid(getuid()))
        return entry->pw_name;
    return qEnvironmentVariable("USER").toStdString();
}

}  // namespace

QString TStartUrl::Display() const
{
    QUrl url;
    url.setScheme(sftp ? QStringLiteral("sftp") : QStringLiteral("ftp"));
    url.setUserName(user);
    url.setHost(host);
    if (port != (sftp ? TSftpSession::DefaultPort : 21))
        url.setPort(port);
    url.setPath(folder);
    return url.toDisplayString();
}

TStartArguments ReadStartArguments(const QStringList& arguments)
{
    TStartArguments start;
    if (arguments.isEmpty())
        return start;
    QString path = arguments.front();
    // "scheme://...": a folder may well be named "notes:2024".
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*://"));
    if (scheme.match(path).hasMatch()) {
        const QUrl url(path);
        if (!url.isLocalFile()) {
            start.url = path;
            return start;
        }
        path = url.toLocalFile();
    }
    const QFileInfo argument(path);
    start.localFolder = argument.isFile() ? argument.absolutePath() : path;
    return start;
}

TStartUrl ParseStartUrl(const QString& argument)
{
    const QUrl url(argument, QUrl::StrictMode);
    if (!url.isValid())
        throw EStartUrlError("URL の形式が正しくありません: " + argument.toStdString());
    const QString scheme = url.scheme().toLower();
    if (scheme != QStringLiteral("ftp") && scheme != QStringLiteral("sftp"))
        throw EStartUrlError("この種類の URL には対応していません: " + argument.toStdString());
    if (url.host().isEmpty())
        throw EStartUrlError("URL にホストがありません: " + argument.toStdString());
    if (url.port() == 0)
        throw EStartUrlError("URL のポート番号が正しくありません: " + argument.toStdString());
    TStartUrl start;
    start.sftp = scheme == QStringLiteral("sftp");
    start.user = url.userName(QUrl::FullyDecoded);
    // QUrl forgets an empty password; the address's own text tells whether one was given.
    const QString authority = argument.section(u'/', 2, 2);
    if (authority.left(std::max<qsizetype>(authority.lastIndexOf(u'@'), 0)).contains(u':'))
        start.password = url.password(QUrl::FullyDecoded);
    start.host = url.host(QUrl::FullyDecoded);
    start.port = url.port(start.sftp ? TSftpSession::DefaultPort : 21);
    // "%2F" decodes to "/" as well; runs of "/" name the same folder.
    QString folder = url.path(QUrl::FullyDecoded);
    folder.replace(QRegularExpression(QStringLiteral("/{2,}")), QStringLiteral("/"));
    if (folder.size() > 1 && folder.endsWith(u'/'))
        folder.chop(1);
    start.folder = folder;
    return start;
}

int ConfigureEngineForUrl(TIdFTP& engine, const TStartUrl& url, const QString& password, const TIniFile& settings)
{
    engine.Host = url.host.toStdString();
    engine.Port = url.port;
    engine.Username = url.user.isEmpty() ? "anonymous" : url.user.toStdString();
    engine.Password = password.toStdString();
    engine.Passive = settings.ReadBool(Current, "PASSIVE", false);
    engine.VerifyTransfers = settings.ReadBool(Current, "VERIFY", true);
    engine.UseTLS = utNoTLSSupport;
    // A link names no encoding: the listings tell.
    engine.NameCodec.SetChoice(TNameEncoding::Auto);
    engine.TrustedFingerprint.clear();
    engine.ProxySettings.ProxyType = static_cast<TIdFtpProxyType>(std::clamp(IntegerOr(settings, "PROXYTYPE", 0), 0, 5));
    engine.ProxySettings.Host = settings.ReadString(Current, "PROXYSERVER", "");
    engine.ProxySettings.Port = IntegerOr(settings, "PROXYPORT", 0);
    engine.ProxySettings.UserName = settings.ReadString(Current, "PROXYUSERNAME", "");
    engine.ProxySettings.Password = settings.ReadString(Current, "PROXYPASSWORD", "");
    return TimeoutMs(settings);
}

int ConfigureSftpForUrl(TSftpSession& engine, const TStartUrl& url, const QString& password, const TIniFile& settings)
{
    engine.Host = url.host.toStdString();
    engine.Port = url.port;
    engine.Username = url.user.isEmpty() ? LocalLoginName() : url.user.toStdString();
    engine.Password = password.toStdString();
    engine.PrivateKeyFile.clear();
    engine.TrustedFingerprint.clear();
    engine.NameCodec.SetChoice(TNameEncoding::Auto);
    const int timeoutMs = TimeoutMs(settings);
    engine.ReadTimeout = timeoutMs > 0 ? timeoutMs : TSftpSession::DefaultReadTimeoutMs;
    return timeoutMs;
}
