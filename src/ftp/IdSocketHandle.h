#pragma once
#include "ftp/IdTlsSession.h"
#include "platform/TcpSocket.h"

#include <cstdint>
#include <memory>
#include <string>

// The socket of one connection with its local and peer address. A connection counts as
// connected exactly while the handle is allocated.
struct TIdSocketHandle {
    TcpSocket Socket;
    std::string IP;
    uint16_t Port = 0;
    std::string PeerIP;
    uint16_t PeerPort = 0;
    // Set once TLS runs over the socket: every byte then goes through it.
    std::unique_ptr<TIdTlsSession> Tls;
    // After Close: TLS ran and the peer ended it with its close notification.
    bool TlsClosedCleanly = false;

    bool HandleAllocated() const { return Socket.IsOpen(); }
    bool IPv6() const { return PeerIP.find(':') != std::string::npos; }
    void Reset();
    // Closes the socket; TLS ends with it, without a close notification.
    void Close();
    // The socket's non-blocking receive and send, through TLS when it runs.
    int ReceiveNow(void* data, size_t size, size_t& received);
    int SendNow(const void* data, size_t size, size_t& sent);
    // A wait for more data may have to wait for the socket to take TLS bytes instead.
    bool WaitForWriting(bool forWriting) const { return Tls ? Tls->WantsWrite() : forWriting; }
    // Fills IP, Port, PeerIP and PeerPort from the connected socket.
    void UpdateAddresses();
};

// Raises EIdSocketError for a Windows Sockets error number.
[[noreturn]] void RaiseSocketError(int number);
