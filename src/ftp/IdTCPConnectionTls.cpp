// TLS over an established connection: the handshake and the closing notification.
#include "ftp/IdException.h"
#include "ftp/IdTCPConnection.h"
#include "platform/SocketError.h"

void TIdTCPConnection::StartTls(const std::string& serverName, const TIdTlsSessionTicket& resume) {
    if (!binding_.HandleAllocated()) throw EIdNotConnected();
    if (!input_.Empty()) {
        DropSocket();
        throw EIdTLSError("The server sent data before the TLS handshake.");
    }
    binding_.Tls = std::make_unique<TIdTlsSession>(binding_.Socket, serverName, resume);
    const TIdClock::time_point deadline = DeadlineIn(ReadTimeout);
    try {
        while (binding_.Tls->HandshakeStep() == SocketError::WouldBlock) {
            const int left = ReadTimeout != 0 ? MillisecondsUntil(deadline) : -1;
            if (left == 0 || !WaitPumped(binding_.Socket, binding_.Tls->WantsWrite(), left)) throw EIdReadTimeout();
        }
    } catch (const EIdException&) {
        // A half-done handshake leaves nothing usable on the connection.
        DropSocket();
        throw;
    }
}

void TIdTCPConnection::EndTls() {
    if (!binding_.Tls || !binding_.HandleAllocated()) return;
    const TIdClock::time_point deadline = DeadlineIn(ReadTimeout);
    try {
        while (binding_.Tls && binding_.Tls->ShutdownStep() == SocketError::WouldBlock) {
            const int left = ReadTimeout != 0 ? MillisecondsUntil(deadline) : -1;
            if (left == 0 || !WaitPumped(binding_.Socket, binding_.Tls->WantsWrite(), left)) throw EIdReadTimeout();
        }
    } catch (const EIdTLSError&) {
        // The peer already went; there is nobody left to notify.
    }
}
