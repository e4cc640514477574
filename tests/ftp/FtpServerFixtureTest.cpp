#include "fixtures/FtpServer.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// The greeting line of a server, read over a plain socket so the fixture is checked on its own.
std::string Greeting(const FtpServer& server) {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(server.Port()));
    inet_pton(AF_INET, server.Host(), &addr.sin_addr);
    std::string text;
    if (connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) {
        char buffer[256];
        ssize_t n = recv(fd, buffer, sizeof buffer, 0);
        if (n > 0) text.assign(buffer, static_cast<size_t>(n));
    }
    close(fd);
    return text;
}

}  // namespace

TEST(FtpServerFixture, TwoServersRunSideBySideOnTheirOwnPortsAndRoots) {
    FtpServer first;
    FtpServer second;
    EXPECT_NE(first.Port(), second.Port());
    EXPECT_NE(first.Root(), second.Root());
    EXPECT_EQ(Greeting(first).rfind("220 ", 0), 0u);
    EXPECT_EQ(Greeting(second).rfind("220 ", 0), 0u);
}
