#include "ftp/IdSimpleServer.h"

#include "ftp/IdException.h"
#include "ftp/IdSocketWait.h"

void TIdSimpleServer::BeginListen() {
    abortRequested_ = false;
    if (int error = listener_.Open()) RaiseSocketError(error);
    if (listener_.Bind(BoundIP, static_cast<uint16_t>(BoundPort)) != 0) throw EIdCouldNotBindSocket();
    if (int error = listener_.Listen(15)) RaiseSocketError(error);
    if (int error = listener_.LocalAddress(listenIP_, listenPort_)) RaiseSocketError(error);
}

void TIdSimpleServer::Listen() {
    while (!abortRequested_ && !WaitReadablePumped(listener_, AcceptWait)) {
    }
    if (abortRequested_) throw EIdConnClosedGracefully();
    binding_.Reset();
    ResetConnection();
    if (int error = listener_.Accept(binding_.Socket)) RaiseSocketError(error);
    binding_.UpdateAddresses();
    listener_.Close();
}

void TIdSimpleServer::DropSocket() {
    abortRequested_ = true;
    listener_.Close();
    TIdTCPConnection::DropSocket();
}
