// Against Pure-FTPd, whose local time is far from UTC: listings by MLSD with exact UTC times,
// single entries by MLST, times set by MFMT, and transfers checked by size (it offers no digest).
#include "EngineSessions.h"
#include "fixtures/PureFtpdServer.h"
#include "fixtures/RandomBytes.h"
#include "platform/DateTime.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/time.h>

namespace {

// Seconds since the epoch of 2024-02-29 13:45:07 UTC.
constexpr std::int64_t LeapDayAfternoon = 1709214307;

using PureFtpdSession = SessionOn<PureFtpdServer>;

void SetFileTime(const std::string& path, std::int64_t unixTime) {
    const timeval times[2] = {{static_cast<time_t>(unixTime), 0}, {static_cast<time_t>(unixTime), 0}};
    ASSERT_EQ(utimes(path.c_str(), times), 0) << path;
}

std::int64_t FileTime(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(stat(path.c_str(), &info), 0) << path;
    return info.st_mtime;
}

}  // namespace

// MLSD lists each entry with its time in UTC to the second, names with blanks and UTF-8 bytes
// exact; MLST (and MDTM, without MLSD) read a single file's time the same. Without MLSD the
// listing comes by LIST.
TEST(PureFtpd, ListingsAndSingleEntriesGiveExactUtcTimes) {
    PureFtpdSession s;
    const std::string name = "東京 データ.txt";
    TempDir::WriteFile(s.server.File(name), "hello");
    SetFileTime(s.server.File(name), LeapDayAfternoon);
    ASSERT_EQ(mkdir(s.server.File("sub dir").c_str(), 0755), 0);

    s.ftp.ListDirectory("");
    EXPECT_TRUE(s.sent.Sent("MLSD"));
    EXPECT_FALSE(s.sent.Sent("OPTS MLST"));  // it sends the mode unasked
    ASSERT_EQ(s.ftp.ParsedListing().Count(), 2u);
    const TIdFTPListItem* file = FindItem(s.ftp.ParsedListing(), name);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->Kind, ikFile);
    EXPECT_EQ(file->Size, 5);
    EXPECT_EQ(UnixTimeOfUtc(file->Modified), LeapDayAfternoon);
    EXPECT_EQ(file->Precision, tpSecond);
    EXPECT_TRUE(file->ModifiedUtc);
    ASSERT_NE(FindItem(s.ftp.ParsedListing(), "sub dir"), nullptr);
    EXPECT_EQ(FindItem(s.ftp.ParsedListing(), "sub dir")->Kind, ikDirectory);

    EXPECT_EQ(s.ftp.ModificationTime(name), LeapDayAfternoon);
    EXPECT_TRUE(s.sent.Sent("MLST " + name));
    s.ftp.UseMLSD = false;
    EXPECT_EQ(s.ftp.ModificationTime(name), LeapDayAfternoon);
    EXPECT_TRUE(s.sent.Sent("MDTM " + name));
    EXPECT_EQ(s.ftp.ModificationTime("missing.txt"), std::nullopt);
    s.ftp.ListDirectory("");
    EXPECT_EQ(s.sent.Count("MLSD"), 1u);
    EXPECT_TRUE(s.sent.Sent("LIST"));
}

// An upload is checked by the size the server reports and gets its time by MFMT, which the
// server's file, MLST and the next listing all show; a download and a resumed one are checked
// by size too. No digest command is ever sent to a server that did not offer one.
TEST(PureFtpd, TransfersAreCheckedBySizeAndTimesSurviveBothWays) {
    PureFtpdSession s;
    const std::string bytes = RandomBytes(300000, 11);
    TempDir::WriteFile(s.local.File("up.bin"), bytes);
    s.ftp.Put(s.local.File("up.bin"), "up.bin");
    EXPECT_EQ(TempDir::ReadFile(s.server.File("up.bin")), bytes);
    EXPECT_EQ(s.ftp.LastVerification.Kind, vkSizeMatched) << s.ftp.LastVerification.Reason;
    EXPECT_EQ(s.ftp.LastVerification.Actual, "300000");

    ASSERT_TRUE(s.ftp.SetModificationTime("up.bin", LeapDayAfternoon));
    EXPECT_TRUE(s.sent.Sent("MFMT 20240229134507 up.bin"));
    EXPECT_EQ(FileTime(s.server.File("up.bin")), LeapDayAfternoon);
    EXPECT_EQ(s.ftp.ModificationTime("up.bin"), LeapDayAfternoon);
    s.ftp.ListDirectory("");
    ASSERT_EQ(s.ftp.ParsedListing().Count(), 1u);
    EXPECT_EQ(UnixTimeOfUtc(s.ftp.ParsedListing().Item(0).Modified), LeapDayAfternoon);

    s.ftp.Get("up.bin", s.local.File("down.bin"), true);
    EXPECT_EQ(TempDir::ReadFile(s.local.File("down.bin")), bytes);
    EXPECT_EQ(s.ftp.LastVerification.Kind, vkSizeMatched);
    TempDir::WriteFile(s.local.File("part.bin"), bytes.substr(0, 1234));
    s.ftp.Get("up.bin", s.local.File("part.bin"), false, true);
    EXPECT_TRUE(s.sent.Sent("REST 1234"));
    EXPECT_EQ(TempDir::ReadFile(s.local.File("part.bin")), bytes);
    EXPECT_EQ(s.ftp.LastVerification.Kind, vkSizeMatched);
    EXPECT_EQ(s.ftp.LastVerification.Actual, "300000");

    for (const char* command : {"HASH", "OPTS HASH", "XSHA", "XMD5", "XCRC", "RANG"})
        EXPECT_FALSE(s.sent.Sent(command)) << command;
}
