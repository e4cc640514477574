// Mutated listings through the parser under every format: it may skip lines or refuse the
// listing, but must never crash, hang or make up an entry. Runs under the sanitizer build too, so the seed is fixed and the rounds bounded.
#include "ListingCorpus.h"

#include <gtest/gtest.h>

#include <random>
#include <utility>

namespace {

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
const std::string kAlphabet = std::string(" \t-:,/<>0123456789abcdlrwxsStTDIRJanFebDecPMAM->") + '\x01' + '\x7f' + '\xff';

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
