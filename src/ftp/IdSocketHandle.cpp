#include "ftp/IdSocketHandle.h"

#include "ftp/IdException.h"
#include "platform/SocketError.h"

void TIdSocketHandle::Reset() {
    Socket.Close();
    IP.clear();
    Port = 0;
    PeerIP.clear();
    PeerPort = 0;
}

void TIdSocketHandle::UpdateAddresses() {
    Socket.LocalAddress(IP, Port);
    Socket.PeerAddress(PeerIP, PeerPort);
}

void RaiseSocketError(int number) { throw EIdSocketError(number, SocketError::Message(number)); }
