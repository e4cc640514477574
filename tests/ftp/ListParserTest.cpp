#include "ftp/IdFTPList.h"

#include <gtest/gtest.h>

namespace {

const TDateParts June2026{2026, 6, 15, 10, 0, 0, 0};
const TDateParts January2026{2026, 1, 20, 10, 0, 0, 0};

TDateTime At(int y, int mo, int d, int h, int mi, int s, int ms)
{
    return EncodeDate(y, mo, d) + EncodeTime(h, mi, s, ms);
}

TIdFTPListItems Parse(const std::vector<std::string>& lines, const TDateParts& today = June2026)
{
    TIdFTPListItems items;
    items.ListFormat = DetectListFormat(lines.front(), true);
    items.LoadLines(lines, today);
    return items;
}

TEST(ListFormat, DetectedFromTheFirstLine)
{
    EXPECT_EQ(DetectListFormat("drwxr-xr-x 2 user group 4096 Jan 14 12:34 docs", true), lfUnix);
    EXPECT_EQ(DetectListFormat("lrwxrwxrwx 1 u g 7 Jan 1 2003 lib -> usr/lib", true), lfUnix);
    EXPECT_EQ(DetectListFormat("total 12", true), lfUnix);
    EXPECT_EQ(DetectListFormat("TOTAL 12", true), lfUnix);
    EXPECT_EQ(DetectListFormat("some DSK: volume", true), lfDsk);
    EXPECT_EQ(DetectListFormat("01-17-04  03:37PM       <DIR>          pub", true), lfDos);
    EXPECT_EQ(DetectListFormat("01-17-04  03:37PM                1,234 a.txt", true), lfDos);
    EXPECT_EQ(DetectListFormat("01-17-04  03:37PM    123456789012345 a.txt", true), lfUnknown);
    EXPECT_EQ(DetectListFormat("01-17-04  03:37PM                   -1 a.txt", true), lfUnknown);
    EXPECT_EQ(DetectListFormat("hello world", true), lfUnknown);
    EXPECT_EQ(DetectListFormat("drwx", true), lfUnknown);
    EXPECT_EQ(DetectListFormat("", true), lfUnknown);
    EXPECT_EQ(DetectListFormat("anything", false), lfNamesOnly);
}

TEST(UnixListing, TotalLineIsSkippedAndDirectoryParsed)
{
    const auto items = Parse({"total 12", "drwxr-xr-x    2 user group 4096 Jan 14 12:34 docs"});
    ASSERT_EQ(items.Count(), 1u);
    const auto& docs = items.Item(0);
    EXPECT_EQ(docs.Kind, ikDirectory);
    EXPECT_EQ(docs.LinkCount, 2);
    EXPECT_EQ(docs.Owner, "user");
    EXPECT_EQ(docs.Group, "group");
    EXPECT_EQ(docs.Size, 4096);
    EXPECT_EQ(docs.OwnerRights, "rwx");
    EXPECT_EQ(docs.GroupRights, "r-x");
    EXPECT_EQ(docs.OtherRights, "r-x");
    EXPECT_EQ(docs.Name, "docs");
    EXPECT_DOUBLE_EQ(docs.Modified, At(2026, 1, 14, 12, 34, 0, 999));
}

TEST(UnixListing, YearRuleComparesMonthsOnly)
{
    const std::string december = "drwxr-xr-x 2 user group 4096 Dec 14 12:34 docs";
    EXPECT_DOUBLE_EQ(Parse({december}, January2026).Item(0).Modified, At(2025, 12, 14, 12, 34, 0, 999));
    EXPECT_DOUBLE_EQ(Parse({december}, TDateParts{2026, 12, 1}).Item(0).Modified, At(2026, 12, 14, 12, 34, 0, 999));
    const std::string january = "drwxr-xr-x 2 user group 4096 Jan 14 12:34 docs";
    EXPECT_DOUBLE_EQ(Parse({january}, January2026).Item(0).Modified, At(2026, 1, 14, 12, 34, 0, 999));
}

TEST(UnixListing, NoGroupColumnKeepsBlanksInTheName)
{
    const auto items = Parse({"-rw-r--r-- 1 user 1234 Mar 3 2001 a b.txt"});
    const auto& item = items.Item(0);
    EXPECT_EQ(item.Owner, "");
    EXPECT_EQ(item.Group, "user");
    EXPECT_EQ(item.Size, 1234);
    EXPECT_EQ(item.Name, "a b.txt");
    EXPECT_DOUBLE_EQ(item.Modified, At(2001, 3, 3, 0, 0, 0, 999));
    EXPECT_EQ(Parse({"-rw-r--r-- 1 u g 5 Mar 3 2001  spaced "}).Item(0).Name, " spaced ");
}

TEST(UnixListing, LinksAndDevices)
{
    const auto links = Parse({"lrwxrwxrwx 1 root root 7 Jan 1 2003 lib -> usr/lib", "lrwxrwxrwx 1 r r 7 Jan 1 2003 abcdef"});
    EXPECT_EQ(links.Item(0).Kind, ikSymLink);
    EXPECT_EQ(links.Item(0).Name, "lib");
    EXPECT_EQ(links.Item(0).LinkTarget, "usr/lib");
    EXPECT_EQ(links.Item(1).Name, "");
    EXPECT_EQ(links.Item(1).LinkTarget, "def");

    const auto devices = Parse({"crw-rw-rw- 1 root root 1, 3 Jan 1 2003 null"});
    const auto& device = devices.Item(0);
    EXPECT_EQ(device.Size, 0);
    EXPECT_EQ(device.Name, "null");
    EXPECT_EQ(device.Kind, ikFile);
}

TEST(UnixListing, SizesAreSixtyFourBitAndOddColumnsBecomeZero)
{
    const auto items = Parse({"-rw-r--r-- 1 u g 5368709120 Jan 1 2020 big.iso", "-rw-r--r-- x u g 12a Jan 1 2020 odd"});
    EXPECT_EQ(items.Item(0).Size, 5368709120LL);
    EXPECT_EQ(items.Item(1).LinkCount, 0);
    EXPECT_EQ(items.Item(1).Size, 0);
}

TEST(UnixListing, ImpossibleDateStopsTheLoadKeepingEarlierEntries)
{
    TIdFTPListItems items;
    items.ListFormat = lfUnix;
    EXPECT_THROW(items.LoadLines({"-rw-r--r-- 1 u g 1 Jan 1 2020 ok", "-rw-r--r-- 1 u g 1 Apr 31 2020 bad",
                                  "-rw-r--r-- 1 u g 1 Jan 1 2020 never"},
                                 June2026),
                 EConvertError);
    ASSERT_EQ(items.Count(), 2u);
    EXPECT_EQ(items.Item(0).Name, "ok");
    EXPECT_EQ(items.Item(1).RawLine, "-rw-r--r-- 1 u g 1 Apr 31 2020 bad");
    EXPECT_THROW(Parse({"-rw-r--r-- 1 u g 1 Foo 1 2020 x"}), EConvertError);
}

// LIST answers captured from pyftpdlib and vsftpd on 6 December 2026 over the same folder.
void ExpectCapturedFolder(const std::vector<std::string>& lines, const std::string& owner)
{
    const TDateParts december2026{2026, 12, 6, 16, 0, 0, 0};
    const auto items = Parse(lines, december2026);
    ASSERT_EQ(items.Count(), 7u);
    EXPECT_EQ(items.Item(0).Name, "big.iso");
    EXPECT_EQ(items.Item(0).Size, 5368709120LL);
    EXPECT_EQ(items.Item(0).Owner, owner);
    EXPECT_EQ(items.Item(0).Group, owner);
    EXPECT_DOUBLE_EQ(items.Item(0).Modified, At(2026, 12, 6, 15, 55, 0, 999));
    EXPECT_EQ(items.Item(1).Size, 0);
    EXPECT_EQ(items.Item(3).Kind, ikSymLink);
    EXPECT_EQ(items.Item(3).Name, "link");
    EXPECT_EQ(items.Item(3).LinkTarget, "file.txt");
    EXPECT_EQ(items.Item(4).Name, "name with  blanks.bin");
    EXPECT_EQ(items.Item(4).Size, 3000);
    EXPECT_EQ(items.Item(5).Name, "old.txt");
    EXPECT_DOUBLE_EQ(items.Item(5).Modified, At(2019, 3, 3, 0, 0, 0, 999));
    EXPECT_EQ(items.Item(6).Kind, ikDirectory);
    EXPECT_EQ(items.Item(6).Name, "sub dir");
    EXPECT_EQ(items.Item(6).LinkCount, 2);
    EXPECT_EQ(items.Item(6).OtherRights, "r-x");
}

TEST(UnixListing, CapturedServerListings)
{
    ExpectCapturedFolder({"-rw-r--r--   1 root     root     5368709120 Dec 06 15:55 big.iso",
                          "-rw-r--r--   1 root     root            0 Dec 06 15:55 empty",
                          "-rw-r--r--   1 root     root            5 Dec 06 15:55 file.txt",
                          "lrwxrwxrwx   1 root     root            8 Dec 06 15:55 link -> file.txt",
                          "-rw-r--r--   1 root     root         3000 Dec 06 15:55 name with  blanks.bin",
                          "-rw-r--r--   1 root     root            0 Mar 03  2019 old.txt",
                          "drwxr-xr-x   2 root     root         4096 Dec 06 15:55 sub dir"},
                         "root");
    ExpectCapturedFolder({"-rw-r--r--    1 0        0        5368709120 Dec 06 15:55 big.iso",
                          "-rw-r--r--    1 0        0               0 Dec 06 15:55 empty",
                          "-rw-r--r--    1 0        0               5 Dec 06 15:55 file.txt",
                          "lrwxrwxrwx    1 0        0               8 Dec 06 15:55 link -> file.txt",
                          "-rw-r--r--    1 0        0            3000 Dec 06 15:55 name with  blanks.bin",
                          "-rw-r--r--    1 0        0               0 Mar 03  2019 old.txt",
                          "drwxr-xr-x    2 0        0            4096 Dec 06 15:55 sub dir"},
                         "0");
}

TEST(UnixListing, LaterDosLineUsesUnixRules)
{
    TIdFTPListItems items;
    items.ListFormat = DetectListFormat("-rw-r--r-- 1 u g 1 Jan 1 2020 a", true);
    EXPECT_THROW(items.LoadLines({"-rw-r--r-- 1 u g 1 Jan 1 2020 a", "01-17-04  03:37PM       <DIR>          pub"}, June2026),
                 EConvertError);
    EXPECT_EQ(items.Count(), 2u);
}

TEST(DosListing, DirectoryAndFileLines)
{
    const auto items = Parse({"01-17-04  03:37PM       <DIR>          pub",
                              "01-17-04  03:37AM                1,234 a.txt  ",
                              "12-31-99  12:05AM                    7 old name.txt"});
    ASSERT_EQ(items.Count(), 3u);
    EXPECT_EQ(items.Item(0).Kind, ikDirectory);
    EXPECT_EQ(items.Item(0).Name, "pub");
    EXPECT_DOUBLE_EQ(items.Item(0).Modified, At(2004, 1, 17, 15, 37, 0, 0));
    EXPECT_EQ(items.Item(1).Kind, ikFile);
    EXPECT_EQ(items.Item(1).Size, 1234);
    EXPECT_EQ(items.Item(1).Name, "a.txt");
    EXPECT_DOUBLE_EQ(items.Item(1).Modified, At(2004, 1, 17, 3, 37, 0, 0));
    EXPECT_EQ(items.Item(2).Name, "old name.txt");
    EXPECT_DOUBLE_EQ(items.Item(2).Modified, At(1999, 12, 31, 0, 5, 0, 0));
    EXPECT_EQ(items.Item(2).Owner, "????????");
}

TEST(DosListing, DateAndTimeHelpers)
{
    EXPECT_DOUBLE_EQ(DosDate("01/17/50", June2026), EncodeDate(2050, 1, 17));
    EXPECT_DOUBLE_EQ(DosDate("01/17/51", June2026), EncodeDate(1951, 1, 17));
    EXPECT_DOUBLE_EQ(DosDate("02.29.2024", June2026), EncodeDate(2024, 2, 29));
    EXPECT_THROW(DosDate("02/30/04", June2026), EConvertError);
    EXPECT_DOUBLE_EQ(DosTime("12:00PM"), EncodeTime(12, 0, 0, 0));
    EXPECT_DOUBLE_EQ(DosTime("12:30am"), EncodeTime(0, 30, 0, 0));
    EXPECT_DOUBLE_EQ(DosTime("23:59:58"), EncodeTime(23, 59, 58, 0));
    EXPECT_THROW(DosTime("25:00"), EConvertError);
}

TEST(Listing, UnknownFormatKeepsTheUnparsedFirstEntry)
{
    TIdFTPListItems items;
    EXPECT_THROW(ParseListing({"hello world", "second"}, items), EIdInvalidFTPListingFormat);
    ASSERT_EQ(items.Count(), 1u);
    EXPECT_EQ(items.Item(0).RawLine, "hello world");
    EXPECT_EQ(items.Item(0).Name, "");
    try {
        ParseListing({"???"}, items);
    } catch (const EIdException& e) {
        EXPECT_STREQ(e.what(), "Unknown FTP listing format");
    }
}

TEST(Listing, NamesOnlyNoneAndBlankLines)
{
    TIdFTPListItems items;
    items.ListFormat = lfNamesOnly;
    items.LoadLines({"  a b  ", "", " \t ", "c"}, June2026);
    ASSERT_EQ(items.Count(), 2u);
    EXPECT_EQ(items.Item(0).Name, "a b");
    items.ListFormat = lfNone;
    items.LoadLines({"raw"}, June2026);
    EXPECT_EQ(items.Item(0).Name, "");
    EXPECT_EQ(items.Item(0).RawLine, "raw");
    ParseListing({}, items);
    EXPECT_EQ(items.Count(), 0u);
}

}  // namespace
