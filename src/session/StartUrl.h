#pragma once
#include <QString>
#include <QStringList>

#include <optional>
#include <stdexcept>

class TIdFTP;
class TIniFile;
class TSftpSession;

// A server address given on the command line, as a desktop hands over an ftp:// or sftp:// link:
// "ftp://[user[:password]@]host[:port][/folder]". The folder is absolute, as desktop clients
// read such links; escapes such as %2F are decoded.
struct TStartUrl {
    bool sftp = false;
    QString user;  // empty: anonymous over FTP, the local login name over SFTP
    std::optional<QString> password;  // none given: asked for, unless anonymous or an SSH agent may log in
    QString host;
    int port = 21;
    QString folder;  // "/pub", "/" for the root, empty for the login directory

    // The address without its password, for the title bar and the logs.
    QString Display() const;
};

// An address that names no FTP server that can be reached; the message is for the user.
class EStartUrlError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// What the command line's first argument asks for: a server's address to connect to, or a
// local folder to show (a file's folder for a file; a desktop hands over "file:" links too).
struct TStartArguments {
    QString url;
    QString localFolder;
};
TStartArguments ReadStartArguments(const QStringList& arguments);

// Throws EStartUrlError for another scheme than ftp or sftp, a missing host or a bad port.
TStartUrl ParseStartUrl(const QString& argument);

// Sets the engine for the address with the connection options of the last OK in the dialog
// (section CURRENT: passive mode, time-out, proxy), unencrypted. Gives the time-out in ms.
int ConfigureEngineForUrl(TIdFTP& engine, const TStartUrl& url, const QString& password, const TIniFile& settings);

// The same for an sftp:// address: the time-out of the dialog's last OK, no key file (the SSH
// agent and the password log in), and no host key trusted yet, so an unknown key is asked about.
int ConfigureSftpForUrl(TSftpSession& engine, const TStartUrl& url, const QString& password, const TIniFile& settings);
