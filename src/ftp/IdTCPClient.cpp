#include "ftp/IdTCPClient.h"

#include "ftp/IdAntiFreeze.h"
#include "ftp/IdException.h"
#include "platform/SocketError.h"

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
    if (int error = binding_.Socket.Open()) RaiseSocketError(error);
    if (binding_.Socket.Bind(BoundIP, static_cast<uint16_t>(BoundPort)) != 0) throw EIdCouldNotBindSocket();

    if (!IsDottedIPv4(Host)) ReportStatus(stResolving, Host);
    std::string ip;
    if (int error = ResolveIPv4(Host, ip)) RaiseSocketError(error);
    binding_.PeerIP = ip;
    binding_.PeerPort = static_cast<uint16_t>(Port);
    ReportStatus(stConnecting, ip);

    if (timeoutMs != -1 && timeoutMs != 0)
        ConnectWithTimeout(ip, timeoutMs);
    else if (TIdAntiFreeze::InForce())
        ConnectWithTimeout(ip, PumpedConnectTimeoutMs);
    else if (int error = binding_.Socket.Connect(ip, static_cast<uint16_t>(Port)))
        RaiseSocketError(error);
    binding_.UpdateAddresses();
}

void TIdTCPClient::ConnectWithTimeout(const std::string& ip, int timeoutMs) {
    bool done = false;
    int error = binding_.Socket.StartConnect(ip, static_cast<uint16_t>(Port), done);
    const int slice = TIdAntiFreeze::SliceMs(125);
    int remaining = timeoutMs;
    while (!done && remaining > slice) {
        error = binding_.Socket.FinishConnect(slice, done);
        remaining -= slice;
        Pump(true);
        // Closed under the wait by an abort.
        if (!binding_.HandleAllocated()) throw EIdConnClosedGracefully();
    }
    if (!done) error = binding_.Socket.FinishConnect(remaining, done);
    if (!done) {
        binding_.Socket.Close();
        throw EIdConnectTimeout();
    }
    if (error) throw EIdConnectException(SocketError::Message(error));
}
