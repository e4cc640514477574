#include "ftp/IdFTPConnectionSettings.h"

#include "ftp/IdFTP.h"

void CopyConnectionSettings(const TIdFTP& from, TIdFTP& to)
{
    to.Host = from.Host;
    to.Port = from.Port;
    to.BoundIP = from.BoundIP;
    to.Username = from.Username;
    to.Password = from.Password;
    to.Passive = from.Passive;
    to.ProxySettings = from.ProxySettings;
    to.UseTLS = from.UseTLS;
    // The certificate the user accepted for the session: accepted again without a question.
    to.TrustedFingerprint = from.TrustedFingerprint;
    to.UseMLSD = from.UseMLSD;
    to.VerifyTransfers = from.VerifyTransfers;
    to.RecvBufferSize = from.RecvBufferSize;
    to.SendBufferSize = from.SendBufferSize;
    to.MaxLineLength = from.MaxLineLength;
    to.MaxLineAction = from.MaxLineAction;
    to.ReadTimeout = from.ReadTimeout;
    to.MaxListingBytes = from.MaxListingBytes;
}
