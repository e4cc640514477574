#pragma once
#include "ftp/IdTCPConnection.h"

#include <cstdint>
#include <string>

// A one-shot listener: the connection it accepts becomes its own socket (active-mode data).
class TIdSimpleServer : public TIdTCPConnection {
public:
    std::string BoundIP;
    int BoundPort = 0;
    int AcceptWait = 1000;
    // When set, a connection from any other address is closed and the wait goes on: only the
    // FTP server may deliver or take the data.
    std::string AcceptPeerIP;

    // Binds (port 0 lets the system choose) and listens with a backlog of 15.
    void BeginListen();
    const std::string& ListenIP() const { return listenIP_; }
    uint16_t ListenPort() const { return listenPort_; }
    // Waits in AcceptWait slices, pumping the window, until the peer connects, for at most
    // ReadTimeout (EIdConnectTimeout after it); a listener closed by an abort raises
    // EIdConnClosedGracefully.
    void Listen();
    void DropSocket() override;

private:
    TcpSocket listener_;
    std::string listenIP_;
    uint16_t listenPort_ = 0;
    bool abortRequested_ = false;
};
