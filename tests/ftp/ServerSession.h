#pragma once
#include "EngineEvents.h"
#include "SentCommands.h"

// An FTP object aimed at a fresh real server as the fixture's user, with a fresh local folder
// beside it; its status texts and sent commands are recorded. Logged in unless asked not to be.
struct ServerSession {
    enum Start { LoggedIn, NotConnected };

    FtpServer server;
    TempDir local;
    TIdFTP ftp;
    EngineEvents events;
    SentCommands sent;

    explicit ServerSession(bool passive = true, Start start = LoggedIn) {
        AimAtServer(ftp, server.Host(), server.Port(), passive);
        events.Attach(ftp);
        sent.Attach(ftp);
        if (start == LoggedIn) ftp.Connect(true, 5000);
    }
};
