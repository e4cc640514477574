#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// One IPv4 or IPv6 TCP socket over POSIX. Every operation that can fail returns 0 or a Windows Sockets
// error number (see SocketError.h); the socket stays blocking except while connecting.
class TcpSocket {
public:
    TcpSocket() = default;
    ~TcpSocket();
    TcpSocket(TcpSocket&& other) noexcept;
    TcpSocket& operator=(TcpSocket&& other) noexcept;
    TcpSocket(const TcpSocket&) = delete;
    TcpSocket& operator=(const TcpSocket&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    // Addresses given to Bind and connect must be of the family opened.
    int Open(bool ipv6 = false);
    // Shuts the sending side down and closes; safe to call on a closed socket.
    void Close();

    // An empty address binds to every interface.
    int Bind(const std::string& ip, uint16_t port);
    int Listen(int backlog);
    // Waits at most timeoutMs (negative: no limit) for a connection; `ready` tells whether one
    // came. Accepting moves the new connection into `accepted`.
    int WaitAcceptable(int timeoutMs, bool& ready);
    int Accept(TcpSocket& accepted);

    // A non-blocking connect; FinishConnect then waits for it.
    int StartConnect(const std::string& ip, uint16_t port, bool& done);
    // Waits at most timeoutMs for the connect to end; `done` tells whether it ended, and the
    // result is the connect's error when it did.
    int FinishConnect(int timeoutMs, bool& done);
    // A blocking connect.
    int Connect(const std::string& ip, uint16_t port);

    int Send(const void* data, size_t size, size_t& sent);
    // `received` 0 with result 0 means the peer closed its side.
    int Receive(void* data, size_t size, size_t& received);
    // Send and Receive that never block: when nothing can move they return WouldBlock, so the
    // caller polls only then and can bound and pump the wait.
    int SendNow(const void* data, size_t size, size_t& sent);
    int ReceiveNow(void* data, size_t size, size_t& received);
    // Negative timeoutMs waits without limit.
    int WaitReadable(int timeoutMs, bool& readable);
    int WaitWritable(int timeoutMs, bool& writable);
    void ShutdownSend();

    int LocalAddress(std::string& ip, uint16_t& port) const;
    int PeerAddress(std::string& ip, uint16_t& port) const;

private:
    int WaitFor(short events, int timeoutMs, bool& ready) const;
    int SendWith(const void* data, size_t size, size_t& sent, int flags);
    int ReceiveWith(void* data, size_t size, size_t& received, int flags);
    int SetBlocking(bool blocking);

    int fd_ = -1;
};

// True for a dotted IPv4 address of four decimal parts.
bool IsDottedIPv4(const std::string& host);
// True for an IPv6 address in text form, with or without enclosing brackets.
bool IsIPv6Literal(const std::string& host);
// The addresses of a host, in the order to try them: "LOCALHOST" in any case is 127.0.0.1
// without a lookup, an IPv4 or IPv6 address (brackets removed) stays as it is, any other name is
// looked up for both families (HostNotFound when it has no address).
int ResolveHost(const std::string& host, std::vector<std::string>& ips);
