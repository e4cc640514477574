#include "EngineSessions.h"
#include "ftp/IdException.h"
#include "ftp/IdFTPList.h"

#include <gtest/gtest.h>

namespace {

TIdFTPListItems MachineListing(const std::string& text)
{
    TIdFTPListItems items;
    items.ListFormat = lfMlsd;
    items.LoadLines(TIdListLines::FromText(text));
    return items;
}

TEST(MachineListing, FactsGiveKindSizeUtcTimeRightsAndIdentity)
{
    const TIdFTPListItems items = MachineListing("type=cdir;modify=20240101000000; /pub\r\n"
        "type=pdir;modify=20240101000000; /\r\n"
        "Type=FILE;Size=1234;Modify=20240229134507;UNIX.mode=0640;Unique=801g3f; report.pdf\r\n"
        "type=dir;sizd=4096;modify=20240229134507.250;perm=flcdmpe; docs\r\n"
        "type=OS.unix=slink:/usr/lib;modify=20240229134507; lib\r\n"
        "type=file;size=18446744073709551615;perm=r; huge\r\n");
    ASSERT_EQ(items.Count(), 4u);
    EXPECT_EQ(items.SkippedCount(), 0u);

    const TIdFTPListItem& file = items.Item(0);
    EXPECT_EQ(file.Name(), "report.pdf");
    EXPECT_TRUE(file.Kind == ikFile && file.Size == 1234 && file.SizeKnown);
    EXPECT_TRUE(file.ModifiedUtc && file.Precision == tpSecond);
    EXPECT_EQ(UnixTimeOfUtc(file.Modified), LeapDayAfternoon);
    EXPECT_EQ(Rights(file), "rw-r-----");
    EXPECT_EQ(file.Unique(), "801g3f");

    const TIdFTPListItem& folder = items.Item(1);
    EXPECT_EQ(folder.Kind, ikDirectory);
    EXPECT_EQ(UnixTimeOfUtc(folder.Modified), LeapDayAfternoon);
    EXPECT_EQ(DecodeDateTime(folder.Modified).millisecond, 250);
    // perm alone tells the user's rights, nothing of group and others.
    EXPECT_EQ(Rights(folder), "rwx??????");

    EXPECT_EQ(items.Item(2).Kind, ikSymLink);
    EXPECT_EQ(items.Item(2).LinkTarget(), "/usr/lib");
    EXPECT_EQ(items.Item(3).Size, INT64_MAX);
    EXPECT_EQ(items.Item(3).OwnerRights(), "r--");
}

// The name is everything after the first blank, as bytes: blanks, semicolons, equals signs and
// bytes of other encodings included.
TEST(MachineListing, NamesAreTheBytesAfterTheFirstBlank)
{
    const TIdFTPListItems items = MachineListing("type=file;size=1; two  blanks \r\n"
                                                 "type=file;size=1; a;b=c d\r\n"
                                                 "type=file;size=1; \x93\xfa\x96\x7b\x8c\xea.txt\r\n"
                                                 "type=file;size=1; \xe6\x97\xa5\xe6\x9c\xac.txt\r\n"
                                                 " bare name\r\n");
    EXPECT_EQ(ItemNames(items), (std::vector<std::string>{"two  blanks ", "a;b=c d", "\x93\xfa\x96\x7b\x8c\xea.txt",
                                                         "\xe6\x97\xa5\xe6\x9c\xac.txt", "bare name"}));
}

// Missing or malformed facts leave that fact unknown and keep the entry; a line without a
// name is skipped and reported.
TEST(MachineListing, OddAndMissingFactsLeaveThemUnknown)
{
    const TIdFTPListItems items = MachineListing("type=file; nofacts\r\n"
                                                 "size=12a;modify=2024022913450;unix.mode=9; badvalues\r\n"
                                                 "modify=20240231000000;x.y;=;size=-5;; impossible day\r\n"
                                                 "type=dir;unique=1;\r\n"
                                                 "type=file;size=3;\r\n");
    ASSERT_EQ(items.Count(), 3u);
    EXPECT_EQ(items.SkippedCount(), 2u);
    for (const TIdFTPListItem& item : items) {
        SCOPED_TRACE(std::string(item.Name()));
        EXPECT_EQ(item.Kind, ikFile);
        EXPECT_FALSE(item.SizeKnown);
        EXPECT_EQ(item.Precision, tpUnknown);
        EXPECT_EQ(item.OwnerRights(), "???");
    }
    EXPECT_EQ(items.Item(2).Name(), "impossible day");
}

// A FEAT that promises more than the server does: a refused OPTS UTF8 settles nothing; a
// refused MLSD is listed by LIST, and the rest of the connection asks no MLSD again; a refused
// or unreadable MLST falls back to MDTM, and an MDTM, MFMT or SIZE that answers nonsense or
// refuses gives no time, no change and no size. The session stays in step throughout.
TEST(MachineListing, FeaturesTheServerDoesNotHonourGiveNoFalseResults)
{
    DataPeer refused(""), first("-rw-r--r-- 1 u g 5 Mar  3 15:13 a.txt\r\n"),
        second("-rw-r--r-- 1 u g 7 Mar  3 15:13 b.txt\r\n");
    ScriptedPeer control;
    control.Send("220 hi\r\n").Reply("230 ok\r\n").Reply("200 type\r\n")
        .Reply("211-Features:\r\n UTF8\r\n MLST type*;size*;modify*;\r\n MDTM\r\n MFMT\r\n SIZE\r\n211 End\r\n")
        .Reply("504 Unknown command\r\n").Reply("215 UNIX\r\n").Reply(PassiveReply(refused.Port()))
        .Reply("500 MLSD not understood\r\n").Reply(PassiveReply(first.Port())).Reply("150 here\r\n226 done\r\n")
        .Reply(PassiveReply(second.Port())).Reply("150 here\r\n226 done\r\n").Reply("500 Unknown command\r\n")
        .Reply("213 20240229134507\r\n").Reply("250-Begin\r\n type=file;modify=2024; b.txt\r\n250 End\r\n")
        .Reply("213 not a time\r\n").Reply("502 Command not implemented\r\n").Reply("213 many\r\n")
        .Reply("257 \"/\"\r\n").Start();
    TIdFTP ftp;
    ftp.Host = "127.0.0.1";
    ftp.Port = control.Port();
    ftp.Passive = true;
    ftp.Connect(true, 5000);
    EXPECT_FALSE(ftp.NameCodec.Settled());
    EXPECT_TRUE(ftp.ListsByMlsd());
    ftp.ListDirectory("");
    EXPECT_EQ(ItemNames(ftp.ParsedListing()), Strings{"a.txt"});
    EXPECT_FALSE(ftp.ListsByMlsd());
    ftp.ListDirectory("");
    EXPECT_EQ(ItemNames(ftp.ParsedListing()), Strings{"b.txt"});
    EXPECT_EQ(ftp.ModificationTime("a.txt"), LeapDayAfternoon);
    EXPECT_EQ(ftp.ModificationTime("b.txt"), std::nullopt);
    EXPECT_FALSE(ftp.SetModificationTime("c.txt", LeapDayAfternoon));
    EXPECT_EQ(ftp.FileSize("c.txt"), -1);
    EXPECT_EQ(ftp.CurrentDirectory(), "/");
    ftp.Disconnect();
    control.Wait();
    EXPECT_EQ(control.Lines(), (Strings{"USER ", "TYPE I", "FEAT", "OPTS UTF8 ON", "SYST", "PASV", "MLSD", "PASV",
                                        "LIST", "PASV", "LIST", "MLST a.txt", "MDTM a.txt", "MLST b.txt", "MDTM b.txt",
                                        "MFMT 20240229134507 c.txt", "SIZE c.txt", "PWD"}));
}
}  // namespace
