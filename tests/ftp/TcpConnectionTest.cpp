#include "EngineSessions.h"
#include "fixtures/ClosedPort.h"
#include "ftp/IdAntiFreeze.h"
#include "ftp/IdException.h"
#include "ftp/IdTCPClient.h"

#include <chrono>
#include <gtest/gtest.h>

namespace {

using Strings = std::vector<std::string>;
using Clock = std::chrono::steady_clock;

struct Connection {
    TIdTCPClient client;
    EngineEvents events;

    explicit Connection(ScriptedPeer& peer, const std::string& host = "127.0.0.1") {
        peer.Start();
        client.Host = host;
        client.Port = peer.Port();
        events.Attach(client);
        client.Connect(5000);
    }
};

// A pump hook called at least every 50 ms while the engine waits.
struct Pump : TIdAntiFreeze {
    std::vector<Clock::time_point> calls;

    Pump() {
        IdleTimeOut = 50;
        OnlyWhenIdle = false;
        OnProcess = [this](bool) { calls.push_back(Clock::now()); };
    }
};

}  // namespace

// Disconnect notifies in its order and a second one not at all; a peer's close notifies in the
// opposite order. Names go through the resolver, which says when it finds none.
TEST(TcpConnection, ConnectAndDisconnectReportTheirSteps) {
    ScriptedPeer peer;
    Connection c(peer);
    EXPECT_TRUE(c.client.Connected());
    EXPECT_THROW(c.client.Connect(5000), EIdAlreadyConnected);
    c.client.Disconnect();
    c.client.Disconnect();
    EXPECT_EQ(c.events.events, (Strings{"Connecting to 127.0.0.1.", "Connected.", "Disconnecting.", "OnDisconnected",
                                        "Disconnected."}));
    EXPECT_THROW(c.client.WriteLine("NOOP"), EIdConnClosedGracefully);

    ScriptedPeer named;
    named.Close();
    Connection closing(named, "LocalHost");
    EXPECT_THROW(closing.client.ReadRawReply(), EIdConnClosedGracefully);
    EXPECT_EQ(closing.events.events, (Strings{"Resolving hostname LocalHost.", "Connecting to 127.0.0.1.",
                                              "Connected.", "Disconnected.", "OnDisconnected"}));
    EXPECT_FALSE(closing.client.Connected());

    closing.client.Host = "no-such-host.invalid";
    try {
        closing.client.Connect(2000);
        ADD_FAILURE() << "connected to a host that does not exist";
    } catch (const EIdException& e) {
        EXPECT_STREQ(e.what(), "Socket Error # 11001\r\nHost not found.");
    }
}

TEST(TcpConnection, AConnectThatDoesNotCompleteTimesOutWhilePumping) {
    UnreachableLoopbackPort unreachable;
    Pump pump;
    TIdTCPClient client;
    client.Host = "127.0.0.1";
    client.Port = unreachable.port;
    const auto start = Clock::now();
    EXPECT_THROW(client.Connect(600), EIdConnectTimeout);
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(550));
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(3000));
    EXPECT_GE(pump.calls.size(), 8u);
    EXPECT_FALSE(client.Connected());
}

// A line cut by a pause: the time-outs leave its start in the buffer for the reads after them.
TEST(TcpConnection, ReadLineHandlesTerminatorsTheLengthLimitAndTimeOuts) {
    ScriptedPeer peer;
    peer.Send("one\r\ntwo\nthree\r\r\nfour;")
        .Send(std::string(16383, 'a') + "\r\n")
        .Send(std::string(16384, 'b') + "\r\nla")
        .Pause(400)
        .Send("te\r\nX");
    Connection c(peer);
    TIdTCPClient& client = c.client;
    EXPECT_EQ(client.ReadLine(), "one");
    EXPECT_EQ(client.ReadLine(), "two");
    EXPECT_EQ(client.ReadLine(), "three\r");
    EXPECT_EQ(client.ReadLine(";"), "four");
    EXPECT_EQ(client.ReadLine().size(), 16383u);
    EXPECT_THROW(client.ReadLine(), EIdReadLnMaxLineLengthExceeded);
    client.MaxLineAction = maSplit;
    EXPECT_EQ(client.ReadLine(), std::string(16384, 'b'));
    EXPECT_TRUE(client.ReadLnSplit());
    EXPECT_EQ(client.ReadLine("\n", -1, 0), "");
    EXPECT_EQ(client.ReadLine("\n", 50), "");
    EXPECT_TRUE(client.ReadLnTimedOut());
    client.ReadTimeout = 50;
    EXPECT_THROW(client.ReadLine(), EIdReadTimeout);
    client.ReadTimeout = 0;
    char bytes[6];
    client.ReadExact(bytes, 6);
    EXPECT_EQ(std::string(bytes, 6), "late\r\n");
    EXPECT_EQ(client.InputBuffer().View(), "X");
}

TEST(TcpConnection, InputIsCompactedAfterEnoughConsumedBytes) {
    std::string bulk;
    for (int i = 0; i < 5000; ++i) bulk += "line " + std::to_string(i) + "\r\n";
    ScriptedPeer peer;
    peer.Send(bulk);
    Connection c(peer);
    size_t maxOffset = 0;
    for (int i = 0; i < 5000; ++i) {
        ASSERT_EQ(c.client.ReadLine(), "line " + std::to_string(i));
        maxOffset = std::max(maxOffset, c.client.InputBuffer().Offset());
    }
    EXPECT_LT(maxOffset, TIdManagedBuffer::CompactAfter + 64);
}

// Every write reaches the log hook as one call; a line break inside a command would smuggle a
// second command onto the control connection.
TEST(TcpConnection, EveryWriteIsOneSendHookCallAndLinesWithBreaksAreRefused) {
    ScriptedPeer peer;
    peer.ExpectLine().ExpectLine();
    SentCommands sent;
    Connection c(peer);
    sent.Attach(c.client);
    c.client.WriteLine("USER someone");
    EXPECT_THROW(c.client.WriteLine("CWD a\r\nDELE b"), EIdLineBreakInCommand);
    EXPECT_THROW(c.client.SendCommand("CWD a\nb"), EIdLineBreakInCommand);
    c.client.WriteLine("PASS secret");
    c.client.Disconnect();
    peer.Wait();
    EXPECT_EQ(sent.lines, (Strings{"USER someone", "PASS secret"}));
    EXPECT_EQ(peer.Lines(), (Strings{"USER someone", "PASS secret"}));
    EXPECT_EQ(ReplaceLineBreaks("a\r\nb\rc\nd"), "a<EOL>b<CR>c<LF>d");
}

TEST(TcpConnection, TheWindowIsPumpedAtLeastEvery50MsDuringASlowReply) {
    ScriptedPeer peer;
    peer.Pause(600).Send("200 done\r\n");
    Connection c(peer);
    Pump pump;
    const auto start = Clock::now();
    EXPECT_EQ(c.client.ReadReply({200}), 200);
    // About twelve calls in 600 ms; the bounds leave room for a loaded machine's scheduling
    // while still catching a wait that is not sliced.
    ASSERT_GE(pump.calls.size(), 6u);
    auto previous = start;
    for (auto at : pump.calls) {
        EXPECT_LT(at - previous, std::chrono::milliseconds(300));
        previous = at;
    }
}
