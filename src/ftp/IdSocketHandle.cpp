#include "ftp/IdSocketHandle.h"

#include "ftp/IdException.h"
#include "platform/SocketError.h"

void TIdSocketHandle::Reset() {
    Close();
    TlsClosedCleanly = false;
    IP.clear();
    Port = 0;
    PeerIP.clear();
    PeerPort = 0;
}

void TIdSocketHandle::Close() {
    if (Tls) TlsClosedCleanly = Tls->ClosedCleanly();
    Tls.reset();
    Socket.Close();
}

int TIdSocketHandle::ReceiveNow(void* data, size_t size, size_t& received) {
    return Tls ? Tls->ReceiveNow(data, size, received) : Socket.ReceiveNow(data, size, received);
}

int TIdSocketHandle::SendNow(const void* data, size_t size, size_t& sent) {
    return Tls ? Tls->SendNow(data, size, sent) : Socket.SendNow(data, size, sent);
}

void TIdSocketHandle::UpdateAddresses() {
    Socket.LocalAddress(IP, Port);
    Socket.PeerAddress(PeerIP, PeerPort);
}

void RaiseSocketError(int number) { throw EIdSocketError(number, SocketError::Message(number)); }
