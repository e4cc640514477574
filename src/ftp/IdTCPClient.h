#pragma once
#include "ftp/IdTCPConnection.h"

#include <string>

// A connection that connects to Host:Port.
class TIdTCPClient : public TIdTCPConnection {
public:
    std::string Host;
    int Port = 0;
    std::string BoundIP;
    int BoundPort = 0;
    TIdNotifyEvent OnConnected;

    // Time-out in ms; -1 or 0 waits up to DefaultConnectTimeoutMs. Host may be a name, an IPv4 address or an IPv6 address (in
    // brackets or bare). A failed connect leaves the socket closed.
    void Connect(int timeoutMs = -1);

    // No peer that never answers holds a connect for longer.
    static constexpr int DefaultConnectTimeoutMs = 120000;

private:
    // Resolves Host and connects to its addresses in turn, all within the time-out.
    void OpenSocket(int timeoutMs);
    void ConnectTo(const std::string& ip, int timeoutMs);
    void ConnectWithTimeout(const std::string& ip, int timeoutMs);
};
