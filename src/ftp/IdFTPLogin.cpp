// The login sequences of the proxy variants.
#include "ftp/IdFTP.h"

#include "ftp/IdException.h"

void TIdFTP::SendUser(const std::string& userLine, const std::string& passLine) {
    if (SendCommand(userLine, {230, 331}) == 331) SendCommand(passLine, {230});
}

void TIdFTP::ProxyLoginStep() {
    if (!ProxySettings.UserName.empty())
        SendUser("USER " + ProxySettings.UserName, "PASS " + ProxySettings.Password);
}

void TIdFTP::Login() {
    switch (ProxySettings.ProxyType) {
    case fpcmNone:
        SendUser("USER " + Username, "PASS " + Password);
        break;
    case fpcmUserSite:
        ProxyLoginStep();
        SendUser("USER " + Username + "@" + Host, "PASS " + Password);
        break;
    case fpcmSite:
        ProxyLoginStep();
        SendCommand("SITE " + Host);
        SendUser("USER " + Username, "PASS " + Password);
        break;
    case fpcmOpen:
        ProxyLoginStep();
        SendCommand("OPEN " + Host);
        SendUser("USER " + Username, "PASS " + Password);
        break;
    case fpcmUserPass:
        SendUser("USER " + Username + "@" + ProxySettings.UserName + "@" + Host,
                 ProxySettings.Password.empty() ? "PASS " + Password
                                                : "PASS " + Password + "@" + ProxySettings.Password);
        break;
    case fpcmTransparent:
        ProxyLoginStep();
        SendUser("USER " + Username, "PASS " + Password);
        break;
    case fpcmHttpProxyWithFtp:
        throw EIdException("Command not supported.");
    }
    LoginReply = LastReply;
    if (Tls()) ProtectDataChannels();
    SendTransferType();
}
