#include "EngineSessions.h"
#include "ListingCorpus.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <random>
#include <utility>

namespace {

const TDateParts June2026{2026, 6, 15, 10, 0, 0, 0};

TIdFTPListItems Parse(const std::string& text, const TDateParts& today = June2026)
{
    TIdFTPListItems items;
    ParseListing(TIdListLines::FromText(text), items, today);
    return items;
}

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
        // Read from a copy that outlives the listing text and the entries it was made from.
        const TIdFTPListItems items = [&] {
            TIdFTPListItems parsed;
            ParseListing(TIdListLines::FromText(ListingText(lines)), parsed, CorpusToday);
            return TIdFTPListItems(parsed);
        }();
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
            EXPECT_EQ(item.Precision, expected.precision);
            EXPECT_FALSE(item.ModifiedUtc);
            EXPECT_EQ(item.LinkTarget(), expected.linkTarget);
            if (expected.owner) { EXPECT_EQ(item.Owner(), expected.owner); }
            if (expected.group) { EXPECT_EQ(item.Group(), expected.group); }
            if (expected.linkCount >= 0) { EXPECT_EQ(item.LinkCount, expected.linkCount); }
        }
    }
}

// A date without a year lies in the past, with one day of slack for the server's time zone.
TEST(UnixListing, UndatedDaysLieInThePast)
{
    const auto yearOf = [](const std::string& date, const TDateParts& today) {
        const auto items = Parse("-rw-r--r-- 1 u g 1 " + date + " 12:34 f", today);
        return items.Count() == 1 ? DecodeDateTime(items.Item(0).Modified).year : 0;
    };
    EXPECT_EQ(yearOf("Dec 14", TDateParts{2026, 1, 20}), 2025);
    EXPECT_EQ(yearOf("Jan 21", TDateParts{2026, 1, 20}), 2026);
    EXPECT_EQ(yearOf("Jan 22", TDateParts{2026, 1, 20}), 2025);
    EXPECT_EQ(yearOf("Jan 1", TDateParts{2026, 12, 31}), 2026);
    EXPECT_EQ(yearOf("Feb 29", TDateParts{2028, 3, 1}), 2028);
    // The 29th of February of a year that has none is no date: the line is skipped.
    EXPECT_EQ(yearOf("Feb 29", TDateParts{2027, 3, 1}), 0);
}

// Names with blanks, arrows or date-like words stay whole; a leading total line is no entry.
// Lines without the usual shape or over 16 KiB are skipped and the rest kept.
TEST(UnixListing, NamesAreTakenWholeAndOddLinesSkipped)
{
    const std::string prefix = "-rw-r--r-- 1 u g 1 Jan 1 2020 ";
    const std::string longest = prefix + std::string(MaxListLineBytes - prefix.size(), 'n');
    const auto items = Parse("total 12\r\n-rw-r--r-- 1 u g 5 Mar 3 2001  spaced \r\n"
                             "-rw-r--r-- 1 u g 7 Jan 1 2003 Feb 2 2004 x\n"
                             "lrwxrwxrwx 1 r r 7 Jan 1 2003 a -> b -> c\nlrwxrwxrwx 1 r r 7 Jan 1 2003 x->y\n"
                             "Listing of /pub:\n"
                             "-rw-r--r-- 1 u g 1 Apr 31 2020 impossible day\n"
                             "-rw-r--r-- 1 u g 12a Jan 1 2020 odd size\n"
                             "-rw-r--r-- 1 u g 1 Foo 1 2020 no month\n"
                             "-rw-r--r-- 1 u g 1 jui 1 2020 June or July\n"
                             "-rw-r--r-- 1 u g 1 Jan 1 2020\n"
                             "-rw-r--r-- 1 u g 1 Jan 1 25:00 late\n"
                             "lrwxrwxrwx 1 u g 1 Jan 1 2020  -> target only\n"
                             "01-17-04  03:37PM       <DIR>          dos\n" + longest + "x\n" + longest + "\n");
    EXPECT_EQ(items.ListFormat, lfUnix);
    EXPECT_EQ(ItemNames(items), (Strings{" spaced ", "Feb 2 2004 x", "a", "x->y",
                                     std::string(MaxListLineBytes - prefix.size(), 'n')}));
    EXPECT_EQ(items.Item(2).LinkTarget(), "b -> c");
    EXPECT_EQ(items.Item(3).LinkTarget(), "");
    EXPECT_EQ(items.SkippedCount(), 10u);
    EXPECT_EQ(items.FirstSkipped()[0], "Listing of /pub:");
}

// Two-digit years pivot at 50 (in the corpus); impossible dates and times are skipped.
TEST(DosListing, ImpossibleDatesAndTimesAreSkipped)
{
    const auto items = Parse("01-17-04  12:00PM 1 noon\n01-17-04  12:30am 1 night\n02-30-04  10:00AM 1 bad\n"
                             "13-01-04  10:00AM 1 bad\n01-17-04  13:00PM 1 bad\n01-17-04  24:00 1 bad\n");
    EXPECT_EQ(ItemNames(items), (Strings{"noon", "night"}));
    EXPECT_EQ(items.SkippedCount(), 4u);
}

// Lines of systems this client does not read; a blank listing is an empty one.
TEST(Listing, UnknownShapesAreRefusedWithoutEntries)
{
    for (const std::string& line : ForeignCorpus()) {
        TIdFTPListItems items;
        EXPECT_THROW(ParseListing(TIdListLines::FromText(line + "\r\n" + line), items), EIdInvalidFTPListingFormat)
            << line;
        EXPECT_EQ(items.Count(), 0u);
    }
    TIdFTPListItems items;
    ParseListing(TIdListLines::FromText(" \r\n\r\n"), items);
    EXPECT_EQ(items.Count(), 0u);
}

// Lines end at CR LF, LF or CR alone; a names-only listing trims names and skips control lines.
TEST(Listing, LinesSplitAtEveryBreakAndNamesOnlySkipsControlLines)
{
    const auto lines = [](const std::string& text) {
        Strings out;
        for (std::string_view line : TIdListLines::FromText(text))
            out.emplace_back(line);
        return out;
    };
    EXPECT_EQ(lines("a\r\nb\nc\rd"), (Strings{"a", "b", "c", "d"}));
    EXPECT_EQ(lines("a\r\n\r\nb\n\rc\r\n"), (Strings{"a", "", "b", "", "c"}));
    TIdFTPListItems items;
    items.ListFormat = lfNamesOnly;
    items.LoadLines(TIdListLines::FromText("  a b  \n\n \t \n\x01\x02\nc"), June2026);
    EXPECT_EQ(ItemNames(items), (Strings{"a b", "c"}));
    EXPECT_EQ(items.SkippedCount(), 1u);
}

TEST(Listing, SkippedLinesAreReportedEscapedAndCapped)
{
    std::string text = "-rw-r--r-- 1 u g 1 Jan 1 2020 ok\nbad \x1b[2J\\ line\t1\n" + std::string(300, 'y') + "\n";
    for (int i = 0; i < 25; ++i)
        text += "junk " + std::to_string(i) + "\n";
    const auto reports = SkippedLineReports(Parse(text));
    ASSERT_EQ(reports.size(), TIdFTPListItems::MaxSkippedKept + 1);
    EXPECT_EQ(reports[0], "Listing line skipped, it could not be parsed: \"bad \\x1b[2J\\ line\\x091\"");
    EXPECT_EQ(reports[1], "Listing line skipped, it could not be parsed: \"" + std::string(200, 'y') + "... (300 bytes)\"");
    EXPECT_EQ(reports.back(), "7 more listing lines skipped, they could not be parsed.");
}

// Mutated listings through the parser under every format: it may skip lines or refuse the
// listing, but must never crash, hang or make up an entry. Runs under the sanitizer build too,
// so the seed is fixed and the rounds bounded.
// The corpus, and edge cases it lacks: a total line, a leap day, a DSK volume, a plain name.
const std::vector<std::string> kSeeds = [] {
    std::vector<std::string> seeds = {"total 12", "-rw-r--r-- 01234 u g 5 Feb 29 2024 leap",
                                      "VOL DSK: x 1 2 3 Jan 1 2000 d", "plain name"};
    for (const auto* corpus : {&UnixCorpus(), &DosCorpus()})
        for (const CorpusLine& line : *corpus)
            seeds.push_back(line.line);
    seeds.insert(seeds.end(), ForeignCorpus().begin(), ForeignCorpus().end());
    return seeds;
}();

// Bytes that steer the parser into its branches, plus control and high bytes.
const std::string kAlphabet =
    std::string(" \t-:,/<>.0123456789abcdlrwxsStTDIRJanFebDecPMAM->+") + '\x01' + '\x7f' + '\xff' + '\xc3' + '\xd0';

std::string Mutated(std::string line, std::mt19937& random)
{
    const auto below = [&](std::size_t n) { return n == 0 ? 0 : random() % n; };
    for (std::size_t edits = below(8); edits > 0; --edits) {
        const std::size_t at = below(line.size() + 1);
        // Any byte but a line break, which would make two lines of one.
        char any = static_cast<char>(random() & 0xff);
        any = any == '\r' || any == '\n' ? '\v' : any;
        switch (below(5)) {
        case 0: line.erase(std::min(at, line.size()), 1 + below(4)); break;
        case 1: line.insert(at, 1, kAlphabet[below(kAlphabet.size())]); break;
        case 2: line.insert(at, 1, any); break;
        case 3: if (at < line.size()) line[at] = kAlphabet[below(kAlphabet.size())]; break;
        default: line.insert(at, kSeeds[below(kSeeds.size())].substr(0, below(12))); break;
        }
    }
    return line;
}

// Detects and loads the lines under every format: at most one entry or skip report per line,
// each entry one of the lines, in order, with its texts inside that line; a refused listing or
// an unknown format leaves no entry.
void LoadUnderEveryFormat(const std::vector<std::string>& lines, const TDateParts& today)
{
    const TIdListLines listing = TIdListLines::FromText(ListingText(lines));
    TIdFTPListItems detected;
    try {
        ParseListing(listing, detected, today);
    } catch (const EIdInvalidFTPListingFormat&) {
        ASSERT_EQ(detected.Count(), 0u);
    }
    ASSERT_LE(detected.Count() + detected.SkippedCount(), lines.size());
    for (TIdFTPListFormat format : {lfNone, lfDos, lfUnix, lfDsk, lfNamesOnly, lfUnknown}) {
        TIdFTPListItems items;
        items.ListFormat = format;
        try {
            items.LoadLines(listing, today);
        } catch (const EIdInvalidFTPListingFormat&) {
            ASSERT_EQ(items.Count(), 0u);
        }
        ASSERT_TRUE(format != lfUnknown || items.Count() == 0u);
        ASSERT_LE(items.Count() + items.SkippedCount(), lines.size()) << "format " << format;
        std::size_t next = 0;
        for (const TIdFTPListItem& item : items) {
            const std::string_view raw = item.RawLine();
            while (next < lines.size() && lines[next] != raw)
                ++next;
            ASSERT_LT(next++, lines.size()) << "entry out of order: " << raw;
            for (std::string_view part : {item.Name(), item.LinkTarget()})
                ASSERT_TRUE(part.empty() || (part.data() >= raw.data() && part.end() <= raw.end()));
            ASSERT_TRUE(format == lfNone || !item.Name().empty()) << raw;
            ASSERT_GE(item.Size, 0);
        }
    }
}

TEST(ListingFuzz, MutatedListingsUnderEveryFormat)
{
    std::mt19937 random(20261206);
    const TDateParts today{2026, 1, 20, 10, 0, 0, 0};
    for (int round = 0; round < 3000 && !HasFatalFailure(); ++round) {
        std::vector<std::string> lines(1 + random() % 6);
        for (std::string& line : lines)
            line = Mutated(kSeeds[random() % kSeeds.size()], random);
        LoadUnderEveryFormat(lines, today);
    }
}

}  // namespace
