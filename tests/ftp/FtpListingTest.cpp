// Listings through the engine: a real server's listing with a line that cannot be parsed, and a
// listing that never ends.
#include "EngineEvents.h"
#include "fixtures/FtpServer.h"
#include "fixtures/ScriptedPeer.h"
#include "ftp/IdException.h"
#include "ftp/IdFTP.h"
#include "platform/TcpSocket.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <gtest/gtest.h>
#include <thread>

namespace {

using Strings = std::vector<std::string>;

// Connects in passive mode and logs in; a scripted server takes any user.
void ConnectPassive(TIdFTP& ftp, int port, const std::string& user = {}, const std::string& password = {})
{
    ftp.Host = "127.0.0.1";
    ftp.Port = port;
    ftp.Username = user;
    ftp.Password = password;
    ftp.Passive = true;
    ftp.Connect(true, 5000);
}

// A data connection that sends listing lines without end until the client closes it (or a
// minute has passed, so a test that fails cannot hang).
class EndlessListing {
public:
    EndlessListing()
    {
        if (listener_.Open() || listener_.Bind("127.0.0.1", 0) || listener_.Listen(1))
            throw std::runtime_error("cannot listen on loopback");
        std::string ip;
        listener_.LocalAddress(ip, port_);
        thread_ = std::thread([this] { Serve(); });
    }
    ~EndlessListing() { thread_.join(); }

    uint16_t Port() const { return port_; }
    std::int64_t Sent() const { return sent_; }

private:
    void Serve()
    {
        bool ready = false;
        TcpSocket connection;
        if (listener_.WaitAcceptable(5000, ready) || !ready || listener_.Accept(connection))
            return;
        std::string block;
        while (block.size() < (1 << 20))
            block += "-rw-r--r--   1 user     group        1234 Dec 07 09:51 endless.txt\r\n";
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
        size_t sent = 0;
        while (std::chrono::steady_clock::now() < deadline && connection.Send(block.data(), block.size(), sent) == 0)
            sent_ += static_cast<std::int64_t>(sent);
    }

    TcpSocket listener_;
    uint16_t port_ = 0;
    std::thread thread_;
    std::atomic<std::int64_t> sent_{0};
};

TEST(FtpListing, AnUnparsableLineOfARealServerIsSkippedAndReported)
{
    FtpServer server;
    std::ofstream(server.File("a.txt")) << "a";
    std::ofstream(server.File("evil\nname")) << "b";
    std::ofstream(server.File("z.txt")) << "z";
    TIdFTP ftp;
    ConnectPassive(ftp, server.Port(), FtpServer::User, FtpServer::Password);
    EngineEvents statuses;
    statuses.Attach(ftp);

    Strings destination;
    ftp.List(&destination);
    EXPECT_EQ(destination.size(), 4u);
    EXPECT_EQ(ftp.ListLines.size(), 4u);
    Strings names;
    for (const TIdFTPListItem& item : ftp.ParsedListing())
        names.emplace_back(item.Name());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (Strings{"a.txt", "evil", "z.txt"}));
    EXPECT_EQ(statuses.events.back(), "Listing line skipped, it could not be parsed: \"name\"");

    // Built once: asking again neither parses nor reports again.
    const std::size_t reported = statuses.events.size();
    EXPECT_EQ(ftp.ParsedListing().Count(), 3u);
    EXPECT_EQ(statuses.events.size(), reported);
}

TEST(FtpListing, AListingOverTheLimitIsRefusedWhileItArrives)
{
    EndlessListing data;
    ScriptedPeer control;
    control.Send("220 hi\r\n").Reply("230 ok\r\n").Reply("200 type\r\n").Reply("215 UNIX\r\n");
    control.Reply("227 Entering Passive Mode (127,0,0,1," + std::to_string(data.Port() / 256) + ","
                  + std::to_string(data.Port() % 256) + ")\r\n")
        .Reply("150 here it comes\r\n")
        .Send("426 Connection closed; transfer aborted.\r\n")
        .Reply("257 \"/\"\r\n");
    control.Start();
    TIdFTP ftp;
    ConnectPassive(ftp, control.Port());
    EXPECT_EQ(ftp.MaxListingBytes, std::size_t(1) << 30);
    ftp.MaxListingBytes = 8 << 20;

    try {
        ftp.List(nullptr);
        ADD_FAILURE() << "no error";
    } catch (const EIdListingTooLarge& e) {
        EXPECT_STREQ(e.what(), "Directory listing refused: it is larger than 8 MiB.");
    }
    EXPECT_GT(data.Sent(), 8 << 20);
    EXPECT_TRUE(ftp.ListLines.empty());
    EXPECT_EQ(ftp.ParsedListing().Count(), 0u);
    EXPECT_EQ(ftp.CurrentDirectory(), "/");
}

}  // namespace
