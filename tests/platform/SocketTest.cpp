#include "platform/SocketError.h"
#include "platform/TcpSocket.h"

#include <vector>

#include <cerrno>
#include <gtest/gtest.h>

TEST(SocketError, PosixErrorsBecomeWindowsSocketsNumbersWithTheirTexts) {
    EXPECT_EQ(SocketError::FromErrno(ECONNREFUSED), 10061);
    EXPECT_EQ(SocketError::FromErrno(ECONNRESET), 10054);
    EXPECT_EQ(SocketError::Message(11001), "Socket Error # 11001\r\nHost not found.");
    EXPECT_EQ(SocketError::Message(12345), "Socket Error # 12345\r\n");
}

TEST(SocketAddress, DottedAddressesAndLocalhostNeedNoLookup) {
    EXPECT_TRUE(IsDottedIPv4("127.0.0.1"));
    EXPECT_TRUE(IsDottedIPv4("255.255.255.255"));
    EXPECT_FALSE(IsDottedIPv4("256.1.1.1"));
    EXPECT_FALSE(IsDottedIPv4("1.2.3"));
    EXPECT_FALSE(IsDottedIPv4("1.2.3.4."));
    EXPECT_FALSE(IsDottedIPv4("1..3.4"));
    EXPECT_FALSE(IsDottedIPv4("ftp.example.com"));
    std::vector<std::string> ips;
    EXPECT_EQ(ResolveHost("LOCALHOST", ips), 0);
    EXPECT_EQ(ips, std::vector<std::string>{"127.0.0.1"});
    EXPECT_EQ(ResolveHost("10.1.2.3", ips), 0);
    EXPECT_EQ(ips, std::vector<std::string>{"10.1.2.3"});
    EXPECT_EQ(ResolveHost("", ips), SocketError::HostNotFound);
}

TEST(SocketAddress, IPv6LiteralsWithOrWithoutBracketsNeedNoLookup) {
    EXPECT_TRUE(IsIPv6Literal("::1"));
    EXPECT_TRUE(IsIPv6Literal("[2001:db8::7]"));
    EXPECT_FALSE(IsIPv6Literal("[::1"));
    EXPECT_FALSE(IsIPv6Literal("127.0.0.1"));
    std::vector<std::string> ips;
    EXPECT_EQ(ResolveHost("[::1]", ips), 0);
    EXPECT_EQ(ips, std::vector<std::string>{"::1"});
    EXPECT_EQ(ResolveHost("fe80::1:2", ips), 0);
    EXPECT_EQ(ips, std::vector<std::string>{"fe80::1:2"});
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
        std::string peer;
        uint16_t peerPort = 0;
        ASSERT_EQ(server.PeerAddress(peer, peerPort), 0);
        EXPECT_EQ(peer, loopback);
        size_t count = 0;
        ASSERT_EQ(client.Send("hello", 5, count), 0);
        EXPECT_EQ(count, 5u);
        char buffer[16];
        ASSERT_EQ(server.WaitReadable(2000, ready), 0);
        ASSERT_EQ(server.Receive(buffer, sizeof buffer, count), 0);
        EXPECT_EQ(std::string(buffer, count), "hello");
        client.Close();
        ASSERT_EQ(server.Receive(buffer, sizeof buffer, count), 0);
        EXPECT_EQ(count, 0u);
        EXPECT_EQ(server.WaitReadable(0, ready), 0);
        EXPECT_EQ(client.WaitReadable(0, ready), SocketError::NotSocket);
    }
}
