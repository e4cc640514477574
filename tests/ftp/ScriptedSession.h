#pragma once
#include "EngineEvents.h"
#include "fixtures/ScriptedPeer.h"
#include "ftp/IdFTP.h"

#include <string>

// A passive-mode FTP object whose server is a scripted peer that has logged it in once Start
// runs; the status texts and disconnects are recorded.
struct ScriptedSession {
    ScriptedPeer control;
    TIdFTP ftp;
    EngineEvents events;

    explicit ScriptedSession(int readTimeoutMs = TIdFTP::DefaultReadTimeoutMs) {
        control.ScriptLogin();
        ftp.Host = "127.0.0.1";
        ftp.Passive = true;
        ftp.ReadTimeout = readTimeoutMs;
        events.Attach(ftp);
    }

    void Start() {
        control.Start();
        ftp.Port = control.Port();
        ftp.Connect(true, 5000);
    }
};

// The last two fields of a PASV reply or PORT command.
inline std::string PortFields(int port) { return std::to_string(port / 256) + "," + std::to_string(port % 256); }

// A 227 reply naming the loopback port of `port`.
inline std::string PassiveReply(int port) {
    return "227 Entering Passive Mode (127,0,0,1," + PortFields(port) + ")\r\n";
}
