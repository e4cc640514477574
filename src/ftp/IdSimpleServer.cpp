#include "ftp/IdSimpleServer.h"

#include "ftp/IdException.h"

void TIdSimpleServer::BeginListen() {
    abortRequested_ = false;
    if (int error = listener_.Open(BoundIP.find(':') != std::string::npos)) RaiseSocketError(error);
    if (listener_.Bind(BoundIP, static_cast<uint16_t>(BoundPort)) != 0) throw EIdCouldNotBindSocket();
    if (int error = listener_.Listen(15)) RaiseSocketError(error);
    if (int error = listener_.LocalAddress(listenIP_, listenPort_)) RaiseSocketError(error);
}

void TIdSimpleServer::Listen() {
    const TIdClock::time_point deadline = DeadlineIn(ReadTimeout);
    for (;;) {
        if (abortRequested_) throw EIdConnClosedGracefully();
        int wait = AcceptWait;
        if (ReadTimeout > 0) {
            const int left = MillisecondsUntil(deadline);
            if (left == 0) throw EIdConnectTimeout();
            wait = std::min(wait, left);
        }
        if (!WaitReady(listener_, false, wait) || abortRequested_) continue;
        TcpSocket accepted;
        if (int error = listener_.Accept(accepted)) RaiseSocketError(error);
        std::string peerIP;
        uint16_t peerPort = 0;
        if (accepted.PeerAddress(peerIP, peerPort) != 0 || (!AcceptPeerIP.empty() && peerIP != AcceptPeerIP))
            continue;
        binding_.Reset();
        ResetConnection();
        binding_.Socket = std::move(accepted);
        binding_.UpdateAddresses();
        listener_.Close();
        return;
    }
}

void TIdSimpleServer::DropSocket() {
    abortRequested_ = true;
    listener_.Close();
    TIdTCPConnection::DropSocket();
}
