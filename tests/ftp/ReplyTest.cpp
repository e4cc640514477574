#include "EngineSessions.h"
#include "ftp/IdException.h"
#include "ftp/IdTCPClient.h"

#include <gtest/gtest.h>
#include <random>

namespace {

using Strings = std::vector<std::string>;

// Connects a client to a peer that sends the given bytes and then closes.
struct ReplySource {
    ScriptedPeer peer;
    TIdTCPClient client;

    explicit ReplySource(const std::string& bytes) {
        peer.Send(bytes).Close();
        peer.Start();
        client.Host = "127.0.0.1";
        client.Port = peer.Port();
        client.Connect(5000);
    }
};

}  // namespace

// Every line of a multi-line reply loses its first four characters; only the code and a blank
// at the start of a line end the reply, the code compared without case; LF alone ends lines.
// The reply after it is read on its own.
TEST(Reply, MultiLineRepliesAreCutAtTheirTerminatorOnly) {
    struct Case {
        std::string bytes, textCode;
        int numericCode;
        Strings text;
    };
    for (const Case& c : std::vector<Case>{
             {"220-Welcome\r\nsecond line\r\n220 ready\r\n", "220", 220, {"Welcome", "nd line", "ready"}},
             {"220-Welcome\r\n**\r\n\r\n   220 indented, still text\r\n220-more\r\n220 ready\r\n", "220", 220,
              {"Welcome", "", "indented, still text", "more", "ready"}},
             {"2a1-x\n2A1 y\n", "2a1", 0, {"x", "y"}}}) {
        ReplySource source(c.bytes + "257 \"/\"\r\n");
        source.client.ReadRawReply();
        const TIdRFCReply& reply = source.client.LastReply;
        EXPECT_EQ(reply.TextCode, c.textCode) << c.bytes;
        EXPECT_EQ(reply.NumericCode, c.numericCode) << c.bytes;
        EXPECT_EQ(reply.Text, c.text) << c.bytes;
        std::string joined;
        for (const std::string& line : c.text) joined += line + "\r\n";
        EXPECT_EQ(reply.JoinedText(), joined) << c.bytes;
        EXPECT_EQ(source.client.ReadReply({257}), 257) << c.bytes;
    }
}

// A refused code carries the code and the whole text; -1 accepts any code.
TEST(Reply, ACodeAloneALineWithoutACodeAndARefusedCode) {
    ReplySource source("226\r\nxyz hello\r\n550-No such file\r\n550 really\r\n500 no\r\n");
    EXPECT_EQ(source.client.ReadReply({226}), 226);
    EXPECT_EQ(source.client.LastReply.Text, (Strings{""}));
    for (const auto& [code, text] : {std::pair<int, const char*>{0, "hello\r\n"}, {550, "No such file\r\nreally\r\n"}}) {
        try {
            source.client.ReadReply({200, 250});
            ADD_FAILURE() << code;
        } catch (const EIdProtocolReplyError& e) {
            EXPECT_EQ(e.ReplyErrorCode(), code);
            EXPECT_STREQ(e.what(), text);
        }
        if (code == 0) {
            EXPECT_EQ(source.client.LastReply.TextCode, "xyz");
        }
    }
    EXPECT_EQ(source.client.ReadReply({-1}), 500);
}

TEST(Reply, ALineLongerThanTheLimitIsRefused) {
    ReplySource source("200 " + std::string(20000, 'x') + "\r\n");
    EXPECT_THROW(source.client.ReadRawReply(), EIdReadLnMaxLineLengthExceeded);
}

TEST(Reply, ARandomByteStreamNeverCrashesOrHangsTheReader) {
    std::mt19937 random(4711);
    for (int round = 0; round < 40; ++round) {
        std::string bytes;
        int size = std::uniform_int_distribution<int>(0, 3000)(random);
        const std::string alphabet = "0123456789- \r\n\t2235a";
        for (int i = 0; i < size; ++i) {
            bytes += random() % 4 == 0 ? static_cast<char>(random() % 256)
                                       : alphabet[random() % alphabet.size()];
        }
        ReplySource source(bytes);
        source.client.MaxLineLength = 200;
        try {
            for (int replies = 0; replies < 10000; ++replies) source.client.ReadRawReply();
            FAIL() << "the reader kept going after the peer closed";
        } catch (const EIdException&) {
        }
    }
}
