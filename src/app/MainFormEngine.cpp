// The main window's use of the FTP engine.
#include "app/MainForm.h"

#include "ftp/IdException.h"
#include "log/SessionLog.h"

#include <QCoreApplication>

void TMainForm::SetUpEngine()
{
    IdFTP1.Intercept = &IdLogEvent1;
    IdFTP1.MaxLineAction = maException;
    // The buffer sizes a fresh window starts with; the connection dialog sets them per profile.
    IdFTP1.RecvBufferSize = 8196;
    IdFTP1.SendBufferSize = 8196;
    IdFTP1.ProxySettings.ProxyType = fpcmNone;
    IdFTP1.ProxySettings.Port = 0;

    IdAntiFreeze1.IdleTimeOut = 50;
    IdAntiFreeze1.OnlyWhenIdle = false;
    IdAntiFreeze1.OnProcess = [this](bool) { PumpEngineMessages(); };

    IdLogEvent1.Active = true;
    IdLogEvent1.ReplaceCRLF = false;
    // The dialogue shows names as the panes do; the wire keeps the server's bytes.
    IdLogEvent1.OnReceived = [this](TIdLogBase*, const std::string&, const std::string& data) {
        sessionLog_->LogReceived(IdFTP1.NameCodec.Decode(data));
    };
    IdLogEvent1.OnSent = [this](TIdLogBase*, const std::string&, const std::string& data) {
        sessionLog_->LogSent(IdFTP1.NameCodec.Decode(data));
    };
}

void TMainForm::PumpEngineMessages()
{
    // The engine pumps only while it waits inside a command. The idle pass does not run
    // until the command returns, so the engine actions are disabled here, before any input
    // is handled.
    if (!enablingShowsEngineBusy_)
        UpdateActionStates();
    QCoreApplication::processEvents();
}

bool TMainForm::SessionConnected()
{
    return IdFTP1.Connected();
}

void TMainForm::EngineSocketError()
{
    // Disconnect raises the engine's disconnect notification, as when the server drops the
    // connection.
    IdFTP1.Disconnect();
}
