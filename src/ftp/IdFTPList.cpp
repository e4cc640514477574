#include "IdFTPList.h"

#include "IdFTPListParse.h"
#include "IdText.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <utility>

namespace {

using namespace listing;

bool StartsWithNoCase(std::string_view text, std::string_view upper)
{
    return text.size() >= upper.size() && EqualsNoCase(text.substr(0, upper.size()), upper);
}

bool ContainsNoCase(std::string_view text, std::string_view upper)
{
    return std::search(text.begin(), text.end(), upper.begin(), upper.end(),
                       [](char t, char u) { return Upper(t) == u; })
        != text.end();
}

bool IsBlankLine(std::string_view line)
{
    return std::all_of(line.begin(), line.end(), IsBlank);
}

std::size_t LineFeeds(std::string_view text)
{
    std::size_t count = 0;
    const char* end = text.data() + text.size();
    for (const char* at = text.data(); (at = static_cast<const char*>(std::memchr(at, '\n', end - at))); ++at)
        ++count;
    return count;
}

// The classic test of a Unix line's first ten characters.
bool IsUnixPermissions(std::string_view line)
{
    static constexpr std::string_view allowed[10] = {"-BCDLPS", "-RSTWX", "-ARSTWX", "-RSTWX", "-HRSTWX",
                                                     "-RSTWX",  "-RSTWXY", "-ARSTWX", "-RSTWX", "-RSTWX"};
    if (line.size() < 10)
        return false;
    for (std::size_t i = 0; i < 10; ++i)
        if (allowed[i].find(Upper(line[i])) == std::string_view::npos)
            return false;
    return true;
}

// Shown in the log: control characters escaped, so that a hostile name cannot steer the
// terminal or the log, and long lines shortened.
std::string Escaped(std::string_view line)
{
    constexpr std::size_t shown = 200;
    std::string text = PrintableText(line.substr(0, shown));
    if (line.size() > shown)
        text += "... (" + std::to_string(line.size()) + " bytes)";
    return text;
}

}  // namespace

TIdFTPListItem::TIdFTPListItem(std::string_view line, const TIdListLineFields& fields)
    : Size(fields.size), Modified(fields.modified), Precision(fields.precision), ModifiedUtc(fields.modifiedUtc),
      SizeKnown(fields.sizeKnown), Kind(fields.kind), LinkCount(fields.linkCount), line_(line.data()),
      lineLength_(static_cast<std::uint16_t>(line.size())), mode_(static_cast<std::int16_t>(fields.mode)),
      ownerModeOnly_(fields.ownerModeOnly)
{
    name_ = SpanOf(fields.name);
    linkTarget_ = SpanOf(fields.linkTarget);
    unique_ = SpanOf(fields.unique);
    if (fields.hasUnixColumns) {
        owner_ = SpanOf(fields.owner);
        group_ = SpanOf(fields.group);
        permissions_ = SpanOf(fields.permissions);
    }
}

TIdFTPListItem::Span TIdFTPListItem::SpanOf(std::string_view part) const
{
    if (part.empty())
        return {};
    return {static_cast<std::uint16_t>(part.data() - line_), static_cast<std::uint16_t>(part.size())};
}

std::string_view TIdFTPListItem::Rights(std::size_t from) const
{
    static constexpr std::string_view modeRights[8] = {"---", "--x", "-w-", "-wx", "r--", "r-x", "rw-", "rwx"};
    if (permissions_.offset == Absent) {
        if (mode_ < 0 || (ownerModeOnly_ && from != 1))
            return "???";
        return modeRights[(mode_ >> (7 - from)) & 7];
    }
    const std::string_view permissions = Part(permissions_);
    return from < permissions.size() ? permissions.substr(from, 3) : std::string_view();
}

void TIdFTPListItems::Clear()
{
    items_.clear();
    lines_.clear();
    skippedCount_ = 0;
    firstSkipped_.clear();
}

void TIdFTPListItems::Skip(std::string_view line)
{
    ++skippedCount_;
    if (firstSkipped_.size() < MaxSkippedKept)
        firstSkipped_.push_back(line);
}

void TIdFTPListItems::LoadLines(const TIdListLines& lines)
{
    LoadLines(lines, LocalNow());
}

void TIdFTPListItems::LoadLines(const TIdListLines& lines, const TDateParts& today)
{
    Clear();
    lines_ = lines;
    items_.reserve(LineFeeds(lines.Text()) + 1);
    bool first = true;
    for (const std::string_view line : lines_) {
        if (IsBlankLine(line))
            continue;
        if (ListFormat == lfUnknown || ListFormat == lfCustom) {
            Clear();
            throw EIdInvalidFTPListingFormat();
        }
        if (std::exchange(first, false) && ListFormat == lfUnix && StartsWithNoCase(line, "TOTAL"))
            continue;
        TIdListLineFields fields;
        bool parsed = line.size() <= MaxListLineBytes;
        if (parsed) {
            switch (ListFormat) {
            case lfDos: parsed = ParseDosLine(line, today, fields); break;
            case lfUnix:
            case lfDsk: parsed = ParseUnixLine(line, today, fields); break;
            case lfNamesOnly:
                fields.name = Trim(line);
                parsed = !fields.name.empty();
                break;
            case lfMlsd: {
                const TMlsdLine kind = ParseMlsdLine(line, fields);
                if (kind == TMlsdLine::ListedDirectory)
                    continue;
                parsed = kind == TMlsdLine::Entry;
                break;
            }
            default: break;
            }
        }
        if (parsed)
            items_.emplace_back(line, fields);
        else
            Skip(line);
    }
}

void TIdFTPListItems::LoadRecords(const TIdListLines& records, const std::vector<TRecordFields>& entries)
{
    Clear();
    lines_ = records;
    items_.reserve(entries.size());
    for (const auto& [record, fields] : entries)
        items_.emplace_back(record, fields);
}

TIdFTPListFormat DetectListFormat(std::string_view line, bool details)
{
    if (!details)
        return lfNamesOnly;
    if (IsUnixPermissions(line) || StartsWithNoCase(line, "TOTAL"))
        return lfUnix;
    if (ContainsNoCase(line, "DSK:"))
        return lfDsk;
    // The last day of a leap year: every day and month is possible.
    const TDateParts anyDay{2000, 12, 31};
    TIdListLineFields fields;
    if (ParseDosLine(line, anyDay, fields))
        return lfDos;
    if (line.size() <= MaxListLineBytes && ParseUnixLine(line, anyDay, fields))
        return lfUnix;
    return lfUnknown;
}

void ParseListing(const TIdListLines& lines, TIdFTPListItems& into)
{
    ParseListing(lines, into, LocalNow());
}

void ParseListing(const TIdListLines& lines, TIdFTPListItems& into, const TDateParts& today)
{
    into.Clear();
    bool anyLine = false;
    for (const std::string_view line : lines) {
        if (IsBlankLine(line))
            continue;
        anyLine = true;
        const TIdFTPListFormat format = DetectListFormat(line, true);
        if (format != lfUnknown) {
            into.ListFormat = format;
            into.LoadLines(lines, today);
            return;
        }
    }
    if (anyLine) {
        into.ListFormat = lfUnknown;
        throw EIdInvalidFTPListingFormat();
    }
}

std::vector<std::string> SkippedLineReports(const TIdFTPListItems& items)
{
    std::vector<std::string> reports;
    for (const std::string_view line : items.FirstSkipped())
        reports.push_back("Listing line skipped, it could not be parsed: \"" + Escaped(line) + "\"");
    if (const std::size_t more = items.SkippedCount() - items.FirstSkipped().size(); more > 0)
        reports.push_back(std::to_string(more) + " more listing lines skipped, they could not be parsed.");
    return reports;
}
