// How a connection learns its servers' name encoding: from FEAT and OPTS UTF8 ON, and from each
// listing's names; a profile's choice stands over both.
#include "EngineSessions.h"
#include "fixtures/VsftpdServer.h"

#include <gtest/gtest.h>

TEST(NameEncodingSession, Utf8AnnouncedAndAcceptedSettlesTheEncodingUntilTheNamesSayOtherwise) {
    VsftpdServer server(VsftpdServer::TAccess::ReadOnly, "utf8_filesystem=YES\n");
    TempDir::WriteFile(server.File("\x93\x8C\x8B\x9E.txt"), "");  // Shift_JIS, all the same
    TIdFTP ftp;
    SentCommands sent;
    sent.Attach(ftp);
    LogInAnonymously(ftp, server);
    EXPECT_TRUE(ftp.Supports("utf8"));
    EXPECT_TRUE(sent.Sent("OPTS UTF8 ON"));
    EXPECT_TRUE(ftp.NameCodec.Settled());
    EXPECT_EQ(ftp.NameCodec.Current(), TNameEncoding::Utf8);
    ftp.List(nullptr);
    ftp.ParsedListing();
    EXPECT_EQ(ftp.NameCodec.Current(), TNameEncoding::ShiftJis);

    // A reconnect starts afresh; a profile's choice sends no OPTS and is never overruled.
    ftp.Quit();
    sent.lines.clear();
    ftp.NameCodec.SetChoice(TNameEncoding::EucJp);
    LogInAnonymously(ftp, server);
    EXPECT_FALSE(sent.Sent("OPTS"));
    ftp.List(nullptr);
    ftp.ParsedListing();
    EXPECT_EQ(ftp.NameCodec.Current(), TNameEncoding::EucJp);
}
