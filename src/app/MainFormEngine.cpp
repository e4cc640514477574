// The main window's use of the FTP engine.
#include "app/MainForm.h"

#include "ftp/IdException.h"
#include "log/SessionLog.h"

#include <QCoreApplication>

void TMainForm::SetUpEngine()
{
    IdFTP1.Intercept = &IdLogEvent1;
    IdFTP1.MaxLineAction = maException;
    // 8196, not 8192, as designed; the connection dialog sets them per profile.
    IdFTP1.RecvBufferSize = 8196;
    IdFTP1.SendBufferSize = 8196;
    IdFTP1.ProxySettings.ProxyType = fpcmNone;
    IdFTP1.ProxySettings.Port = 0;

    IdAntiFreeze1.IdleTimeOut = 50;
    IdAntiFreeze1.OnlyWhenIdle = false;
    IdAntiFreeze1.OnProcess = [](bool) { QCoreApplication::processEvents(); };

    IdLogEvent1.Active = true;
    IdLogEvent1.ReplaceCRLF = false;
    IdLogEvent1.OnReceived = [this](TIdLogBase*, const std::string&, const std::string& data) {
        sessionLog_->LogReceived(data);
    };
    IdLogEvent1.OnSent = [this](TIdLogBase*, const std::string&, const std::string& data) {
        sessionLog_->LogSent(data);
    };
}

bool TMainForm::SessionConnected()
{
    return IdFTP1.Connected();
}

void TMainForm::CloseEngine(bool abortTransfer)
{
    // A connection that breaks while closing is simply gone; the close goes on.
    try {
        if (abortTransfer)
            IdFTP1.Abort();
        IdFTP1.Quit();
    } catch (const EIdException&) {
        IdFTP1.DropSocket();
    }
}
