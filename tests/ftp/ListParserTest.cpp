#include "ftp/IdFTPList.h"

#include <gtest/gtest.h>

namespace {

const TDateParts June2026{2026, 6, 15, 10, 0, 0, 0};
const TDateParts January2026{2026, 1, 20, 10, 0, 0, 0};

TDateTime At(int y, int mo, int d, int h, int mi, int s, int ms)
{
    return EncodeDate(y, mo, d) + EncodeTime(h, mi, s, ms);
}

TIdFTPListItems Parse(const std::string& text, const TDateParts& today = June2026)
{
    TIdFTPListItems items;
    ParseListing(TIdListLines::FromText(text), items, today);
    return items;
}

TEST(ListFormat, DetectedFromTheLineShape)
{
    EXPECT_EQ(DetectListFormat("total 12", true), lfUnix);
    EXPECT_EQ(DetectListFormat("TOTAL 12", true), lfUnix);
    EXPECT_EQ(DetectListFormat("some DSK: volume", true), lfDsk);
    EXPECT_EQ(DetectListFormat("1-17-04  03:37PM       <DIR>          pub", true), lfUnknown);
    EXPECT_EQ(DetectListFormat("01-17-04  03:37PM       <DIR>", true), lfUnknown);
    EXPECT_EQ(DetectListFormat("01-17-04  3 PM 12 x", true), lfUnknown);
    EXPECT_EQ(DetectListFormat("drwx", true), lfUnknown);
    EXPECT_EQ(DetectListFormat("", true), lfUnknown);
    EXPECT_EQ(DetectListFormat("anything", false), lfNamesOnly);
}

TEST(UnixListing, ALeadingTotalLineIsNoEntryAndBlanksAroundANameStay)
{
    const auto items = Parse("total 12\r\ndrwxr-xr-x    2 user group 4096 Jan 14 12:34 docs\r\n"
                             "-rw-r--r-- 1 u g 5 Mar 3 2001  spaced \r\n");
    ASSERT_EQ(items.Count(), 2u);
    EXPECT_EQ(items.SkippedCount(), 0u);
    EXPECT_EQ(items.Item(0).Name(), "docs");
    EXPECT_EQ(items.Item(1).Name(), " spaced ");
}

// A date without a year lies in the past, with one day of slack for the server's time zone.
TEST(UnixListing, UndatedDaysLieInThePast)
{
    const auto yearOf = [](const std::string& date, const TDateParts& today) {
        const auto items = Parse("-rw-r--r-- 1 u g 1 " + date + " 12:34 f", today);
        return items.Count() == 1 ? DecodeDateTime(items.Item(0).Modified).year : 0;
    };
    EXPECT_EQ(yearOf("Dec 14", January2026), 2025);
    EXPECT_EQ(yearOf("Jan 21", January2026), 2026);
    EXPECT_EQ(yearOf("Jan 22", January2026), 2025);
    EXPECT_EQ(yearOf("Dec 2", TDateParts{2026, 12, 1}), 2026);
    EXPECT_EQ(yearOf("Jul 1", TDateParts{2026, 6, 30}), 2026);
    EXPECT_EQ(yearOf("Jan 1", TDateParts{2026, 12, 31}), 2026);
    EXPECT_EQ(yearOf("Dec 31", TDateParts{2026, 12, 31}), 2026);
    EXPECT_EQ(yearOf("Feb 29", TDateParts{2028, 3, 1}), 2028);
    // The 29th of February of a year that has none is no date: the line is skipped.
    EXPECT_EQ(yearOf("Feb 29", TDateParts{2027, 3, 1}), 0);
}

TEST(UnixListing, ANameThatLooksLikeADateStaysTheName)
{
    const auto items = Parse("-rw-r--r-- 1 u g 7 Jan 1 2003 Feb 2 2004 x\n");
    ASSERT_EQ(items.Count(), 1u);
    EXPECT_EQ(items.Item(0).Name(), "Feb 2 2004 x");
    EXPECT_DOUBLE_EQ(items.Item(0).Modified, At(2003, 1, 1, 0, 0, 0, 999));
}

TEST(UnixListing, LinkSplitsAtTheFirstArrowOnly)
{
    const auto items = Parse("lrwxrwxrwx 1 r r 7 Jan 1 2003 a -> b -> c\nlrwxrwxrwx 1 r r 7 Jan 1 2003 x->y\n");
    ASSERT_EQ(items.Count(), 2u);
    EXPECT_EQ(items.Item(0).Name(), "a");
    EXPECT_EQ(items.Item(0).LinkTarget(), "b -> c");
    EXPECT_EQ(items.Item(1).Name(), "x->y");
    EXPECT_EQ(items.Item(1).LinkTarget(), "");
}

TEST(UnixListing, LinesWithoutTheUsualShapeAreSkippedAndTheRestKept)
{
    const auto items = Parse("-rw-r--r-- 1 u g 1 Jan 1 2020 first\n"
                             "-rw-r--r-- 1 u g 1 Apr 31 2020 impossible day\n"
                             "-rw-r--r-- 1 u g 12a Jan 1 2020 odd size\n"
                             "-rw-r--r-- 1 u g 1 Foo 1 2020 no month\n"
                             "-rw-r--r-- 1 u g 1 Jan 1 2020\n"
                             "-rw-r--r-- 1 u g 1 Jan 1 25:00 late\n"
                             "lrwxrwxrwx 1 u g 1 Jan 1 2020  -> target only\n"
                             "01-17-04  03:37PM       <DIR>          dos\n"
                             "-rw-r--r-- 1 u g 1 Jan 1 2020 last\n");
    ASSERT_EQ(items.Count(), 2u);
    EXPECT_EQ(items.Item(0).Name(), "first");
    EXPECT_EQ(items.Item(1).Name(), "last");
    EXPECT_EQ(items.SkippedCount(), 7u);
    ASSERT_EQ(items.FirstSkipped().size(), 7u);
    EXPECT_EQ(items.FirstSkipped()[0], "-rw-r--r-- 1 u g 1 Apr 31 2020 impossible day");
}

TEST(UnixListing, LinesOver16KiBAreSkipped)
{
    const std::string prefix = "-rw-r--r-- 1 u g 1 Jan 1 2020 ";
    const std::string longest = prefix + std::string(MaxListLineBytes - prefix.size(), 'n');
    const auto items = Parse(longest + "\n" + longest + "x\nok\n");
    ASSERT_EQ(items.Count(), 1u);
    EXPECT_EQ(items.Item(0).Name().size(), MaxListLineBytes - prefix.size());
    EXPECT_EQ(items.SkippedCount(), 2u);
}

// The format has no owner or rights; the columns show question marks.
TEST(DosListing, TwoDigitYearsImpossibleFieldsAndUnknownOwners)
{
    const auto yearOf = [](const std::string& date) {
        TIdFTPListItems items;
        items.ListFormat = lfDos;
        items.LoadLines(TIdListLines::FromText(date + "  10:00AM 1 f\n"), June2026);
        return items.Count() == 1 ? DecodeDateTime(items.Item(0).Modified).year : 0;
    };
    EXPECT_EQ(yearOf("01-17-50"), 2050);
    EXPECT_EQ(yearOf("01-17-51"), 1951);
    EXPECT_EQ(yearOf("02-29-2024"), 2024);
    EXPECT_EQ(yearOf("02-30-04"), 0);
    EXPECT_EQ(yearOf("13-01-04"), 0);
    const auto items = Parse("01-17-04  12:00PM 1 noon\n01-17-04  12:30am 1 night\n01-17-04  13:00PM 1 bad\n"
                             "01-17-04  24:00 1 bad\n01-17-04  23:59:58 1 late\n");
    ASSERT_EQ(items.Count(), 3u);
    EXPECT_EQ(items.ListFormat, lfDos);
    EXPECT_EQ(items.Item(0).Owner(), "????????");
    EXPECT_EQ(items.Item(0).OwnerRights(), "???");
    EXPECT_DOUBLE_EQ(items.Item(0).Modified, At(2004, 1, 17, 12, 0, 0, 0));
    EXPECT_DOUBLE_EQ(items.Item(1).Modified, At(2004, 1, 17, 0, 30, 0, 0));
    EXPECT_DOUBLE_EQ(items.Item(2).Modified, At(2004, 1, 17, 23, 59, 58, 0));
    EXPECT_EQ(items.SkippedCount(), 2u);
}

TEST(Listing, UnknownShapesAreRefusedWithoutEntries)
{
    TIdFTPListItems items;
    EXPECT_THROW(ParseListing(TIdListLines::FromText("hello world\r\nsecond\r\n"), items), EIdInvalidFTPListingFormat);
    EXPECT_EQ(items.Count(), 0u);
    try {
        ParseListing(TIdListLines::FromText("???"), items);
        ADD_FAILURE() << "no error";
    } catch (const EIdException& e) {
        EXPECT_STREQ(e.what(), "Unknown FTP listing format");
    }
    items.ListFormat = lfCustom;
    EXPECT_THROW(items.LoadLines(TIdListLines::FromText("-rw-r--r-- 1 u g 1 Jan 1 2020 a")), EIdInvalidFTPListingFormat);
    EXPECT_EQ(items.Count(), 0u);
}

TEST(Listing, AJunkFirstLineDoesNotHideTheListing)
{
    const auto items = Parse("Listing of /pub:\r\n\r\n-rw-r--r-- 1 u g 1 Jan 1 2020 a\r\n");
    EXPECT_EQ(items.ListFormat, lfUnix);
    ASSERT_EQ(items.Count(), 1u);
    EXPECT_EQ(items.Item(0).Name(), "a");
    ASSERT_EQ(items.SkippedCount(), 1u);
    EXPECT_EQ(items.FirstSkipped()[0], "Listing of /pub:");
}

TEST(Listing, NamesOnlyNoneAndBlankLines)
{
    TIdFTPListItems items;
    items.ListFormat = lfNamesOnly;
    items.LoadLines(TIdListLines::FromText("  a b  \n\n \t \n\x01\x02\nc"), June2026);
    ASSERT_EQ(items.Count(), 2u);
    EXPECT_EQ(items.Item(0).Name(), "a b");
    EXPECT_EQ(items.Item(1).Name(), "c");
    EXPECT_EQ(items.SkippedCount(), 1u);
    items.ListFormat = lfNone;
    items.LoadLines(TIdListLines::FromText("raw"), June2026);
    EXPECT_EQ(items.Item(0).Name(), "");
    EXPECT_EQ(items.Item(0).RawLine(), "raw");
    ParseListing(TIdListLines(), items);
    EXPECT_EQ(items.Count(), 0u);
    ParseListing(TIdListLines::FromText(" \r\n\r\n"), items);
    EXPECT_EQ(items.Count(), 0u);
}

TEST(Listing, EntriesOutliveTheLinesTheyCameFrom)
{
    TIdListLines lines = TIdListLines::FromText("-rw-r--r-- 1 u g 1 Jan 1 2020 kept name\n");
    TIdFTPListItems items;
    ParseListing(lines, items);
    const TIdFTPListItems copy = items;
    lines.clear();
    items.Clear();
    ASSERT_EQ(copy.Count(), 1u);
    EXPECT_EQ(copy.Item(0).Name(), "kept name");
}

TEST(Listing, SkippedLinesAreReportedEscapedAndCapped)
{
    std::string text = "-rw-r--r-- 1 u g 1 Jan 1 2020 ok\n"
                       "bad \x1b[2J\\ line\t1\n"
                       + std::string(300, 'y') + "\n";
    for (int i = 0; i < 25; ++i)
        text += "junk " + std::to_string(i) + "\n";
    const auto items = Parse(text);
    EXPECT_EQ(items.Count(), 1u);
    EXPECT_EQ(items.SkippedCount(), 27u);
    const auto reports = SkippedLineReports(items);
    ASSERT_EQ(reports.size(), TIdFTPListItems::MaxSkippedKept + 1);
    EXPECT_EQ(reports[0], "Listing line skipped, it could not be parsed: \"bad \\x1b[2J\\ line\\x091\"");
    EXPECT_EQ(reports[1], "Listing line skipped, it could not be parsed: \"" + std::string(200, 'y') + "... (300 bytes)\"");
    EXPECT_EQ(reports.back(), "7 more listing lines skipped, they could not be parsed.");
    EXPECT_TRUE(SkippedLineReports(Parse("-rw-r--r-- 1 u g 1 Jan 1 2020 ok\n")).empty());
}

TEST(ListLines, SplitAtEveryKindOfLineBreak)
{
    const auto lines = [](const std::string& text) {
        std::vector<std::string> out;
        for (std::string_view line : TIdListLines::FromText(text))
            out.emplace_back(line);
        return out;
    };
    using Strings = std::vector<std::string>;
    EXPECT_EQ(lines(""), Strings{});
    EXPECT_EQ(lines("a\r\nb\nc\rd"), (Strings{"a", "b", "c", "d"}));
    EXPECT_EQ(lines("a\r\n\r\nb\r\n"), (Strings{"a", "", "b"}));
    EXPECT_EQ(lines("\n\r"), (Strings{"", ""}));
    EXPECT_EQ(lines("a\n\rb"), (Strings{"a", "", "b"}));
    const std::string wide(4095, 'w');
    EXPECT_EQ(lines(wide + "\r\nb"), (Strings{wide, "b"}));
    EXPECT_EQ(lines(wide + "x" + wide + "\rb\r"), (Strings{wide + "x" + wide, "b"}));
}

TEST(ListBuffer, GrowsInPlaceAndRefusesBeyondItsLimit)
{
    TIdFTPListBuffer buffer(300000);
    const std::string chunk(100000, 'x');
    buffer.Write(chunk.data(), chunk.size());
    const char* start = buffer.Bytes().data();
    buffer.Write(chunk.data(), chunk.size());
    buffer.Write(chunk.data(), chunk.size());
    EXPECT_EQ(buffer.Bytes().data(), start);
    EXPECT_EQ(buffer.Size(), 300000);
    EXPECT_THROW(buffer.Write("y", 1), EIdListingTooLarge);
    EXPECT_STREQ(EIdListingTooLarge(TIdFTPListBuffer::MaxListingBytes).what(),
                 "Directory listing refused: it is larger than 1 GiB.");
    EXPECT_EQ(buffer.Size(), 300000);
    buffer.SetSize(5);
    EXPECT_EQ(buffer.Bytes(), "xxxxx");
    buffer.Seek(0);
    char read[8] = {};
    EXPECT_EQ(buffer.Read(read, sizeof read), 5u);
    EXPECT_STREQ(read, "xxxxx");
}

}  // namespace
