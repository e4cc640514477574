// Type A transfers: text with CR LF on the wire and LF in files here, against a real server
// that converts on its side too, and against a scripted peer for what no real server shows.
#include "EngineSessions.h"
#include "ftp/IdException.h"

#include <gtest/gtest.h>

// In type A a file is text: it arrives on a Unix server with LF and comes back with LF, a lone
// CR being a character; a server's CR LF file comes as LF. Work counts bytes of the local file
// both ways. Switched back to type I, the same files move byte for byte. (Line ends cut between
// reads are the scripted test's below.)
TEST(FtpAscii, TextTakesEachSidesLineEndsAndBinaryStaysByteExact) {
    ServerSession s;
    int64_t announced = -1, counted = -1;
    s.ftp.OnWorkBegin = [&](TIdComponent*, TWorkMode, int64_t max) { announced = max; };
    s.ftp.OnWork = [&](TIdComponent*, TWorkMode, int64_t count) { counted = count; };
    const std::string text = "one\ntwo\r\nthree\rmore\n", unixText = "one\ntwo\nthree\rmore\n";
    TempDir::WriteFile(s.local.File("notes.txt"), text);

    s.ftp.SetTransferType(ftASCII);
    s.ftp.Put(s.local.File("notes.txt"), "notes.txt");
    EXPECT_EQ(TempDir::ReadFile(s.server.File("notes.txt")), unixText);
    EXPECT_EQ(announced, int64_t(text.size()));
    EXPECT_EQ(counted, int64_t(text.size()));
    s.ftp.Get("notes.txt", s.local.File("back.txt"), true);
    EXPECT_EQ(TempDir::ReadFile(s.local.File("back.txt")), unixText);
    EXPECT_EQ(counted, int64_t(unixText.size()));

    TempDir::WriteFile(s.local.File("tail.txt"), "tail 1\ntail 2\r\n");
    s.ftp.Put(s.local.File("tail.txt"), "notes.txt", true);
    EXPECT_EQ(TempDir::ReadFile(s.server.File("notes.txt")), unixText + "tail 1\ntail 2\n");
    TempDir::WriteFile(s.server.File("dos.txt"), "one\r\ntwo\r\n");

    s.ftp.SetTransferType(ftBinary);
    s.ftp.Get("dos.txt", s.local.File("dos.txt"), true);
    EXPECT_EQ(TempDir::ReadFile(s.local.File("dos.txt")), "one\r\ntwo\r\n");
    s.ftp.Put(s.local.File("notes.txt"), "exact.txt");
    EXPECT_EQ(TempDir::ReadFile(s.server.File("exact.txt")), text);
}

// On the wire a text upload's lines end in CR LF (one that already did is not doubled). A
// resume asks for the rest from the local file's length. A CR LF split between two segments of
// the data is one LF; a CR that ends the data stays when the server confirms them complete and
// is left out when it reports them cut short, so that a resume from there fetches that line end
// whole.
TEST(FtpAsciiWire, CrLfOnTheWireResumeFromTheLocalLengthAndAFinalCrOnlyInCompleteData) {
    ScriptedPeer upload, complete, cut;
    complete.Send("c\r").Pause(100).Send("\nd\r").Close();
    cut.Send("e\r").Close();
    for (ScriptedPeer* data : {&upload, &complete, &cut}) data->Start();
    ScriptedSession s;
    s.control.Reply("200 Type set to A\r\n").Reply(PassiveReply(upload.Port())).Reply("150 go ahead\r\n226 stored\r\n")
        .Reply("350 ok\r\n").Reply("350 ok\r\n").Reply(PassiveReply(complete.Port())).Reply("350 Restarting at 4\r\n")
        .Reply("150 here it comes\r\n226 done\r\n").Reply(PassiveReply(cut.Port()))
        .Reply("150 here it comes\r\n426 Connection closed; transfer aborted.\r\n").Reply("257 \"/\"\r\n");
    s.Start();
    TempDir local;
    TempDir::WriteFile(local.File("up.txt"), "a\nb\r\nc\rd\n");
    TempDir::WriteFile(local.File("resumed.txt"), "a\nb\n");
    s.ftp.SetTransferType(ftASCII);
    s.ftp.Put(local.File("up.txt"), "up.txt");
    upload.Wait();
    EXPECT_EQ(upload.Received(), "a\r\nb\r\nc\rd\r\n");
    s.ftp.Get("x", local.File("resumed.txt"), false, true);
    EXPECT_EQ(TempDir::ReadFile(local.File("resumed.txt")), "a\nb\nc\nd\r");
    EXPECT_THROW(s.ftp.Get("y", local.File("cut.txt"), true), EIdTransferAborted);
    EXPECT_EQ(TempDir::ReadFile(local.File("cut.txt")), "e");
    EXPECT_EQ(s.ftp.CurrentDirectory(), "/");
    EXPECT_EQ(s.Finish(), (Strings{"USER ", "TYPE I", "FEAT", "SYST", "TYPE A", "PASV", "STOR up.txt", "REST 1", "REST 0",
                                         "PASV", "REST 4", "RETR x", "PASV", "RETR y", "PWD"}));
}
