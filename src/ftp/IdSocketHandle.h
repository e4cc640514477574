#pragma once
#include "platform/TcpSocket.h"

#include <cstdint>
#include <string>

// The socket of one connection with its local and peer address. A connection counts as
// connected exactly while the handle is allocated.
struct TIdSocketHandle {
    TcpSocket Socket;
    std::string IP;
    uint16_t Port = 0;
    std::string PeerIP;
    uint16_t PeerPort = 0;

    bool HandleAllocated() const { return Socket.IsOpen(); }
    void Reset();
    // Fills IP, Port, PeerIP and PeerPort from the connected socket.
    void UpdateAddresses();
};

// Raises EIdSocketError for a Windows Sockets error number.
[[noreturn]] void RaiseSocketError(int number);
