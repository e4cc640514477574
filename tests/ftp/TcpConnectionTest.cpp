// The control connection: lines, replies and writes, over a scripted peer.
#include "EngineSessions.h"
#include "ftp/IdException.h"
#include "ftp/IdPasswordMask.h"
#include "ftp/IdTCPClient.h"

#include <gtest/gtest.h>
#include <random>

namespace {

// A client connected to `peer`, which starts playing its script now.
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

// A peer that sends `bytes` and closes.
struct Sender : ScriptedPeer {
    explicit Sender(const std::string& bytes) { Send(bytes).Close(); }
};

}  // namespace

// A line cut by a pause: the time-outs leave its start in the buffer for the reads after them.
TEST(TcpConnection, ReadLineHandlesTerminatorsTheLengthLimitAndTimeOuts) {
    ScriptedPeer peer;
    peer.Send("one\r\ntwo\nthree\r\r\nfour;").Send(std::string(16383, 'a') + "\r\n")
        .Send(std::string(16384, 'b') + "\r\nla").Pause(600).Send("te\r\nX");
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

// Every write reaches the log hook as one call; a line break inside a command would smuggle a
// second command onto the control connection. The session log hides only the password. A
// disconnect, a second one and a peer's close each notify once; names go through the resolver,
// which says when it finds none.
TEST(TcpConnection, WritesAreOneHookCallEachLinesWithBreaksAreRefusedAndDisconnectsNotifyOnce) {
    ScriptedPeer peer;
    SentCommands sent;
    Connection c(peer);
    sent.Attach(c.client);
    EXPECT_THROW(c.client.Connect(5000), EIdAlreadyConnected);
    c.client.WriteLine("USER someone");
    EXPECT_THROW(c.client.WriteLine("CWD a\r\nDELE b"), EIdLineBreakInCommand);
    EXPECT_THROW(c.client.SendCommand("CWD a\nb"), EIdLineBreakInCommand);
    c.client.WriteLine("PASS secret");
    c.client.Disconnect();
    c.client.Disconnect();
    EXPECT_THROW(c.client.WriteLine("NOOP"), EIdConnClosedGracefully);
    peer.Wait();
    EXPECT_EQ(sent.lines, (Strings{"USER someone", "PASS secret"}));
    EXPECT_EQ(peer.Lines(), (Strings{"USER someone", "PASS secret"}));
    EXPECT_EQ(MaskSentData("USER x\r\nPASS y\r\nSYST\r\n"), "USER x\r\nPASS ****\r\nSYST\r\n");
    EXPECT_EQ(MaskSentData("  pass a b c"), "  pass ****");
    EXPECT_EQ(MaskSentData("PASSWORD x\r\n"), "PASSWORD x\r\n");

    Sender named("");
    Connection closing(named, "LocalHost");
    EXPECT_THROW(closing.client.ReadRawReply(), EIdConnClosedGracefully);
    EXPECT_FALSE(closing.client.Connected());
    for (const Strings& events : {c.events.events, closing.events.events})
        EXPECT_EQ(std::count(events.begin(), events.end(), "OnDisconnected"), 1);
    closing.client.Host = "no-such-host.invalid";
    EXPECT_THROW(closing.client.Connect(2000), EIdException);
}

// Only the code and a blank at the start of a line end a multi-line reply, the code compared
// without case; every line loses its first four characters; LF alone ends lines. A code alone
// is a reply with one empty line. A line without a code (code 0), or a code not expected, is
// refused with its code and whole text; -1 accepts any code.
TEST(Reply, MultiLineRepliesCodesAndRefusals) {
    Sender peer("220-Welcome\r\nsecond line\r\n220 ready\r\n"
                "220-Welcome\r\n**\r\n\r\n   220 indented, still text\r\n220-more\r\n220 ready\r\n"
                "2a1-x\n2A1 y\n226\r\nxyz hello\r\n550-No such file\r\n550 really\r\n500 no\r\n");
    Connection source(peer);
    TIdTCPClient& client = source.client;
    const TIdRFCReply& reply = client.LastReply;
    client.ReadRawReply();
    EXPECT_EQ(reply.Text, (Strings{"Welcome", "nd line", "ready"}));
    client.ReadRawReply();
    EXPECT_EQ(reply.NumericCode, 220);
    EXPECT_EQ(reply.Text, (Strings{"Welcome", "", "indented, still text", "more", "ready"}));
    client.ReadRawReply();
    EXPECT_EQ(reply.TextCode, "2a1");
    EXPECT_EQ(reply.NumericCode, 0);
    EXPECT_EQ(reply.Text, (Strings{"x", "y"}));
    EXPECT_EQ(client.ReadReply({226}), 226);
    EXPECT_EQ(reply.Text, (Strings{""}));
    for (const auto& [code, text] : {std::pair<int, std::string>{0, "hello\r\n"}, {550, "No such file\r\nreally\r\n"}}) {
        const auto refused = Caught<EIdProtocolReplyError>([&] { client.ReadReply({200, 250}); });
        ASSERT_TRUE(refused) << code;
        EXPECT_EQ(std::pair(refused->ReplyErrorCode(), std::string(refused->what())), std::pair(code, text));
    }
    EXPECT_EQ(client.ReadReply({-1}), 500);
}

TEST(Reply, ARandomByteStreamNeverCrashesOrHangsTheReader) {
    std::mt19937 random(4711);
    const std::string alphabet = "0123456789- \r\n\t2235a";
    for (int round = 0; round < 40; ++round) {
        std::string bytes(std::uniform_int_distribution<size_t>(0, 3000)(random), '\0');
        for (char& byte : bytes)
            byte = random() % 4 == 0 ? static_cast<char>(random() % 256) : alphabet[random() % alphabet.size()];
        Sender peer(bytes);
        Connection source(peer);
        source.client.MaxLineLength = 200;
        try {
            for (int replies = 0; replies < 10000; ++replies) source.client.ReadRawReply();
            FAIL() << "the reader kept going after the peer closed";
        } catch (const EIdException&) {
        }
    }
}
