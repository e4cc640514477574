// Against Pure-FTPd, whose local time is far from UTC: listings by MLSD with exact UTC times,
// single entries by MLST, times set by MFMT, and transfers checked by size (it offers no digest).
#include "EngineSessions.h"
#include "fixtures/FileTimes.h"
#include "fixtures/PureFtpdServer.h"
#include "fixtures/RandomBytes.h"
#include "platform/DateTime.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {

using PureFtpdSession = SessionOn<PureFtpdServer>;

}  // namespace

// MLSD lists each entry with its time in UTC to the second, names with blanks and UTF-8 bytes
// exact; MLST (and MDTM, without MLSD) read a single file's time the same. Without MLSD the
// listing comes by LIST.
TEST(PureFtpd, ExactUtcTimesBothWaysAndTransfersCheckedBySize) {
    PureFtpdSession s;
    const std::string name = "東京 データ.txt";
    TempDir::WriteFile(s.server.File(name), "hello");
    SetModified(s.server.File(name), LeapDayAfternoon);
    std::filesystem::create_directory(s.server.File("sub dir"));

    s.ftp.ListDirectory("");
    EXPECT_TRUE(s.sent.Sent("MLSD"));
    EXPECT_FALSE(s.sent.Sent("OPTS MLST"));  // it sends the mode unasked
    ASSERT_EQ(s.ftp.ParsedListing().Count(), 2u);
    const TIdFTPListItem* file = FindItem(s.ftp.ParsedListing(), name);
    ASSERT_NE(file, nullptr);
    EXPECT_TRUE(file->Kind == ikFile && file->Size == 5 && file->Precision == tpSecond && file->ModifiedUtc);
    EXPECT_EQ(UnixTimeOfUtc(file->Modified), LeapDayAfternoon);
    const TIdFTPListItem* folder = FindItem(s.ftp.ParsedListing(), "sub dir");
    EXPECT_TRUE(folder && folder->Kind == ikDirectory);

    EXPECT_EQ(s.ftp.ModificationTime(name), LeapDayAfternoon);
    EXPECT_TRUE(s.sent.Sent("MLST " + name));
    s.ftp.UseMLSD = false;
    EXPECT_EQ(s.ftp.ModificationTime(name), LeapDayAfternoon);
    EXPECT_TRUE(s.sent.Sent("MDTM " + name));
    EXPECT_EQ(s.ftp.ModificationTime("missing.txt"), std::nullopt);
    s.ftp.ListDirectory("");
    EXPECT_EQ(s.sent.Count("MLSD"), 1u);
    EXPECT_TRUE(s.sent.Sent("LIST"));

    // An upload is checked by the size the server reports and gets its time by MFMT; a resumed
    // download is checked by the whole file's size too. No digest command is ever sent to a
    // server that did not offer one.
    const std::string bytes = RandomBytes(300000, 11);
    TempDir::WriteFile(s.local.File("up.bin"), bytes);
    s.ftp.Put(s.local.File("up.bin"), "up.bin");
    EXPECT_EQ(TempDir::ReadFile(s.server.File("up.bin")), bytes);
    EXPECT_EQ(s.ftp.LastVerification.Kind, vkSizeMatched) << s.ftp.LastVerification.Reason;
    EXPECT_EQ(s.ftp.LastVerification.Actual, "300000");

    ASSERT_TRUE(s.ftp.SetModificationTime("up.bin", LeapDayAfternoon));
    EXPECT_TRUE(s.sent.Sent("MFMT 20240229134507 up.bin"));
    EXPECT_EQ(Modified(s.server.File("up.bin")), LeapDayAfternoon);

    TempDir::WriteFile(s.local.File("part.bin"), bytes.substr(0, 1234));
    s.ftp.Get("up.bin", s.local.File("part.bin"), false, true);
    EXPECT_TRUE(s.sent.Sent("REST 1234"));
    EXPECT_EQ(TempDir::ReadFile(s.local.File("part.bin")), bytes);
    EXPECT_EQ(s.ftp.LastVerification.Kind, vkSizeMatched);
    EXPECT_EQ(s.ftp.LastVerification.Actual, "300000");

    for (const char* command : {"HASH", "OPTS HASH", "XSHA", "XMD5", "XCRC", "RANG"})
        EXPECT_FALSE(s.sent.Sent(command)) << command;
}
