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

// Every line of a known format is detected as such and read into the entry a user should see;
// foreign lines between them are skipped, never turned into entries.
TEST(ListingCorpus, EveryLineReadAndForeignLinesBetweenThemSkipped)
{
    for (const auto* corpus : {&UnixCorpus(), &DosCorpus()}) {
        std::vector<std::string> lines;
        for (std::size_t i = 0; i < corpus->size(); ++i) {
            EXPECT_EQ(DetectListFormat((*corpus)[i].line, true), (*corpus)[i].format) << (*corpus)[i].line;
            lines.push_back((*corpus)[i].line);
            lines.push_back(ForeignCorpus()[i % ForeignCorpus().size()]);
        }
        TIdFTPListItems items;
        ParseListing(TIdListLines::FromText(ListingText(lines)), items, CorpusToday);
        ASSERT_EQ(items.Count(), corpus->size());
        EXPECT_EQ(items.SkippedCount(), corpus->size());
        for (std::size_t i = 0; i < corpus->size(); ++i) {
            const TIdFTPListItem& item = items.Item(i);
            const CorpusLine& expected = (*corpus)[i];
            SCOPED_TRACE(std::string(expected.source) + ": " + expected.line);
            EXPECT_EQ(item.RawLine(), expected.line);
            EXPECT_EQ(item.Name(), expected.name);
            EXPECT_EQ(item.Kind, expected.kind);
            EXPECT_EQ(item.Size, expected.size);
            EXPECT_EQ(DateText(item.Modified), expected.modified);
            EXPECT_EQ(item.LinkTarget(), expected.linkTarget);
        }
    }
}

// A group name with blanks stays whole; without a group column the one name is the group.
TEST(ListingCorpus, OwnerAndGroupAroundBlanks)
{
    TIdFTPListItems items;
    ParseListing(TIdListLines::FromText("-rwxr--r--   1 John Smith Domain Users  2048 Dec 24 23:59 notes.doc\n"
                                        "-rw-r--r-- 1 user 1234 Mar 3 2001 a b.txt\n"),
                 items, CorpusToday);
    ASSERT_EQ(items.Count(), 2u);
    EXPECT_EQ(items.Item(0).Owner(), "John");
    EXPECT_EQ(items.Item(0).Group(), "Smith Domain Users");
    EXPECT_EQ(items.Item(0).GroupRights(), "r--");
    EXPECT_EQ(items.Item(1).Group(), "user");
}

TEST(ListingCorpus, ForeignSystemsAreRefusedWithoutEntries)
{
    for (const std::string& line : ForeignCorpus()) {
        TIdFTPListItems items;
        EXPECT_THROW(ParseListing(TIdListLines::FromText(line + "\r\n" + line), items, CorpusToday),
                     EIdInvalidFTPListingFormat)
            << line;
        EXPECT_EQ(items.Count(), 0u);
    }
}

}  // namespace
