// Servers that stall, flood, answer out of turn or let a stranger in: the engine must end every
// wait within its time-out, keep its memory bounded and stay in step or drop the connection.
#include "EngineEvents.h"
#include "ScriptedSession.h"
#include "fixtures/ClosedPort.h"
#include "ftp/IdAntiFreeze.h"
#include "ftp/IdException.h"
#include "ftp/IdFTP.h"
#include "platform/SocketError.h"

#include <chrono>
#include <functional>
#include <gtest/gtest.h>

namespace {

using Strings = std::vector<std::string>;
using Clock = std::chrono::steady_clock;

constexpr int ShortTimeoutMs = 300;

// Runs `action` and returns how long it took.
template <typename Action>
Clock::duration Timed(Action action) {
    const auto start = Clock::now();
    action();
    return Clock::now() - start;
}

// A pump hook that pumps nothing and reports the user's abort request when `requested` says so.
struct AbortingPump {
    TIdAntiFreeze hook;

    explicit AbortingPump(std::function<bool()> requested) {
        hook.IdleTimeOut = 20;
        hook.OnlyWhenIdle = false;
        hook.OnProcess = [](bool) {};
        hook.OnCheckAbort = std::move(requested);
    }
};

}  // namespace

TEST(HostileServer, ReplyWaitsEndAtTheTimeOutAndDropTheConnection) {
    {
        ScriptedPeer silent;
        silent.Start();
        TIdFTP ftp;
        ftp.Host = "127.0.0.1";
        ftp.Port = silent.Port();
        ftp.ReadTimeout = ShortTimeoutMs;
        auto took = Timed([&] { EXPECT_THROW(ftp.Connect(true, 5000), EIdReadTimeout); });
        EXPECT_LT(took, std::chrono::seconds(2));
        EXPECT_FALSE(ftp.Connected());
    }
    ScriptedSession s(ShortTimeoutMs);
    s.control.ExpectLine();
    s.Start();
    s.events.events.clear();
    try {
        s.ftp.CurrentDirectory();
        FAIL() << "a reply that never came was accepted";
    } catch (const EIdReadTimeout& e) {
        EXPECT_STREQ(e.what(), "Read Timeout");
    }
    // A late reply would otherwise be read as the next command's.
    EXPECT_FALSE(s.ftp.Connected());
    EXPECT_EQ(s.events.events, (Strings{"Disconnecting.", "OnDisconnected", "Disconnected."}));
}

TEST(HostileServer, AServerThatTricklesAReplyCannotHoldTheCommand) {
    ScriptedSession s(ShortTimeoutMs);
    s.control.ExpectLine();
    for (int i = 0; i < 20; ++i) s.control.Send("2").Pause(100);
    s.Start();
    auto took = Timed([&] { EXPECT_THROW(s.ftp.CurrentDirectory(), EIdReadTimeout); });
    EXPECT_LT(took, std::chrono::milliseconds(1000));
}

// The server stops sending mid-download, or never reads an upload: the time-out ends the
// transfer, and the closing reply that follows is read as this command's.
TEST(HostileServer, AStalledTransferTimesOutAndTheSessionStaysInStep) {
    for (const bool download : {true, false}) {
        SCOPED_TRACE(download ? "download" : "upload");
        ScriptedPeer data;
        if (download) data.Send("some bytes");
        else data.Pause(800);
        data.Start();
        ScriptedSession s(ShortTimeoutMs);
        s.control.Reply(PassiveReply(data.Port())).Reply("150 go\r\n426 Connection closed\r\n").Reply("257 \"/\"\r\n");
        s.Start();
        TIdStringStream stream;
        if (download) {
            EXPECT_THROW(s.ftp.Get("x", stream), EIdReadTimeout);
            EXPECT_EQ(stream.Bytes(), "some bytes");
        } else {
            const std::string bytes(64 << 20, 'u');
            stream.Write(bytes.data(), bytes.size());
            stream.Seek(0);
            EXPECT_LT(Timed([&] { EXPECT_THROW(s.ftp.Put(stream, "x"), EIdReadTimeout); }), std::chrono::seconds(2));
        }
        EXPECT_EQ(s.ftp.DataChannel(), nullptr);
        EXPECT_EQ(s.ftp.CurrentDirectory(), "/");
    }
}

TEST(HostileServer, DataConnectionsThatNeverComeUpTimeOut) {
    UnreachableLoopbackPort unreachable;
    ScriptedSession s(ShortTimeoutMs);
    s.control.Reply(PassiveReply(unreachable.port))
        .Reply("200 PORT ok\r\n")
        .Reply("150 go\r\n425 No data connection\r\n")
        .Reply("257 \"/\"\r\n");
    s.Start();
    TIdStringStream stream;
    auto took = Timed([&] { EXPECT_THROW(s.ftp.Get("x", stream), EIdConnectTimeout); });
    EXPECT_LT(took, std::chrono::seconds(2));
    s.ftp.Passive = false;
    took = Timed([&] { EXPECT_THROW(s.ftp.Get("x", stream), EIdConnectTimeout); });
    EXPECT_LT(took, std::chrono::seconds(2));
    EXPECT_EQ(s.ftp.CurrentDirectory(), "/");
}

// After the data the closing reply never comes, or, while the data channel is open, an endless
// run of preliminary replies comes: the wait ends and the connection, out of step, is dropped.
TEST(HostileServer, AClosingReplyThatNeverComesDropsTheConnection) {
    std::string flood;
    for (int i = 0; i < 200000; ++i) flood += "150 more\r\n";
    for (const std::string& afterStart : {std::string(), flood}) {
        SCOPED_TRACE(afterStart.empty() ? "silent" : "flood");
        ScriptedPeer data;
        if (afterStart.empty()) data.Send("whole file").Close();
        data.Start();
        ScriptedSession s(ShortTimeoutMs);
        s.control.Reply(PassiveReply(data.Port())).Reply("150 go\r\n").Send(afterStart);
        s.Start();
        TIdStringStream stream;
        EXPECT_LT(Timed([&] { EXPECT_THROW(s.ftp.Get("x", stream), EIdReadTimeout); }), std::chrono::seconds(2));
        EXPECT_FALSE(s.ftp.Connected());
    }
}

// Download: the server sends part and stalls. Upload: the server never reads, so the socket
// buffers fill and the upload stalls.
TEST(HostileServer, TheAbortRequestEndsAStalledTransferThroughThePump) {
    for (const bool download : {true, false}) {
        SCOPED_TRACE(download ? "download" : "upload");
        ScriptedPeer data;
        if (download) data.Send("partial");
        else data.Pause(800);
        data.Start();
        ScriptedSession s(5000);
        s.control.Reply(PassiveReply(data.Port()))
            .Reply("150 go\r\n")
            .Reply("426 Transfer aborted\r\n226 ABOR done\r\n")
            .Reply("257 \"/\"\r\n");
        s.Start();
        TIdStringStream stream;
        const auto stalled = Clock::now() + std::chrono::milliseconds(200);
        AbortingPump pump([&] { return download ? stream.Size() > 0 : Clock::now() > stalled; });
        const auto took = Timed([&] {
            if (download) {
                EXPECT_THROW(s.ftp.Get("x", stream), EIdTransferAborted);
            } else {
                const std::string bytes(64 << 20, 'u');
                stream.Write(bytes.data(), bytes.size());
                stream.Seek(0);
                EXPECT_THROW(s.ftp.Put(stream, "x"), EIdException);
            }
        });
        EXPECT_LT(took, std::chrono::seconds(2));
        if (download) {
            EXPECT_EQ(stream.Bytes(), "partial");
            EXPECT_EQ(s.events.events.back(), "Transfer aborted");
        }
        pump.hook.OnCheckAbort = nullptr;
        EXPECT_EQ(s.ftp.CurrentDirectory(), "/");
        s.ftp.Disconnect();
        s.control.Wait();
        EXPECT_EQ(s.control.Lines()[5], "ABOR");
    }
}

TEST(HostileServer, AnEndlessMultiLineReplyIsCutAndTheConnectionDropped) {
    for (const std::string& line : {std::string("220-x\r\n"), "220-" + std::string(2000, 'y') + "\r\n"}) {
        std::string greeting;
        for (int i = 0; i < 5000; ++i) greeting += line;
        ScriptedPeer server;
        server.Send(greeting);
        server.Start();
        TIdFTP ftp;
        ftp.Host = "127.0.0.1";
        ftp.Port = server.Port();
        EXPECT_THROW(ftp.Connect(true, 5000), EIdReplyTooLong);
        EXPECT_FALSE(ftp.Connected());
    }
    std::string allowed = "220-first\r\n";
    for (int i = 0; i < 990; ++i) allowed += "220-line\r\n";
    ScriptedPeer server;
    server.Send(allowed + "220 last\r\n").Reply("230 ok\r\n").Reply("200 type\r\n").Reply("215 UNIX\r\n");
    server.Start();
    TIdFTP ftp;
    ftp.Host = "127.0.0.1";
    ftp.Port = server.Port();
    ftp.Connect(true, 5000);
    EXPECT_EQ(ftp.WelcomeReply.Text.size(), 992u);
}

// The stranger connects from 127.0.0.2, the server's own connection from 127.0.0.1.
TEST(HostileServer, ActiveModeTakesDataOnlyFromTheServersAddress) {
    ScriptedSession s(ShortTimeoutMs);
    s.ftp.Passive = false;
    s.control.Reply("200 PORT ok\r\n").Reply("150 go\r\n").Send("226 done\r\n");
    s.Start();
    TIdAntiFreeze hook;
    hook.IdleTimeOut = 20;
    hook.OnlyWhenIdle = false;
    TcpSocket stranger, server;
    hook.OnProcess = [&](bool) {
        auto* listener = dynamic_cast<TIdSimpleServer*>(s.ftp.DataChannel());
        if (!listener || stranger.IsOpen()) return;
        size_t sent = 0;
        stranger.Open();
        ASSERT_EQ(stranger.Bind("127.0.0.2", 0), 0);
        ASSERT_EQ(stranger.Connect("127.0.0.1", listener->ListenPort()), 0);
        stranger.Send("injected", 8, sent);
        server.Open();
        ASSERT_EQ(server.Connect("127.0.0.1", listener->ListenPort()), 0);
        server.Send("genuine", 7, sent);
        server.Close();
    };
    TIdStringStream stream;
    s.ftp.Get("x", stream);
    EXPECT_EQ(stream.Bytes(), "genuine");
    bool closed = false;
    ASSERT_EQ(stranger.WaitReadable(1000, closed), 0);
    ASSERT_TRUE(closed) << "the stranger's connection was left open";
    char byte;
    size_t received = 1;
    int error = stranger.Receive(&byte, 1, received);
    EXPECT_TRUE(error == SocketError::ConnectionReset || (error == 0 && received == 0));
}

TEST(HostileServer, AFailedConnectLeavesNothingOpen) {
    TIdFTP ftp;
    EngineEvents events;
    events.Attach(ftp);
    ftp.Host = "127.0.0.1";
    ftp.Port = ClosedLoopbackPort();
    EXPECT_THROW(ftp.Connect(true, 2000), EIdConnectException);
    EXPECT_FALSE(ftp.Connected());
    UnreachableLoopbackPort unreachable;
    ftp.Port = unreachable.port;
    EXPECT_THROW(ftp.Connect(true, 300), EIdConnectTimeout);
    EXPECT_FALSE(ftp.Connected());
    for (const std::string& event : events.events) {
        EXPECT_NE(event, "Disconnecting.");
        EXPECT_NE(event, "Disconnected.");
    }

    ScriptedPeer refusing;
    refusing.Send("421 Go away\r\n");
    refusing.Start();
    ftp.Port = refusing.Port();
    EXPECT_THROW(ftp.Connect(true, 2000), EIdProtocolReplyError);
    EXPECT_FALSE(ftp.Connected());

    ScriptedSession s(ShortTimeoutMs);
    s.control.Start();
    ftp.Port = s.control.Port();
    ftp.Connect(true, 2000);
    EXPECT_TRUE(ftp.Connected());
    ftp.Disconnect();
}
