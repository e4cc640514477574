// TLS over an established connection: the handshake and the closing notification.
#include "ftp/IdException.h"
#include "ftp/IdTCPConnection.h"
#include "platform/SocketError.h"

void TIdTCPConnection::StartTls(const std::string& serverName, const TIdTlsSessionTicket& resume,
                                TIdTlsTicketPool* tickets) {
    if (!binding_.HandleAllocated()) throw EIdNotConnected();
    if (!input_.Empty()) {
        DropSocket();
        throw EIdTLSError("The server sent data before the TLS handshake.");
    }
    binding_.Tls = std::make_unique<TIdTlsSession>(binding_.Socket, serverName, resume, tickets);
    const TIdClock::time_point deadline = DeadlineIn(ReadTimeout);
    try {
        while (binding_.Tls->HandshakeStep() == SocketError::WouldBlock) {
            const int left = ReadTimeout != 0 ? MillisecondsUntil(deadline) : -1;
            if (left == 0 || !WaitReady(binding_.Socket, binding_.Tls->WantsWrite(), left)) throw EIdReadTimeout();
        }
    } catch (const EIdException&) {
        // A half-done handshake leaves nothing usable on the connection.
        DropSocket();
        throw;
    }
}

void TIdTCPConnection::EndTls(bool awaitPeerClose) {
    if (!binding_.Tls || !binding_.HandleAllocated()) return;
    binding_.Tls->CollectTickets();
    const TIdClock::time_point deadline = DeadlineIn(ReadTimeout);
    auto wait = [&](bool forWriting) {
        const int left = ReadTimeout != 0 ? MillisecondsUntil(deadline) : -1;
        return left != 0 && WaitReady(binding_.Socket, forWriting, left);
    };
    try {
        while (binding_.Tls->ShutdownStep() == SocketError::WouldBlock)
            if (!wait(binding_.Tls->WantsWrite())) throw EIdReadTimeout();
        if (!awaitPeerClose) return;
        // Closing while the peer's last TLS records sit unread would reset the connection, and a
        // reset may throw away the end of an upload before the server has stored it.
        binding_.Socket.ShutdownSend();
        char scrap[4096];
        for (;;) {
            size_t count = 0;
            const int error = binding_.ReceiveNow(scrap, sizeof scrap, count);
            if (error == SocketError::WouldBlock) {
                if (!wait(binding_.Tls->WantsWrite())) return;
            } else if (error != 0 || count == 0) {
                return;
            }
        }
    } catch (const EIdTLSError&) {
        // The peer already went; there is nobody left to notify.
    }
}

int TIdTCPConnection::ReceiveThroughTls(void* data, size_t size, size_t& received) {
    try {
        return binding_.ReceiveNow(data, size, received);
    } catch (const EIdTLSError&) {
        // A broken TLS stream cannot be brought back into step.
        DropSocket();
        throw;
    }
}

int TIdTCPConnection::SendThroughTls(const void* data, size_t size, size_t& sent) {
    try {
        return binding_.SendNow(data, size, sent);
    } catch (const EIdTLSError&) {
        DropSocket();
        throw;
    }
}
