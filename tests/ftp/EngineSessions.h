#pragma once
#include "fixtures/FtpServer.h"
#include "fixtures/ScriptedPeer.h"
#include "ftp/IdAbortSignal.h"
#include "ftp/IdFTP.h"
#include "ftp/IdLogEvent.h"

#include <algorithm>
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

// Lines, names or commands, in order.
using Strings = std::vector<std::string>;

// Records the status texts and disconnect notifications of a connection, in order.
struct EngineEvents {
    std::vector<std::string> events;

    void Attach(TIdTCPConnection& connection) {
        connection.OnStatus = [this](TIdComponent*, TIdStatus, const std::string& text) { events.push_back(text); };
        connection.OnDisconnected = [this](TIdTCPConnection*) { events.push_back("OnDisconnected"); };
    }
};

// The commands a connection sent, as the session log records them, without their line ends.
// `onLine` runs for each one just before it goes out.
struct SentCommands {
    TIdLogEvent log;
    std::vector<std::string> lines;
    std::function<void(const std::string&)> onLine;

    void Attach(TIdTCPConnection& connection) {
        log.Active = true;
        log.ReplaceCRLF = false;
        log.OnSent = [this](TIdLogBase*, const std::string&, const std::string& data) {
            lines.push_back(data.substr(0, data.find('\r')));
            if (onLine) onLine(lines.back());
        };
        connection.Intercept = &log;
    }
    std::size_t Count(const std::string& prefix) const {
        return static_cast<std::size_t>(
            std::count_if(lines.begin(), lines.end(), [&](const std::string& l) { return l.rfind(prefix, 0) == 0; }));
    }
    bool Sent(const std::string& prefix) const { return Count(prefix) > 0; }
    // Runs `action` once, just before the first command starting with `prefix` goes out.
    void Before(const std::string& prefix, std::function<void()> action) {
        onLine = [prefix, action = std::move(action)](const std::string& line) mutable {
            if (action && line.rfind(prefix, 0) == 0) std::exchange(action, nullptr)();
        };
    }
};

// Points an FTP object at a server fixture as the fixture's user, with a short wait for replies.
inline void AimAtServer(TIdFTP& ftp, const std::string& host, int port, bool passive = true) {
    ftp.Host = host;
    ftp.Port = port;
    ftp.Username = FtpServer::User;
    ftp.Password = FtpServer::Password;
    ftp.Passive = passive;
    ftp.ReadTimeout = 5000;
}

// Logs an FTP object in to a server fixture (vsftpd) as "anonymous".
template <class Server>
void LogInAnonymously(TIdFTP& ftp, const Server& server) {
    AimAtServer(ftp, server.Host(), server.Port());
    ftp.Username = "anonymous";
    ftp.Password = "guest";
    ftp.Connect(true, 5000);
}

// An FTP object logged in to a fresh real server (started with `serverArguments`) as the
// fixture's user, with a fresh local folder beside it; its status texts and sent commands are
// recorded.
template <class Server>
struct SessionOn {
    Server server;
    TempDir local;
    TIdFTP ftp;
    EngineEvents events;
    SentCommands sent;

    template <class... Arguments>
    explicit SessionOn(bool passive = true, const Arguments&... serverArguments) : server(serverArguments...) {
        AimAtServer(ftp, server.Host(), server.Port(), passive);
        events.Attach(ftp);
        sent.Attach(ftp);
        ftp.Connect(true, 5000);
    }
};
using ServerSession = SessionOn<FtpServer>;

// The entries' names, in listing order.
inline std::vector<std::string> ItemNames(const TIdFTPListItems& items) {
    std::vector<std::string> names;
    for (const TIdFTPListItem& item : items) names.emplace_back(item.Name());
    return names;
}

// A list entry by its name; none when the listing has no such entry.
inline const TIdFTPListItem* FindItem(const TIdFTPListItems& items, std::string_view name) {
    for (const TIdFTPListItem& item : items)
        if (item.Name() == name) return &item;
    return nullptr;
}

// Owner, group and other rights of an entry in one text ("rwxr-x---").
inline std::string Rights(const TIdFTPListItem& item) {
    return std::string(item.OwnerRights()).append(item.GroupRights()).append(item.OtherRights());
}

// A passive-mode FTP object whose server is a scripted peer that has logged it in once Start
// runs; the status texts, disconnects and sent commands are recorded.
struct ScriptedSession {
    ScriptedPeer control;
    TIdFTP ftp;
    EngineEvents events;
    SentCommands sent;

    explicit ScriptedSession(int readTimeoutMs = TIdFTP::DefaultReadTimeoutMs,
                             const std::string& featReply = "500 no FEAT\r\n") {
        control.ScriptLogin(featReply);
        ftp.Host = "127.0.0.1";
        ftp.Passive = true;
        ftp.ReadTimeout = readTimeoutMs;
        events.Attach(ftp);
        sent.Attach(ftp);
    }

    void Start() {
        control.Start();
        ftp.Port = control.Port();
        ftp.Connect(true, 5000);
    }
    // Disconnects and gives every line the peer received.
    std::vector<std::string> Finish() {
        ftp.Disconnect();
        control.Wait();
        return control.Lines();
    }
};

// A data connection's peer, playing from the start: sends the bytes and closes.
struct DataPeer : ScriptedPeer {
    explicit DataPeer(const std::string& bytes) {
        Send(bytes).Close();
        Start();
    }
};

// Requests an abort from another thread once `ms` have passed (never when negative); joined
// when the thread returned goes.
inline std::jthread AbortAfter(TIdAbortSignal& signal, int ms) {
    return std::jthread([&signal, ms] {
        if (ms < 0) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        signal.Request();
    });
}

// The exception of type E the action throws; none when it throws nothing.
template <class E, class Action>
std::optional<E> Caught(Action action) {
    try {
        action();
    } catch (const E& e) {
        return e;
    }
    return std::nullopt;
}

// How long the action took.
template <typename Action>
std::chrono::steady_clock::duration Timed(Action action) {
    const auto start = std::chrono::steady_clock::now();
    action();
    return std::chrono::steady_clock::now() - start;
}

// Seconds since the epoch of 2024-02-29 13:45:07 UTC: a file time whose every field tells.
inline constexpr std::int64_t LeapDayAfternoon = 1709214307;

// The last two fields of a PASV reply or PORT command.
inline std::string PortFields(int port) { return std::to_string(port / 256) + "," + std::to_string(port % 256); }

// A 227 reply naming the loopback port of `port`.
inline std::string PassiveReply(int port) {
    return "227 Entering Passive Mode (127,0,0,1," + PortFields(port) + ")\r\n";
}
