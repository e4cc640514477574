#include "platform/TcpSocket.h"

#include "platform/SocketError.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <strings.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int LastError() { return SocketError::FromErrno(errno); }

// A socket address of either family; an empty ip means every interface of the socket's family.
struct SocketAddress {
    sockaddr_storage storage{};
    socklen_t length = 0;
    sockaddr* Get() { return reinterpret_cast<sockaddr*>(&storage); }
};

int FamilyOf(int fd) {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) return AF_INET;
    return address.ss_family;
}

int ToAddress(int fd, const std::string& ip, uint16_t port, SocketAddress& address) {
    address = {};
    const bool ipv6 = ip.empty() ? FamilyOf(fd) == AF_INET6 : ip.find(':') != std::string::npos;
    if (ipv6) {
        auto& v6 = reinterpret_cast<sockaddr_in6&>(address.storage);
        v6.sin6_family = AF_INET6;
        v6.sin6_port = htons(port);
        address.length = sizeof v6;
        if (ip.empty()) {
            v6.sin6_addr = in6addr_any;
            return 0;
        }
        return inet_pton(AF_INET6, ip.c_str(), &v6.sin6_addr) == 1 ? 0 : 10022;
    }
    auto& v4 = reinterpret_cast<sockaddr_in&>(address.storage);
    v4.sin_family = AF_INET;
    v4.sin_port = htons(port);
    address.length = sizeof v4;
    if (ip.empty()) {
        v4.sin_addr.s_addr = htonl(INADDR_ANY);
        return 0;
    }
    return inet_pton(AF_INET, ip.c_str(), &v4.sin_addr) == 1 ? 0 : 10022;
}

void FromAddress(const sockaddr* address, std::string& ip, uint16_t& port) {
    char text[INET6_ADDRSTRLEN] = {};
    if (address->sa_family == AF_INET6) {
        const auto* v6 = reinterpret_cast<const sockaddr_in6*>(address);
        inet_ntop(AF_INET6, &v6->sin6_addr, text, sizeof text);
        port = ntohs(v6->sin6_port);
    } else {
        const auto* v4 = reinterpret_cast<const sockaddr_in*>(address);
        inet_ntop(AF_INET, &v4->sin_addr, text, sizeof text);
        port = ntohs(v4->sin_port);
    }
    ip = text;
}

// The local or the peer address, by getsockname or getpeername.
int AddressOf(int (*query)(int, sockaddr*, socklen_t*), int fd, std::string& ip, uint16_t& port) {
    SocketAddress address;
    address.length = sizeof address.storage;
    if (query(fd, address.Get(), &address.length) != 0) return LastError();
    FromAddress(address.Get(), ip, port);
    return 0;
}

std::string WithoutBrackets(const std::string& host) {
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']') return host.substr(1, host.size() - 2);
    return host;
}

}  // namespace

TcpSocket::~TcpSocket() { Close(); }

TcpSocket::TcpSocket(TcpSocket&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }

TcpSocket& TcpSocket::operator=(TcpSocket&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

int TcpSocket::Open(bool ipv6) {
    Close();
    fd_ = socket(ipv6 ? AF_INET6 : AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP);
    return fd_ < 0 ? LastError() : 0;
}

void TcpSocket::Close() {
    if (fd_ < 0) return;
    shutdown(fd_, SHUT_WR);
    close(fd_);
    fd_ = -1;
}

int TcpSocket::Bind(const std::string& ip, uint16_t port) {
    SocketAddress address;
    if (int error = ToAddress(fd_, ip, port, address)) return error;
    if (port != 0) {
        int on = 1;
        setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    }
    return bind(fd_, address.Get(), address.length) == 0 ? 0 : LastError();
}

int TcpSocket::Listen(int backlog) { return listen(fd_, backlog) == 0 ? 0 : LastError(); }

int TcpSocket::WaitAcceptable(int timeoutMs, bool& ready) { return WaitFor(POLLIN, timeoutMs, ready); }

int TcpSocket::Accept(TcpSocket& accepted) {
    int fd = accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) return LastError();
    accepted.Close();
    accepted.fd_ = fd;
    return 0;
}

int TcpSocket::SetBlocking(bool blocking) {
    int flags = fcntl(fd_, F_GETFL);
    if (flags < 0) return LastError();
    flags = blocking ? flags & ~O_NONBLOCK : flags | O_NONBLOCK;
    return fcntl(fd_, F_SETFL, flags) == 0 ? 0 : LastError();
}

int TcpSocket::StartConnect(const std::string& ip, uint16_t port, bool& done) {
    done = false;
    SocketAddress address;
    if (int error = ToAddress(fd_, ip, port, address)) return error;
    if (int error = SetBlocking(false)) return error;
    if (connect(fd_, address.Get(), address.length) == 0) {
        done = true;
        return SetBlocking(true);
    }
    if (errno == EINPROGRESS) return 0;
    int error = LastError();
    done = true;
    SetBlocking(true);
    return error;
}

int TcpSocket::FinishConnect(int timeoutMs, bool& done) {
    if (int error = WaitFor(POLLOUT, timeoutMs, done)) return error;
    if (!done) return 0;
    int error = 0;
    socklen_t length = sizeof error;
    if (getsockopt(fd_, SOL_SOCKET, SO_ERROR, &error, &length) != 0) error = errno;
    SetBlocking(true);
    return error == 0 ? 0 : SocketError::FromErrno(error);
}

int TcpSocket::Connect(const std::string& ip, uint16_t port) {
    SocketAddress address;
    if (int error = ToAddress(fd_, ip, port, address)) return error;
    while (connect(fd_, address.Get(), address.length) != 0) {
        if (errno != EINTR) return LastError();
    }
    return 0;
}

int TcpSocket::Send(const void* data, size_t size, size_t& sent) { return SendWith(data, size, sent, 0); }

int TcpSocket::SendNow(const void* data, size_t size, size_t& sent) {
    return SendWith(data, size, sent, MSG_DONTWAIT);
}

int TcpSocket::SendWith(const void* data, size_t size, size_t& sent, int flags) {
    sent = 0;
    ssize_t n;
    do {
        n = send(fd_, data, size, MSG_NOSIGNAL | flags);
    } while (n < 0 && errno == EINTR);
    if (n < 0) return LastError();
    sent = static_cast<size_t>(n);
    return 0;
}

int TcpSocket::Receive(void* data, size_t size, size_t& received) { return ReceiveWith(data, size, received, 0); }

int TcpSocket::ReceiveNow(void* data, size_t size, size_t& received) {
    return ReceiveWith(data, size, received, MSG_DONTWAIT);
}

int TcpSocket::ReceiveWith(void* data, size_t size, size_t& received, int flags) {
    received = 0;
    ssize_t n;
    do {
        n = recv(fd_, data, size, flags);
    } while (n < 0 && errno == EINTR);
    if (n < 0) return LastError();
    received = static_cast<size_t>(n);
    return 0;
}

int TcpSocket::WaitReadable(int timeoutMs, bool& readable) { return WaitFor(POLLIN, timeoutMs, readable); }

int TcpSocket::WaitWritable(int timeoutMs, bool& writable) { return WaitFor(POLLOUT, timeoutMs, writable); }

int TcpSocket::WaitFor(short events, int timeoutMs, bool& ready) const {
    ready = false;
    if (fd_ < 0) return 10038;
    pollfd entry{fd_, events, 0};
    int n;
    do {
        n = poll(&entry, 1, timeoutMs < 0 ? -1 : timeoutMs);
    } while (n < 0 && errno == EINTR);
    if (n < 0) return LastError();
    ready = n > 0;
    return 0;
}

void TcpSocket::ShutdownSend() {
    if (fd_ >= 0) shutdown(fd_, SHUT_WR);
}

int TcpSocket::LocalAddress(std::string& ip, uint16_t& port) const { return AddressOf(getsockname, fd_, ip, port); }

int TcpSocket::PeerAddress(std::string& ip, uint16_t& port) const { return AddressOf(getpeername, fd_, ip, port); }

bool IsDottedIPv4(const std::string& host) {
    int parts = 0;
    size_t i = 0;
    while (i <= host.size()) {
        size_t start = i;
        long value = 0;
        while (i < host.size() && host[i] >= '0' && host[i] <= '9' && i - start < 3) {
            value = value * 10 + (host[i] - '0');
            ++i;
        }
        if (i == start || value > 255) return false;
        ++parts;
        if (i == host.size()) break;
        if (host[i] != '.') return false;
        ++i;
    }
    return parts == 4;
}

bool IsIPv6Literal(const std::string& host) {
    in6_addr address{};
    return inet_pton(AF_INET6, WithoutBrackets(host).c_str(), &address) == 1;
}

int ResolveHost(const std::string& host, std::vector<std::string>& ips) {
    ips.clear();
    const std::string name = WithoutBrackets(host);
    if (strcasecmp(name.c_str(), "localhost") == 0) {
        ips.push_back("127.0.0.1");
        return 0;
    }
    if (IsDottedIPv4(name) || IsIPv6Literal(name)) {
        ips.push_back(name);
        return 0;
    }
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (name.empty() || getaddrinfo(name.c_str(), nullptr, &hints, &found) != 0 || !found)
        return SocketError::HostNotFound;
    for (addrinfo* entry = found; entry; entry = entry->ai_next) {
        std::string ip;
        uint16_t port = 0;
        FromAddress(entry->ai_addr, ip, port);
        if (std::find(ips.begin(), ips.end(), ip) == ips.end()) ips.push_back(ip);
    }
    freeaddrinfo(found);
    return ips.empty() ? SocketError::HostNotFound : 0;
}
