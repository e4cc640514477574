// The main window's use of the session service and its engine.
#include "app/MainForm.h"

#include "service/ExceptionGuard.h"
#include "ftp/IdException.h"
#include "log/SessionLog.h"

void TMainForm::SetUpEngine()
{
    IdFTP1.Intercept = &IdLogEvent1;
    IdFTP1.MaxLineAction = maException;
    // The buffer sizes a fresh window starts with; the connection dialog sets them per profile.
    IdFTP1.RecvBufferSize = 8196;
    IdFTP1.SendBufferSize = 8196;
    IdFTP1.ProxySettings.ProxyType = fpcmNone;
    IdFTP1.ProxySettings.Port = 0;

    IdLogEvent1.Active = true;
    IdLogEvent1.ReplaceCRLF = false;
    // The dialogue shows names as the panes do; the wire keeps the server's bytes. Decoded on
    // the engine's thread, where the connection's encoding is known.
    IdLogEvent1.OnReceived = [this](TIdLogBase*, const std::string&, const std::string& data) {
        service_.Report([this, line = IdFTP1.NameCodec.Decode(data)] { sessionLog_->LogReceived(line); });
    };
    IdLogEvent1.OnSent = [this](TIdLogBase*, const std::string&, const std::string& data) {
        service_.Report([this, line = IdFTP1.NameCodec.Decode(data)] { sessionLog_->LogSent(line); });
    };

    // The idle pass does not come until the job's first events are handled, so the engine
    // actions are disabled here, before any input is.
    service_.SetJobStartHandler([this] {
        if (!actions_.ShowsEngineBusy())
            UpdateActionStates();
    });
    service_.SetPostedErrorHandler([](std::exception_ptr error) { ::HandleUncaughtException(error); });
}

bool TMainForm::SessionConnected() const
{
    return service_.Connected();
}

void TMainForm::EngineSocketError()
{
    // Disconnect raises the engine's disconnect notification, as when the server drops the
    // connection; after a job still running, which may not have met the error yet.
    service_.Submit([](TRemoteEngine& engine) { engine.Disconnect(); }, true);
}
