#include "ftp/IdTCPClient.h"

#include "ftp/IdDeadline.h"
#include "ftp/IdException.h"
#include "platform/SocketError.h"

#include <algorithm>
#include <vector>

void TIdTCPClient::Connect(int timeoutMs) {
    if (binding_.HandleAllocated()) throw EIdAlreadyConnected();
    binding_.Reset();
    ResetConnection();
    try {
        OpenSocket(timeoutMs);
    } catch (...) {
        // A connection that never existed leaves nothing open and reports no disconnect.
        binding_.Reset();
        throw;
    }
    if (Intercept) Intercept->Connect();
    ReportStatus(stConnected, Host);
    if (OnConnected) OnConnected(this);
}

void TIdTCPClient::OpenSocket(int timeoutMs) {
    if (!IsDottedIPv4(Host) && !IsIPv6Literal(Host)) ReportStatus(stResolving, Host);
    std::vector<std::string> ips;
    if (int error = ResolveHost(Host, ips)) RaiseSocketError(error);
    const int limit = timeoutMs > 0 ? timeoutMs : DefaultConnectTimeoutMs;
    const TIdClock::time_point deadline = DeadlineIn(limit);
    // Each address in turn, all within the one time-out: a host whose first address does not
    // answer is still reached through the next.
    for (size_t i = 0; i < ips.size(); ++i) {
        const bool last = i + 1 == ips.size();
        const int share = std::max(1, MillisecondsUntil(deadline) / static_cast<int>(ips.size() - i));
        try {
            ConnectTo(ips[i], share);
            return;
        } catch (const EIdConnClosedGracefully&) {
            throw;
        } catch (const EIdException&) {
            binding_.Close();
            if (last) throw;
        }
    }
}

void TIdTCPClient::ConnectTo(const std::string& ip, int timeoutMs) {
    if (int error = binding_.Socket.Open(ip.find(':') != std::string::npos)) RaiseSocketError(error);
    // An unbound socket gets its port from connect, which may share one with closed connections
    // to other peers; binding to port 0 first needs a port no socket holds, and a folder
    // transfer leaves thousands of data connections waiting out their close.
    if ((!BoundIP.empty() || BoundPort != 0) && binding_.Socket.Bind(BoundIP, static_cast<uint16_t>(BoundPort)) != 0)
        throw EIdCouldNotBindSocket();
    binding_.PeerIP = ip;
    binding_.PeerPort = static_cast<uint16_t>(Port);
    ReportStatus(stConnecting, ip);
    ConnectWithTimeout(ip, timeoutMs);
    binding_.UpdateAddresses();
}

void TIdTCPClient::ConnectWithTimeout(const std::string& ip, int timeoutMs) {
    bool done = false;
    int error = binding_.Socket.StartConnect(ip, static_cast<uint16_t>(Port), done);
    // A data connection hears an abort request while it connects, as it would while it moves
    // data; no transfer command is out yet, so there is nothing to withdraw.
    const bool abortable = AbortSignal && OnAbortRequest;
    const TIdClock::time_point deadline = DeadlineIn(timeoutMs);
    while (!done && !error) {
        const int remaining = timeoutMs >= 0 ? MillisecondsUntil(deadline) : -1;
        if (remaining == 0) break;
        const int wait = NextWaitMs(remaining, abortable ? TIdAbortSignal::SliceMs : -1);
        error = binding_.Socket.FinishConnect(wait, done);
        if (!done && abortable && AbortSignal->Take()) {
            binding_.Socket.Close();
            if (AbortSignal->OnTaken) AbortSignal->OnTaken();
            throw EIdConnClosedGracefully();
        }
    }
    if (error) throw EIdConnectException(SocketError::Message(error));
    if (!done) {
        binding_.Socket.Close();
        throw EIdConnectTimeout();
    }
}
