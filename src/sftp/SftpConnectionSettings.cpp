#include "sftp/SftpConnectionSettings.h"

#include "sftp/SftpSession.h"

void CopyConnectionSettings(const TSftpSession& from, TSftpSession& to)
{
    to.Host = from.Host;
    to.Port = from.Port;
    to.Username = from.Username;
    to.Password = from.Password;
    to.PrivateKeyFile = from.PrivateKeyFile;
    to.TrustedFingerprint = from.TrustedFingerprint;
    to.ReadTimeout = from.ReadTimeout;
    to.Ciphers = from.Ciphers;
}
