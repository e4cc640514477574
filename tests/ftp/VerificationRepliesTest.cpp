// Digests computed here, and what servers say about theirs: FEAT's HASH line, HASH replies,
// and replies a scripted server sends that no real one should.
#include "EngineSessions.h"
#include "fixtures/RandomBytes.h"
#include "ftp/IdAbortSignal.h"
#include "ftp/IdException.h"

#include <chrono>
#include <gtest/gtest.h>
#include <thread>

namespace {

constexpr const char* HelloSha256 = "2cf24dba5fb0a30e26e83b2ac5b9e29e1b161e5c1fa7425e73043362938b9824";

std::string Digest(TIdDigestAlgorithm algorithm, const std::string& bytes, std::size_t piece) {
    TIdDigest digest(algorithm);
    for (std::size_t at = 0; at < bytes.size(); at += piece) digest.Update(bytes.data() + at, std::min(piece, bytes.size() - at));
    return digest.HexFinal();
}

}  // namespace

// The published check values, however the bytes are cut.
TEST(Digests, KnownValuesInAnyPieces) {
    for (std::size_t piece : {std::size_t(1), std::size_t(4), std::size_t(100)}) {
        EXPECT_EQ(Digest(daSHA256, "abc", piece), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
        EXPECT_EQ(Digest(daSHA1, "abc", piece), "a9993e364706816aba3e25717850c26c9cd0d89d");
        EXPECT_EQ(Digest(daMD5, "abc", piece), "900150983cd24fb0d6963f7d28e17f72");
        EXPECT_EQ(Digest(daCRC32, "123456789", piece), "cbf43926");
    }
    EXPECT_EQ(Digest(daCRC32, "", 1), "00000000");
}

// The worker thread gives the digest the bytes would have in one piece, over many blocks and
// more than may wait at once; one dropped before its end just stops.
TEST(Digests, TheWorkerThreadHashesWhatItIsGiven) {
    const std::string bytes = RandomBytes((TIdDigestWorker::MaxPendingBlocks + 5) * TIdDigestWorker::BlockBytes + 3, 11);
    for (std::size_t piece : {std::size_t(65536), std::size_t(3 * TIdDigestWorker::BlockBytes + 1)}) {
        TIdDigestWorker worker(daSHA256);
        for (std::size_t at = 0; at < bytes.size(); at += piece)
            worker.Update(bytes.data() + at, std::min(piece, bytes.size() - at));
        EXPECT_EQ(worker.HexFinal(), Digest(daSHA256, bytes, bytes.size()));
    }
    TIdDigestWorker empty(daMD5);
    EXPECT_EQ(empty.HexFinal(), "d41d8cd98f00b204e9800998ecf8427e");
    TIdDigestWorker dropped(daSHA1);
    dropped.Update(bytes.data(), bytes.size());
}

TEST(Digests, FeatureLinesRepliesAndHexAreReadStrictly) {
    const TIdHashFeature offer = ParseHashFeature({"SIZE", "HASH CRC32;md5;SHA-1*;SHA-256;SHA-512;", "XSHA256"});
    EXPECT_EQ(offer.algorithms, (std::vector<TIdDigestAlgorithm>{daCRC32, daMD5, daSHA1, daSHA256}));
    EXPECT_EQ(offer.selected, daSHA1);
    EXPECT_TRUE(ParseHashFeature({"HASHES SHA-256", "MDTM"}).algorithms.empty());
    EXPECT_FALSE(ParseHashFeature({"HASH SHA-256"}).selected);

    const std::optional<TIdHashReply> reply = ParseHashReply(std::string("SHA-256 10-49 ") + HelloSha256 + " a file.txt");
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->algorithm, daSHA256);
    EXPECT_EQ(reply->start, 10);
    EXPECT_EQ(reply->end, 49);
    EXPECT_EQ(reply->hex, HelloSha256);
    for (const std::string& bad : Strings{"SHA-256 0-5", "SHA-257 0-5 " + std::string(HelloSha256), "SHA-256 5 abc",
                                          "SHA-256 9-5 " + std::string(HelloSha256), "SHA-256 x-5 " + std::string(HelloSha256),
                                          "SHA-256 0-5 " + std::string(HelloSha256).substr(1), ""})
        EXPECT_FALSE(ParseHashReply(bad)) << bad;

    EXPECT_EQ(DigestHex("ABCDEF0123456789ABCDEF0123456789", daMD5), "abcdef0123456789abcdef0123456789");
    EXPECT_EQ(DigestHex("1D57A06E", daCRC32), "1d57a06e");
    EXPECT_EQ(DigestHex("57A06E", daCRC32), "0057a06e");
    EXPECT_FALSE(DigestHex("123456789", daCRC32));
    EXPECT_FALSE(DigestHex("", daCRC32));
}

// A HASH reply that cannot be read, names another algorithm or is refused leaves the download
// unverified, never verified; a readable one verifies or fails it. Either way the session stays
// in step.
TEST(Digests, ScriptedHashRepliesNeverGiveAFalseVerified) {
    const std::string wrong(64, 'a');
    struct Case {
        std::string hashReply;
        TIdVerificationKind kind;
    };
    for (const Case& c : std::vector<Case>{
             {"213 SHA-256 0-5 " + std::string(HelloSha256) + " x\r\n", vkVerified},
             {"213 SHA-256 0-5 " + wrong + " x\r\n", vkMismatch},
             {"213 SHA-256 0-5 " + std::string(64, 'z') + " x\r\n", vkNotVerified},
             {"213 SHA-256 0-5 " + std::string(HelloSha256).substr(2) + " x\r\n", vkNotVerified},
             {"213 SHA-1 0-5 " + std::string(40, 'a') + " x\r\n", vkNotVerified},
             {"213-SHA-256 0-5 " + std::string(HelloSha256) + " x\r\n213 End\r\n", vkNotVerified},
             {"213 \r\n", vkNotVerified},
             {"502 HASH not implemented\r\n", vkNotVerified},
             {"550 x: busy\r\n", vkNotVerified}}) {
        SCOPED_TRACE(c.hashReply);
        DataPeer data("hello");
        ScriptedSession s(TIdFTP::DefaultReadTimeoutMs, "211-Features:\r\n HASH SHA-256*;MD5\r\n SIZE\r\n211 End\r\n");
        s.control.Reply(PassiveReply(data.Port())).Reply("150 here\r\n226 done\r\n").Reply(c.hashReply);
        s.control.Reply("257 \"/\"\r\n");
        s.Start();
        TIdStringStream stream;
        const auto mismatch = Caught<EIdVerificationFailed>([&] { s.ftp.Get("x", stream); });
        ASSERT_EQ(mismatch.has_value(), c.kind == vkMismatch);
        EXPECT_TRUE(!mismatch || (mismatch->PartName() == "" && mismatch->Verification().Actual == wrong));
        EXPECT_EQ(stream.Bytes(), "hello");
        EXPECT_EQ(s.ftp.LastVerification.Kind, c.kind) << s.ftp.LastVerification.Reason;
        if (c.kind == vkNotVerified) {
            EXPECT_EQ(s.ftp.LastVerification.Reason, "the server gave no readable SHA-256 digest of the file");
        }
        EXPECT_EQ(s.ftp.CurrentDirectory(), "/");
        EXPECT_EQ(s.Finish(), (Strings{"USER ", "TYPE I", "FEAT", "SYST", "PASV", "RETR x", "HASH x", "PWD"}));
    }
}

// A server that takes long over its digest (of the whole file, or of the range a resumed download
// moved): an abort request ends the wait within moments, the data that moved stays and is
// reported not verified, and the late reply (and the range reset sent after the abort) is read
// before the next command, which gets its own reply. A reply later than the wait for it cannot
// be told from the next command's: that command drops the connection rather than read it.
TEST(Digests, AnAbortDuringTheDigestWaitLeavesTheFileUnverifiedAndTheSessionInStep) {
    using Clock = std::chrono::steady_clock;
    for (const std::string variant : {"whole file", "resumed", "reply too late"}) {
        SCOPED_TRACE(variant);
        const bool resumed = variant == "resumed", tooLate = variant == "reply too late";
        DataPeer data(resumed ? "lo" : "hello");
        ScriptedSession s(tooLate ? 500 : TIdFTP::DefaultReadTimeoutMs,
                          "211-Features:\r\n HASH SHA-256*\r\n RANG\r\n211 End\r\n");
        if (resumed) s.control.Reply("350 ok\r\n").Reply("350 ok\r\n");
        s.control.Reply(PassiveReply(data.Port()));
        if (resumed) s.control.Reply("350 from 3\r\n");
        s.control.Reply("150 here\r\n226 done\r\n");
        if (resumed) s.control.Reply("350 range\r\n");
        s.control.ExpectLine().Pause(1500).Send("213 SHA-256 0-5 " + std::string(HelloSha256) + " x\r\n");
        if (resumed) s.control.Reply("350 reset\r\n");
        s.control.Reply("257 \"/\"\r\n");
        s.Start();

        TIdAbortSignal signal;
        bool taken = false;
        signal.OnTaken = [&] { taken = true; };
        s.ftp.AbortSignal = &signal;
        Clock::time_point hashSent;
        std::jthread requester;
        s.sent.Before("HASH", [&] {
            hashSent = Clock::now();
            requester = AbortAfter(signal, 100);
        });
        TIdStringStream stream;
        if (resumed) stream.Write("hel", 3);
        s.ftp.Get("x", stream, resumed);
        EXPECT_LT(Clock::now() - hashSent, std::chrono::milliseconds(100 + 1000));
        EXPECT_TRUE(taken);
        EXPECT_EQ(stream.Bytes(), "hello");
        EXPECT_EQ(s.ftp.LastVerification.Kind, vkNotVerified);
        EXPECT_EQ(s.ftp.LastVerification.Reason, "the check was aborted");
        ASSERT_FALSE(s.events.events.empty());
        EXPECT_NE(s.events.events.back().find("not verified"), std::string::npos) << s.events.events.back();
        if (tooLate) {
            EXPECT_THROW(s.ftp.CurrentDirectory(), EIdReadTimeout);
            EXPECT_FALSE(s.ftp.Connected());
            continue;
        }
        EXPECT_EQ(s.ftp.CurrentDirectory(), "/");
        const Strings commands = s.Finish();
        const Strings tail(commands.end() - (resumed ? 3 : 2), commands.end());
        EXPECT_EQ(tail, resumed ? (Strings{"HASH x", "RANG 1 0", "PWD"}) : (Strings{"HASH x", "PWD"}));
    }
}
