#include "EngineEvents.h"
#include "fixtures/ClosedPort.h"
#include "fixtures/ScriptedPeer.h"
#include "ftp/IdAntiFreeze.h"
#include "ftp/IdException.h"
#include "ftp/IdLogEvent.h"
#include "ftp/IdTCPClient.h"
#include "platform/SocketError.h"

#include <chrono>
#include <tuple>
#include <gtest/gtest.h>

namespace {

using Strings = std::vector<std::string>;

struct Connection {
    TIdTCPClient client;
    EngineEvents events;

    explicit Connection(ScriptedPeer& peer) {
        peer.Start();
        client.Host = "127.0.0.1";
        client.Port = peer.Port();
        events.Attach(client);
        client.Connect(5000);
    }
};

}  // namespace

// The names of loopback other than "localhost" go through the resolver. Disconnect notifies in
// its order and a second one not at all; a peer's close notifies in the opposite order.
TEST(TcpConnection, ConnectAndDisconnectReportTheirSteps) {
    ScriptedPeer peer;
    Connection c(peer);
    EXPECT_EQ(c.events.events, (Strings{"Connecting to 127.0.0.1.", "Connected."}));
    EXPECT_TRUE(c.client.Connected());
    EXPECT_EQ(c.client.Binding().PeerIP, "127.0.0.1");
    EXPECT_EQ(c.client.Binding().PeerPort, peer.Port());
    EXPECT_THROW(c.client.Connect(5000), EIdAlreadyConnected);
    c.events.events.clear();
    c.client.Disconnect();
    EXPECT_EQ(c.events.events, (Strings{"Disconnecting.", "OnDisconnected", "Disconnected."}));
    EXPECT_FALSE(c.client.Connected());
    EXPECT_THROW(c.client.WriteLine("NOOP"), EIdConnClosedGracefully);
    c.events.events.clear();
    c.client.Disconnect();
    EXPECT_TRUE(c.events.events.empty());

    ScriptedPeer named;
    named.Close();
    c.events.events.clear();
    c.client.Host = "LocalHost";
    c.client.Port = named.Port();
    named.Start();
    c.client.Connect();
    EXPECT_THROW(c.client.ReadRawReply(), EIdConnClosedGracefully);
    EXPECT_EQ(c.events.events, (Strings{"Resolving hostname LocalHost.", "Connecting to 127.0.0.1.", "Connected.",
                                        "Disconnected.", "OnDisconnected"}));
    EXPECT_FALSE(c.client.Connected());
}

// With a time-out the connect runs non-blocking and pumps; without one it blocks. Both say
// why; the blocking one and the lookup carry the socket error's number (0: not a socket error).
TEST(TcpConnection, AFailedConnectCarriesTheSocketErrorText) {
    const int closed = ClosedLoopbackPort();
    for (const auto& [host, port, timeout, error, text] : std::vector<std::tuple<std::string, int, int, int, std::string>>{
             {"127.0.0.1", closed, 2000, 0, "Socket Error # 10061\r\nConnection refused."},
             {"127.0.0.1", closed, 0, 10061, "Socket Error # 10061\r\nConnection refused."},
             {"no-such-host.invalid", 21, 2000, 11001, "Socket Error # 11001\r\nHost not found."}}) {
        TIdTCPClient client;
        client.Host = host;
        client.Port = port;
        try {
            timeout ? client.Connect(timeout) : client.Connect();
            ADD_FAILURE() << "connected to " << host;
        } catch (const EIdException& e) {
            EXPECT_EQ(e.what(), text) << host << " " << timeout;
            const auto* socketError = dynamic_cast<const EIdSocketError*>(&e);
            EXPECT_EQ(socketError ? socketError->LastError() : 0, error) << host << " " << timeout;
        }
    }
}

TEST(TcpConnection, AConnectThatDoesNotCompleteTimesOutWhilePumping) {
    UnreachableLoopbackPort unreachable;
    TIdAntiFreeze hook;
    hook.IdleTimeOut = 50;
    hook.OnlyWhenIdle = false;
    int pumps = 0;
    hook.OnProcess = [&](bool) { ++pumps; };
    TIdTCPClient client;
    client.Host = "127.0.0.1";
    client.Port = unreachable.port;
    auto start = std::chrono::steady_clock::now();
    EXPECT_THROW(client.Connect(600), EIdConnectTimeout);
    auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_GE(elapsed, std::chrono::milliseconds(550));
    EXPECT_LT(elapsed, std::chrono::milliseconds(3000));
    EXPECT_GE(pumps, 8);
    EXPECT_FALSE(client.Connected());
}

// A line cut by a pause: the time-outs leave its start in the buffer for the reads after them.
TEST(TcpConnection, ReadLineHandlesTerminatorsTheLengthLimitAndTimeOuts) {
    ScriptedPeer peer;
    peer.Send("one\r\ntwo\nthree\r\r\nfour;five;")
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
    EXPECT_EQ(client.ReadLine(";"), "five");
    EXPECT_EQ(client.ReadLine().size(), 16383u);
    EXPECT_THROW(client.ReadLine(), EIdReadLnMaxLineLengthExceeded);
    client.MaxLineAction = maSplit;
    EXPECT_EQ(client.ReadLine(), std::string(16384, 'b'));
    EXPECT_TRUE(client.ReadLnSplit());
    EXPECT_EQ(client.ReadLine("\n", -1, 0), "");
    EXPECT_FALSE(client.ReadLnSplit());

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

TEST(TcpConnection, InputIsCompactedAfterEnoughConsumedBytesAndCountedAsWork) {
    std::string bulk;
    for (int i = 0; i < 5000; ++i) bulk += "line " + std::to_string(i) + "\r\n";
    ScriptedPeer peer;
    peer.Send(bulk);
    Connection c(peer);
    int64_t last = 0;
    c.client.OnWork = [&](TIdComponent*, TWorkMode mode, int64_t count) {
        EXPECT_EQ(mode, wkReceive);
        last = count;
    };
    c.client.BeginWork(wkReceive);
    size_t maxOffset = 0;
    for (int i = 0; i < 5000; ++i) {
        ASSERT_EQ(c.client.ReadLine(), "line " + std::to_string(i));
        maxOffset = std::max(maxOffset, c.client.InputBuffer().Offset());
    }
    c.client.EndWork(wkReceive);
    EXPECT_EQ(last, static_cast<int64_t>(bulk.size()));
    EXPECT_LT(maxOffset, TIdManagedBuffer::CompactAfter + 64);
}

TEST(TcpConnection, EveryWriteIsOneSendHookCallAndLinesWithBreaksAreRefused) {
    ScriptedPeer peer;
    peer.ExpectLine().ExpectLine().Send("220-first\r\n220 last\r\n");
    TIdLogEvent log;
    log.Active = true;
    log.ReplaceCRLF = false;
    Strings sent, received, status;
    log.OnSent = [&](TIdLogBase*, const std::string&, const std::string& data) { sent.push_back(data); };
    log.OnReceived = [&](TIdLogBase*, const std::string& time, const std::string& data) {
        EXPECT_FALSE(time.empty());
        received.push_back(data);
    };
    log.OnStatus = [&](TIdLogBase*, const std::string& text) { status.push_back(text); };
    peer.Start();
    TIdTCPClient client;
    client.Intercept = &log;
    client.Host = "127.0.0.1";
    client.Port = peer.Port();
    client.Connect(5000);
    client.WriteLine("USER someone");
    EXPECT_THROW(client.WriteLine("CWD a\r\nDELE b"), EIdLineBreakInCommand);
    EXPECT_THROW(client.SendCommand("CWD a\nb"), EIdLineBreakInCommand);
    client.WriteLine("PASS secret");
    client.ReadRawReply();
    client.Disconnect();
    peer.Wait();
    EXPECT_EQ(sent, (Strings{"USER someone\r\n", "PASS secret\r\n"}));
    std::string all;
    for (const std::string& chunk : received) all += chunk;
    EXPECT_EQ(all, "220-first\r\n220 last\r\n");
    EXPECT_EQ(status, (Strings{"Connected.", "Disconnected."}));
    EXPECT_EQ(peer.Lines(), (Strings{"USER someone", "PASS secret"}));
}

TEST(TcpConnection, TheLogHookCanReplaceLineBreaks) {
    EXPECT_EQ(ReplaceLineBreaks("a\r\nb\rc\nd"), "a<EOL>b<CR>c<LF>d");
}

TEST(TcpConnection, TheWindowIsPumpedAtLeastEvery50MsDuringASlowReply) {
    ScriptedPeer peer;
    peer.Pause(600).Send("200 done\r\n");
    Connection c(peer);
    TIdAntiFreeze hook;
    hook.IdleTimeOut = 50;
    hook.OnlyWhenIdle = false;
    std::vector<std::chrono::steady_clock::time_point> pumps;
    hook.OnProcess = [&](bool all) {
        EXPECT_TRUE(all);
        pumps.push_back(std::chrono::steady_clock::now());
    };
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(c.client.ReadReply({200}), 200);
    // A 600 ms wait in 50 ms slices pumps about twelve times; the bounds leave room for a
    // loaded machine's scheduling while still catching a wait that is not sliced.
    ASSERT_GE(pumps.size(), 6u);
    auto previous = start;
    for (auto at : pumps) {
        EXPECT_LT(at - previous, std::chrono::milliseconds(300));
        previous = at;
    }
    hook.Active = false;
    EXPECT_EQ(TIdAntiFreeze::InForce(), nullptr);
}

TEST(TcpConnection, WorkBracketsNestAndReportRunningTotals) {
    TIdComponent component;
    std::vector<std::string> seen;
    component.OnWorkBegin = [&](TIdComponent*, TWorkMode, int64_t max) { seen.push_back("begin " + std::to_string(max)); };
    component.OnWork = [&](TIdComponent*, TWorkMode, int64_t count) { seen.push_back(std::to_string(count)); };
    component.OnWorkEnd = [&](TIdComponent*, TWorkMode) { seen.push_back("end"); };
    component.StepWork(wkSend, 5);
    component.BeginWork(wkSend, 5'000'000'000);
    component.BeginWork(wkSend, 7);
    component.StepWork(wkSend, 3'000'000'000);
    component.StepWork(wkSend, 2'000'000'000);
    component.EndWork(wkSend);
    component.EndWork(wkSend);
    component.StepWork(wkSend, 1);
    EXPECT_EQ(seen, (Strings{"begin 5000000000", "3000000000", "5000000000", "end"}));
}
