// Random and mutated listings through the parser: it may skip lines or refuse the listing, but
// must never crash, hang, lose track of which lines it has taken or make up an entry. Runs under
// the sanitizer build too, so the seed is fixed and the rounds bounded.
#include "ListingCorpus.h"

#include <gtest/gtest.h>

#include <random>
#include <utility>

namespace {

const std::vector<std::string> kEdgeSeeds = {
    "total 12",
    "drwxr-xr-x    2 user group 4096 Jan 14 12:34 docs",
    "-rw-r--r-- 1 u g 5 Mar 3 2001  spaced ",
    "-rw-r--r-- 01234 u g 5 Feb 29 2024 leap",
    "01-17-04  03:37PM                1,234 a.txt",
    "VOL DSK: x 1 2 3 Jan 1 2000 d",
    "plain name",
};
// The edge cases the corpus lacks, and every line of the corpus.
const std::vector<std::string> kSeeds = [] {
    std::vector<std::string> seeds = kEdgeSeeds;
    for (const auto* corpus : {&UnixCorpus(), &DosCorpus()})
        for (const CorpusLine& line : *corpus)
            seeds.push_back(line.line);
    seeds.insert(seeds.end(), ForeignCorpus().begin(), ForeignCorpus().end());
    return seeds;
}();


// Bytes that steer the parser into its branches, plus control and high bytes.
const std::string kAlphabet = std::string(" \t-:,/<>0123456789abcdlrwxsStTDIRJanFebDecPMAM->") + '\x01' + '\x7f' + '\xff';

class Mutator {
public:
    explicit Mutator(unsigned seed) : random_(seed) {}

    std::size_t Below(std::size_t n) { return n == 0 ? 0 : random_() % n; }

    // Any byte but a line break, which would make two lines of one.
    char AnyByte()
    {
        const auto byte = static_cast<char>(random_() & 0xff);
        return byte == '\r' || byte == '\n' ? '\v' : byte;
    }
    char SteeringByte() { return kAlphabet[Below(kAlphabet.size())]; }

    std::string Mutated(std::string line)
    {
        const std::size_t edits = Below(8);
        for (std::size_t e = 0; e < edits; ++e) {
            const std::size_t at = Below(line.size() + 1);
            switch (Below(5)) {
            case 0: line.erase(std::min(at, line.size()), 1 + Below(4)); break;
            case 1: line.insert(at, 1, SteeringByte()); break;
            case 2: line.insert(at, 1, AnyByte()); break;
            case 3: if (at < line.size()) line[at] = SteeringByte(); break;
            default: line.insert(at, kSeeds[Below(kSeeds.size())].substr(0, Below(12))); break;
            }
        }
        return line;
    }

    std::string Random(std::size_t maxLength)
    {
        std::string line(Below(maxLength + 1), '\0');
        for (char& c : line)
            c = Below(2) ? SteeringByte() : AnyByte();
        return line;
    }

private:
    std::mt19937 random_;
};

bool IsBlankLine(const std::string& line)
{
    return line.find_first_not_of(" \t") == std::string::npos;
}

bool IsTotalLine(const std::string& line)
{
    if (line.size() < 5)
        return false;
    for (std::size_t i = 0; i < 5; ++i)
        if ((line[i] & ~0x20) != "TOTAL"[i])
            return false;
    return true;
}

// Every entry is one of the lines, in order, with its texts inside that line; a parsed line
// has a name. Together with the skipped lines the entries account for every line that counts.
void ExpectAccounted(const TIdFTPListItems& items, const std::vector<const std::string*>& expected)
{
    ASSERT_EQ(items.Count() + items.SkippedCount(), expected.size()) << "format " << items.ListFormat;
    std::size_t next = 0;
    for (const TIdFTPListItem& item : items) {
        while (next < expected.size() && *expected[next] != item.RawLine())
            ++next;
        ASSERT_LT(next, expected.size()) << "entry out of order: " << item.RawLine();
        ++next;
        const std::string_view raw = item.RawLine();
        for (std::string_view part : {item.Name(), item.LinkTarget()}) {
            const bool inside = part.data() >= raw.data() && part.data() + part.size() <= raw.data() + raw.size();
            ASSERT_TRUE(part.empty() || inside);
        }
        if (items.ListFormat != lfNone) {
            ASSERT_FALSE(item.Name().empty()) << raw;
        }
        ASSERT_GE(item.Size, 0);
    }
}

// Loads the lines under every format: entries and skipped lines together are exactly the lines
// that count (not blank, not the first line's total under Unix); unknown formats are refused.
void LoadUnderEveryFormat(const std::vector<std::string>& lines, const TDateParts& today)
{
    const TIdListLines listing = TIdListLines::FromText(ListingText(lines));
    for (TIdFTPListFormat format : {lfNone, lfDos, lfUnix, lfDsk, lfNamesOnly, lfUnknown}) {
        TIdFTPListItems items;
        items.ListFormat = format;
        std::vector<const std::string*> expected;
        bool first = true;
        for (const std::string& line : lines)
            if (!IsBlankLine(line) && !(std::exchange(first, false) && format == lfUnix && IsTotalLine(line)))
                expected.push_back(&line);
        if (format == lfUnknown) {
            if (!expected.empty()) {
                EXPECT_THROW(items.LoadLines(listing, today), EIdInvalidFTPListingFormat);
            }
            EXPECT_EQ(items.Count(), 0u);
            continue;
        }
        items.LoadLines(listing, today);
        ExpectAccounted(items, expected);
    }
}

TEST(ListingFuzz, MutatedListingsUnderEveryFormat)
{
    Mutator mutate(20261206);
    const TDateParts today{2026, 1, 20, 10, 0, 0, 0};
    for (int round = 0; round < 3000; ++round) {
        std::vector<std::string> lines(1 + mutate.Below(6));
        for (std::string& line : lines)
            line = mutate.Mutated(kSeeds[mutate.Below(kSeeds.size())]);
        LoadUnderEveryFormat(lines, today);
        if (HasFatalFailure())
            return;
    }
}

TEST(ListingFuzz, RandomBytesAndDetection)
{
    Mutator mutate(4711);
    const TDateParts today{2026, 12, 31, 23, 59, 59, 999};
    for (int round = 0; round < 2000; ++round) {
        std::vector<std::string> lines(1 + mutate.Below(4));
        for (std::string& line : lines)
            line = mutate.Random(80);
        TIdFTPListItems items;
        try {
            ParseListing(TIdListLines::FromText(ListingText(lines)), items, today);
        } catch (const EIdInvalidFTPListingFormat&) {
            ASSERT_EQ(items.Count(), 0u);
        }
        ASSERT_LE(items.Count() + items.SkippedCount(), lines.size());
    }
}

TEST(ListingFuzz, VeryLongLinesAndManyColumns)
{
    Mutator mutate(99);
    const TDateParts today{2026, 6, 15, 0, 0, 0, 0};
    std::vector<std::string> lines = {
        "-rw-r--r-- 1 u g 1 Jan 1 2020 " + std::string(200000, 'n'),
        "-rw-r--r-- " + std::string(100000, ' ') + "1 u g 1 Jan 1 2020 far",
        std::string(100000, '9'),
        "01-17-04  03:37PM " + std::string(50000, '1') + " a.txt",
        mutate.Random(300000),
    };
    LoadUnderEveryFormat(lines, today);

    TIdFTPListItems items;
    items.ListFormat = lfUnix;
    items.LoadLines(TIdListLines::FromText(lines[0].substr(0, MaxListLineBytes)), today);
    ASSERT_EQ(items.Count(), 1u);
    EXPECT_EQ(items.Item(0).Name().size(), MaxListLineBytes - 30);
}

}  // namespace
