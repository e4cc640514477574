// Servers that stall, flood, answer oddly or out of turn, or let a stranger in: the engine must
// end every wait within its time-out, keep its memory bounded and stay in step or drop the
// connection.
#include "EngineSessions.h"
#include "fixtures/ClosedPort.h"
#include "ftp/IdAbortSignal.h"
#include "ftp/IdException.h"
#include "ftp/IdText.h"

#include <chrono>
#include <optional>
#include <gtest/gtest.h>
#include <thread>

namespace {

constexpr int ShortTimeoutMs = 300;

}  // namespace

// Addresses and ports come from server text: every malformed field is refused. The active-mode
// and IPv6 tests show PORT and EPRT written right.
TEST(PassiveReplies, PortsAreTakenFromAnyDelimiterAndNonsenseIsRefused) {
    const TIdFTP::PassiveAddress a = ParsePassiveReply("Entering Passive Mode (192,168,0,10,19,137)");
    EXPECT_EQ(a.address, "192.168.0.10");
    EXPECT_EQ(a.port, 5001);
    EXPECT_EQ(ParseExtendedPassiveReply("Entering Extended Passive Mode (|||6446|)").port, 6446);
    EXPECT_EQ(ParseExtendedPassiveReply("ok (!!!21!)").port, 21);
    EXPECT_TRUE(ParseExtendedPassiveReply("(|||1|)").address.empty());
    for (const char* bad : {"Entering Extended Passive Mode", "(|||0|)", "(|||65536|)", "(|||x|)", "(||6446|)",
                            "(|||6446!)", "(||||)"})
        EXPECT_THROW(ParseExtendedPassiveReply(bad), EConvertError) << bad;
    EXPECT_THROW(ParsePassiveReply("Entering Passive Mode (1,2,3,4,x,1)"), EConvertError);
    EXPECT_THROW(ParsePassiveReply("garbage"), EConvertError);
}

// A 421 closes the control connection whatever command it answers: the session ends with the
// reply, not at the next command's socket error. A late reply would otherwise be read as the
// next command's: no reply, one in a trickle, no closing reply after a download's data, or an
// endless run of preliminary replies while the data channel is open each end at the time-out.
// Either way the connection is dropped, and that is reported once.
TEST(HostileServer, A421OrRepliesThatNeverCompleteDropTheConnectionAtOnceOrAtTheTimeOut) {
    std::string flood;
    for (int i = 0; i < 200000; ++i) flood += "150 more\r\n";
    for (const std::string ending : {"421", "421 to a transfer", "silence", "trickle", "no closing reply", "flood"}) {
        SCOPED_TRACE(ending);
        const bool closed = ending.starts_with("421");
        const bool download = ending == "421 to a transfer" || ending == "no closing reply" || ending == "flood";
        std::optional<ScriptedPeer> data;
        ScriptedSession s(ShortTimeoutMs);
        if (closed) {
            s.control.Reply("421 Control connection timed out.\r\n");
        } else if (download) {
            data.emplace();
            if (ending != "flood") data->Send("whole file").Close();
            data->Start();
            s.control.Reply(PassiveReply(data->Port())).Reply("150 go\r\n").Send(ending == "flood" ? flood : "");
        } else {
            s.control.ExpectLine();
            for (int i = 0; ending == "trickle" && i < 20; ++i) s.control.Send("2").Pause(100);
        }
        s.Start();
        TIdStringStream stream;
        const auto command = [&] { download ? s.ftp.Get("x", stream) : (void)s.ftp.CurrentDirectory(); };
        const auto took = Timed([&] {
            if (closed) EXPECT_THROW(command(), EIdProtocolReplyError);
            else EXPECT_THROW(command(), EIdReadTimeout);
        });
        EXPECT_LT(took, std::chrono::seconds(2));
        EXPECT_FALSE(s.ftp.Connected());
        const Strings& events = s.events.events;
        EXPECT_EQ(std::count(events.begin(), events.end(), "OnDisconnected"), 1);
        if (!closed) {
            EXPECT_EQ(Strings(events.end() - std::min<std::size_t>(events.size(), 3), events.end()),
                      (Strings{"Disconnecting.", "OnDisconnected", "Disconnected."}));
        }
    }
}

// The server stops sending mid-download, or never reads an upload. Either the time-out ends the
// transfer and the closing reply that follows is read as this command's, or an abort request
// from another thread ends it with ABOR.
TEST(HostileServer, AStalledTransferEndsByTimeOutOrAbortAndTheSessionStaysInStep) {
    for (const bool abortRequested : {false, true}) {
        for (const bool download : {true, false}) {
            SCOPED_TRACE(std::string(download ? "download" : "upload") + (abortRequested ? ", aborted" : ""));
            ScriptedPeer data;
            download ? data.Send("partial") : data.Pause(800);
            data.Start();
            ScriptedSession s(abortRequested ? 5000 : ShortTimeoutMs);
            s.control.Reply(PassiveReply(data.Port())).Reply("150 go\r\n");
            if (abortRequested) s.control.Reply("426 Transfer aborted\r\n226 ABOR done\r\n");
            else s.control.Send("426 Connection closed\r\n");
            s.control.Reply("257 \"/\"\r\n");
            s.Start();
            TIdStringStream stream;
            // Enough to fill the socket buffers of a server that never reads.
            if (!download) stream.SetSize(64 << 20);
            TIdAbortSignal signal;
            s.ftp.AbortSignal = &signal;
            const std::jthread requester = AbortAfter(signal, abortRequested ? 200 : -1);
            EXPECT_LT(Timed([&] {
                          try {
                              download ? s.ftp.Get("x", stream) : s.ftp.Put(stream, "x");
                              ADD_FAILURE() << "a stalled transfer completed";
                          } catch (const EIdReadTimeout&) {
                              EXPECT_FALSE(abortRequested);
                          } catch (const EIdException&) {
                              EXPECT_TRUE(abortRequested);
                          }
                      }), std::chrono::seconds(2));
            EXPECT_TRUE(!download || stream.Bytes() == "partial");
            EXPECT_EQ(s.ftp.DataChannel(), nullptr);
            EXPECT_EQ(s.ftp.CurrentDirectory(), "/");
            EXPECT_EQ(s.Finish()[6] == "ABOR", abortRequested);
        }
    }
}

// PASV names a port nobody answers, PORT is accepted but nobody connects, PORT is refused, a
// listing would be twice the limit (the engine stops reading at the limit). Some servers answer
// a STOR only once the data connection is made, so an upload connects before it reads the
// reply; a refusal there is the command's last reply, not one more due.
TEST(HostileServer, DataConnectionsThatCannotBeSetUpAndListingsOverTheLimitFailTheTransferOnly) {
    UnreachableLoopbackPort unreachable;
    std::string listing;
    while (listing.size() < (16 << 20)) listing += "-rw-r--r--   1 user     group        1234 Dec 07 09:51 endless.txt\r\n";
    ScriptedPeer data, refusedUpload;
    data.Send(listing);
    refusedUpload.Pause(500).Close();
    for (ScriptedPeer* peer : {&data, &refusedUpload}) peer->Start();
    ScriptedSession s(ShortTimeoutMs);
    s.control.Reply(PassiveReply(unreachable.port)).Reply("200 PORT ok\r\n")
        .Reply("150 go\r\n425 No data connection\r\n").Reply("500 PORT not allowed\r\n")
        .Reply(PassiveReply(data.Port())).Reply("150 here it comes\r\n")
        .Send("426 Connection closed; transfer aborted.\r\n").Reply(PassiveReply(refusedUpload.Port()))
        .Reply("550 Permission denied.\r\n").Reply("257 \"/\"\r\n");
    s.Start();
    TIdStringStream stream;
    for (const bool passive : {true, false}) {
        s.ftp.Passive = passive;
        EXPECT_LT(Timed([&] { EXPECT_THROW(s.ftp.Get("x", stream), EIdConnectTimeout); }), std::chrono::seconds(2));
    }
    EXPECT_THROW(s.ftp.List(nullptr), EIdProtocolReplyError);
    s.ftp.Passive = true;
    s.ftp.MaxListingBytes = 8 << 20;
    EXPECT_THROW(s.ftp.List(nullptr), EIdListingTooLarge);
    EXPECT_TRUE(s.ftp.ListLines.empty());
    EXPECT_THROW(s.ftp.Put(stream, "x"), EIdProtocolReplyError);
    EXPECT_EQ(s.ftp.DataChannel(), nullptr);
    EXPECT_EQ(s.ftp.CurrentDirectory(), "/");
}

// The address in a PASV reply is not trusted: data comes from the control connection's host.
// A 426 with its 226, or a reply outside the expected ones, fails the transfer only.
TEST(HostileServer, ClosingRepliesAndPassiveAddressesKeepTheSessionInStep) {
    struct Case {
        std::string pasvReply, afterRetr;
        bool fails;
        std::string received;
    };
    for (const Case& c : std::vector<Case>{
             {"227 Entering Passive Mode 10,0,0,1,%\r\n", "150 here it comes\r\n226 done\r\n", false, "hello"},
             {"227 Entering Passive Mode (127,0,0,1,%)\r\n", "150 go\r\n426 Closed.\r\n226 Aborted\r\n", true, "hello"},
             {"227 Entering Passive Mode (127,0,0,1,%)\r\n", "200 that is odd\r\n", true, ""}}) {
        SCOPED_TRACE(c.afterRetr);
        DataPeer data("hello");
        std::string pasvReply = c.pasvReply;
        pasvReply.replace(pasvReply.find('%'), 1, PortFields(data.Port()));
        ScriptedSession s;
        s.control.Reply(pasvReply).Reply(c.afterRetr).Reply("257 \"/\"\r\n");
        s.Start();
        TIdStringStream stream;
        if (c.fails) EXPECT_THROW(s.ftp.Get("x", stream), EIdException);
        else s.ftp.Get("x", stream);
        EXPECT_EQ(stream.Bytes(), c.received);
        EXPECT_EQ(s.ftp.CurrentDirectory(), "/");
        EXPECT_EQ(s.Finish(), (Strings{"USER ", "TYPE I", "FEAT", "SYST", "PASV", "RETR x", "PWD"}));
    }
}

// A path without quotes or with doubled ones, sizes with words or beyond 32 bits, a refused
// SIZE, REST refused (probed once).
TEST(HostileServer, RepliesThatRealServersRarelySend) {
    ScriptedSession s;
    s.control.Reply("257 no quotes here\r\n").Reply("257 \"/a\"\"b\" doubled\r\n").Reply("213 1024 bytes\r\n")
        .Reply("213 size: 1024\r\n").Reply("213 6442450944\r\n").Reply("550 no\r\n")
        .Reply("502 REST not implemented\r\n").Reply("502 REST not implemented\r\n");
    s.Start();
    EXPECT_EQ(s.ftp.CurrentDirectory(), "");
    EXPECT_EQ(s.ftp.CurrentDirectory(), "/a");
    EXPECT_EQ(s.ftp.FileSize("x"), -1);
    EXPECT_EQ(s.ftp.FileSize("x"), 1024);
    EXPECT_EQ(s.ftp.FileSize("big"), 6442450944);
    EXPECT_EQ(s.ftp.FileSize("x"), -1);
    EXPECT_FALSE(s.ftp.ResumeSupported());
    EXPECT_FALSE(s.ftp.ResumeSupported());
    EXPECT_EQ(s.Finish().back(), "REST 0");
}

// A greeting that never ends, in short or long lines, is cut; one of a thousand lines is read.
TEST(HostileServer, AnEndlessMultiLineReplyIsCutAndTheConnectionDropped) {
    for (const std::string& line : {std::string("220-x\r\n"), "220-" + std::string(2000, 'y') + "\r\n", std::string()}) {
        std::string greeting;
        for (int i = 0; i < (line.empty() ? 990 : 5000); ++i) greeting += line.empty() ? "220-line\r\n" : line;
        ScriptedPeer server;
        server.Send(greeting + "220 last\r\n").Reply("230 ok\r\n").Reply("200 ok\r\n").Reply("500 no FEAT\r\n");
        server.Reply("215 UNIX\r\n").Start();
        TIdFTP ftp;
        AimAtServer(ftp, "127.0.0.1", server.Port());
        if (line.empty()) {
            ftp.Connect(true, 5000);
            EXPECT_EQ(ftp.WelcomeReply.Text.size(), 991u);
        } else {
            EXPECT_THROW(ftp.Connect(true, 5000), EIdReplyTooLong);
        }
        EXPECT_EQ(ftp.Connected(), line.empty());
    }
}

// The stranger connects from 127.0.0.2, the server's own connection from 127.0.0.1.
TEST(HostileServer, ActiveModeTakesDataOnlyFromTheServersAddress) {
    ScriptedSession s(ShortTimeoutMs);
    s.ftp.Passive = false;
    s.control.Reply("200 PORT ok\r\n").Reply("150 go\r\n").Send("226 done\r\n");
    s.Start();
    // The PORT command names the listener; both peers connect once it has gone out.
    std::thread peers;
    TcpSocket stranger, server;
    s.sent.onLine = [&](const std::string& line) {
        if (line.rfind("PORT ", 0) != 0) return;
        const size_t last = line.rfind(','), before = line.rfind(',', last - 1);
        const int port = std::stoi(line.substr(before + 1)) * 256 + std::stoi(line.substr(last + 1));
        peers = std::thread([&, port] {
            size_t sent = 0;
            stranger.Open();
            ASSERT_EQ(stranger.Bind("127.0.0.2", 0), 0);
            ASSERT_EQ(stranger.Connect("127.0.0.1", static_cast<uint16_t>(port)), 0);
            stranger.Send("injected", 8, sent);
            server.Open();
            ASSERT_EQ(server.Connect("127.0.0.1", static_cast<uint16_t>(port)), 0);
            server.Send("genuine", 7, sent);
            server.Close();
        });
    };
    TIdStringStream stream;
    s.ftp.Get("x", stream);
    peers.join();
    EXPECT_EQ(stream.Bytes(), "genuine");
}

// Refused, or never completed: the wait ends at its time-out, no disconnect is reported for a
// connection that never was. A refusing greeting, or an account the engine has none of, fails
// the connect with the server's reply. The same object connects afterwards.
TEST(HostileServer, AFailedConnectOrLoginLeavesNothingOpenAndTheObjectConnectsAfterwards) {
    ScriptedSession s;
    UnreachableLoopbackPort unreachable;
    s.ftp.Port = ClosedLoopbackPort();
    EXPECT_THROW(s.ftp.Connect(true, 600), EIdException);
    s.ftp.Port = unreachable.port;
    const auto took = Timed([&] { EXPECT_THROW(s.ftp.Connect(true, 600), EIdConnectTimeout); });
    EXPECT_GE(took, std::chrono::milliseconds(550));
    EXPECT_LT(took, std::chrono::milliseconds(3000));
    EXPECT_FALSE(s.ftp.Connected());
    EXPECT_EQ(std::count(s.events.events.begin(), s.events.events.end(), "Disconnected."), 0);
    for (const int code : {421, 332}) {
        ScriptedPeer peer;
        peer.Send(code == 421 ? "421 Too many users\r\n" : "220 hi\r\n");
        if (code == 332) peer.Reply("332 Need account\r\n");
        peer.Start();
        s.ftp.Port = peer.Port();
        const auto refused = Caught<EIdProtocolReplyError>([&] { s.ftp.Connect(true, 5000); });
        EXPECT_TRUE(refused && refused->ReplyErrorCode() == code) << code;
        EXPECT_FALSE(s.ftp.Connected());
    }
    s.Start();
    EXPECT_TRUE(s.ftp.Connected());
}
