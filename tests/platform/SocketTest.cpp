#include "platform/SocketError.h"
#include "platform/TcpSocket.h"

#include <gtest/gtest.h>
#include <vector>

TEST(SocketAddress, LiteralAddressesAndLocalhostNeedNoLookup) {
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
}
