#include "ftp/IdTlsSession.h"

#include "ftp/IdException.h"
#include "platform/SocketError.h"

#include <cctype>
#include <cstdio>
#include <ctime>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

// The socket under OpenSSL: sends and receives that never block, without SIGPIPE.
struct TIdTlsSocketBio {
    static TIdTlsSession& Session(BIO* bio) { return *static_cast<TIdTlsSession*>(BIO_get_data(bio)); }

    static int Write(BIO* bio, const char* data, int size) {
        TIdTlsSession& session = Session(bio);
        BIO_clear_retry_flags(bio);
        size_t sent = 0;
        int error = session.socket_.SendNow(data, static_cast<size_t>(size), sent);
        if (error == SocketError::WouldBlock) {
            BIO_set_retry_write(bio);
            return -1;
        }
        if (error) {
            session.socketError_ = error;
            return -1;
        }
        return static_cast<int>(sent);
    }

    static int Read(BIO* bio, char* data, int size) {
        TIdTlsSession& session = Session(bio);
        BIO_clear_retry_flags(bio);
        size_t received = 0;
        int error = session.socket_.ReceiveNow(data, static_cast<size_t>(size), received);
        if (error == SocketError::WouldBlock) {
            BIO_set_retry_read(bio);
            return -1;
        }
        if (error) {
            session.socketError_ = error;
            return -1;
        }
        return static_cast<int>(received);
    }

    static long Control(BIO*, int command, long, void*) { return command == BIO_CTRL_FLUSH ? 1 : 0; }

    static BIO_METHOD* Method() {
        static BIO_METHOD* method = [] {
            BIO_METHOD* m = BIO_meth_new(BIO_get_new_index() | BIO_TYPE_SOURCE_SINK, "marlux socket");
            BIO_meth_set_write(m, Write);
            BIO_meth_set_read(m, Read);
            BIO_meth_set_ctrl(m, Control);
            return m;
        }();
        return method;
    }
};

namespace {

// A certificate chain longer than this is refused during the handshake.
constexpr long MaxCertificateListBytes = 100 * 1024;

std::string OpenSslErrors() {
    std::string text;
    while (unsigned long code = ERR_get_error()) {
        char buffer[256];
        ERR_error_string_n(code, buffer, sizeof buffer);
        if (!text.empty()) text += "; ";
        text += buffer;
    }
    return text;
}

}  // namespace

struct TIdTlsContext {
    static int NewSession(SSL* ssl, SSL_SESSION* session) {
        auto* owner = static_cast<TIdTlsSession*>(SSL_get_app_data(ssl));
        if (!owner || !owner->tickets_) return 0;
        owner->tickets_->Add(TIdTlsSessionTicket(session, SSL_SESSION_free));
        return 1;
    }
};

namespace {

SSL_CTX* ClientContext() {
    static SSL_CTX* context = [] {
        SSL_CTX* ctx = SSL_CTX_new(TLS_client_method());
        if (!ctx) throw EIdTLSError("TLS is not available: " + OpenSslErrors());
        SSL_CTX_set_min_proto_version(ctx, TLS1_2_VERSION);
        SSL_CTX_set_default_verify_paths(ctx);
        // The verification result is judged after the handshake, where the user may trust a
        // certificate that failed; nothing is sent before that.
        SSL_CTX_set_verify(ctx, SSL_VERIFY_NONE, nullptr);
        SSL_CTX_set_max_cert_list(ctx, MaxCertificateListBytes);
        SSL_CTX_set_session_cache_mode(ctx, SSL_SESS_CACHE_CLIENT | SSL_SESS_CACHE_NO_INTERNAL_STORE);
        SSL_CTX_sess_set_new_cb(ctx, TIdTlsContext::NewSession);
        SSL_CTX_set_mode(ctx, SSL_MODE_ENABLE_PARTIAL_WRITE | SSL_MODE_ACCEPT_MOVING_WRITE_BUFFER);
        return ctx;
    }();
    return context;
}

std::string NameText(const X509_NAME* name) {
    BIO* out = BIO_new(BIO_s_mem());
    X509_NAME_print_ex(out, name, 0, XN_FLAG_RFC2253 & ~ASN1_STRFLGS_ESC_MSB);
    char* data = nullptr;
    long size = BIO_get_mem_data(out, &data);
    std::string text(data, static_cast<size_t>(size));
    BIO_free(out);
    return text;
}

std::string TimeText(const ASN1_TIME* time) {
    std::tm parts{};
    if (!time || ASN1_TIME_to_tm(time, &parts) != 1) return "?";
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S UTC", &parts);
    return text;
}

std::string FingerprintOf(X509* certificate) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (X509_digest(certificate, EVP_sha256(), digest, &length) != 1) return {};
    std::string text;
    for (unsigned int i = 0; i < length; ++i) {
        char pair[4];
        std::snprintf(pair, sizeof pair, i ? ":%02X" : "%02X", digest[i]);
        text += pair;
    }
    return text;
}

}  // namespace

void TIdTlsTicketPool::Add(TIdTlsSessionTicket ticket) {
    // A handful is plenty: each data connection brings new ones.
    if (tickets_.size() >= 8) tickets_.erase(tickets_.begin());
    tickets_.push_back(std::move(ticket));
}

TIdTlsSessionTicket TIdTlsTicketPool::Take() {
    while (!tickets_.empty()) {
        TIdTlsSessionTicket ticket = std::move(tickets_.back());
        tickets_.pop_back();
        if (SSL_SESSION_is_resumable(ticket.get())) return ticket;
    }
    return {};
}

TIdTlsSession::TIdTlsSession(TcpSocket& socket, const std::string& serverName, const TIdTlsSessionTicket& resume,
                             TIdTlsTicketPool* tickets)
    : socket_(socket), tickets_(tickets) {
    ssl_ = SSL_new(ClientContext());
    BIO* bio = ssl_ ? BIO_new(TIdTlsSocketBio::Method()) : nullptr;
    if (!bio) {
        SSL_free(ssl_);
        throw EIdTLSError("TLS is not available: " + OpenSslErrors());
    }
    SSL_set_app_data(ssl_, this);
    BIO_set_data(bio, this);
    BIO_set_init(bio, 1);
    SSL_set_bio(ssl_, bio, bio);
    // Fewer, larger reads from the socket.
    SSL_set_read_ahead(ssl_, 1);
    const bool bracketed = serverName.size() > 2 && serverName.front() == '[' && serverName.back() == ']';
    const std::string name = bracketed ? serverName.substr(1, serverName.size() - 2) : serverName;
    if (IsDottedIPv4(name) || IsIPv6Literal(name)) {
        X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(ssl_), name.c_str());
    } else if (!name.empty()) {
        SSL_set_tlsext_host_name(ssl_, name.c_str());
        SSL_set1_host(ssl_, name.c_str());
    }
    if (resume) SSL_set_session(ssl_, resume.get());
    SSL_set_connect_state(ssl_);
}

TIdTlsSession::~TIdTlsSession() { SSL_free(ssl_); }

int TIdTlsSession::Result(int ret, const char* operation) {
    wantsWrite_ = false;
    switch (SSL_get_error(ssl_, ret)) {
    case SSL_ERROR_WANT_READ:
        return SocketError::WouldBlock;
    case SSL_ERROR_WANT_WRITE:
        wantsWrite_ = true;
        return SocketError::WouldBlock;
    default:
        break;
    }
    std::string detail = OpenSslErrors();
    if (detail.empty())
        detail = socketError_ ? SocketError::Message(socketError_) : std::string("the connection was closed");
    throw EIdTLSError(std::string("TLS ") + operation + " failed: " + detail);
}

int TIdTlsSession::HandshakeStep() {
    ERR_clear_error();
    socketError_ = 0;
    int ret = SSL_do_handshake(ssl_);
    return ret == 1 ? 0 : Result(ret, "handshake");
}

int TIdTlsSession::ReceiveNow(void* data, size_t size, size_t& received) {
    received = 0;
    ERR_clear_error();
    socketError_ = 0;
    int ret = SSL_read_ex(ssl_, data, size, &received);
    if (ret == 1) return 0;
    const int error = SSL_get_error(ssl_, ret);
    if (error == SSL_ERROR_ZERO_RETURN) {
        // Answer the peer's close notification; best effort, the connection ends anyway.
        closedCleanly_ = true;
        SSL_shutdown(ssl_);
        return 0;
    }
    if (socketError_) return socketError_;
    if (error == SSL_ERROR_SYSCALL ||
        (error == SSL_ERROR_SSL && ERR_GET_REASON(ERR_peek_error()) == SSL_R_UNEXPECTED_EOF_WHILE_READING)) {
        // The peer closed the socket without TLS shutdown; ClosedCleanly stays false.
        ERR_clear_error();
        return 0;
    }
    return Result(ret, "receive");
}

int TIdTlsSession::SendNow(const void* data, size_t size, size_t& sent) {
    sent = 0;
    ERR_clear_error();
    socketError_ = 0;
    int ret = SSL_write_ex(ssl_, data, size, &sent);
    if (ret == 1) return 0;
    if (SSL_get_error(ssl_, ret) == SSL_ERROR_SYSCALL && socketError_) return socketError_;
    return Result(ret, "send");
}

void TIdTlsSession::CollectTickets() {
    char byte;
    size_t peeked = 0;
    SSL_peek_ex(ssl_, &byte, 1, &peeked);
    ERR_clear_error();
}

int TIdTlsSession::ShutdownStep() {
    ERR_clear_error();
    int ret = SSL_shutdown(ssl_);
    if (ret >= 0) return 0;
    return Result(ret, "shutdown");
}

std::string TIdTlsSession::Protocol() const { return SSL_get_version(ssl_); }

std::string TIdTlsSession::Cipher() const { return SSL_get_cipher_name(ssl_); }

bool TIdTlsSession::Resumed() const { return SSL_session_reused(ssl_) == 1; }

TIdTlsSessionTicket TIdTlsSession::Ticket() const {
    SSL_SESSION* session = SSL_get1_session(ssl_);
    if (!session) return {};
    return TIdTlsSessionTicket(session, SSL_SESSION_free);
}

TIdCertificateInfo TIdTlsSession::PeerCertificate() const {
    TIdCertificateInfo info;
    X509* certificate = SSL_get1_peer_certificate(ssl_);
    if (!certificate) {
        info.Problem = "the server sent no certificate";
        return info;
    }
    info.Subject = NameText(X509_get_subject_name(certificate));
    info.Issuer = NameText(X509_get_issuer_name(certificate));
    info.NotBefore = TimeText(X509_get0_notBefore(certificate));
    info.NotAfter = TimeText(X509_get0_notAfter(certificate));
    info.Fingerprint = FingerprintOf(certificate);
    X509_free(certificate);
    long result = SSL_get_verify_result(ssl_);
    if (result != X509_V_OK) info.Problem = X509_verify_cert_error_string(result);
    return info;
}

std::string NormalizeFingerprint(const std::string& text) {
    std::string hex;
    for (char c : text) {
        if (c == ':') continue;
        if (!std::isxdigit(static_cast<unsigned char>(c))) return {};
        hex += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    if (hex.size() != 64) return {};
    std::string canonical;
    for (size_t i = 0; i < hex.size(); i += 2) {
        if (i) canonical += ':';
        canonical += hex.substr(i, 2);
    }
    return canonical;
}
