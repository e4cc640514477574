#pragma once
#include "ftp/IdLogEvent.h"
#include "service/SessionService.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

// The session's extra connections for parallel transfers: each its own engine on its own thread
// (a session service of its own), logged in as the session's connection is. They are set up
// when a run needs them and log in with their first job; the session's end and the pool's
// closes them.
class TConnectionPool {
public:
    struct Sources {
        // The session whose settings, trust and protocol the connections take.
        TSessionService& session;
        // On the window's thread: a chunk of a connection's dialogue with the server. The
        // session's connection is number 1, the extra ones 2 and on.
        std::function<void(int number, bool sent, const std::string& data)> dialogue;
    };

    explicit TConnectionPool(Sources sources);
    ~TConnectionPool();
    TConnectionPool(const TConnectionPool&) = delete;
    TConnectionPool& operator=(const TConnectionPool&) = delete;

    // Makes `count` connections available. Those without a job take the session's settings
    // as they are now; none connects here.
    void Prepare(int count);
    int Size() const { return int(connections_.size()); }
    TSessionService& Connection(int index) { return *connections_[std::size_t(index)]->service; }
    // The number the session log marks a connection's lines with.
    static int Number(int index) { return index + 2; }
    // Ends every connection politely after its running job, which is asked to end (a transfer
    // within the engine's abort time, any other wait within its time-out).
    void Close();

    // On a connection's thread, before its job's first command: connects and logs in unless it
    // is, then names files as the session's listings have taught (a login starts afresh).
    static void EnsureConnected(TRemoteEngine& engine, int timeoutMs, const TNameCodec& sessionCodec);

private:
    struct TConnection {
        std::unique_ptr<TSessionService> service;
        TIdLogEvent dialogue;
    };
    void TakeSessionSettings(TSessionService& connection);

    Sources sources_;
    std::vector<std::unique_ptr<TConnection>> connections_;
};
