#pragma once
#include "platform/TcpSocket.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

struct ssl_st;
struct ssl_session_st;

// A saved TLS session that later connections resume (FTP servers tie the data connections to
// the control connection's session that way).
using TIdTlsSessionTicket = std::shared_ptr<ssl_session_st>;

// The sessions servers hand out during one FTP session. Servers that let a TLS 1.3 session be
// resumed only once need a fresh one for every data connection.
class TIdTlsTicketPool {
public:
    void Add(TIdTlsSessionTicket ticket);
    // The newest resumable session, taken out of the pool; empty when there is none.
    TIdTlsSessionTicket Take();
    void Clear() { tickets_.clear(); }

private:
    std::vector<TIdTlsSessionTicket> tickets_;
};

// What the user sees of a server certificate before trusting it.
struct TIdCertificateInfo {
    std::string Subject;
    std::string Issuer;
    std::string NotBefore;
    std::string NotAfter;
    // SHA-256 of the certificate, upper-case hexadecimal pairs joined by colons.
    std::string Fingerprint;
    // Why verification against the trusted authorities failed; empty when it passed.
    std::string Problem;
    // A fingerprint was trusted for this profile before, and this certificate is another one.
    bool Changed = false;
};

// The client side of TLS over a connected socket that is not owned. Every call returns at once:
// WouldBlock tells the caller to wait for the socket (WantsWrite says in which direction).
// Protocol failures raise EIdTLSError.
class TIdTlsSession {
public:
    // serverName is checked against the certificate (a host name or an IP address) and sent as
    // the server name indication when it is a name.
    // New sessions the server hands out go into `tickets` when given (not owned).
    TIdTlsSession(TcpSocket& socket, const std::string& serverName, const TIdTlsSessionTicket& resume,
                  TIdTlsTicketPool* tickets);
    ~TIdTlsSession();
    TIdTlsSession(const TIdTlsSession&) = delete;
    TIdTlsSession& operator=(const TIdTlsSession&) = delete;

    // 0 once the handshake is done, WouldBlock while it waits for the peer.
    int HandshakeStep();
    // `received` 0 with result 0: the peer ended TLS (ClosedCleanly tells whether it sent its
    // close notification first) or closed the connection.
    int ReceiveNow(void* data, size_t size, size_t& received);
    int SendNow(const void* data, size_t size, size_t& sent);
    // Reads what already arrived without consuming data, so that session tickets sent to a
    // connection that is only written to are collected too.
    void CollectTickets();
    // Sends our close notification; 0 once sent, WouldBlock while the socket is full.
    int ShutdownStep();
    bool WantsWrite() const { return wantsWrite_; }
    bool ClosedCleanly() const { return closedCleanly_; }

    std::string Protocol() const;
    std::string Cipher() const;
    bool Resumed() const;
    TIdTlsSessionTicket Ticket() const;
    // The peer certificate with the verification result; Fingerprint is empty without one.
    TIdCertificateInfo PeerCertificate() const;

private:
    // Maps an OpenSSL result to WouldBlock, or raises.
    int Result(int ret, const char* operation);

    ssl_st* ssl_ = nullptr;
    TcpSocket& socket_;
    bool wantsWrite_ = false;
    bool closedCleanly_ = false;
    int socketError_ = 0;
    TIdTlsTicketPool* tickets_;
    friend struct TIdTlsSocketBio;
    friend struct TIdTlsContext;
};

// A fingerprint as typed: hexadecimal with or without colons, either case. The canonical form
// (upper case, colon-separated pairs) or empty when the text is not a SHA-256 fingerprint.
std::string NormalizeFingerprint(const std::string& text);
