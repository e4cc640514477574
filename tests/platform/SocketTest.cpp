#include "platform/SocketError.h"
#include "platform/TcpSocket.h"

#include <gtest/gtest.h>
#include <vector>

TEST(SocketAddress, LiteralAddressesAndLocalhostNeedNoLookupAndUnknownErrorsKeepTheirNumber) {
    for (const char* notDotted : {"256.1.1.1", "1.2.3", "1.2.3.4.", "1..3.4", "ftp.example.com"})
        EXPECT_FALSE(IsDottedIPv4(notDotted)) << notDotted;
    EXPECT_FALSE(IsIPv6Literal("[::1"));
    const std::pair<const char*, const char*> literals[] = {
        {"LOCALHOST", "127.0.0.1"}, {"255.255.255.255", "255.255.255.255"}, {"[::1]", "::1"}, {"fe80::1:2", "fe80::1:2"}};
    for (const auto& [host, ip] : literals) {
        std::vector<std::string> ips;
        EXPECT_EQ(ResolveHost(host, ips), 0) << host;
        EXPECT_EQ(ips, std::vector<std::string>{ip}) << host;
    }
    std::vector<std::string> ips;
    EXPECT_EQ(ResolveHost("", ips), SocketError::HostNotFound);
    EXPECT_EQ(SocketError::Message(12345), "Socket Error # 12345\r\n");
}

TEST(TcpSocket, ListenAcceptSendAndReceiveOverLoopback) {
    for (const std::string loopback : {"127.0.0.1", "::1"}) {
        SCOPED_TRACE(loopback);
        const bool v6 = loopback == "::1";
        TcpSocket listener;
        ASSERT_EQ(listener.Open(v6), 0);
        ASSERT_EQ(listener.Bind(loopback, 0), 0);
        ASSERT_EQ(listener.Listen(1), 0);
        std::string ip;
        uint16_t port = 0;
        ASSERT_EQ(listener.LocalAddress(ip, port), 0);
        EXPECT_EQ(ip, loopback);
        TcpSocket client;
        ASSERT_EQ(client.Open(v6), 0);
        ASSERT_EQ(client.Connect(loopback, port), 0);
        bool ready = false;
        ASSERT_EQ(listener.WaitAcceptable(2000, ready), 0);
        ASSERT_TRUE(ready);
        TcpSocket server;
        ASSERT_EQ(listener.Accept(server), 0);
        ASSERT_EQ(server.PeerAddress(ip, port), 0);
        EXPECT_EQ(ip, loopback);
        size_t count = 0;
        ASSERT_EQ(client.Send("hello", 5, count), 0);
        char buffer[16];
        ASSERT_EQ(server.WaitReadable(2000, ready), 0);
        ASSERT_EQ(server.Receive(buffer, sizeof buffer, count), 0);
        EXPECT_EQ(std::string(buffer, count), "hello");
        client.Close();
        ASSERT_EQ(server.Receive(buffer, sizeof buffer, count), 0);
        EXPECT_EQ(count, 0u);
        EXPECT_EQ(client.WaitReadable(0, ready), SocketError::NotSocket);
    }
}
