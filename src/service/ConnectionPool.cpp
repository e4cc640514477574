#include "service/ConnectionPool.h"

#include "ftp/IdException.h"
#include "ftp/IdFTPConnectionSettings.h"
#include "sftp/SftpConnectionSettings.h"


TConnectionPool::TConnectionPool(Sources sources) : sources_(std::move(sources)) {}

TConnectionPool::~TConnectionPool()
{
    // The server sees each session end with QUIT, not a dropped connection; the services stop
    // their threads once that has run, and the intercepts they point at go after them.
    Close();
    for (auto& connection : connections_)
        connection->service.reset();
}

void TConnectionPool::Prepare(int count)
{
    while (Size() < count) {
        auto connection = std::make_unique<TConnection>();
        connection->service = std::make_unique<TSessionService>();
        TSessionService& service = *connection->service;
        const int number = Number(Size());
        connection->dialogue.Active = true;
        connection->dialogue.ReplaceCRLF = false;
        connection->dialogue.OnSent = [this, &service, number](TIdLogBase*, const std::string&, const std::string& data) {
            service.Report([this, number, data] { sources_.dialogue(number, true, data); });
        };
        connection->dialogue.OnReceived = [this, &service, number](TIdLogBase*, const std::string&,
                                                                   const std::string& data) {
            service.Report([this, number, data] { sources_.dialogue(number, false, data); });
        };
        service.Ftp().Intercept = &connection->dialogue;
        // SSH carries no text dialogue: what the SFTP engine reports of its steps stands for it.
        service.Sftp().OnStatus = [this, &service, number](TIdComponent*, TIdStatus, const std::string& text) {
            service.Report([this, number, line = text + "\r\n"] { sources_.dialogue(number, false, line); });
        };
        connections_.push_back(std::move(connection));
    }
    for (auto& connection : connections_)
        if (!connection->service->Running())
            TakeSessionSettings(*connection->service);
}

void TConnectionPool::TakeSessionSettings(TSessionService& connection)
{
    TSessionService& session = sources_.session;
    CopyConnectionSettings(session.Ftp(), connection.Ftp());
    CopyConnectionSettings(session.Sftp(), connection.Sftp());
    // The encoding the session's listings settled, as of its last job's end.
    connection.Ftp().NameCodec = session.NameCodec();
    connection.Sftp().NameCodec = session.NameCodec();
    if (!connection.Connected())
        connection.UseSftp(session.UsesSftp());
}

void TConnectionPool::Close()
{
    for (auto& connection : connections_) {
        TSessionService& service = *connection->service;
        service.RequestAbort();
        service.Submit(
            [](TRemoteEngine& engine) {
                if (!engine.Connected())
                    return;
                try {
                    engine.Quit();
                } catch (const EIdException&) {
                    engine.Disconnect();
                }
            },
            true);
    }
}

void TConnectionPool::EnsureConnected(TRemoteEngine& engine, int timeoutMs, const TNameCodec& sessionCodec)
{
    if (engine.Connected())
        return;
    engine.Connect(timeoutMs);
    engine.NameCodec() = sessionCodec;
}
