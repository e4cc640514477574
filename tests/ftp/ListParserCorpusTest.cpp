#include "ListingCorpus.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

std::string DateText(TDateTime value)
{
    const TDateParts t = DecodeDateTime(value);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d.%03d", t.year, t.month, t.day, t.hour, t.minute,
                  t.second, t.millisecond);
    return text;
}

void ExpectEntry(const TIdFTPListItem& item, const CorpusLine& expected)
{
    SCOPED_TRACE(std::string(expected.source) + ": " + expected.line);
    EXPECT_EQ(item.RawLine(), expected.line);
    EXPECT_EQ(item.Name(), expected.name);
    EXPECT_EQ(item.Kind, expected.kind);
    EXPECT_EQ(item.Size, expected.size);
    EXPECT_EQ(DateText(item.Modified), expected.modified);
    EXPECT_EQ(item.LinkTarget(), expected.linkTarget);
}

void ExpectEveryLineAlone(const std::vector<CorpusLine>& corpus)
{
    for (const CorpusLine& expected : corpus) {
        EXPECT_EQ(DetectListFormat(expected.line, true), expected.format) << expected.line;
        TIdFTPListItems items;
        ParseListing(TIdListLines::FromText(expected.line), items, CorpusToday);
        EXPECT_EQ(items.SkippedCount(), 0u) << expected.line;
        ASSERT_EQ(items.Count(), 1u) << expected.line;
        ExpectEntry(items.Item(0), expected);
    }
}

TEST(ListingCorpus, EveryLineAlone)
{
    ExpectEveryLineAlone(UnixCorpus());
    ExpectEveryLineAlone(DosCorpus());
}

TEST(ListingCorpus, OwnerGroupAndRightsAroundBlanks)
{
    TIdFTPListItems items;
    ParseListing(TIdListLines::FromText("-rwxr--r--   1 John Smith Domain Users  2048 Dec 24 23:59 notes.doc\n"
                                        "-rw-r--r--   1 jsmith   Domain Users    12345 Oct 10  2019 budget\n"
                                        "-rwxrwx 1 user group 1234 Mar 3 2003 seven.txt\n"
                                        "crw-rw-rw-   1 root     sys       13,  2 Nov 15  2005 null\n"
                                        "-rw-r--r-- 1 user 1234 Mar 3 2001 a b.txt\n"),
                 items, CorpusToday);
    ASSERT_EQ(items.Count(), 5u);
    EXPECT_EQ(items.Item(0).Owner(), "John");
    EXPECT_EQ(items.Item(0).Group(), "Smith Domain Users");
    EXPECT_EQ(items.Item(0).LinkCount, 1);
    EXPECT_EQ(items.Item(0).OwnerRights(), "rwx");
    EXPECT_EQ(items.Item(0).GroupRights(), "r--");
    EXPECT_EQ(items.Item(1).Owner(), "jsmith");
    EXPECT_EQ(items.Item(1).Group(), "Domain Users");
    EXPECT_EQ(items.Item(2).GroupRights(), "rwx");
    EXPECT_EQ(items.Item(2).OtherRights(), "");
    EXPECT_EQ(items.Item(3).Owner(), "root");
    EXPECT_EQ(items.Item(3).Group(), "sys");
    // Without a group column the one name is the group.
    EXPECT_EQ(items.Item(4).Owner(), "");
    EXPECT_EQ(items.Item(4).Group(), "user");
}

TEST(ListingCorpus, ForeignSystemsAreRefusedWithoutEntries)
{
    for (const std::string& line : ForeignCorpus()) {
        EXPECT_EQ(DetectListFormat(line, true), lfUnknown) << line;
        TIdFTPListItems items;
        EXPECT_THROW(ParseListing(TIdListLines::FromText(line + "\r\n" + line), items, CorpusToday),
                     EIdInvalidFTPListingFormat)
            << line;
        EXPECT_EQ(items.Count(), 0u);
    }
}

// Foreign and broken lines inside a listing of a known format are skipped, never turned into
// entries, and everything around them is kept.
TEST(ListingCorpus, ForeignLinesInsideAListingAreSkipped)
{
    for (const auto* corpus : {&UnixCorpus(), &DosCorpus()}) {
        std::vector<std::string> lines;
        for (std::size_t i = 0; i < corpus->size(); ++i) {
            lines.push_back((*corpus)[i].line);
            lines.push_back(ForeignCorpus()[i % ForeignCorpus().size()]);
        }
        TIdFTPListItems items;
        ParseListing(TIdListLines::FromText(ListingText(lines)), items, CorpusToday);
        ASSERT_EQ(items.Count(), corpus->size());
        EXPECT_EQ(items.SkippedCount(), corpus->size());
        for (std::size_t i = 0; i < corpus->size(); ++i)
            ExpectEntry(items.Item(i), (*corpus)[i]);
    }
}

}  // namespace
